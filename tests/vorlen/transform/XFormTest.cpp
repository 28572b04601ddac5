#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/vorlen/BufferFixtures.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/transform/Matrix2D.h"

TEST(GeometryConstants, HoldTheirValues) {
  EXPECT_EQ(PointZero, Pair<int>(0, 0));
  EXPECT_EQ(PointOne, Pair<int>(1, 1));
  EXPECT_EQ(PointUnitX, Pair<int>(1, 0));
  EXPECT_EQ(PointUnitY, Pair<int>(0, 1));
  EXPECT_EQ(Vector2DZero, Pair<double>(0.0, 0.0));
  EXPECT_EQ(Vector2DOne, Pair<double>(1.0, 1.0));
  EXPECT_EQ(Vector2DUnitX, Pair<double>(1.0, 0.0));
  EXPECT_EQ(Vector2DUnitY, Pair<double>(0.0, 1.0));
  EXPECT_EQ(_Matrix2DUnit.a, 1.0);
  EXPECT_EQ(_Matrix2DUnit.b, 0.0);
  EXPECT_EQ(_Matrix2DUnit.c, 0.0);
  EXPECT_EQ(_Matrix2DUnit.d, 1.0);
}

TEST(BufferRender, SpansOfARectangle) {
  const Buffer target = Filled(10, 10, 0);
  const Pair<double> corners[4] = {{2.2, 3.1}, {5.9, 3.1}, {5.9, 6.8}, {2.2, 6.8}};
  Pair<int> origin;
  int rows = 0;
  const auto spans = target.Render(corners, origin, rows, 0);
  ASSERT_NE(spans, nullptr);
  EXPECT_EQ(origin, Pair<int>(2, 3));
  ASSERT_EQ(rows, 4);
  for (int i = 0; i < rows; ++i) EXPECT_EQ(std::vector<int>(&spans[2 * i], &spans[2 * i + 2]), (std::vector<int>{2, 5}));
  const auto halves = target.Render(corners, origin, rows, 1);
  ASSERT_NE(halves, nullptr);
  EXPECT_EQ(origin, Pair<int>(2, 3));
  ASSERT_EQ(rows, 4);
  for (int i = 0; i < 2 * rows; ++i)
    EXPECT_EQ(std::vector<int>(&halves[2 * i], &halves[2 * i + 2]), (std::vector<int>{4, 11}));
}

TEST(BufferRender, SpansOfADiamondClippedToTheBuffer) {
  Buffer target = Filled(10, 10, 0);
  const Buffer window(target, Rect(3, 0, 9, 9), true);
  const Pair<double> corners[4] = {{5, 0}, {9, 4}, {5, 8}, {1, 4}};
  Pair<int> origin;
  int rows = 0;
  const auto spans = target.Render(corners, origin, rows, 0);
  ASSERT_NE(spans, nullptr);
  EXPECT_EQ(origin, Pair<int>(1, 0));
  ASSERT_EQ(rows, 8);
  EXPECT_EQ(std::vector<int>(&spans[0], &spans[16]),
            (std::vector<int>{4, 5, 3, 6, 2, 7, 1, 8, 1, 8, 2, 7, 3, 6, 4, 5}));
  const auto clipped = window.Render(corners, origin, rows, 0);
  ASSERT_NE(clipped, nullptr);
  EXPECT_EQ(origin, Pair<int>(3, 0));
  // Columns count from the window's left edge, column 3.
  EXPECT_EQ(std::vector<int>(&clipped[0], &clipped[16]),
            (std::vector<int>{1, 2, 0, 3, 0, 4, 0, 5, 0, 5, 0, 4, 0, 3, 1, 2}));
}

