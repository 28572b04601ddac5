// The brush outline that follows the pointer is drawn into the picture's own pixels; it must
// never reach what the user keeps: the saved file, the clipboard, the undo history.

#include <gtest/gtest.h>

#include <string>

#include "DocumentFixture.h"
#include "platform/host/KeyCodes.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/EditCommands.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// Shows the brush under the pointer as the brush tools do.
class OutlineTool : public P_icon {
public:
  OutlineTool() {
    PointCount = 2;
    FeedbackKind = 1;
    UndoAtFirstPoint = 0;
    DropSelection = 0;
    Snap = 0;
  }
  void ShowFeedback() override { StampBrush(ToolPoint.x, ToolPoint.y); }
  void HideFeedback() override { HideBrushAt(ToolPoint.x, ToolPoint.y); }
};

class BrushOutlineTest : public DocumentTest {
protected:
  BrushOutlineTest() : savedTool_(CurrentTool) {
    window = NewDocument(64, 48);
    window->Picture.Box(window->Picture.rect, kWhite);
    MakeFactoryBrush(FactoryShape::Round, 9, 100, 0);
    UpdateBrushShapeWith(0, kWhite, false);
    CurrentTool = &tool;
    ToolPhase = 0;
    ui.Advance(500);
    ui.RunUntilIdle();
  }
  ~BrushOutlineTest() override {
    CurrentTool = savedTool_;
    ToolPhase = 0;
    MousePoint = {NoMousePoint, NoMousePoint};
    MouseViewPoint = {-1, -1};
    ToolPointOutside = 1;
    Brush.Free();
    BrushShape.Free();
    SavedArea.Free();
  }
  // The pointer over image point (x, y) at zoom 1: the outline is then in the picture.
  void PointAt(int x, int y) {
    const TPoint p = window->ShowBuf->ClientToScreen(TPoint(x, y));
    ui.MoveTo(p.x, p.y);
    ASSERT_EQ(ToolPointOutside, 0);
    ASSERT_EQ(*window->Picture.At(x, y), 0x00000000u) << "the outline is drawn into the picture";
  }
  void PointerAway() {
    const TPoint p = form->ClientToScreen(TPoint(2, 2));
    ui.MoveTo(p.x, p.y);
  }
  static int CountNot(const Buffer& b, std::uint32_t colour) {
    int n = 0;
    for (int y = b.rect.top; y <= b.rect.bottom; ++y)
      for (int x = b.rect.left; x <= b.rect.right; ++x)
        if ((*b.At(x, y) & 0xFFFFFF) != colour) ++n;
    return n;
  }

  OutlineTool tool;
  TImageForm* window = nullptr;

private:
  P_icon* savedTool_;
};

TEST_F(BrushOutlineTest, LeavingTheImageTakesTheOutlineAway) {
  PointAt(20, 20);
  PointAt(30, 25);
  PointerAway();
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
}

TEST_F(BrushOutlineTest, SavingWithThePointerOverTheImageSavesTheImageWithoutIt) {
  const std::string path = home.Path() + "/outline.png";
  window->Picture.FileName = path.c_str();
  window->Picture.SaveAsRequired = 0;
  PointAt(20, 20);
  ChooseMenuItem("&File", "&Save");
  Buffer saved;
  ASSERT_TRUE(GFXFile::Load(saved, path.c_str(), nullptr, 0, nullptr));
  EXPECT_EQ(saved.Width(), 64);
  EXPECT_EQ(CountNot(saved, kWhite), 0);
  PointerAway();
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
}

TEST_F(BrushOutlineTest, CopyingWithThePointerOverTheImageCopiesTheImageWithoutIt) {
  PointAt(20, 20);
  ui.KeyDown(VK_CONTROL);
  ui.Press(VK_INSERT);
  ui.KeyUp(VK_CONTROL);
  Buffer copied;
  ASSERT_EQ(ReadClipboardPicture(form->GetHandle(), copied), ClipboardRead::Read);
  EXPECT_EQ(copied.Width(), 64);
  EXPECT_EQ(CountNot(copied, kWhite), 0);
  PointerAway();
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
}

TEST_F(BrushOutlineTest, UndoingWithThePointerOverTheImageGivesBackTheImageWithoutIt) {
  // A step over the white image, then a red change.
  ASSERT_TRUE(window->Picture.PushUndo("PenIcon"));
  window->Picture.Box(window->Picture.rect, 0x00FF0000);
  PointAt(20, 20);
  ui.KeyDown(VK_CONTROL);
  ui.Press('Z');
  ui.KeyUp(VK_CONTROL);
  // The red under the outline must not come back when the outline goes.
  PointerAway();
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
  // And redo gives the red image back whole, without the outline either.
  ASSERT_TRUE(window->Picture.Redo());
  EXPECT_EQ(CountNot(window->Picture, 0x00FF0000), 0);
}

TEST_F(BrushOutlineTest, ANewOrAnotherDocumentTakesTheOutlineWithNeitherPicture) {
  PointAt(20, 20);
  // A new document while the outline shows in this one (as a command key or a message
  // would make it, without the pointer leaving).
  TImageForm* second = NewDocument(64, 48);
  second->Picture.Box(second->Picture.rect, kWhite);
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0) << "the old picture keeps no outline";
  SelectTool(&tool, true, -1);  // the tool shows its feedback where the pointer is known to be
  EXPECT_EQ(CountNot(second->Picture, kWhite), 0) << "the new one gets none where the pointer is not";
  CurrentTool = &tool;

  // Over the new one, then back to the first by Alt+1.
  ui.Advance(500);
  const TPoint p = second->ShowBuf->ClientToScreen(TPoint(10, 10));
  ui.MoveTo(p.x, p.y);
  ASSERT_EQ(*second->Picture.At(10, 10), 0u);
  ui.KeyDown(VK_MENU);
  ui.Press('1');
  ui.KeyUp(VK_MENU);
  ASSERT_EQ(ImageForm, window);
  EXPECT_EQ(CountNot(second->Picture, kWhite), 0);
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
}

TEST_F(BrushOutlineTest, TheHotSpotKeyMovesTheOutlineRoundTheCornersAndLeavesNothingBehind) {
  PointAt(20, 20);
  // Centre, left-top, right-top, right-bottom, left-bottom, and back to the centre: the
  // brush (9 x 9) lies with that corner under the pointer, each time in the picture.
  const Pair<int> corners[] = {{24, 24}, {16, 24}, {16, 16}, {24, 16}, {20, 20}};
  for (int i = 0; i < 5; ++i) {
    ui.Press(i % 2 ? VK_CLEAR : 0x65);  // Clear and numeric-pad 5
    EXPECT_EQ(BrushHandleMode, (i + 1) % 5);
    EXPECT_EQ(*window->Picture.At(corners[i].x, corners[i].y) & 0xFFFFFF, 0u) << i;
  }
  PointerAway();
  EXPECT_EQ(CountNot(window->Picture, kWhite), 0);
}

}  // namespace
