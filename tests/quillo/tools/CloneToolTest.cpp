// The clone brush: the offset fixed by an Alt+click and the next stroke, the edge column
// repeated past the picture's edge in both modes, copying from the picture before the stroke
// against smearing from the picture as painted, the brush's outside left alone, nothing
// painted between an Alt+click and the next press, and the stroke's undo step.

#include <gtest/gtest.h>

#include "ShapeFixture.h"
#include "platform/host/KeyCodes.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

// A pattern no two pixels share.
std::uint32_t Pattern(int x, int y) { return static_cast<std::uint32_t>(x << 8 | y); }

class CloneToolTest : public ShapeToolTest {
protected:
  CloneToolTest() {
    UDBuffer& picture = document->Picture;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) *picture.At(x, y) = Pattern(x, y);
    MakeFactoryBrush(FactoryShape::Square, 5, 100, 0x000000);
    UpdateBrushShape(false);
    CloneTool.SourceX = CloneTool.SourceY = 0;
    CloneTool.Absolute = 0;
    CloneTool.RememberedOption = 0;
  }
  ~CloneToolTest() override {
    CloneTool.SourceX = CloneTool.SourceY = 0;
    CloneTool.Absolute = 0;
    CloneTool.RememberedOption = 0;
  }

  void AltClick(int x, int y) { ModifiedClick(VK_MENU, x, y); }
  void ModifiedClick(int modifier, int x, int y) {
    ui.KeyDown(modifier);
    ClickAt(x, y);
    ui.KeyUp(modifier);
    ui.RunUntilIdle();
  }
  // A stroke one pixel a step along a row.
  void Stroke(int y, int x1, int x2) {
    const POINT a = ViewPoint(x1, y);
    ui.MoveTo(a.x, a.y);
    ui.MouseDown(a.x, a.y);
    ui.Advance(400);
    for (int x = x1 + 1; x <= x2; ++x) {
      const POINT p = ViewPoint(x, y);
      ui.MoveTo(p.x, p.y);
      ui.RunUntilIdle();
    }
    const POINT z = ViewPoint(x2, y);
    ui.MouseUp(z.x, z.y);
    ui.RunUntilIdle();
    PointerAway();
  }
};

TEST_F(CloneToolTest, ASourceAHundredPixelsLeftReproducesThatRegion) {
  Choose(&CloneTool);
  AltClick(10, 50);
  Stroke(50, 110, 120);
  for (int y = 48; y <= 52; ++y)
    for (int x = 108; x <= 122; ++x) EXPECT_EQ(PixelAt(x, y), Pattern(x - 100, y)) << x << "," << y;
  EXPECT_EQ(PixelAt(107, 50), Pattern(107, 50));
  EXPECT_EQ(PixelAt(110, 47), Pattern(110, 47));
  UDBuffer& picture = document->Picture;
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Description, "CloneIcon");
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(PixelAt(115, 50), Pattern(115, 50));
}

// Alt+click rarely reaches a program under a window manager, so Ctrl+click sets the source as
// well, and the tool's prompt says so.
TEST_F(CloneToolTest, CtrlClickSetsTheSourceAsAltClickDoes) {
  Choose(&CloneTool);
  EXPECT_NE(CloneTool.StatusText.find("Ctrl+click"), AnsiString::npos) << CloneTool.StatusText;
  for (const int modifier : {VK_CONTROL, VK_MENU}) {
    ModifiedClick(modifier, 10, 50);
    Stroke(50, 110, 120);
    for (int x = 108; x <= 122; ++x) EXPECT_EQ(PixelAt(x, 50), Pattern(x - 100, 50)) << x << " modifier " << modifier;
    ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(PixelAt(115, 50), Pattern(115, 50));
  }
}

TEST_F(CloneToolTest, PastTheLeftEdgeTheEdgeColumnRepeatsInBothModes) {
  for (int option : {0, 1}) {
    SCOPED_TRACE(option);
    Choose(&CloneTool);
    SetOptionValue(0, option);
    AltClick(60, 30);
    Stroke(30, 110, 111);
    // The offset is -50: this stroke's source lies wholly left of the picture.
    Stroke(30, 20, 24);
    for (int y = 28; y <= 32; ++y)
      for (int x = 18; x <= 26; ++x) EXPECT_EQ(PixelAt(x, y), Pattern(0, y)) << x << "," << y;
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 128; ++x) *document->Picture.At(x, y) = Pattern(x, y);
  }
}

