#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "tests/vorlen/BufferFixtures.h"
#include "vorlen/core/Buffer.h"

namespace {

using Points = std::set<std::pair<int, int>>;

// The pixels that differ from background, in the buffer's own coordinates.
Points Drawn(const Buffer& b, uint background = 0) {
  Points out;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x)
      if (*b.At(x, y) != background) out.insert({x, y});
  return out;
}

// The line as its rule reads: one pixel per major step, the minor coordinate moving on each
// carry of a 32-bit accumulator that starts at one half.
Points ReferenceLine(Pair<int> from, Pair<int> to) {
  const long long dx = std::abs(to.x - from.x), dy = std::abs(to.y - from.y);
  const bool majorX = dx >= dy;
  const long long major = majorX ? dx : dy, minor = majorX ? dy : dx;
  unsigned long long step = (static_cast<unsigned long long>(minor) << 32) / major;
  unsigned long long accumulator = 0x80000000u;
  if (dx == dy) step = 0xFFFFFFFFu, accumulator = 0xFFFFFFFEu;
  const int sx = to.x > from.x ? 1 : -1, sy = to.y > from.y ? 1 : -1;
  Points out;
  int x = from.x, y = from.y;
  out.insert({x, y});
  for (long long i = 0; i < major; ++i) {
    accumulator += step;
    const bool carry = accumulator >> 32;
    accumulator &= 0xFFFFFFFFu;
    if (majorX) x += sx, y += carry ? sy : 0;
    else y += sy, x += carry ? sx : 0;
    out.insert({x, y});
  }
  return out;
}

}  // namespace

TEST(BufferDraw, PutPixelClipsAndXorsTheColourBytesOnly) {
  Buffer b = Filled(3, 3, 0x12345678);
  for (const Pair<int> p : {Pair<int>(-1, 0), Pair<int>(3, 1), Pair<int>(1, -1), Pair<int>(0, 3)})
    b.PutPixel(p, 0);
  EXPECT_TRUE(Drawn(b, 0x12345678).empty());
  b.PutPixel(Pair<int>(1, 1), 0x8F00FF00);
  EXPECT_EQ(*b.At(1, 1), 0x1234A978u);
  b.PutPixel(Pair<int>(1, 1), 0x8F00FF00);
  EXPECT_EQ(*b.At(1, 1), 0x12345678u);
  b.PutPixel(Pair<int>(2, 2), 0x8E00FF00);  // any other top byte is a colour
  EXPECT_EQ(*b.At(2, 2), 0x8E00FF00u);
}

TEST(BufferDraw, VLineAndBoxClip) {
  Buffer b = Filled(4, 4, 0);
  b.VLine(1, 9, 3, 7);
  b.VLine(9, 0, 3, 7);
  EXPECT_TRUE(Drawn(b).empty());
  b.VLine(1, -5, 1, 7);
  EXPECT_EQ(Drawn(b), (Points{{1, 0}, {1, 1}}));
  Buffer c = Filled(4, 4, 0);
  c.Box(Rect(2, -1, 9, 0), 7);
  c.Box(Rect(3, 3, 2, 3), 7);  // empty
  EXPECT_EQ(Drawn(c), (Points{{2, 0}, {3, 0}}));
}

TEST(BufferDraw, RectangleDrawsEveryOutlinePixelOnce) {
  struct Case {
    Rect r;
    size_t pixels;
  } const cases[] = {{Rect(0, 0, 4, 0), 5}, {Rect(1, 0, 1, 4), 5}, {Rect(0, 0, 3, 1), 8},
                     {Rect(0, 0, 3, 3), 12}, {Rect(2, 2, 1, 3), 0}};
  for (const Case& c : cases) {
    Buffer b = Filled(6, 6, 0);
    b.Rectangle(c.r, 0x8F0000FF);  // XOR: a pixel drawn twice would vanish
    EXPECT_EQ(Drawn(b).size(), c.pixels);
    for (const auto& [x, y] : Drawn(b)) EXPECT_EQ(*b.At(x, y), 0xFFu);
    b.Rectangle(c.r, 0x8F0000FF);
    EXPECT_TRUE(Drawn(b).empty());
  }
}

