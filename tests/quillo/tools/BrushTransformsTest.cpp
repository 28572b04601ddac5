// The brush transforms on their own: turning by any angle about the true centre, quarter and
// half turns, mirrors, the outline, the drop shadow, scaling, cropping, the unused colour and
// the bend and shear geometry.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "BrushLetters.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTools.h"
#include "quillo/tools/BrushTransforms.h"
#include "quillo/tools/SelectionToBrush.h"
#include "vorlen/core/CompositeTables.h"
#include "vorlen/transform/SampleWriters.h"

using namespace brush_letters;

namespace {

constexpr double kPi = std::numbers::pi;

class BrushTransformsTest : public ::testing::Test {
protected:
  ~BrushTransformsTest() override {
    BrushState = BrushStateBlock{};
    Settings.OptimBrush = false;
    CustomBrush = false;
    Brush.Free();
    BrushShape.Free();
  }
};

TEST_F(BrushTransformsTest, RotatedSizeKeepsExactSidesAtQuarterAndHalfTurnsGivenAsFloats) {
  struct Case {
    int w, h;
    double angle;
    Pair<int> size;
  } cases[] = {
      {4, 3, 0.0, {4, 3}},
      {4, 3, static_cast<float>(kPi / 2), {3, 4}},
      {4, 3, static_cast<float>(kPi), {4, 3}},
      {4, 3, static_cast<float>(-kPi / 2), {3, 4}},
      {10, 10, kPi / 4, {14, 14}},
      {1000, 1000, kPi / 6, {1366, 1366}},
  };
  for (const Case& c : cases) EXPECT_EQ(RotatedSize(c.w, c.h, c.angle), c.size) << c.w << "x" << c.h << " at " << c.angle;
}

TEST_F(BrushTransformsTest, TransformBrushTurnsAboutTheTrueCentre) {
  struct Case {
    const char* brush;
    double angle;
    const char* turned;
  } cases[] = {
      {"abcd/efgh/ijkl", kPi / 2, "dhl/cgk/bfj/aei"},
      {"abcd/efgh/ijkl", kPi, "lkji/hgfe/dcba"},
      {"abcd/efgh/ijkl", -kPi / 2, "iea/jfb/kgc/lhd"},
      {"abc", kPi / 2, "c/b/a"},
      {"abcd/efgh/ijkl", 0.0, "abcd/efgh/ijkl"},
      {"a.c/.e./g.i", kPi, "i.g/.e./c.a"},
  };
  for (const Case& c : cases) {
    SetBrush(c.brush);
    TransformBrush(static_cast<float>(c.angle));
    EXPECT_EQ(BrushText(), c.turned) << c.brush << " at " << c.angle;
    EXPECT_EQ(BrushShape.Width(), Brush.Width());
  }
}

TEST_F(BrushTransformsTest, TransformBrushKeepsPartialTransparencyAtAngleZero) {
  SetBrush("ab");
  *Brush.At(0, 0) = 0x80123456;
  TransformBrush(0.0f);
  EXPECT_EQ(*Brush.At(0, 0), 0x80123456u);
  EXPECT_EQ(*Brush.At(1, 0), ColourOf('b'));
}

TEST_F(BrushTransformsTest, AnAngleBetweenSoftensTheEdgesAndLeavesTheCornersOutside) {
  SetBrush("aaaa/aaaa/aaaa/aaaa");
  TransformBrush(static_cast<float>(kPi / 4));
  ASSERT_EQ(Brush.Width(), 5);
  EXPECT_EQ(*Brush.At(0, 0), BrushOutside);
  EXPECT_EQ(*Brush.At(2, 2), ColourOf('a'));
  const std::uint32_t edge = *Brush.At(2, 0);
  EXPECT_NE(edge, BrushOutside);
  EXPECT_EQ(edge & 0xFFFFFFu, ColourOf('a'));  // only the transparency differs
}

// The turned drawing as defined pixel by pixel: every target pixel's four samples tested
// against the source on their own, the sample points moving on by one sum a pixel.
void TurnPixelByPixel(Buffer& target, const Buffer& source, double angle, Pair<int> corner, Pair<int> box, Missed missed) {
  const Rect area = Intersect(target.rect, Rect(corner.x, corner.y, corner.x + box.x - 1, corner.y + box.y - 1));
  const double cs = std::cos(angle), sn = std::sin(angle);
  const int sw = source.Width(), sh = source.Height();
  const double boxCx = corner.x + box.x / 2.0, boxCy = corner.y + box.y / 2.0;
  const auto sample = [&](double x, double y, bool& covered) -> std::uint32_t {
    covered = !(x < 0 || y < 0 || x >= sw || y >= sh);
    return covered ? source.pixels[static_cast<long>(y) * source.stride + static_cast<long>(x)] : BrushOutside;
  };
  const CompositeTableBlock& tables = CompositeTables();
  for (int ty = area.top; ty <= area.bottom; ++ty) {
    const double X = area.left + 0.25 - boxCx, Y = ty + 0.25 - boxCy;
    double sx = sw / 2.0 + cs * X - sn * Y, sy = sh / 2.0 + sn * X + cs * Y;
    for (int tx = area.left; tx <= area.right; ++tx, sx += cs, sy += sn) {
      std::uint32_t& t = *target.At(tx, ty);
      bool c0, c1, c2, c3;
      const std::uint32_t a = sample(sx, sy, c0), b = sample(sx + cs * 0.5, sy + sn * 0.5, c1);
      const std::uint32_t c = sample(sx + -sn * 0.5, sy + cs * 0.5, c2);
      const std::uint32_t d = sample(sx + cs * 0.5 + -sn * 0.5, sy + sn * 0.5 + cs * 0.5, c3);
      if (!(c0 || c1 || c2 || c3)) {
        if (missed == Missed::Outside) t = BrushOutside;
        continue;
      }
      t = BlendOver(tables, Average4(a, b, c, d), missed == Missed::Outside ? BrushOutside : t);
    }
  }
}

TEST_F(BrushTransformsTest, TurnedDrawingEqualsThePixelByPixelDefinition) {
  std::mt19937 random(20261211);
  UDBuffer source, expected, drawn;
  struct Case {
    int sw, sh;
    double angle;
    int tw, th;  // the target; the box is the turned size, placed partly off it in some cases
    int shiftX, shiftY;
  } cases[] = {
      {37, 23, kPi / 6, 60, 60, 0, 0},      {37, 23, -kPi / 7, 50, 40, -9, 5},
      {100, 3, 1.0, 120, 120, 3, -20},      {1, 1, 0.3, 4, 4, 0, 0},
      {64, 64, static_cast<float>(kPi / 2), 64, 64, 0, 0}, {33, 70, static_cast<float>(kPi), 40, 80, 0, 0},
      {20, 30, static_cast<float>(-kPi / 2), 40, 40, 1, 1}, {150, 90, 1e-9, 200, 120, 7, 7},
      {300, 200, 2.5, 330, 330, -40, 30},    {129, 65, kPi / 4, 300, 300, 20, 20},
  };
  for (const Case& c : cases) {
    source.Alloc(c.sw, c.sh);
    for (int y = 0; y < c.sh; ++y)
      for (int x = 0; x < c.sw; ++x) {
        const std::uint32_t kind = random() % 4;
        *source.At(x, y) = kind == 0 ? BrushOutside : kind == 1 ? (random() & 0xFFFFFFu) | (random() % 255) << 24 : random() & 0xFFFFFFu;
      }
    const Pair<int> box = RotatedSize(c.sw, c.sh, c.angle);
    const Pair<int> corner{(c.tw - box.x) / 2 + c.shiftX, (c.th - box.y) / 2 + c.shiftY};
    for (const Missed missed : {Missed::Kept, Missed::Outside}) {
      expected.Alloc(c.tw, c.th);
      drawn.Alloc(c.tw, c.th);
      for (int y = 0; y < c.th; ++y)
        for (int x = 0; x < c.tw; ++x) *expected.At(x, y) = *drawn.At(x, y) = random() % 3 ? random() & 0xFFFFFFu : random();
      TurnPixelByPixel(expected, source, c.angle, corner, box, missed);
      DrawRotated(drawn, source, c.angle, corner, box, missed);
      int differing = 0;
      for (int y = 0; y < c.th; ++y)
        for (int x = 0; x < c.tw; ++x) differing += *expected.At(x, y) != *drawn.At(x, y);
      EXPECT_EQ(differing, 0) << c.sw << "x" << c.sh << " at " << c.angle << (missed == Missed::Outside ? " outside" : " kept");
    }
  }
}

TEST_F(BrushTransformsTest, QuarterHalfTurnsAndMirrors) {
  using Step = void (*)();
  struct Case {
    const char* brush;
    std::vector<Step> steps;
    const char* result;
  } cases[] = {
      {"abc", {RotateBrushQuarter}, "c/b/a"},
      {"abcd/efgh/ijkl", {RotateBrushQuarter}, "dhl/cgk/bfj/aei"},
      {"abcd/efgh/ijkl", {RotateBrushHalf}, "lkji/hgfe/dcba"},
      {"ab/cd", {MirrorBrushLeftRight}, "ba/dc"},
      {"ab/cd/ef", {MirrorBrushTopBottom}, "ef/cd/ab"},
      {"abc/def", {RotateBrushQuarter, RotateBrushQuarter, RotateBrushQuarter, RotateBrushQuarter}, "abc/def"},
      {"abc/def", {RotateBrushHalf, RotateBrushHalf}, "abc/def"},
      {"abc/def", {MirrorBrushLeftRight, MirrorBrushLeftRight}, "abc/def"},
      {"abc/def", {MirrorBrushTopBottom, MirrorBrushTopBottom}, "abc/def"},
  };
  for (const Case& c : cases) {
    SetBrush(c.brush);
    for (Step step : c.steps) step();
    EXPECT_EQ(BrushText(), c.result) << c.brush;
  }
}

TEST_F(BrushTransformsTest, OutlineIsOnePixelWideAndFourConnected) {
  struct Case {
    const char* brush;
    const char* outlined;
  } cases[] = {
      {"a", ".B./BaB/.B."},
      {"ab", ".BB./BabB/.BB."},
      {"a./.b", ".B../BaB./.BbB/..B."},
  };
  for (const Case& c : cases) {
    SetBrush(c.brush);
    OutlineBrush(ColourOf('B'));
    EXPECT_EQ(BrushText(), c.outlined) << c.brush;
  }
}

TEST_F(BrushTransformsTest, DropShadowInEachDirection) {
  struct Case {
    ShadowDirection direction;
    int depth;
    const char* result;
  } cases[] = {
      {ShadowDirection::SouthEast, 1, "RR./RRB/.BB"},
      {ShadowDirection::SouthWest, 1, ".RR/BRR/BB."},
      {ShadowDirection::East, 1, "RRB/RRB"},
      {ShadowDirection::South, 1, "RR/RR/BB"},
      {ShadowDirection::East, 3, "RR.BB/RR.BB"},
  };
  for (const Case& c : cases) {
    SetBrush("RR/RR");
    CastBrushShadow(c.depth, c.direction, ColourOf('B'));
    EXPECT_EQ(BrushText(), c.result) << static_cast<int>(c.direction);
  }
}

TEST_F(BrushTransformsTest, ScalingPicksSamplesAndKeepsAtLeastOnePixel) {
  struct Case {
    const char* brush;
    double fx, fy;
    const char* result;
  } cases[] = {
      {"abcd/efgh/ijkl/mnop", 0.5, 0.5, "fh/np"},
      {"a/b/c/d", 0.5, 0.5, "b/d"},
      {"abcd", 0.5, 0.5, "bd"},
      {"ab", 2, 1, "aabb"},
      {"ab", 1, 2, "ab/ab"},
      {"a.", 2, 1, "aa.."},
  };
  for (const Case& c : cases) {
    SetBrush(c.brush);
    BrushTransparentColor = 0x00FEFEFE;
    ScaleBrush(c.fx, c.fy);
    EXPECT_EQ(BrushText(), c.result) << c.brush;
  }
}

TEST_F(BrushTransformsTest, HalvingANothingBrushGivesOnePixelOfTheDrawingColour) {
  SetBrush("../..");
  BrushTransparentColor = 0x00FEFEFE;
  ScaleBrush(0.5, 0.5);
  ASSERT_EQ(BrushText().size(), 1u);
  EXPECT_EQ(*Brush.At(0, 0), DrawingColour());
}

TEST_F(BrushTransformsTest, TrimCropsToTheContentOnlyWhenOptimBrushIsOn) {
  struct Case {
    bool optimise;
    const char* brush;
    const char* trimmed;
  } cases[] = {
      {true, "..../.ab./....", "ab"},
      {true, "..../..../....", "."},
      {true, ".a/../b.", ".a/../b."},
      {true, "a../...", "a"},
      {false, "..../.ab./....", "..../.ab./...."},
  };
  for (const Case& c : cases) {
    Settings.OptimBrush = c.optimise;
    SetBrush(c.brush);
    TrimBrush();
    EXPECT_EQ(BrushText(), c.trimmed) << c.brush;
    EXPECT_EQ(BrushShape.Width(), Brush.Width());
  }
}

TEST_F(BrushTransformsTest, ReplaceModeNeedsACustomBrush) {
  SetBrush("ab");
  BrushMode = BrushModeColor;
  CustomBrush = false;
  SetBrushModeReplace();
  EXPECT_EQ(BrushMode, BrushModeColor);
  UseCustomBrushShape();
  SetBrushModeReplace();
  EXPECT_EQ(BrushMode, BrushModeReplace);
  SetBrushModePaint();
  EXPECT_EQ(BrushMode, BrushModePaint);
}

TEST_F(BrushTransformsTest, UnusedColourTakesTheLeastUsedRedThenGreen) {
  // Every red value once with green 0: the first red, 0, is among the least used, and with
  // red 0 the first green not used is 1.
  BrushShape.Alloc(256, 2);
  for (int x = 0; x < 256; ++x) {
    *BrushShape.At(x, 0) = static_cast<std::uint32_t>(x) << 16;
    *BrushShape.At(x, 1) = BrushOutside;
  }
  EXPECT_EQ(FindUnusedBrushColor(512), 0x000100u);
  // Reds 0 and 1 only: red 2 is unused.
  SetBrush("..");
  *BrushShape.At(0, 0) = 0x000000;
  *BrushShape.At(1, 0) = 0x010000;
  EXPECT_EQ(FindUnusedBrushColor(2), 0x020000u);
  // Outside pixels count for nothing.
  SetBrush("..");
  EXPECT_EQ(FindUnusedBrushColor(2), 0x000000u);
}

TEST_F(BrushTransformsTest, BendOffsetsAndSplit) {
  // A 5 x 1 brush fixed at x 10, the pointer 4 rows above its middle at x 12.
  const int k = BendSplit(12, 10, 5);
  EXPECT_EQ(k, 2);
  std::vector<int> offsets;
  for (int i = 0; i < 5; ++i) offsets.push_back(BendOffset(i, 5, k, 4, 1));
  EXPECT_EQ(offsets, (std::vector<int>{4, 2, 0, 0, 1}));
  EXPECT_EQ(BendSplit(9, 10, 5), 1);
  EXPECT_EQ(BendSplit(14, 10, 5), 4);
  EXPECT_EQ(BendSplit(15, 10, 5), 3);
  EXPECT_EQ(BendSplit(15, 10, 1), 0);  // held inside a one-pixel brush
  for (int i = 0; i < 5; ++i) EXPECT_EQ(BendOffset(i, 5, k, 0, 1), 0);
}

TEST_F(BrushTransformsTest, ShearWalksEveryStripWithoutGaps) {
  struct Case {
    int n, d;
    std::vector<std::pair<int, int>> walk;
  } cases[] = {
      {3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {2, 4, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
      {3, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
      {2, -2, {{0, 2}, {1, 1}, {2, 0}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int, int>> walk;
    ShearWalk(c.n, c.d, c.d < 0 ? -c.d : 0, [&](int strip, int at) { walk.push_back({strip, at}); });
    EXPECT_EQ(walk, c.walk) << c.n << " " << c.d;
  }
}

TEST_F(BrushTransformsTest, TheAngleIsShownInDegreesWithTheDegreeSign) {
  EXPECT_EQ(P_rotate_brush::AngleText(kPi / 2), AnsiString("90.00\xB0"));
  EXPECT_EQ(P_rotate_brush::AngleText(kPi), AnsiString("180.00\xB0"));
  EXPECT_EQ(P_rotate_brush::AngleText(0), AnsiString("0.00\xB0"));
}

}  // namespace
