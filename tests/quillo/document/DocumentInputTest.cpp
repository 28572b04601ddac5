// The document window's mouse and key input, driven as a user drives it: the pointer in image
// pixels at several zooms, the Shift axis lock, click or drag by the clock, the click that
// activates a window, the pointer held inside the image, leaving the view, and the keys.

#include <gtest/gtest.h>

#include <vector>

#include "DocumentFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Tool.h"

namespace {

// A tool that records what the handlers hand it.
class RecordingTool : public P_icon {
public:
  RecordingTool(int points, int feedbackKind) {
    PointCount = points;
    FeedbackKind = static_cast<std::uint16_t>(feedbackKind);
    UndoAtFirstPoint = 0;
    DropSelection = 0;
    Snap = 0;
  }
  void AddPoint() override { added.push_back(MousePoint); }
  void ShowFeedback() override { shown.push_back(ToolPoint); }
  void HideFeedback() override { ++hidden; }

  std::vector<Pair<int>> added;
  std::vector<Pair<int>> shown;
  int hidden = 0;
};

class DocumentInputTest : public DocumentTest {
protected:
  DocumentInputTest() : savedTool_(CurrentTool), savedRemembered_(RememberedTool) {}
  ~DocumentInputTest() override {
    CurrentTool = savedTool_;
    RememberedTool = savedRemembered_;
    ToolPhase = 0;
    MousePoint = {NoMousePoint, NoMousePoint};
    MouseViewPoint = {-1, -1};
    ToolPointOutside = 1;
    MouseCaptured = 0;
    AxisLockArmed = 0;
    LockedAxis = -1;
    Settings.Clipping = false;
  }

  // A document of that size at a zoom position, shown, with the tool current and the
  // window's activation click over.
  TImageForm* Open(RecordingTool& tool, double zoom = 1.0, int width = 64, int height = 48) {
    TImageForm* window = NewDocument(width, height);
    SetZoom(zoom);
    CurrentTool = &tool;
    ToolPhase = 0;
    ui.Advance(200);
    ui.RunUntilIdle();
    return window;
  }
  // The zoom at that factor, the view scrolled to its top-left corner.
  void SetZoom(double factor) {
    form->Zoom->SetPosition(ZoomPositionFor(factor));
    ApplyZoom();
    ImageForm->MaxSize->GetHorzScrollBar()->SetPosition(0);
    ImageForm->MaxSize->GetVertScrollBar()->SetPosition(0);
    ui.RunUntilIdle();
  }
  // The screen point of a view point.
  TPoint Screen(TImageForm* window, int vx, int vy) const { return window->ShowBuf->ClientToScreen(TPoint(vx, vy)); }
  void MoveTo(TImageForm* w, int vx, int vy) {
    const TPoint p = Screen(w, vx, vy);
    ui.MoveTo(p.x, p.y);
  }
  void Down(TImageForm* w, int vx, int vy) {
    const TPoint p = Screen(w, vx, vy);
    ui.MouseDown(p.x, p.y);
  }
  void Up(TImageForm* w, int vx, int vy) {
    const TPoint p = Screen(w, vx, vy);
    ui.MouseUp(p.x, p.y);
  }

private:
  P_icon* savedTool_;
  P_icon* savedRemembered_;
};

TEST_F(DocumentInputTest, PointerInImagePixelsAtZooms) {
  const double zooms[] = {1.0, 2.0, 0.5};
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  for (double zoom : zooms) {
    SCOPED_TRACE(zoom);
    SetZoom(zoom);
    ASSERT_DOUBLE_EQ(window->Zoom, zoom);
    for (Pair<int> v : {Pair<int>{7, 9}, Pair<int>{0, 0}, Pair<int>{13, 1}}) {
      MoveTo(window, v.x, v.y);
      EXPECT_EQ(MouseViewPoint, v);
      EXPECT_EQ(MousePoint, (Pair<int>{static_cast<int>(v.x / zoom), static_cast<int>(v.y / zoom)}));
      EXPECT_EQ(ToolPointOutside, 0);
      ASSERT_FALSE(tool.shown.empty());
      EXPECT_EQ(tool.shown.back(), MousePoint);
    }
  }
}

TEST_F(DocumentInputTest, StatusBarShowsThePointerInTheChosenUnit) {
  RecordingTool tool(2, 0);
  Settings.MeasurementUnit = 2;
  TImageForm* window = Open(tool);
  MoveTo(window, 12, 34);
  EXPECT_EQ(std::string(window->StatusText(spCoordinates)), "12,34");
  Settings.MeasurementUnit = 0;
}

TEST_F(DocumentInputTest, ADragPastTheTopLeftAtZoomTwoIsOutsideTheImage) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool, 2.0);
  Down(window, 10, 10);
  MoveTo(window, -1, -3);
  // View pixel -1 at zoom 2 lies left of column 0, not over it.
  EXPECT_EQ(MousePoint, (Pair<int>{-1, -2}));
  EXPECT_EQ(ToolPointOutside, 1);
  ui.Advance(400);
  Up(window, -1, -3);
}