TEST(BufferRender, NothingCoveredGivesNull) {
  const Buffer target = Filled(10, 10, 0);
  Pair<int> origin;
  int rows = 7;
  const Pair<double> away[4] = {{20, 20}, {30, 20}, {30, 30}, {20, 30}};
  EXPECT_EQ(target.Render(away, origin, rows, 0), nullptr);
  EXPECT_EQ(rows, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Pair<double> broken[4] = {{nan, 0}, {3, 0}, {3, 3}, {0, 3}};
  EXPECT_EQ(target.Render(broken, origin, rows, 1), nullptr);
  const Pair<double> flat[4] = {{1, 2.5}, {5, 2.5}, {5, 2.5}, {1, 2.5}};
  EXPECT_EQ(target.Render(flat, origin, rows, 0), nullptr);
}

TEST(BufferXForm, UnitMatrixCopiesOntoTheSameCoordinates) {
  Buffer backing = Numbered(9, 9, 100);
  const Buffer src(backing, Rect(2, 3, 6, 5), true);
  for (const int filter : {0, 1}) {
    Buffer dst = Filled(9, 9, 0);
    dst.XFormLin(src, _Matrix2DUnit, Pair<int>(0, 0), Buffer::kPlain, filter);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) {
        const bool inside = x >= 2 && x <= 6 && y >= 3 && y <= 5;
        ASSERT_EQ(*dst.At(x, y), inside ? *backing.At(x, y) : 0u) << x << "," << y << " " << filter;
      }
  }
}

TEST(BufferXForm, RotatesAQuarterTurnAndMirrors) {
  const Buffer src = Numbered(3, 2);  // 1 2 3 / 4 5 6
  Buffer turned = Filled(4, 4, 0);
  turned.XFormLin(src, Matrix2D{0, 1, -1, 0}, Pair<int>(2, 0), Buffer::kPlain, 0);  // (x, y) -> (2 - y, x)
  EXPECT_EQ(Pixels(turned), (std::vector<uint>{4, 1, 0, 0, 5, 2, 0, 0, 6, 3, 0, 0, 0, 0, 0, 0}));
  Buffer mirrored = Filled(3, 2, 0);
  mirrored.XFormLin(src, Matrix2D{-1, 0, 0, 1}, Pair<int>(3, 0), Buffer::kPlain, -2);
  EXPECT_EQ(Pixels(mirrored), (std::vector<uint>{3, 2, 1, 6, 5, 4}));
}

TEST(BufferXForm, WritesInEveryCopyMode) {
  Buffer src = Filled(2, 1, 0x80FF0000);
  *src.At(1, 0) = 0x00FF00FF;
  Buffer composite = Filled(2, 1, 0x000000FF);
  composite.XFormLin(src, _Matrix2DUnit, Pair<int>(0, 0), Buffer::kComposite, 0);
  EXPECT_EQ(Pixels(composite), (std::vector<uint>{0x007F0080, 0x00FF00FF}));
  Buffer keyed = Filled(2, 1, 7);
  keyed.XFormLin(src, _Matrix2DUnit, Pair<int>(0, 0), 0x00FF00FF, 0);
  EXPECT_EQ(Pixels(keyed), (std::vector<uint>{0x80FF0000, 7}));
}

TEST(BufferXForm, DoublingAveragesInteriorsAndBlendsEdges) {
  const Buffer src = Filled(2, 2, 0x00FFFFFF);
  Buffer dst = Filled(6, 6, 0);
  dst.XFormLin(src, Matrix2D{2, 0, 0, 2}, Pair<int>(1, 1), Buffer::kPlain, -2);  // doubling averages
  // The inset outline runs from 1.1 to 4.9: pixels 1 to 4 are wholly covered.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
      EXPECT_EQ(*dst.At(x, y), inside ? 0x00FFFFFFu : 0u) << x << "," << y;
    }
  // Half columns the outline does not reach keep the target pixel in the average.
  Buffer shifted = Filled(4, 1, 0);
  Buffer one = Filled(1, 1, 0x00FFFFFF);
  shifted.XFormLin(one, Matrix2D{1.5, 0, 0, 1}, Pair<int>(0, 0), Buffer::kPlain, 1);  // 0.075 to 1.425
  EXPECT_EQ(Pixels(shifted), (std::vector<uint>{0x00FFFFFF, 0x00808080, 0, 0}));
}

