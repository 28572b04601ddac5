// Selecting, reselecting, suspending and resuming tools; one-shot functions and toggles; the
// dirty rectangle and the pointer warp.

#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "platform/user/User.h"
#include "platform/vcl/Control.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Language.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/ToolObjects.h"

namespace {

using Log = std::vector<std::string>;

constexpr ToolTraits kOrdinary{};
constexpr ToolTraits kOneShot{.Flags = tfOneShot};
constexpr ToolTraits kHandBack{.Flags = tfHandBack};

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

std::uint32_t ColourAt(const UDBuffer& picture, int x, int y) { return *picture.At(x, y) & 0xFFFFFF; }

bool AllOf(const UDBuffer& picture, std::uint32_t colour) {
  for (int y = picture.rect.top; y <= picture.rect.bottom; ++y)
    for (int x = picture.rect.left; x <= picture.rect.right; ++x)
      if (ColourAt(picture, x, y) != colour) return false;
  return true;
}

// A palette function that does its work as the clear-image function does: it opens its own
// undo step and paints the whole picture.
class FillFunction : public LoggingTool {
public:
  FillFunction(std::vector<std::string>& log)
      : LoggingTool("fill", ToolTraits{.Flags = tfOneShot, .UndoAtFirstPoint = 1, .Key = "ClrImageIcon"}, log) {}
  void Activate() override {
    LoggingTool::Activate();
    if (CurrentPicture && CurrentPicture->PushUndo(Key)) CurrentPicture->Box(CurrentPicture->rect, kRed);
  }
};

TEST_F(ToolTest, TheContinuousPenIsCurrentAfterStartUp) {
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_EQ(RememberedTool, &PenContTool);
  EXPECT_EQ(ToolPhase, 0u);
  EXPECT_EQ(document->ShowBuf->GetCursor(), crToolCross);
  EXPECT_EQ(PenContTool.StatusText, LangMessage("Pen"));
}

TEST_F(ToolTest, SelectingTheCurrentToolDeactivatesAndActivatesItAgain) {
  LoggingTool tool("a", kOrdinary, log);
  SelectTool(&tool, true, -1);
  log.clear();
  SelectTool(&tool, true, -1);
  EXPECT_EQ(log, (Log{"a.Deactivate(a)", "a.Activate"}));
  EXPECT_EQ(CurrentTool, &tool);
  EXPECT_EQ(RememberedTool, &tool);
}

TEST_F(ToolTest, AToolChangeDeactivatesTheOldToolWithTheNewAndGivesTheViewItsCursor) {
  LoggingTool a("a", kOrdinary, log);
  LoggingTool b("b", ToolTraits{.Cursor = crToolFill}, log);
  SelectTool(&a, true, -1);
  ToolPhase = 1;
  log.clear();
  SelectTool(&b, true, 4);
  EXPECT_EQ(log, (Log{"a.Deactivate(b)", "b.Activate"}));
  EXPECT_EQ(ToolPhase, 0u);
  EXPECT_EQ(RememberedTool, &b);
  EXPECT_EQ(document->ShowBuf->GetCursor(), crToolFill);
}

TEST_F(ToolTest, AOneShotFunctionWorksAndHandsBackToThePreviousTool) {
  LoggingTool pen("pen", kOrdinary, log);
  LoggingTool function("clear", kOneShot, log);
  SelectTool(&pen, true, -1);
  log.clear();
  SelectTool(&function, true, -1);
  EXPECT_EQ(log, (Log{"pen.Deactivate(clear)", "clear.Activate", "clear.Deactivate(pen)", "pen.Activate"}));
  EXPECT_EQ(CurrentTool, &pen);
  EXPECT_EQ(RememberedTool, &pen);
}

TEST_F(ToolTest, TheClearFunctionLeavesThePenCurrent) {
  SelectTool(&PenDiscTool, true, -1);
  SelectTool(&ClearTool, true, -1);
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  EXPECT_EQ(RememberedTool, &PenDiscTool);
  EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(ToolTest, AOneShotFunctionHandsOnToThePendingToolInstead) {
  LoggingTool pen("pen", kOrdinary, log);
  LoggingTool queued("queued", kOrdinary, log);
  SelectTool(&pen, true, -1);
  PendingTool = &queued;
  log.clear();
  LoggingTool function("fn", kOneShot, log);
  SelectTool(&function, true, -1);
  EXPECT_EQ(log, (Log{"pen.Deactivate(fn)", "fn.Activate", "fn.Deactivate(queued)", "queued.Activate"}));
  EXPECT_EQ(CurrentTool, &queued);
  EXPECT_EQ(PendingTool, nullptr);
}

TEST_F(ToolTest, AHandBackToolKeepsTheRememberedToolAndReselectReturnsToIt) {
  LoggingTool pen("pen", kOrdinary, log);
  LoggingTool picker("picker", kHandBack, log);
  SelectTool(&pen, true, -1);
  SelectTool(&picker, true, 7);
  EXPECT_EQ(RememberedTool, &pen);
  EXPECT_EQ(RememberedPaletteEntry, 7);
  log.clear();
  ReselectTool(true);
  EXPECT_EQ(log, (Log{"picker.Deactivate(pen)", "pen.Activate"}));
  EXPECT_EQ(CurrentTool, &pen);
}

TEST_F(ToolTest, ReselectingWithoutARememberedToolKeepsTheCurrentOne) {
  LoggingTool tool("a", kOrdinary, log);
  SelectTool(&tool, true, -1);
  RememberedTool = nullptr;
  log.clear();
  ReselectTool(true);
  EXPECT_EQ(CurrentTool, &tool);
  EXPECT_TRUE(log.empty());
}

TEST_F(ToolTest, TheGridToggleNeverChangesTheCurrentToolOrItsPhase) {
  LoggingTool tool("a", kOrdinary, log);
  SelectTool(&tool, true, -1);
  ToolPhase = 1;
  log.clear();
  SelectTool(&GridTool, true, -1);
  EXPECT_TRUE(GridIsOn());
  EXPECT_EQ(CurrentTool, &tool);
  EXPECT_EQ(ToolPhase, 1u);
  SelectTool(&GridTool, true, -1);
  EXPECT_FALSE(GridIsOn());
  EXPECT_EQ(CurrentTool, &tool);
  EXPECT_EQ(ToolPhase, 1u);
  EXPECT_EQ(RememberedTool, &tool);
  EXPECT_TRUE(log.empty());
}

TEST_F(ToolTest, TheGridOriginToolTakesItsClickUnsnappedAndHandsBack) {
  SelectTool(&GridTool, true, -1);
  GridDx = GridDy = 10;
  SelectTool(&PenDiscTool, true, -1);
  SelectTool(&GridposTool, true, -1);
  EXPECT_EQ(GridposTool.StatusText, LangMessage("GridSet"));
  EXPECT_EQ(RememberedTool, &PenDiscTool);
  const POINT at = ViewPoint(17, 22);
  ui.MoveTo(at.x, at.y);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_EQ(GridPx, 17);
  EXPECT_EQ(GridPy, 22);
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  EXPECT_TRUE(GridIsOn());
  // The new origin steers the pen's points.
  int x = 25, y = 10;
  SnapToGrid(x, y);
  EXPECT_EQ(x, 27);
  EXPECT_EQ(y, 12);
}

TEST_F(ToolTest, SuspensionsNestAndOnlyTheOutermostPairChangesTheTool) {
  LoggingTool tool("a", kOrdinary, log);
  SelectTool(&tool, true, -1);
  log.clear();
  SuspendTool();
  SuspendTool();
  EXPECT_EQ(log, (Log{"a.Deactivate(null)"}));
  EXPECT_EQ(CurrentTool, &IdleTool);
  ResumeTool();
  EXPECT_EQ(CurrentTool, &IdleTool) << "the outer command is still at work";
  EXPECT_EQ(log.size(), 1u);
  ResumeTool();
  EXPECT_EQ(CurrentTool, &tool);
  EXPECT_EQ(log, (Log{"a.Deactivate(null)", "a.Activate"}));
  ResumeTool();
  EXPECT_EQ(log.size(), 2u) << "a resume without a suspension does nothing";
  EXPECT_EQ(CurrentTool, &tool);
}

TEST_F(ToolTest, AToolSelectedWhileSuspendedStaysAfterTheResume) {
  LoggingTool a("a", kOrdinary, log);
  LoggingTool b("b", kOrdinary, log);
  SelectTool(&a, true, -1);
  SuspendTool();
  SelectTool(&b, true, -1);
  log.clear();
  ResumeTool();
  EXPECT_EQ(CurrentTool, &b);
  EXPECT_TRUE(log.empty());
}

TEST_F(ToolTest, TheDirtyRectangleGrowsByOrderedCorners) {
  ResetDirtyRect();
  EXPECT_EQ(DirtyRect, Rect(65535, 65535, -1, -1));
  ExtendDirtyRect(5, 9, 2, 3);
  EXPECT_EQ(DirtyRect, Rect(2, 3, 5, 9));
  ExtendDirtyRect(10, 1, 10, 1);
  EXPECT_EQ(DirtyRect, Rect(2, 1, 10, 9));
  ExtendDirtyRect(4, 4, 4, 4);
  EXPECT_EQ(DirtyRect, Rect(2, 1, 10, 9));
}

TEST_F(ToolTest, ThePointerWarpStopsAtTheLastVisibleColumnAndRow) {
  document = NewDocument(3000, 2000);
  for (const double zoom : {1.0, 2.0}) {
    SetZoom(zoom);
    const int hx = document->MaxSize->GetHorzScrollBar()->GetPosition();
    const int vy = document->MaxSize->GetVertScrollBar()->GetPosition();
    const int w = document->MaxSize->GetClientWidth();
    const int h = document->MaxSize->GetClientHeight();
    const int lastColumn = static_cast<int>((w + hx - 1) / zoom);
    const int lastRow = static_cast<int>((h + vy - 1) / zoom);
    ASSERT_LT(lastColumn, 2999);
    MoveCursorToImagePoint(2999, 1999);
    EXPECT_EQ(MousePoint, Pair<int>(lastColumn, lastRow)) << "zoom " << zoom;
    POINT at;
    GetCursorPos(&at);
    const POINT expected = ViewPoint(static_cast<int>(lastColumn * zoom), static_cast<int>(lastRow * zoom));
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    // The pointer is over the view's last visible pixel column and row.
    RECT box;
    GetWindowRect(document->MaxSize->GetHandle(), &box);
    EXPECT_LT(at.x, box.right);
    EXPECT_LT(at.y, box.bottom);
    MoveCursorToImagePoint(-5, static_cast<int>(vy / zoom) + 10);
    EXPECT_EQ(MousePoint, Pair<int>(static_cast<int>(hx / zoom), static_cast<int>(vy / zoom) + 10));
  }
}

TEST_F(ToolTest, ThePointerWarpStaysOnASmallImage) {
  SetZoom(1.0);
  MoveCursorToImagePoint(500, 500);
  EXPECT_EQ(MousePoint, Pair<int>(63, 47));
}

// Changing tools in the middle of an operation takes back the step the operation opened.
TEST_F(ToolTest, ChangingToolsMidLineUndoesTheLinesStep) {
  SelectTool(&LineTool, true, -1);
  const POINT at = ViewPoint(10, 10);
  ui.MoveTo(at.x, at.y);
  ui.Click(at.x, at.y);  // the first point of the line; the tool waits for the second
  ASSERT_EQ(ToolPhase, 1u);
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  *document->Picture.At(20, 20) = kRed;  // what the line drew so far
  SelectTool(&PenContTool, true, -1);
  EXPECT_EQ(ColourAt(document->Picture, 20, 20), kWhite);
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.RedoChain, nullptr) << "a half-done line is not redone";
  EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(ToolTest, ChangingToolsMidCircleUndoesNothing) {
  SelectTool(&CircleTool, true, -1);
  const POINT at = ViewPoint(10, 10);
  ui.MoveTo(at.x, at.y);
  ui.Click(at.x, at.y);
  ASSERT_EQ(ToolPhase, 1u);
  EXPECT_EQ(document->Picture.UndoChain, nullptr) << "circles open no step at the first point";
  *document->Picture.At(20, 20) = kRed;
  SelectTool(&PenContTool, true, -1);
  EXPECT_EQ(ColourAt(document->Picture, 20, 20), kRed);
  EXPECT_EQ(ToolPhase, 0u);
}

// A function chosen in the middle of a stroke: the half-done stroke is taken back, the
// function's own work stays, and the pen starts afresh.
TEST_F(ToolTest, AFunctionChosenMidStrokeKeepsItsOwnWork) {
  SelectTool(&PenContTool, true, -1);
  const POINT from = ViewPoint(10, 10);
  const POINT to = ViewPoint(40, 30);
  ui.MoveTo(from.x, from.y);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(to.x, to.y);
  ui.RunUntilIdle();
  ASSERT_EQ(ToolPhase, ToolPhaseDrag);
  FillFunction function(log);
  SelectTool(&function, true, -1);
  EXPECT_EQ(ToolPhase, 0u);
  EXPECT_EQ(CurrentTool, &PenContTool);
  ui.MouseUp(to.x, to.y);
  ui.RunUntilIdle();
  PointerAway();
  EXPECT_TRUE(AllOf(document->Picture, kRed)) << "the function's work was taken back, or the release drew";
  // The function's step is the newest; below it the picture as it was before the stroke.
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  ASSERT_TRUE(document->Picture.Undo());
  EXPECT_TRUE(AllOf(document->Picture, kWhite));
}

}  // namespace