TEST_F(DocumentInputTest, ShiftLocksTheAxisOfTheFirstMoveOfFivePixels) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  MoveTo(window, 20, 20);
  ui.KeyDown(VK_SHIFT);
  Down(window, 20, 20);
  MoveTo(window, 25, 22);  // 5 along x, 2 along y: y is held from here on
  EXPECT_EQ(MousePoint, (Pair<int>{25, 22}));
  MoveTo(window, 30, 31);
  EXPECT_EQ(MousePoint, (Pair<int>{30, 20}));
  MoveTo(window, 41, 5);
  EXPECT_EQ(MousePoint, (Pair<int>{41, 20}));
  ui.Advance(400);
  Up(window, 44, 40);
  ui.KeyUp(VK_SHIFT);
  ASSERT_EQ(tool.added.size(), 2u);
  EXPECT_EQ(tool.added[1], (Pair<int>{44, 20}));
}

TEST_F(DocumentInputTest, FourPixelsDecideNothingThenAVerticalMoveHoldsX) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  MoveTo(window, 20, 20);
  ui.KeyDown(VK_SHIFT);
  Down(window, 20, 20);
  MoveTo(window, 24, 21);  // 4 along x: undecided
  MoveTo(window, 26, 17);  // still 6 from the anchor along x... but checked against the anchor
  EXPECT_EQ(MousePoint, (Pair<int>{26, 17}));
  MoveTo(window, 30, 40);
  // The move to (26, 17) decided: 6 along x against 3 along y holds y.
  EXPECT_EQ(MousePoint, (Pair<int>{30, 20}));
  ui.Advance(400);
  Up(window, 30, 40);
  ui.KeyUp(VK_SHIFT);
}

TEST_F(DocumentInputTest, FourPixelsLeaveTheLockUndecided) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  MoveTo(window, 20, 20);
  ui.KeyDown(VK_SHIFT);
  Down(window, 20, 20);
  MoveTo(window, 24, 21);
  EXPECT_EQ(LockedAxis, -1);
  MoveTo(window, 23, 27);  // 7 along y: x is held from here on
  EXPECT_EQ(LockedAxis, 0);
  MoveTo(window, 35, 33);
  EXPECT_EQ(MousePoint, (Pair<int>{20, 33}));
  ui.Advance(400);
  Up(window, 35, 33);
  ui.KeyUp(VK_SHIFT);
  // Without Shift the lock is gone.
  Down(window, 10, 10);
  MoveTo(window, 30, 33);
  EXPECT_EQ(MousePoint, (Pair<int>{30, 33}));
  ui.Advance(400);
  Up(window, 30, 33);
}