TEST(BufferXForm, FlatOrBrokenMatricesDrawNothing) {
  const Buffer src = Numbered(3, 3);
  Buffer dst = Filled(5, 5, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const Matrix2D m : {Matrix2D{1, 2, 2, 4}, Matrix2D{0, 0, 0, 0}, Matrix2D{nan, 0, 0, 1}, Matrix2D{inf, 0, 0, 1},
                           Matrix2D{1e-200, 0, 0, 1e-200}})
    for (const int filter : {0, 1}) dst.XFormLin(src, m, Pair<int>(1, 1), Buffer::kPlain, filter);
  EXPECT_EQ(Pixels(dst), std::vector<uint>(25, 0));
  dst.XFormLin(src, Matrix2D{1e9, 0, 0, 1e9}, Pair<int>(-2147483647 - 1, 0), Buffer::kPlain, 0);
  Buffer empty;
  empty.XFormLin(src, _Matrix2DUnit, Pair<int>(0, 0), Buffer::kPlain, 0);
  EXPECT_EQ(empty.pixels, nullptr);
}

namespace {

// Whether p lies inside the convex quadrilateral q (corners in order, either way round).
bool InsideQuad(const Pair<double> (&q)[4], Pair<double> p) {
  int sides = 0;
  for (int i = 0; i < 4; ++i) {
    const Pair<double> a = q[i], b = q[(i + 1) % 4];
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    sides |= cross > 0 ? 1 : cross < 0 ? 2 : 0;
  }
  return sides != 3;
}

}  // namespace

TEST(BufferXForm, RotationSamplesTheSourceUnderEachCoveredCentre) {
  struct Case {
    int width, height, targetWidth, targetHeight;
    Pair<int> pos;
    double nearEdge;  // rounding of the 16-bit fractions may go either way this close to an edge
  } const cases[] = {{37, 23, 60, 50, {15, -3}, 1e-3}, {330, 170, 380, 320, {90, 0}, 3e-3}};
  for (const Case& c : cases) {
    Buffer src = Numbered(c.width, c.height, 1);
    const double angle = 30.0 * 3.14159265358979323846 / 180.0;
    const Matrix2D m{std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle)};
    Buffer dst = Filled(c.targetWidth, c.targetHeight, 0);
    dst.XFormLin(src, m, c.pos, Buffer::kPlain, 0);
    Pair<double> quad[4];
    const Pair<double> inset[4] = {
        {0.05, 0.05}, {c.width - 0.05, 0.05}, {c.width - 0.05, c.height - 0.05}, {0.05, c.height - 0.05}};
    for (int i = 0; i < 4; ++i)
      quad[i] = Pair<double>(m.a * inset[i].x + m.c * inset[i].y + c.pos.x, m.b * inset[i].x + m.d * inset[i].y + c.pos.y);
    int checked = 0;
    for (int y = 0; y < c.targetHeight; ++y)
      for (int x = 0; x < c.targetWidth; ++x) {
        const Pair<double> centre(x + 0.5, y + 0.5);
        // The source point under the centre, by the inverse of a rotation: its transpose.
        const double u = centre.x - c.pos.x, v = centre.y - c.pos.y;
        const double sx = u * m.a + v * m.b, sy = u * m.c + v * m.d;
        if (std::abs(sx - std::round(sx)) < c.nearEdge || std::abs(sy - std::round(sy)) < c.nearEdge) continue;
        const uint drawn = *dst.At(x, y);
        if (InsideQuad(quad, centre)) {
          ASSERT_EQ(drawn, *src.At(int(std::floor(sx)), int(std::floor(sy)))) << x << "," << y;
          ++checked;
        } else {
          ASSERT_EQ(drawn, 0u) << x << "," << y;
        }
      }
    EXPECT_GT(checked, c.width * c.height * 8 / 10);
  }
}

namespace {

constexpr int kMost = std::numeric_limits<int>::max();
constexpr int kLeast = std::numeric_limits<int>::min();

// A target of w x h pixels whose rectangle starts at corner, cleared to a grey.
Buffer TargetAt(Pair<int> corner, int w, int h) {
  Buffer b = Filled(w, h, 0x00404040);
  b.rect = Rect(corner.x, corner.y, corner.x + (w - 1), corner.y + (h - 1));
  return b;
}

// Corners that put a 9 x 7 buffer against each end of the coordinate range and astride 2^30.
const Pair<int> kFarCorners[] = {{kMost - 8, kMost - 6}, {kLeast, kLeast},      {kMost - 8, kLeast},
                                 {kLeast, kMost - 6},    {(1 << 30) - 4, -(1 << 30) - 3}};

}  // namespace

