// The flood fills: the colour distance that bounds the area (transparency included), four and
// eight neighbours, the shade mode, the pattern's tile grid and its origin, the selection that
// bounds a fill, and the colour conversions the shade mode stands on.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ShapeFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ColorSpace.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

using Triple = std::array<int, 3>;

TEST(ColorSpaceTest, RgbToHsvInSinglePrecision) {
  const std::pair<Triple, Triple> cases[] = {
      {{255, 0, 0}, {0, 255, 255}},   {{0, 255, 0}, {120, 255, 255}}, {{0, 0, 255}, {240, 255, 255}},
      {{128, 128, 128}, {0, 0, 128}}, {{200, 100, 50}, {19, 191, 200}}, {{0, 0, 0}, {0, 0, 0}},
  };
  for (const auto& [rgb, hsv] : cases) {
    Triple got{};
    RGB2HSV(rgb[0], rgb[1], rgb[2], got[0], got[1], got[2]);
    EXPECT_EQ(got, hsv) << rgb[0] << "," << rgb[1] << "," << rgb[2];
  }
}

TEST(ColorSpaceTest, HsvToRgbAnyHue) {
  const std::pair<Triple, Triple> cases[] = {
      {{0, 0, 200}, {200, 200, 200}}, {{60, 255, 255}, {255, 255, 0}}, {{360, 255, 255}, {255, 0, 0}},
      {{359, 255, 255}, {255, 0, 4}}, {{30, 255, 255}, {255, 127, 0}}, {{720, 255, 255}, {255, 0, 0}},
      {{-1, 255, 255}, {255, 0, 4}},  {{30, 255, 200}, {200, 100, 0}},
  };
  for (const auto& [hsv, rgb] : cases) {
    Triple got{-1, -1, -1};
    HSV2RGB(hsv[0], hsv[1], hsv[2], got[0], got[1], got[2]);
    EXPECT_EQ(got, rgb) << hsv[0] << "," << hsv[1] << "," << hsv[2];
  }
}

class FillToolTest : public ShapeToolTest {
protected:
  void Put(int x, int y, std::uint32_t word) { *document->Picture.At(x, y) = word; }
  bool IsBlack(int x, int y) const { return PixelAt(x, y) == 0x000000u; }
  template <class T>
  T* Option(int n) const {
    return dynamic_cast<T*>(OptionControls[static_cast<std::size_t>(n)]);
  }
};

TEST_F(FillToolTest, TransparencyCountsInTheColourDistance) {
  for (const int tolerance : {0, 1}) {
    SCOPED_TRACE("tolerance " + std::to_string(tolerance));
    Whiten();
    for (int y = 0; y < 96; ++y) Put(10, y, 0x01FFFFFF);  // a wall that differs only in transparency
    Choose(&FillSolidTool);
    SetOptionValue(0, tolerance);
    Give(5, 5);
    EXPECT_TRUE(IsBlack(0, 0));
    EXPECT_EQ(IsBlack(10, 50), tolerance == 1);
    EXPECT_EQ(IsBlack(100, 50), tolerance == 1);
  }
}

TEST_F(FillToolTest, FourNeighboursDoNotCrossADiagonal) {
  for (const bool eight : {false, true}) {
    SCOPED_TRACE(eight ? "eight" : "four");
    for (int i = 0; i <= 10; ++i) Put(20 + i, 20 + i, 0xFF0000);
    Choose(&FillSolidTool);
    SetOptionValue(2, eight ? 1 : 0);
    Give(20, 20);
    EXPECT_TRUE(IsBlack(20, 20));
    EXPECT_EQ(IsBlack(25, 25), eight);
    EXPECT_EQ(IsBlack(30, 30), eight);
    EXPECT_FALSE(IsBlack(21, 20));
  }
}