TEST_F(DocumentInputTest, QuickReleaseNearThePressIsAClick) {
  RecordingTool tool(2, 1);
  TImageForm* window = Open(tool);
  Down(window, 10, 10);
  EXPECT_EQ(ToolPhase, ToolPhaseDrag);
  ui.Advance(100);
  MoveTo(window, 25, 24);  // 15 pixels on each axis still counts as a click
  Up(window, 25, 24);
  EXPECT_EQ(ToolPhase, 1u) << "the tool waits for its second point";
  EXPECT_EQ(tool.added.size(), 1u);
  ui.Advance(1000);
  Down(window, 40, 30);
  EXPECT_EQ(tool.added.size(), 2u);
  EXPECT_EQ(tool.added[1], (Pair<int>{40, 30}));
  EXPECT_EQ(ToolPhase, 0u);
  Up(window, 40, 30);
  EXPECT_EQ(tool.added.size(), 2u);
}

TEST_F(DocumentInputTest, SlowOrFarReleaseEndsADrag) {
  struct Case {
    unsigned ms;
    int dx;
    bool click;
  } cases[] = {{400, 0, false}, {100, 16, false}, {200, 0, true}, {100, -15, true}};
  RecordingTool tool(2, 1);
  TImageForm* window = Open(tool);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ms << " ms, " << c.dx << " px");
    tool.added.clear();
    ui.Advance(1000);
    Down(window, 20, 10);
    ui.Advance(c.ms);
    MoveTo(window, 20 + c.dx, 10);
    Up(window, 20 + c.dx, 10);
    if (c.click) {
      EXPECT_EQ(ToolPhase, 1u);
      EXPECT_EQ(tool.added.size(), 1u);
      ui.Advance(1000);
      Down(window, 30, 30);
      Up(window, 30, 30);
    } else {
      EXPECT_EQ(ToolPhase, 0u);
      ASSERT_EQ(tool.added.size(), 2u);
      EXPECT_EQ(tool.added[1], (Pair<int>{20 + c.dx, 10}));
    }
    EXPECT_EQ(ToolPhase, 0u);
  }
}

TEST_F(DocumentInputTest, TheClickThatActivatesAWindowDoesNotPaint) {
  RecordingTool tool(2, 0);
  TImageForm* first = Open(tool);
  TImageForm* second = NewDocument(64, 48);
  second->SetBounds(first->GetLeft() + first->GetWidth() + 20, first->GetTop(), second->GetWidth(), second->GetHeight());
  ui.Advance(200);
  ui.RunUntilIdle();
  ASSERT_EQ(ImageForm, second);
  const TPoint p = Screen(first, 5, 5);
  ui.Click(p.x, p.y);
  EXPECT_EQ(ImageForm, first);
  EXPECT_TRUE(tool.added.empty());
  EXPECT_EQ(MouseCaptured, 0);
  ui.Advance(600);  // the activation's 100 ms are over, and this is no double click
  const TPoint again = Screen(first, 5, 5);
  ui.Click(again.x, again.y);
  EXPECT_EQ(tool.added.size(), 1u);
}

TEST_F(DocumentInputTest, NothingHappensWhileTheProgramIsInTheBackground) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  AppInactive = 1;
  Down(window, 5, 5);
  Up(window, 5, 5);
  AppInactive = 0;
  EXPECT_TRUE(tool.added.empty());
  EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(DocumentInputTest, HeldToolsKeepThePointerOnTheImage) {
  struct Case {
    double zoom;
    int lastX;
  } cases[] = {{1.0, 63}, {2.0, 63}, {0.5, 62}};
  RecordingTool tool(3, 2);
  TImageForm* window = Open(tool);
  // Room for the whole view at every zoom, so the pointer leaves it into the window's margin.
  window->SetBounds(window->GetLeft(), window->GetTop(), 500, 400);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    SetZoom(c.zoom);
    ui.Advance(1000);
    Down(window, 4, 4);
    Up(window, 4, 4);  // a click: point-by-point input, the pointer held inside
    ASSERT_EQ(ToolPhase, 1u);
    MoveTo(window, window->ShowBuf->GetWidth() - 1, 2);
    const TPoint beyond = Screen(window, window->ShowBuf->GetWidth() + 30, -20);
    ui.MoveTo(beyond.x, beyond.y);
    EXPECT_EQ(MousePoint, (Pair<int>{c.lastX, 0}));
    EXPECT_EQ(ToolPointOutside, 0);
    ToolPhase = 0;
  }
}

