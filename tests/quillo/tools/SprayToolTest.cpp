// The spray, the airbrush and the radius tool: where the spray's dots fall for pinned random
// numbers, how many dabs a held button makes on the activity timer, the airbrush's soft disc
// to the pixel, the clip to the visible part, the stroke's single undo step, both mouse
// buttons, and the radius dragged out with the bars' button and handed to both bars.

#include <gtest/gtest.h>

#include <vector>

#include "ShapeFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/BrushState.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"
#include "quillo/tools/ToolRandom.h"
#include "support/UiDriver.h"

namespace {

constexpr std::uint32_t White = 0xFFFFFF;

class SprayToolTest : public ShapeToolTest {
protected:
  ~SprayToolTest() override {
    ResizeSprayTool.SprayRadius = 20;
    SprayTool.RememberedOption2 = AirbrushTool.RememberedOption2 = 10;
    Settings.Clipping = false;
  }

  // The smallest channel of a pixel: how dark it became.
  static int Red(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }

  // A point just inside a control, on the desktop.
  static POINT ScreenPointOf(TControl* control) {
    if (auto* window = dynamic_cast<TWinControl*>(control)) return UiDriver::At(window->GetHandle(), 3, 3);
    return UiDriver::At(control->GetParent()->GetHandle(), control->GetLeft() + 3, control->GetTop() + 3);
  }

  // A press held at an image point, the pointer still.
  void PressAt(int x, int y, int button = InputEvent::Left) {
    const POINT p = ViewPoint(x, y);
    ui.MoveTo(p.x, p.y);
    ui.MouseDown(p.x, p.y, button);
    ui.RunUntilIdle();
  }
  void ReleaseAt(int x, int y, int button = InputEvent::Left) {
    const POINT p = ViewPoint(x, y);
    ui.MouseUp(p.x, p.y, button);
    ui.RunUntilIdle();
    PointerAway();
  }
};

// ---------------------------------------------------------------------------------------
// The radius tool

TEST_F(SprayToolTest, TheRadiusIsTheDistanceRoundedHalfUp) {
  const struct {
    int dx, dy, radius;
  } cases[] = {{3, 4, 5}, {1, 1, 1}, {1, 2, 2}, {0, 0, 0}, {-3, -4, 5}, {2, 0, 2}, {40000, 30000, 50000}};
  for (const auto& c : cases) EXPECT_EQ(ResizeSprayTool.SizeFromOffset(c.dx, c.dy), c.radius) << c.dx << "," << c.dy;
}

TEST_F(SprayToolTest, TheBarsButtonDragsOutTheRadiusAndBothBarsGetIt) {
  Choose(&SprayTool);
  BrushHandleMode = HandleLeftTop;
  MakeFactoryBrush(FactoryShape::Round, 5, 100, 0x000000);
  UpdateBrushShape(false);
  ASSERT_FALSE(OptionControls.empty());
  ui.Click(ScreenPointOf(OptionControls[0]).x, ScreenPointOf(OptionControls[0]).y);
  ui.RunUntilIdle();
  ASSERT_EQ(CurrentTool, &ResizeSprayTool);
  // While it runs the hot spot is the centre.
  EXPECT_EQ(BrushHandleMode, HandleCentre);

  // Centre at (40, 40); the pointer dragged to (43, 44): radius 5, a disc of 11 pixels across.
  PressAt(40, 40);
  const POINT mid = ViewPoint(43, 44);
  ui.MoveTo(mid.x, mid.y);
  ui.Advance(400);
  EXPECT_EQ(ResizeSprayTool.Size, 5);
  EXPECT_EQ(BrushShape.Width(), 11);
  EXPECT_EQ(PixelAt(40, 40) & 0xFFFFFF, 0u) << "the disc shows round the centre";
  EXPECT_EQ(PixelAt(45, 40) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(46, 40) & 0xFFFFFF, White);
  ReleaseAt(43, 44);

  EXPECT_EQ(ResizeSprayTool.SprayRadius, 5);
  EXPECT_EQ(CurrentTool, &SprayTool) << "handed back";
  EXPECT_EQ(GetOptionValue(1), 5);
  EXPECT_EQ(BrushHandleMode, HandleLeftTop) << "the hot spot is back";
  EXPECT_EQ(BrushShape.Width(), 5) << "and so is the brush";
  EXPECT_TRUE(Painted().empty()) << "the disc leaves nothing behind";
  Choose(&AirbrushTool);
  EXPECT_EQ(GetOptionValue(1), 5);
}

// ---------------------------------------------------------------------------------------
// The spray

TEST_F(SprayToolTest, WithTheGeneratorAtZeroTheDotsFallOneRadiusLeft) {
  const struct {
    double density;
    int draws;  // three a dot
  } cases[] = {{2, 9}, {1, 3}, {0.5, 0}, {0, 0}, {-4, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.density);
    Whiten();
    int draws = 0;
    ScopedToolRandom pinned([&] { return ++draws, 0; }, [] { return 0; });
    ResetDirtyRect();
    SprayDabAt(60, 40, 7, c.density);
    EXPECT_EQ(draws, c.draws);
    if (c.draws > 0) EXPECT_TRUE(PaintedIs({{53, 40}}));
    else EXPECT_TRUE(Painted().empty());
  }
}

TEST_F(SprayToolTest, AZeroRadiusSpraysAsRadiusOne) {
  ScopedToolRandom pinned([] { return 12345; }, [] { return 0; });
  SprayDabAt(60, 40, 0, 1);
  // d = -1 + 0 + 0, angle 12345 mod 360 = 105 degrees.
  EXPECT_EQ(Painted().size(), 1u);
}

TEST_F(SprayToolTest, AHeldButtonSpraysOnEveryTickAndOneUndoStepCoversEveryDot) {
  MakeFactoryBrush(FactoryShape::Square, 3, 100, 0x000000);
  UpdateBrushShape(false);
  Choose(&SprayTool);
  SetOptionValue(1, 30);
  SetOptionValue(2, 2);
  // The program's own numbers, counted: three draws a dot, three dots a dab at density 2.
  SeedToolRandom(7);
  int draws = 0;
  std::uint32_t state = 7;
  ScopedToolRandom counted(
      [&] {
        ++draws;
        state = state * 214013u + 2531011u;
        return static_cast<int>(state >> 16 & 0x7FFF);
      },
      {});
  PressAt(64, 48);
  ui.Advance(400);
  const std::size_t afterPress = Painted().size();
  // One dab at every tick of the activity timer, whose 50 ms event the timer list serves at
  // its finest period of 100 ms.
  for (int tick = 0; tick < 5; ++tick) {
    const int before = draws;
    ui.Advance(100);
    EXPECT_EQ(draws - before, 9) << "one dab on tick " << tick;
  }
  EXPECT_GT(Painted().size(), afterPress) << "dots keep coming with the pointer still";
  ReleaseAt(64, 48);
  const PixelSet sprayed = Painted();
  ASSERT_FALSE(sprayed.empty());
  UDBuffer& picture = document->Picture;
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Description, "SprayIcon");
  EXPECT_EQ(picture.UndoChain->Next, nullptr) << "one step for the stroke";
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty()) << "every dot is undone, those at the brush's edge too";
}