TEST_F(CloneToolTest, CopyingFromBeforeTheStrokeDoesNotSmearButCopyingLiveDoes) {
  for (int option : {0, 1}) {
    SCOPED_TRACE(option);
    Choose(&CloneTool);
    SetOptionValue(0, option);
    AltClick(15, 60);
    Stroke(60, 20, 40);
    if (option == 0) {
      for (int x = 18; x <= 42; ++x) EXPECT_EQ(PixelAt(x, 60), Pattern(x - 5, 60)) << x;
    } else {
      // Each dab copies what the ones before painted: the first dab's five columns repeat.
      for (int x = 18; x <= 42; ++x) EXPECT_EQ(PixelAt(x, 60), Pattern(13 + (x - 18) % 5, 60)) << x;
    }
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 128; ++x) *document->Picture.At(x, y) = Pattern(x, y);
  }
}

TEST_F(CloneToolTest, OnlyTheBrushesOutsideMarkerIsSkipped) {
  UDBuffer& picture = document->Picture;
  BrushShape.Alloc(3, 1);
  *BrushShape.At(0, 0) = 0xFF000000;
  *BrushShape.At(1, 0) = 0xFE000000;  // nearly transparent, still inside
  *BrushShape.At(2, 0) = 0x80123456;
  CloneTool.FromUndoCopy = 0;
  CloneTool.SourceX = -50;
  CloneTool.SourceY = 0;
  CloneDabOn(picture, picture.rect, BrushShape, 60, 10, -50, 0, false);
  EXPECT_EQ(PixelAt(60, 10), Pattern(60, 10));
  EXPECT_EQ(PixelAt(61, 10), Pattern(11, 10)) << "copied whole";
  EXPECT_EQ(PixelAt(62, 10), Pattern(12, 10));
}

TEST_F(CloneToolTest, NothingIsPaintedBetweenAnAltClickAndTheNextPress) {
  Choose(&CloneTool);
  AltClick(20, 20);
  for (int x = 30; x < 90; x += 7) {
    const POINT p = ViewPoint(x, 40);
    ui.MoveTo(p.x, p.y);
    ui.RunUntilIdle();
  }
  PointerAway();
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 128; ++x) ASSERT_EQ(PixelAt(x, y), Pattern(x, y)) << x << "," << y;
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(CloneTool.Absolute, 1);
}

TEST_F(CloneToolTest, TheSourceShowsAsAnExclusiveOrXThatLeavesNoTrail) {
  Choose(&CloneTool);
  AltClick(20, 20);
  const POINT p = ViewPoint(70, 40);
  ui.MoveTo(p.x, p.y);
  ui.RunUntilIdle();
  // On the screen: the diagonal through the source inverted, the pixels beside it not.
  const POINT on = ViewPoint(18, 18);
  const POINT off = ViewPoint(18, 21);
  EXPECT_EQ(ui.Pixel(on.x, on.y), Pattern(18, 18) ^ 0xFFFFFFu);
  EXPECT_EQ(ui.Pixel(off.x, off.y), Pattern(18, 21));
  PointerAway();
  EXPECT_EQ(ui.Pixel(on.x, on.y), Pattern(18, 18)) << "gone with the pointer";
}

TEST_F(CloneToolTest, AnotherToolAndBackKeepsTheOptionAndTheOffset) {
  Choose(&CloneTool);
  SetOptionValue(0, 1);
  AltClick(10, 10);
  Stroke(10, 30, 31);
  Choose(&LineTool);
  Choose(&CloneTool);
  EXPECT_EQ(GetOptionValue(0), 1);
  EXPECT_EQ(CloneTool.SourceX, -20);
  EXPECT_EQ(CloneTool.SourceY, 0);
}

}  // namespace