TEST_F(DocumentInputTest, LeavingTheViewForgetsThePointer) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool);
  MoveTo(window, 10, 10);
  ASSERT_EQ(ToolPointOutside, 0);
  const int hiddenBefore = tool.hidden;
  const TPoint outside = form->ClientToScreen(TPoint(2, 2));
  ui.MoveTo(outside.x, outside.y);
  EXPECT_EQ(MousePoint, (Pair<int>{NoMousePoint, NoMousePoint}));
  EXPECT_EQ(MouseViewPoint, (Pair<int>{-1, -1}));
  EXPECT_EQ(ToolPointOutside, 1);
  EXPECT_EQ(tool.hidden, hiddenBefore + 1);
  EXPECT_EQ(std::string(window->StatusText(spCoordinates)), "");
}

TEST_F(DocumentInputTest, ZoomKeysAnchorOnThePointer) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool, 1.0, 400, 300);
  const TPoint pointer = Screen(window, 100, 80);
  ui.MoveTo(pointer.x, pointer.y);
  ui.Press(VK_ADD);
  EXPECT_EQ(form->Zoom->GetPosition(), 2);
  // The image point under the pointer stays under it.
  const TPoint inView = window->ShowBuf->ScreenToClient(pointer);
  EXPECT_EQ(inView.x / 2, 100);
  EXPECT_EQ(inView.y / 2, 80);
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_SUBTRACT);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(form->Zoom->GetPosition(), 0);
}

TEST_F(DocumentInputTest, KeysScrollToggleClippingAndSwitchDocuments) {
  RecordingTool tool(2, 0);
  TImageForm* first = Open(tool, 4.0, 300, 300);
  TControlScrollBar* horz = first->MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = first->MaxSize->GetVertScrollBar();
  ui.Press(VK_END);
  EXPECT_GT(horz->GetPosition(), 0);
  ui.Press(VK_HOME);
  EXPECT_EQ(horz->GetPosition(), 0);
  ui.Press(VK_RIGHT);
  EXPECT_EQ(horz->GetPosition(), 16);
  ui.Press(VK_DOWN);
  ui.Press(VK_DOWN);
  EXPECT_EQ(vert->GetPosition(), 32);
  ui.Press(VK_PRIOR);
  EXPECT_EQ(vert->GetPosition(), 0);

  const bool clipping = Settings.Clipping;
  ui.KeyDown(VK_CONTROL);
  ui.Press('L');
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(Settings.Clipping, !clipping);

  TImageForm* second = NewDocument(64, 48);
  ui.Advance(200);
  ASSERT_EQ(ImageForm, second);
  ui.KeyDown(VK_MENU);
  ui.Press('1');
  EXPECT_EQ(ImageForm, first);
  ui.Press('1');  // already active: nothing
  EXPECT_EQ(ImageForm, first);
  ui.Press('0');  // no tenth document: nothing
  EXPECT_EQ(ImageForm, first);
  ui.Press('2');
  ui.KeyUp(VK_MENU);
  EXPECT_EQ(ImageForm, second);
}