TEST_F(SprayToolTest, TheRightButtonSpraysTheBackgroundColour) {
  form->BackCol->SetColor(clRed);
  Choose(&SprayTool);
  SetOptionValue(1, 5);
  SetOptionValue(2, 4);
  PressAt(64, 48, InputEvent::Right);
  ui.Advance(400);
  ReleaseAt(64, 48, InputEvent::Right);
  const PixelSet sprayed = Painted();
  ASSERT_FALSE(sprayed.empty());
  for (const auto& [x, y] : sprayed) EXPECT_EQ(PixelAt(x, y) & 0xFFFFFF, 0xFF0000u) << x << "," << y;
  EXPECT_EQ(BrushShape.At(0, 0)[0] & 0xFFFFFF, 0u) << "the brush is in the drawing colour again";
}

// ---------------------------------------------------------------------------------------
// The airbrush

TEST_F(SprayToolTest, TheAirbrushDiscOfRadiusTwoAtFullStrength) {
  UDBuffer& picture = document->Picture;
  picture.Box(picture.rect, 0x80FFFFFF);
  ScopedToolRandom noiseless([] { return 0; }, [] { return 2; });
  AirbrushDabOn(picture, picture.rect, 50, 30, 2, 100, 0x000000);
  const struct {
    int dy;
    int reds[5];
  } rows[] = {{0, {255, 225, 155, 225, 255}},
              {-1, {255, 239, 225, 239, 255}},
              {1, {255, 239, 225, 239, 255}},
              {-2, {255, 255, 255, 255, 255}},
              {2, {255, 255, 255, 255, 255}}};
  for (const auto& row : rows) {
    for (int i = 0; i < 5; ++i) {
      const std::uint32_t p = PixelAt(48 + i, 30 + row.dy);
      EXPECT_EQ(Red(p), row.reds[i]) << "x " << 48 + i << " dy " << row.dy;
      EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF) << "grey";
    }
  }
  EXPECT_EQ(PixelAt(50, 30) >> 24, 0u) << "painted pixels are opaque";
  EXPECT_EQ(PixelAt(50, 33), 0x80FFFFFFu) << "outside the disc nothing changes";
  EXPECT_EQ(PixelAt(47, 30), 0x80FFFFFFu);
}