TEST_F(FillToolTest, ShadeModeKeepsTheBrightness) {
  form->DrawCol->SetColor(static_cast<TColor>(0x0080FF));  // FF8000
  document->Picture.Box(document->Picture.rect, 0xC8C8C8);
  Put(60, 60, 0x000000);
  Choose(&FillSolidTool);
  SetOptionValue(3, 1);  // the user ticks Shade: the box tells its handler
  ASSERT_EQ(FillSolidTool.Shade, 1);
  SetOptionValue(0, 255);
  Give(5, 5);
  EXPECT_EQ(PixelAt(5, 5), 0xC86400u);
  EXPECT_EQ(PixelAt(60, 60), 0x000000u) << "brightness 0 stays black";
}

TEST_F(FillToolTest, ThePatternTilesTheBrushFromWhereItWasTaken) {
  Brush.Alloc(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) *Brush.At(Brush.rect.left + x, Brush.rect.top + y) = 0x100000u * (x + 1) + 0x10u * (y + 1);
  BrushState.PositionX = 10;
  BrushState.PositionY = 5;
  CustomBrush = true;
  Choose(&FillPatternTool);
  SetOptionValue(5, PatternAtBrushPosition);
  Option<TComboBox>(5)->OnChange(nullptr);
  ASSERT_EQ(FillPatternTool.FillPatternMode, PatternAtBrushPosition);
  Give(0, 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(PixelAt(x, y), *Brush.At(Brush.rect.left + (x + 2) % 4, Brush.rect.top + (y + 1) % 3)) << x << "," << y;
}

TEST_F(FillToolTest, WithoutACustomBrushThePatternFillPaintsSolidWithItsTransparency) {
  Choose(&FillPatternTool);
  SetOptionValue(1, 40);
  Give(5, 5);
  EXPECT_EQ(PixelAt(70, 70), 0x28000000u);
}

TEST_F(FillToolTest, TheFillOriginIsWhereTheBrushHasItsCorner) {
  MakeFactoryBrush(FactoryShape::Round, 5, 100, 0x000000);
  UpdateBrushShape(false);
  Choose(&FillPatternTool);
  SelectTool(&FillPosTool, true, -1);
  Give(7, 3);
  EXPECT_EQ(FillPosTool.FillOrigin, (Pair<int>{0, 4}));
  EXPECT_EQ(FillPatternTool.FillPatternMode, PatternAtFillOrigin);
}

TEST_F(FillToolTest, AFillStaysInTheSelectionAndAClickOutsideLeavesNoStep) {
  document->Picture.SetMaskRect(true, Rect(0, 0, 19, 19));
  document->Picture.RebuildSelectionOutline();
  ASSERT_NE(document->Picture.Outline, nullptr);
  Choose(&FillSolidTool);
  ClickAt(50, 50);
  PointerAway();
  EXPECT_TRUE(Painted().empty());
  EXPECT_EQ(document->Picture.UndoChain, nullptr) << "no step that undoes nothing";
  ClickAt(5, 5);
  PointerAway();
  PixelSet square;
  for (int y = 0; y < 20; ++y) Add(square, Row(y, 0, 19));
  EXPECT_TRUE(PaintedIs(square));ASSERT_NE(document->Picture.UndoChain, nullptr);
  const UndoEntry& step = *document->Picture.UndoChain;
  EXPECT_EQ(Rect(step.Left, step.Top, step.Right, step.Bottom), Rect(0, 0, 19, 19));
}

TEST_F(FillToolTest, TheRightButtonFillsWithTheBackgroundColour) {
  form->BackCol->SetColor(clRed);
  Choose(&FillSolidTool);
  ClickAt(5, 5, InputEvent::Right);
  PointerAway();
  EXPECT_EQ(PixelAt(100, 90), 0xFF0000u);
}

TEST_F(FillToolTest, TheFillsAreChosenByTheirKey) {
  SetForegroundWindow(document->GetHandle());
  document->SetFocus();
  ui.RunUntilIdle();
  ui.Press('F');
  EXPECT_EQ(CurrentTool, &FillSolidTool);
  ui.Press('F');
  EXPECT_EQ(CurrentTool, &FillPatternTool);
}

}  // namespace
