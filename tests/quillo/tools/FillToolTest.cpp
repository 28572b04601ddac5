// The flood fills: the colour distance that bounds the area (transparency included), four and
// eight neighbours, the shade mode, the pattern's tile grid and its origin, the selection that
// bounds a fill, the colour conversions the shade mode stands on, the area found by runs
// against the area found pixel by pixel, and each mode's paint undone and redone.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "ShapeFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ColorSpace.h"
#include "quillo/tools/ColourRuns.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Fills.h"
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

// A picture of near colours: most pixels a few steps from one another in each byte, the
// transparency byte included, with walls of far colours between, so that every tolerance
// takes a different area.
void Noise(Buffer& picture, unsigned seed) {
  std::mt19937 random(seed);
  for (int y = picture.rect.top; y <= picture.rect.bottom; ++y) {
    std::uint32_t* pixel = picture.At(picture.rect.left, y);
    for (int x = 0; x < picture.Width(); ++x, ++pixel) {
      if (random() % 100 < 18) {
        *pixel = random() % 2 ? 0x00FF0000u : 0x80102030u;
        continue;
      }
      std::uint32_t word = 0x20806040u;
      for (int shift = 0; shift < 32; shift += 8) word += (random() % 4) << shift;
      *pixel = word;
    }
  }
}

// The fills' colour test asked pixel by pixel, as the library's general fill asks it.
const Buffer* Asked = nullptr;
std::uint32_t AskedSeed = 0;
int AskedTolerance = 0;
bool NearTheSeed(int x, int y) {
  const Rect& r = Asked->rect;
  if (x < r.left || y < r.top || x > r.right || y > r.bottom) return false;
  return PixelDistance(*Asked->At(x, y), AskedSeed) <= AskedTolerance;
}

BitBuffer AreaByPixels(const Buffer& view, std::uint32_t seed, int x, int y, int tolerance, bool eight, int w, int h) {
  Asked = &view;
  AskedSeed = seed;
  AskedTolerance = tolerance;
  BitBuffer mask;
  mask.Alloc(w, h);
  mask.Fill(x, y, NearTheSeed, eight);
  return mask;
}

std::vector<std::uint32_t> Words(const BitBuffer& mask) {
  std::vector<std::uint32_t> words;
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) words.push_back(mask.Test(x, y) ? 1 : 0);
  return words;
}

TEST_F(FillToolTest, TheAreaFoundByRunsIsTheAreaFoundPixelByPixel) {
  UDBuffer& picture = document->Picture;
  Noise(picture, 3);
  const int w = picture.Width(), h = picture.Height();
  // The whole picture, a part of it (as DrawView is with the setting Clipping) and a part
  // the seed lies outside of.
  const Rect views[] = {picture.rect, Rect(13, 7, 100, 80), Rect(50, 40, 127, 95)};
  for (const Rect& part : views)
    for (const int tolerance : {-1, 0, 1, 3, 8, 20, 100, 1019, 1020, 5000})
      for (const bool eight : {false, true})
        for (const auto& [x, y] : {std::pair{40, 30}, std::pair{0, 0}, std::pair{127, 95}}) {
          SCOPED_TRACE("view " + std::to_string(part.left) + "," + std::to_string(part.top) + " tolerance " +
                       std::to_string(tolerance) + (eight ? " eight" : " four") + " at " + std::to_string(x) +
                       "," + std::to_string(y));
          Buffer view;
          view.Alloc(picture, part, true);
          const std::uint32_t seed = *picture.At(x, y);
          const BitBuffer expected = AreaByPixels(view, seed, x, y, tolerance, eight, w, h);
          BitBuffer byRuns;
          byRuns.Alloc(w, h);
          byRuns.Fill(x, y, ColourRuns(view, seed, tolerance), eight);
          ASSERT_EQ(Words(byRuns), Words(expected));
          if (part != picture.rect) continue;
          // The tools' own way there: the picture as DrawView shows it.
          BitBuffer grown;
          Rect bounds;
          ASSERT_TRUE(GrowColourArea(grown, x, y, tolerance, eight, &bounds));
          ASSERT_EQ(Words(grown), Words(expected));
          ASSERT_EQ(bounds, MaskBounds(expected).Empty() ? Rect() : MaskBounds(expected));
        }
}

// Each fill mode painted through the user's click on a picture of near colours, against the
// pixel rules applied to the area found pixel by pixel; then undone and redone.
struct PaintCase {
  const char* name;
  bool pattern;     // the pattern fill, else the solid fill
  bool customBrush;
  bool shade;
  int transparency;
  bool selection;
  bool right;
  int size;  // of the square picture; 0: the fixture's
};

class FillPaintTest : public FillToolTest, public ::testing::WithParamInterface<PaintCase> {};

