// The brush as stamped: hot spots, the brush modes' recolouring, the transparency position,
// and the factory brush's round and square shapes.

#include <gtest/gtest.h>

#include <cstdint>

#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"

namespace {

std::uint32_t PixelAt(const Buffer& b, int x, int y) { return *b.At(x, y); }

// Brush globals restored after each test (they live for the whole run).
class BrushModelTest : public ::testing::Test {
protected:
  ~BrushModelTest() override {
    BrushState = BrushStateBlock{};
    BrushTransparency = 50;
    Brush.Free();
    BrushShape.Free();
  }
};

TEST_F(BrushModelTest, HotSpotOffsetsForEveryModeAndBothParities) {
  struct Case {
    int w, h, mode;
    Pair<int> expected;
  } cases[] = {
      {5, 4, HandleCentre, {2, 2}},     {4, 5, HandleCentre, {2, 2}},      {1, 1, HandleCentre, {0, 0}},
      {5, 4, HandleLeftTop, {0, 0}},    {5, 4, HandleRightTop, {4, 0}},    {5, 4, HandleRightBottom, {4, 3}},
      {5, 4, HandleLeftBottom, {0, 3}}, {25, 25, HandleCentre, {12, 12}},
  };
  for (const Case& c : cases) EXPECT_EQ(HotSpotOffset(c.w, c.h, c.mode), c.expected) << c.w << "x" << c.h << " mode " << c.mode;
}

TEST_F(BrushModelTest, BrushHotSpotComesFromTheShapesSize) {
  BrushShape.Alloc(7, 3);
  BrushHandleMode = HandleRightBottom;
  EXPECT_EQ(BrushHotSpot(), (Pair<int>{6, 2}));
}

TEST_F(BrushModelTest, StateBlockIsSixteenBytesAndNamesReachIt) {
  EXPECT_EQ(sizeof(BrushState), 16u);
  BrushMode = BrushModeReplace;
  BrushHandleMode = HandleLeftBottom;
  BrushTransparentColor = 0x123456;
  EXPECT_EQ(BrushState.Mode, BrushModeReplace);
  EXPECT_EQ(BrushState.HandleMode, HandleLeftBottom);
  EXPECT_EQ(BrushState.TransparentColor, 0x123456u);
}

// A 3 x 1 brush: outside, a half-transparent red pixel, an opaque green one.
void MakeThreePixelBrush() {
  Brush.Alloc(3, 1);
  *Brush.At(0, 0) = BrushOutside;
  *Brush.At(1, 0) = 0x80FF0000;
  *Brush.At(2, 0) = 0x0000FF00;
}

TEST_F(BrushModelTest, ModesRecolourTheShape) {
  struct Case {
    std::uint8_t mode;
    bool background;
    std::uint32_t expected[3];
  } cases[] = {
      {BrushModePaint, false, {BrushOutside, 0x80FF0000, 0x0000FF00}},
      {BrushModeColor, false, {0xFF000011, 0x80000011, 0x00000011}},
      {BrushModeReplace, false, {0x00ABCDEF, 0x80FF0000, 0x0000FF00}},
      {BrushModePaint, true, {0xFF000022, 0x80000022, 0x00000022}},
      {BrushModeColor, true, {0xFF000022, 0x80000022, 0x00000022}},
      {BrushModeReplace, true, {0x00000022, 0x00000022, 0x00000022}},
  };
  for (const Case& c : cases) {
    MakeThreePixelBrush();
    BrushShape.Alloc(3, 1);
    BrushMode = c.mode;
    BrushTransparentColor = 0x00ABCDEF;
    UpdateBrushShapeWith(0x11, 0x22, c.background);
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(PixelAt(BrushShape, x, 0), c.expected[x]) << "mode " << int(c.mode) << " bg " << c.background << " x " << x;
  }
}

TEST_F(BrushModelTest, TransparencyPositionShiftsInsidePixelsOnly) {
  struct Case {
    int position;
    std::uint32_t half, opaque;
  } cases[] = {
      {50, 0x80FF0000, 0x0000FF00},   // leaves the brush as it is
      {0, 0x00FF0000, 0x0000FF00},    // -254: all opaque
      {100, 0xFFFF0000, 0xFF00FF00},  // +255: all transparent
      {60, 0xB3FF0000, 0x3300FF00},   // trunc(306 - 254.99) = 51
      {40, 0x4EFF0000, 0x0000FF00},   // trunc(204 - 254.99) = -50, held at 0
  };
  for (const Case& c : cases) {
    MakeThreePixelBrush();
    BrushShape.Alloc(3, 1);
    BrushTransparency = c.position;
    UpdateBrushShapeWith(0, 0, false);
    EXPECT_EQ(PixelAt(BrushShape, 0, 0), BrushOutside) << c.position;
    EXPECT_EQ(PixelAt(BrushShape, 1, 0), c.half) << c.position;
    EXPECT_EQ(PixelAt(BrushShape, 2, 0), c.opaque) << c.position;
  }
}

TEST_F(BrushModelTest, ShapeOfAnotherSizeIsMadeTheBrushsSize) {
  MakeThreePixelBrush();
  BrushShape.Alloc(1, 1);
  UpdateBrushShapeWith(0, 0, false);
  ASSERT_EQ(BrushShape.Width(), 3);
  ASSERT_EQ(BrushShape.Height(), 1);
  EXPECT_EQ(PixelAt(BrushShape, 2, 0), 0x0000FF00u);
}

// The factory brushes, drawn by hand from their rule: ring i of n at transparency
// 255 - i * 255 / n, then the opaque core.
TEST_F(BrushModelTest, HardRoundBrushIsAnOpaqueDiscOnOutside) {
  MakeFactoryBrush(FactoryShape::Round, 5, 100, 0x102030);
  ASSERT_EQ(Brush.Width(), 5);
  ASSERT_EQ(BrushShape.Width(), 5);
  // Radius 2 around (2, 2): rows 0 and 4 hold columns 1..3 (the disc's midpoint spans).
  const char* rows[] = {".###.", "#####", "#####", "#####", ".###."};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(PixelAt(Brush, x, y), rows[y][x] == '#' ? 0x00102030u : BrushOutside) << x << "," << y;
}

TEST_F(BrushModelTest, EvenRoundSizeIsMadeOddAroundItsCentre) {
  MakeFactoryBrush(FactoryShape::Round, 10, 50, 0xFF);
  ASSERT_EQ(Brush.Width(), 11);
  ASSERT_EQ(Brush.Height(), 11);
  // S = 10, H = 50: n = 51 * 10 / 200 = 2 rings; radius 5 at 255, radius 4 at 128, core radius 3.
  EXPECT_EQ(PixelAt(Brush, 5, 0), 0xFF0000FFu);  // outermost ring
  EXPECT_EQ(PixelAt(Brush, 5, 1), 0x800000FFu);  // second ring
  EXPECT_EQ(PixelAt(Brush, 5, 2), 0x000000FFu);  // core
  EXPECT_EQ(PixelAt(Brush, 5, 5), 0x000000FFu);
  EXPECT_EQ(PixelAt(Brush, 0, 0), BrushOutside);
  EXPECT_EQ(BrushState.ShapeKind, 0);
}

TEST_F(BrushModelTest, SoftSquareBrushHasRingsOfFallingTransparency) {
  MakeFactoryBrush(FactoryShape::Square, 8, 1, 0x00ABCDEF);
  // n = 100 * 8 / 200 = 4 rings: 255, 192, 128, 64; the core box (4, 4, 3, 3) is empty.
  ASSERT_EQ(Brush.Width(), 8);
  const std::uint32_t tops[] = {255, 192, 128, 64};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(PixelAt(Brush, i, i), tops[i] << 24 | 0xABCDEF) << i;
    EXPECT_EQ(PixelAt(Brush, 7 - i, i), tops[i] << 24 | 0xABCDEF) << i;
  }
  EXPECT_EQ(BrushState.ShapeKind, 1);
}