// Where a buffer lies must not matter: drawing into it at the same place relative to its
// corner gives the same pixels as drawing into the same buffer at (0, 0).
TEST(BufferXForm, TargetsAnywhereInTheCoordinateRangeDrawAsAtTheOrigin) {
  Buffer src = Numbered(4, 3, 0x00102030);
  *src.At(1, 1) = 0x80FF8000;  // a half-transparent pixel for the compositing mode
  const Matrix2D matrices[] = {_Matrix2DUnit, {2, 0, 0, 2}, {-1, 0, 0, 1}, {0, 1, -1, 0}, {0.5, 0, 0, 0.5}, {1.5, 0.5, -0.5, 1}};
  const Pair<int> where(2, 3);  // where the source's corner lands, from the target's corner
  for (const Matrix2D& m : matrices)
    for (const int filter : {0, 1, -1, -2})
      for (const uint mode : {Buffer::kPlain, Buffer::kComposite, 0x00102031u}) {
        Buffer reference = TargetAt(Pair<int>(0, 0), 9, 7);
        reference.XFormLin(src, m, where, mode, filter);
        ASSERT_NE(Pixels(reference), Pixels(TargetAt(Pair<int>(0, 0), 9, 7))) << "nothing drawn";
        for (const Pair<int> corner : kFarCorners) {
          Buffer far = TargetAt(corner, 9, 7);
          far.XFormLin(src, m, Pair<int>(corner.x + where.x, corner.y + where.y), mode, filter);
          ASSERT_EQ(Pixels(far), Pixels(reference)) << "matrix " << m.a << "," << m.b << "," << m.c << "," << m.d
                                                    << " filter " << filter << " mode " << std::hex << mode
                                                    << " corner " << std::dec << corner.x << "," << corner.y;
        }
      }
}

TEST(BufferXForm, SourcesAnywhereInTheCoordinateRangeDrawAsAtTheOrigin) {
  Buffer backing = Numbered(4, 3, 0x00102030);
  for (const int filter : {0, 1}) {
    Buffer reference = TargetAt(Pair<int>(0, 0), 9, 7);
    reference.XFormLin(backing, _Matrix2DUnit, Pair<int>(2, 3), Buffer::kPlain, filter);
    for (const Pair<int> corner : {Pair<int>(kMost - 3, kMost - 2), Pair<int>(kLeast + 5, kLeast + 5)}) {
      Buffer src(backing, backing.rect, true);
      src.rect = Rect(corner.x, corner.y, corner.x + 3, corner.y + 2);
      Buffer target = TargetAt(Pair<int>(0, 0), 9, 7);
      target.XFormLin(src, _Matrix2DUnit, Pair<int>(2 - corner.x, 3 - corner.y), Buffer::kPlain, filter);
      EXPECT_EQ(Pixels(target), Pixels(reference)) << corner.x << "," << corner.y << " filter " << filter;
    }
  }
}

TEST(BufferScale, TargetsAnywhereInTheCoordinateRangeDrawAsAtTheOrigin) {
  const Buffer src = Numbered(4, 3, 0x00102030);
  for (const Pair<int> size : {Pair<int>(8, 6), Pair<int>(-4, 3), Pair<int>(2, -2), Pair<int>(12, 9)})
    for (const int filter : {0, 1, -1})
      for (const uint mode : {Buffer::kPlain, Buffer::kComposite, 0x00102031u}) {
        Buffer reference = TargetAt(Pair<int>(0, 0), 9, 7);
        reference.Scale(src, size, Pair<int>(2, 1), mode, filter);
        for (const Pair<int> corner : kFarCorners) {
          Buffer far = TargetAt(corner, 9, 7);
          far.Scale(src, size, Pair<int>(corner.x + 2, corner.y + 1), mode, filter);
          ASSERT_EQ(Pixels(far), Pixels(reference)) << size.x << "x" << size.y << " filter " << filter << " corner "
                                                    << corner.x << "," << corner.y;
        }
      }
}