TEST(BufferDraw, LinesFollowTheAccumulatorRule) {
  struct Case {
    Pair<int> from, to;
    Points pixels;
  } const cases[] = {
      {{0, 0}, {9, 3}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 3}, {9, 3}}},
      {{9, 3}, {0, 0}, {{9, 3}, {8, 3}, {7, 2}, {6, 2}, {5, 2}, {4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
      {{0, 0}, {2, 5}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
      {{3, 0}, {0, 3}, {{3, 0}, {2, 1}, {1, 2}, {0, 3}}},
      {{2, 7}, {2, 4}, {{2, 4}, {2, 5}, {2, 6}, {2, 7}}},
      {{5, 1}, {3, 1}, {{3, 1}, {4, 1}, {5, 1}}},
  };
  for (const Case& c : cases) {
    Buffer b = Filled(10, 10, 0);
    b.Line(c.from, c.to, 1);
    EXPECT_EQ(Drawn(b), c.pixels) << c.from.x << "," << c.from.y;
    EXPECT_EQ(ReferenceLine(c.from, c.to), c.pixels);
  }
}

TEST(BufferDraw, ClippedLinesKeepExactlyThePixelsInside) {
  Buffer whole = Filled(10, 10, 0);
  whole.Line(Pair<int>(0, 0), Pair<int>(9, 3), 1);
  Buffer backing = Filled(10, 10, 0);
  Buffer view(backing, Rect(2, 0, 9, 9), true);
  view.Line(Pair<int>(0, 0), Pair<int>(9, 3), 1);
  Points inside;
  for (const auto& p : Drawn(whole))
    if (p.first >= 2) inside.insert(p);
  EXPECT_EQ(Drawn(backing), inside);

  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(-400, 400);
  for (int i = 0; i < 2000; ++i) {
    const Pair<int> from(coordinate(random), coordinate(random)), to(coordinate(random), coordinate(random));
    Buffer canvas = Filled(41, 31, 0);
    Buffer shifted(canvas, Rect(-10, -5, 40, 30), false);  // the whole canvas, moved by (10, 5)
    ASSERT_EQ(shifted.rect, Rect(10, 5, 50, 35));
    shifted.Line(from, to, 1);
    Points expected;
    for (const auto& [x, y] : ReferenceLine(from, to))
      if (x >= 10 && x <= 50 && y >= 5 && y <= 35) expected.insert({x, y});
    ASSERT_EQ(Drawn(shifted), expected) << from.x << "," << from.y << " " << to.x << "," << to.y;
  }
}

TEST(BufferDraw, LinesOutsideOrOnEmptyBuffersDrawNothing) {
  Buffer b = Filled(10, 10, 0);
  Buffer view(b, Rect(5, 0, 9, 9), true);
  view.Line(Pair<int>(0, 0), Pair<int>(4, 9), 1);   // both ends left of it
  view.Line(Pair<int>(-2147483647 - 1, 3), Pair<int>(2147483647, -9), 1);  // misses above
  EXPECT_TRUE(Drawn(b).empty());
  Buffer empty;
  empty.Line(Pair<int>(0, 0), Pair<int>(5, 3), 1);
  empty.Rectangle(Rect(0, 0, 3, 3), 1);
  empty.PutPixel(Pair<int>(0, 0), 1);
  EXPECT_EQ(empty.pixels, nullptr);
}

TEST(BufferDraw, HugeLinesClipWithoutWalkingOutside) {
  Buffer b = Filled(10, 10, 0);
  b.Line(Pair<int>(-2147483647 - 1, -2147483647 - 1), Pair<int>(2147483647, 2147483647), 1);
  Points diagonal;
  for (int i = 0; i < 10; ++i) diagonal.insert({i, i});
  EXPECT_EQ(Drawn(b), diagonal);
}

TEST(BufferDraw, CopyLineCopiesThePixelsOnTheLine) {
  Buffer src;
  src.Alloc(Pair<int>(6, 6));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) *src.At(x, y) = uint(100 + 10 * y + x);
  Buffer dst = Filled(6, 6, 0);
  dst.CopyLine(src, Pair<int>(0, 0), Pair<int>(5, 2), Pair<int>(1, 2));  // cut at column 5
  const Points expected{{1, 2}, {2, 2}, {3, 3}, {4, 3}, {5, 4}};
  EXPECT_EQ(Drawn(dst), expected);
  for (const auto& [x, y] : expected) EXPECT_EQ(*dst.At(x, y), *src.At(x - 1, y - 2));

  Buffer row = Filled(6, 6, 0);
  row.CopyLine(src, Pair<int>(4, 1), Pair<int>(1, 1), Pair<int>(0, 3));
  EXPECT_EQ(Drawn(row), (Points{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
  EXPECT_EQ(*row.At(1, 4), 111u);
}

TEST(BufferPixels, ColourReplacementAndMaskTest) {
  Buffer b = Filled(3, 2, 5);
  *b.At(1, 0) = 9;
  b.XChColor(5, 5);
  EXPECT_EQ(Drawn(b, 5), (Points{{1, 0}}));
  b.XChColor(5, 9);
  EXPECT_EQ(Drawn(b, 9), (Points{{1, 0}}));
  EXPECT_EQ(*b.At(1, 0), 5u);
  b.ChColor(9, 0x01000000);
  EXPECT_TRUE(b.CheckMask(0xFF000000));
  EXPECT_FALSE(b.CheckMask(0x00FFFFF0));
  Buffer empty;
  EXPECT_FALSE(empty.CheckMask(0xFFFFFFFF));
}

TEST(BufferPixels, BoolOperations) {
  struct Case {
    int op;
    uint value;
    uint expected;
  } const cases[] = {{1, 0x00FF00FF, 0x00340078}, {2, 0x0F, 0xF034567F}, {3, 0xFFFFFFFF, 0x0FCBA987},
                     {4, uint(-4), 0x0F034567}, {4, 4, 0x03456780},   {4, 0, 0xF0345678},
                     {4, 32, 0xF0345678},      {4, uint(-36), 0x0F034567}, {7, 1, 0xF0345678}};
  for (const Case& c : cases) {
    Buffer b = Filled(2, 2, 0xF0345678);
    b.Bool(c.op, c.value);
    EXPECT_EQ(Drawn(b, c.expected).size(), 0u) << c.op << " " << c.value;
  }
}

TEST(BufferPixels, OutlineEQSurroundsTheColour) {
  Buffer b = Filled(3, 3, 0);
  *b.At(1, 1) = 7;
  b.OutlineEQ(7, 2);
  EXPECT_EQ(Drawn(b, 2), (Points{{1, 1}}));
  Buffer row = Filled(5, 1, 0);
  *row.At(2, 0) = 7;
  row.OutlineEQ(7, 2);
  EXPECT_EQ(Drawn(row), (Points{{1, 0}, {2, 0}, {3, 0}}));
  EXPECT_EQ(*row.At(1, 0), 2u);
  // With outline equal to colour, the tests still read the pixels as they were: one ring.
  Buffer grow = Filled(5, 5, 0);
  *grow.At(2, 2) = 7;
  grow.OutlineEQ(7, 7);
  EXPECT_EQ(Drawn(grow).size(), 9u);
}

TEST(BufferPixels, OutlineNEMarksTheInnerBorder) {
  Buffer b = Filled(6, 6, 0);
  b.Box(Rect(1, 1, 4, 4), 7);
  b.OutlineNE(7, 2);
  Points ring;
  for (int i = 1; i <= 4; ++i) ring.insert({i, 1}), ring.insert({i, 4}), ring.insert({1, i}), ring.insert({4, i});
  EXPECT_EQ(Drawn(b, 0).size(), 16u);
  Points outlined;
  for (const auto& p : Drawn(b, 0))
    if (*b.At(p.first, p.second) == 2) outlined.insert(p);
  EXPECT_EQ(outlined, ring);
  // The buffer's edge is no neighbour: a colour filling the buffer gets no outline.
  Buffer full = Filled(3, 3, 7);
  full.OutlineNE(7, 2);
  EXPECT_TRUE(Drawn(full, 7).empty());
}

TEST(BufferPixels, TestPattern) {
  Buffer b = Filled(2, 260, 0x000000FF);
  b.VClr(17);
  EXPECT_EQ(*b.At(0, 0), 0x1000007Fu);
  EXPECT_EQ(*b.At(1, 1), 0x1001017Fu);
  EXPECT_EQ(*b.At(1, 258), 0x1002027Fu);
}
