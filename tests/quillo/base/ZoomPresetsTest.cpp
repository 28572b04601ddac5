// The zoom presets as numbers: factors, labels, the packed zoom the view takes, the choice of
// a position for a factor and the cap on the view's size.

#include <gtest/gtest.h>

#include "quillo/base/ZoomPresets.h"

namespace {

struct Preset {
  int position;
  double factor;
  std::uint32_t packed;
  const char* label;
};

TEST(ZoomPresetsTest, EveryPositionHasItsFactorPackedZoomAndLabel) {
  const Preset presets[] = {
      {0, 0.75, 3 | 4 << 16, "3/4"},       {-1, 2.0 / 3, 2 | 3 << 16, "2/3"}, {-2, 0.5, 1 | 2 << 16, "1/2"},
      {-3, 1.0 / 3, 1 | 3 << 16, "1/3"},   {-4, 0.25, 1 | 4 << 16, "1/4"},    {-5, 0.2, 1 | 5 << 16, "1/5"},
      {-6, 1.0 / 6, 1 | 6 << 16, "1/6"},   {-7, 0.125, 1 | 8 << 16, "1/8"},   {-8, 0.1, 1 | 10 << 16, "1/10"},
      {1, 1, 1 | 1 << 16, "1"},            {7, 7, 7 | 1 << 16, "7"},          {32, 32, 32 | 1 << 16, "32"},
  };
  for (const Preset& p : presets) {
    SCOPED_TRACE(p.position);
    EXPECT_DOUBLE_EQ(ZoomFactorAt(p.position), p.factor);
    EXPECT_EQ(PackedZoomAt(p.position), p.packed);
    EXPECT_EQ(ZoomLabelAt(p.position), p.label);
    EXPECT_EQ(ZoomPositionFor(p.factor), p.position) << "a preset's own factor chooses it";
  }
}

TEST(ZoomPresetsTest, AFactorTakesTheFirstPresetNoMoreThanAHairAboveIt) {
  const std::pair<double, int> cases[] = {
      {0.3, -4},   {0.334, -3}, {0.7, -1},  {0.9, 0},   {0.05, -8}, {0.0, -8},
      {1.0, 1},    {1.99, 1},   {7.9, 7},   {40.0, 32}, {0.746, 0},  {0.744, -1},
  };
  for (auto [factor, position] : cases) EXPECT_EQ(ZoomPositionFor(factor), position) << factor;
}

TEST(ZoomPresetsTest, ViewSizesFollowTheFractionWithIntegerDivision) {
  EXPECT_EQ(ZoomedSize(100, 0), 75);
  EXPECT_EQ(ZoomedSize(100, -1), 66);
  EXPECT_EQ(ZoomedSize(101, -8), 10);
  EXPECT_EQ(ZoomedSize(100, 4), 400);
}

TEST(ZoomPresetsTest, AViewOfThe32000PixelCapTakesTheLargestPresetBelowIt) {
  struct Case {
    int position, longerSide, expected;
  };
  const Case cases[] = {
      {8, 4001, 7},    // 7 x 4001 = 28007
      {8, 4000, 7},    // 8 x 4000 is the cap itself: an exact divisor settles one below
      {7, 4000, 7},    // under the cap: kept
      {32, 1000, 31},  // 31000
      {32, 999, 32},   // 31968
      {1, 32000, 0},   // 3/4 of 32000 = 24000
      {1, 100000, -4}, // 1/4 = 25000; 1/3 = 33333
      {1, 500000, -8}, // nothing fits: the smallest preset
      {-2, 70000, -3}, // 1/2 = 35000; 1/3 = 23333
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.position << " " << c.longerSide);
    const int capped = CappedZoomPosition(c.position, c.longerSide);
    EXPECT_EQ(capped, c.expected);
    if (capped > MinZoomPosition) {
      EXPECT_LT(ZoomedSize(c.longerSide, capped), MaxViewSide);
    }
    EXPECT_EQ(CappedZoomPosition(capped, c.longerSide), capped) << "the capped zoom settles";
  }
}

}  // namespace