TEST_F(DocumentInputTest, WithClippingOnStrokesStayInTheVisiblePart) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool, 4.0, 300, 300);
  window->Picture.Box(window->Picture.rect, 0x00FFFFFF);
  ui.Press(VK_END);  // scrolled to the right end
  ui.Press(VK_NEXT);
  ui.KeyDown(VK_CONTROL);
  ui.Press('L');
  ui.KeyUp(VK_CONTROL);
  ASSERT_TRUE(Settings.Clipping);
  const int hx = window->MaxSize->GetHorzScrollBar()->GetPosition();
  const int vy = window->MaxSize->GetVertScrollBar()->GetPosition();
  const int firstColumn = hx / 4, lastColumn = (window->MaxSize->GetClientWidth() + hx - 1) / 4;
  const int firstRow = vy / 4, lastRow = (window->MaxSize->GetClientHeight() + vy - 1) / 4;
  ASSERT_GT(firstColumn, 0);
  ASSERT_GT(firstRow, 0);
  BrushShape.Alloc(1, 1);
  BrushShape.Box(BrushShape.rect, 0);
  const int row = (firstRow + lastRow) / 2;
  StrokeLine(0, row, 299, row, 1.0f, 1.0f);
  StrokeLine(0, 0, 299, 0, 1.0f, 1.0f);  // wholly above the visible part
  for (int x = 0; x < 300; ++x) {
    const bool visible = x >= firstColumn && x <= lastColumn;
    EXPECT_EQ(*window->Picture.At(x, row) & 0xFFFFFF, visible ? 0u : 0xFFFFFFu) << x;
    EXPECT_EQ(*window->Picture.At(x, 0) & 0xFFFFFF, 0xFFFFFFu) << x;
  }
  BrushShape.Free();
}

TEST_F(DocumentInputTest, TheFitKeyFitsAndReturnsToTheZoomBefore) {
  RecordingTool tool(2, 0);
  TImageForm* window = Open(tool, 4.0, 300, 300);
  const int before = form->Zoom->GetPosition();
  ui.Press('Z');
  EXPECT_LT(window->Zoom, 4.0);
  EXPECT_LE(window->ShowBuf->GetWidth(), window->MaxSize->GetClientWidth());
  EXPECT_LE(window->ShowBuf->GetHeight(), window->MaxSize->GetClientHeight());
  EXPECT_DOUBLE_EQ(SavedZoom, 4.0);
  ui.Press('Z');
  EXPECT_EQ(form->Zoom->GetPosition(), before);
  SavedZoom = 0;
}

TEST_F(DocumentInputTest, APressOnTheMarginGoesOnToTheImageEdgeDuringAnOperation) {
  RecordingTool tool(3, 2);
  TImageForm* window = Open(tool);
  window->SetBounds(window->GetLeft(), window->GetTop(), 500, 400);
  ui.RunUntilIdle();
  ASSERT_GT(window->ShowBuf->GetLeft(), 10) << "the small image lies centred, with a margin";
  const TPoint margin = window->MaxSize->ClientToScreen(TPoint(2, window->ShowBuf->GetTop() + 10));
  // With no point set, the margin takes no press.
  ui.Click(margin.x, margin.y);
  EXPECT_TRUE(tool.added.empty());
  ui.Advance(1000);
  Down(window, 30, 20);
  Up(window, 30, 20);
  ASSERT_EQ(ToolPhase, 1u);
  ui.Advance(1000);
  ui.Click(margin.x, margin.y);
  ASSERT_EQ(tool.added.size(), 2u);
  EXPECT_EQ(tool.added[1], (Pair<int>{0, 10}));
  EXPECT_EQ(ToolPhase, 2u);
  ToolPhase = 0;
}

TEST_F(DocumentInputTest, QuickClicksOfAOnePointToolAreEachAPoint) {
  RecordingTool tool(1, 0);
  TImageForm* window = Open(tool);
  const TPoint p = Screen(window, 12, 12);
  ui.Click(p.x, p.y);
  ui.Advance(100);
  ui.Click(p.x, p.y);  // a double click to the system: still two presses
  EXPECT_EQ(tool.added.size(), 2u);
  EXPECT_EQ(ToolPhase, 0u);
}

}  // namespace