TEST_F(BrushModelTest, HardSquareOfAnySizeIsOneOpaqueBox) {
  // At hardness 100 a large size still gives no ring (n would be 1 at size 200).
  MakeFactoryBrush(FactoryShape::Square, 200, 100, 0x0000FF);
  ASSERT_EQ(Brush.Width(), 200);
  EXPECT_EQ(PixelAt(Brush, 0, 0), 0x000000FFu);
  EXPECT_EQ(PixelAt(Brush, 199, 199), 0x000000FFu);
}

TEST_F(BrushModelTest, OutOfRangeSizeAndHardnessMakeTheNearestBrush) {
  MakeFactoryBrush(FactoryShape::Square, 0, 100, 0x010203);
  ASSERT_EQ(Brush.Width(), 1);
  EXPECT_EQ(PixelAt(Brush, 0, 0), 0x00010203u);
  MakeFactoryBrush(FactoryShape::Round, 1, 0, 0x010203);  // hardness 0 taken as 1
  ASSERT_EQ(Brush.Width(), 1);
  EXPECT_EQ(PixelAt(Brush, 0, 0), 0x00010203u);
}

TEST_F(BrushModelTest, FactoryBrushThenShapeInColourModeTakesTheDrawingColour) {
  MakeFactoryBrush(FactoryShape::Round, 3, 100, 0x000000);
  BrushMode = BrushModeColor;
  UpdateBrushShapeWith(0x00FF8800, 0x00FFFFFF, false);
  EXPECT_EQ(PixelAt(BrushShape, 1, 1), 0x00FF8800u);
  // The corner lies outside the radius-1 disc: it takes the colour and stays fully transparent.
  EXPECT_EQ(PixelAt(BrushShape, 0, 0), 0xFFFF8800u);
}

}  // namespace