TEST_F(SprayToolTest, AirbrushLimitsKeepTheBlendSound) {
  UDBuffer& picture = document->Picture;
  ScopedToolRandom loudest([] { return 0; }, [] { return 4; });  // noise +2
  const struct {
    double radius, strength;
    int centreRed;
  } cases[] = {{0, 100, 255 * (256 - 100) >> 8},  // radius 0 works as 1: the centre still weighs s + 2 - 2
               {3, 1000, 0},                      // strength held at 254: weight 256 at the centre at most
               {3, -5, 253}};                     // strength 0: only the noise
  for (const auto& c : cases) {
    SCOPED_TRACE(c.radius);
    Whiten();
    AirbrushDabOn(picture, picture.rect, 20, 20, c.radius, c.strength, 0x000000);
    const int expected = c.radius == 0 ? 255 * (256 - 102) >> 8 : c.centreRed;
    EXPECT_EQ(Red(PixelAt(20, 20)), expected);
  }
  EXPECT_EQ(UsableRadius(0), 1);
  EXPECT_EQ(UsableRadius(-3), 1);
  EXPECT_EQ(UsableStrength(255), 254);
  EXPECT_EQ(UsableStrength(-1), 0);
}

TEST_F(SprayToolTest, TheAirbrushPaintsOnlyInsideTheClip) {
  UDBuffer& picture = document->Picture;
  ScopedToolRandom noiseless([] { return 0; }, [] { return 2; });
  const Rect clip(40, 20, 60, 35);
  AirbrushDabOn(picture, clip, 40, 20, 10, 200, 0x000000);
  for (const auto& [x, y] : Painted()) {
    EXPECT_GE(x, 40);
    EXPECT_GE(y, 20);
  }
  EXPECT_FALSE(Painted().empty());
  // Wholly off the picture: nothing, and no fault.
  AirbrushDabOn(picture, picture.rect, -500, -500, 20, 100, 0x000000);
}

TEST_F(SprayToolTest, WithClippingOnAScrolledViewKeepsTheHiddenPartWhite) {
  Settings.Clipping = true;
  SetZoom(8);
  document->SetBounds(document->GetLeft(), document->GetTop(), 300, 250);
  ui.RunUntilIdle();
  TEventScrollBox* box = document->MaxSize;
  box->GetHorzScrollBar()->SetPosition(400);
  box->GetVertScrollBar()->SetPosition(240);
  ui.RunUntilIdle();
  const int left = box->GetHorzScrollBar()->GetPosition() / 8;
  const int top = box->GetVertScrollBar()->GetPosition() / 8;
  ASSERT_GT(left, 0);
  Choose(&AirbrushTool);
  SetOptionValue(1, 12);
  SetOptionValue(2, 100);
  // A dab of a stroke held at the visible part's top-left corner.
  ToolPoint = {left + 2, top + 2};
  MouseShift = TShiftState();
  ToolPhase = ToolPhaseDrag;
  AirbrushDab();
  ToolPhase = 0;
  const PixelSet painted = Painted();
  ASSERT_FALSE(painted.empty());
  for (const auto& [x, y] : painted) {
    EXPECT_GE(x, left) << "column " << x;
    EXPECT_GE(y, top) << "row " << y;
  }
}

TEST_F(SprayToolTest, TheAirbrushDarkensWhileHeldAndTheRightButtonUsesTheBackground) {
  Choose(&AirbrushTool);
  SetOptionValue(1, 6);
  SetOptionValue(2, 60);
  PressAt(64, 48);
  ui.Advance(400);
  const int first = Red(PixelAt(64, 48));
  for (int tick = 0; tick < 6; ++tick) ui.Advance(50);
  const int later = Red(PixelAt(64, 48));
  EXPECT_LT(first, 255);
  EXPECT_LT(later, first) << "held still, the centre keeps darkening";
  ReleaseAt(64, 48);
  UDBuffer& picture = document->Picture;
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Description, "ABrushIcon");

  form->BackCol->SetColor(clBlue);
  PressAt(20, 20, InputEvent::Right);
  ui.Advance(400);
  ReleaseAt(20, 20, InputEvent::Right);
  const std::uint32_t p = PixelAt(20, 20);
  EXPECT_LT(Red(p), 255);
  EXPECT_EQ(p & 0xFF, 0xFFu) << "blended towards blue";
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(PixelAt(20, 20), White);
}

}  // namespace
