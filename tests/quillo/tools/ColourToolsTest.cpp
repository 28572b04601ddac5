// The colour picker and change colour: what a tolerance lets through (transparency counted),
// the replaced pixels made opaque, the selection that bounds a change, the undo step (none
// when nothing changed), and the picker by click, right click and drag, handing back after.

#include <gtest/gtest.h>

#include "ShapeFixture.h"
#include "platform/gdi/WinDefs.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/ColourTools.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"
#include "vorlen/core/BitBuffer.h"

namespace {

struct ReplaceCase {
  std::uint32_t pixel;
  int tolerance;
  bool replaced;
};

TEST(ReplaceColourTest, TheFourByteDistanceDecidesAndReplacedPixelsBecomeOpaque) {
  const std::uint32_t old = 0x40102030;
  const ReplaceCase cases[] = {
      {0x40102030, 0, true},  {0x41102030, 0, false}, {0x3F102030, 1, true},  {0x40112131, 2, false},
      {0x40112131, 3, true},  {0x00102030, 63, false}, {0x00102030, 64, true}, {0x40FFFFFF, 765, true},
  };
  for (const ReplaceCase& c : cases) {
    Buffer picture;
    picture.Alloc(Pair<int>(3, 2));
    // Further from old than any tolerance reaches.
    picture.Box(picture.rect, 0xFFFFFFFF);
    *picture.At(1, 1) = c.pixel;
    const Rect changed = ReplaceColour(picture, picture.rect, old, 0xAA00FF00, c.tolerance, nullptr);
    EXPECT_EQ(*picture.At(1, 1), c.replaced ? 0x0000FF00u : c.pixel) << std::hex << c.pixel << " " << c.tolerance;
    EXPECT_EQ(changed.Empty(), !c.replaced);
    if (c.replaced) {
      EXPECT_EQ(changed, Rect(1, 1, 1, 1));
    }
  }
}

TEST(ReplaceColourTest, OnlySelectedPixelsChangeAndTheAreaClipsTheRest) {
  Buffer picture;
  picture.Alloc(Pair<int>(4, 4));
  picture.Box(picture.rect, 0x123456);
  BitBuffer selection;
  selection.Alloc(4, 4);
  selection.PutPixels(Rect(0, 0, 3, 3), 0);
  selection.PutPixel(2, 1, 1);
  selection.PutPixel(3, 3, 1);
  const Rect changed = ReplaceColour(picture, Rect(0, 0, 2, 3), 0x123456, 0xFF0000, 0, &selection);
  EXPECT_EQ(changed, Rect(2, 1, 2, 1));
  EXPECT_EQ(*picture.At(2, 1), 0xFF0000u);
  EXPECT_EQ(*picture.At(3, 3), 0x123456u) << "outside the area";
  EXPECT_EQ(*picture.At(0, 0), 0x123456u) << "not selected";
}

class ColourToolTest : public ShapeToolTest {
protected:
  std::uint32_t Swatch(TPanel* panel) const { return PixelFromColor(ColorToRGB(panel->GetColor())) & 0xFFFFFF; }
};

TEST_F(ColourToolTest, ChangeColourReplacesThePixelsEqualToTheClickedOne) {
  UDBuffer& picture = document->Picture;
  picture.Box(Rect(10, 10, 19, 19), 0x336699);
  *picture.At(12, 12) = 0x01336699;  // one step off in the transparency byte
  form->DrawCol->SetColor(static_cast<TColor>(ColorFromPixel(0x00FF00)));
  Choose(&ChColTool);
  SetOptionValue(0, 0);
  ClickAt(15, 15);
  EXPECT_EQ(PixelAt(10, 10), 0x00FF00u);
  EXPECT_EQ(PixelAt(19, 19), 0x00FF00u);
  EXPECT_EQ(PixelAt(12, 12), 0x01336699u);
  EXPECT_EQ(PixelAt(20, 20), 0xFFFFFFu);
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Description, "ChangeColIcon");
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(PixelAt(10, 10), 0x336699u);
  EXPECT_EQ(CurrentTool, &ChColTool) << "change colour stays";
}

TEST_F(ColourToolTest, TheRightButtonTakesTheBackgroundColourAndASelectionBoundsTheChange) {
  UDBuffer& picture = document->Picture;
  picture.SetMaskRect(true, Rect(0, 0, 63, 95));
  picture.RebuildSelectionOutline();
  form->BackCol->SetColor(static_cast<TColor>(ColorFromPixel(0x0000FF)));
  Choose(&ChColTool);
  ClickAt(10, 10, InputEvent::Right);
  EXPECT_EQ(PixelAt(63, 50), 0x0000FFu);
  EXPECT_EQ(PixelAt(64, 50), 0xFFFFFFu);
}

TEST_F(ColourToolTest, AClickThatChangesNothingLeavesNoUndoStep) {
  UDBuffer& picture = document->Picture;
  picture.Box(Rect(100, 0, 127, 95), 0x000080);
  picture.SetMaskRect(true, Rect(0, 0, 50, 50));
  picture.RebuildSelectionOutline();
  Choose(&ChColTool);
  ClickAt(110, 10);
  EXPECT_EQ(PixelAt(110, 10), 0x000080u);
  EXPECT_EQ(picture.UndoChain, nullptr);
}

TEST_F(ColourToolTest, ThePickerTakesTheColourUnderAClickAndHandsBack) {
  UDBuffer& picture = document->Picture;
  picture.Box(Rect(0, 0, 9, 9), 0x7F123456);
  picture.Box(Rect(20, 0, 29, 9), 0xABCDEF);
  Choose(&LineTool);
  Choose(&GetColTool);
  ClickAt(5, 5);
  EXPECT_EQ(Swatch(form->DrawCol), 0x123456u) << "without the transparency byte";
  EXPECT_EQ(form->DrawCol->GetTag(), PackedHSV(0x123456));
  EXPECT_EQ(CurrentTool, &LineTool);

  Choose(&GetColTool);
  ClickAt(25, 5, InputEvent::Right);
  EXPECT_EQ(Swatch(form->BackCol), 0xABCDEFu);
  EXPECT_EQ(Swatch(form->DrawCol), 0x123456u);
  EXPECT_EQ(CurrentTool, &LineTool);
}

TEST_F(ColourToolTest, ADragWithThePickerFollowsThePointer) {
  UDBuffer& picture = document->Picture;
  picture.Box(Rect(0, 0, 9, 9), 0x112233);
  picture.Box(Rect(40, 0, 49, 9), 0x445566);
  Choose(&LineTool);
  Choose(&GetColTool);
  const POINT a = ViewPoint(5, 5), m = ViewPoint(45, 5), z = ViewPoint(90, 50);
  ui.MoveTo(a.x, a.y);
  ui.MouseDown(a.x, a.y);
  ui.Advance(400);
  ui.MoveTo(m.x, m.y);
  ui.RunUntilIdle();
  EXPECT_EQ(Swatch(form->DrawCol), 0x445566u);
  EXPECT_EQ(CurrentTool, &GetColTool) << "stays while dragging";
  ui.MoveTo(z.x, z.y);
  ui.MouseUp(z.x, z.y);
  ui.RunUntilIdle();
  EXPECT_EQ(Swatch(form->DrawCol), 0xFFFFFFu);
  EXPECT_EQ(CurrentTool, &LineTool);
}

}  // namespace