// What the fill's rules give for one pixel of the area.
std::uint32_t ByTheRules(const PaintCase& c, std::uint32_t pixel, int x, int y, std::uint32_t colour) {
  const auto brightest = [](std::uint32_t p) { return std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}); };
  const auto word = [](int r, int g, int b) { return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b); };
  const std::uint32_t top = std::uint32_t(c.transparency) << 24;
  if (!c.pattern || !c.customBrush) {
    if (!c.shade || c.pattern) return colour | top;
    int h = 0, s = 0, v = 0, r = 0, g = 0, b = 0;
    RGB2HSV(int(colour >> 16 & 0xFF), int(colour >> 8 & 0xFF), int(colour & 0xFF), h, s, v);
    HSV2RGB(h, s, int(brightest(pixel)), r, g, b);
    return word(r, g, b) | top;
  }
  std::uint32_t tile = *Brush.At(Brush.rect.left + x % Brush.Width(), Brush.rect.top + y % Brush.Height());
  if (tile == BrushOutside) tile = BackgroundColour();
  if (!c.shade) return tile | top;
  int h = 0, s = 0, v = 0, r = 0, g = 0, b = 0;
  RGB2HSV(int(tile >> 16 & 0xFF), int(tile >> 8 & 0xFF), int(tile & 0xFF), h, s, v);
  HSV2RGB(h, s, (int(brightest(pixel)) + v) >> 1, r, g, b);
  return word(r, g, b);
}

TEST_P(FillPaintTest, PaintsTheAreaByThePixelRulesAndUndoesExactly) {
  const PaintCase& c = GetParam();
  if (c.size > 0) document = NewDocument(c.size, c.size);
  UDBuffer& picture = document->Picture;
  ui.RunUntilIdle();
  form->DrawCol->SetColor(static_cast<TColor>(0x0080FF));  // FF8000
  form->BackCol->SetColor(static_cast<TColor>(0x123456));
  Noise(picture, 7);
  if (c.customBrush) {
    Brush.Alloc(5, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) *Brush.At(Brush.rect.left + x, Brush.rect.top + y) = 0x300000u * (x + 1) + 0x40u * (y + 1);
    *Brush.At(Brush.rect.left + 2, Brush.rect.top + 1) = BrushOutside;
    CustomBrush = true;
  }
  const int w = picture.Width(), h = picture.Height();
  if (c.selection) {
    picture.SetMaskRect(true, Rect(10, 5, w - 20, h - 15));
    picture.RebuildSelectionOutline();
    ASSERT_NE(picture.Outline, nullptr);
  }
  Choose(c.pattern ? static_cast<P_icon*>(&FillPatternTool) : &FillSolidTool);
  SetOptionValue(0, 20);
  SetOptionValue(1, c.transparency);
  SetOptionValue(2, 1);
  SetOptionValue(3, c.shade ? 1 : 0);
  const int sx = 40, sy = 30;
  BitBuffer area = AreaByPixels(picture, *picture.At(sx, sy), sx, sy, 20, true, w, h);
  if (c.selection) area.Copy(picture.Mask, 0, 0, BitBuffer::kAnd);
  const std::vector<std::uint32_t> before(picture.pixels, picture.pixels + std::size_t(w) * h);
  std::vector<std::uint32_t> expected = before;
  const std::uint32_t colour = c.right ? BackgroundColour() : DrawingColour();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (area.Test(x, y)) expected[std::size_t(y) * w + x] = ByTheRules(c, before[std::size_t(y) * w + x], x, y, colour);
  ASSERT_EQ(picture.stride, w);

  ClickAt(sx, sy, c.right ? InputEvent::Right : 0);
  PointerAway();
  ASSERT_TRUE(std::equal(expected.begin(), expected.end(), picture.pixels)) << "the paint";
  ASSERT_NE(picture.UndoChain, nullptr);
  const UndoEntry& step = *picture.UndoChain;
  EXPECT_EQ(Rect(step.Left, step.Top, step.Right, step.Bottom), MaskBounds(area)) << "the step holds what was painted";
  EXPECT_EQ(step.Next, nullptr);
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), picture.pixels)) << "undone";
  ASSERT_TRUE(picture.Redo());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), picture.pixels)) << "redone";
}

const PaintCase kPaintCases[] = {
    {"Solid", false, false, false, 0, false, false, 0},
    {"SolidRightButton", false, false, false, 0, false, true, 0},
    {"SolidTransparentInASelection", false, false, false, 40, true, false, 0},
    {"SolidShade", false, false, true, 0, false, false, 0},
    {"SolidShadeTransparent", false, false, true, 90, true, false, 0},
    {"PatternWithoutACustomBrush", true, false, false, 30, false, false, 0},
    {"Pattern", true, true, false, 0, false, false, 0},
    {"PatternTransparentInASelection", true, true, false, 60, true, false, 0},
    {"PatternShade", true, true, true, 0, false, true, 0},
    // A step large enough to be narrowed within its own memory.
    {"SolidOnALargePictureInASelection", false, false, false, 0, true, false, 1500},
};

INSTANTIATE_TEST_SUITE_P(EveryMode, FillPaintTest, ::testing::ValuesIn(kPaintCases),
                         [](const ::testing::TestParamInfo<PaintCase>& info) { return std::string(info.param.name); });

}  // namespace
