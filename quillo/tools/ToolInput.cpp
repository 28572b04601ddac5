#include "quillo/tools/ToolInput.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/user/User.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolHost.h"

namespace {

TExTimerEvent* DragTimer() { return TheToolHost().DragTimer(); }
bool DragTimerRunning() { return DragTimer() && DragTimer()->GetEnabled(); }

// The click that activated a document window, or one while the program is in the
// background, does not paint.
bool ActivationClick() {
  if (AppInactive) return true;
  TExTimerEvent* timer = TheDocumentHost().ActivationTimer();
  return timer && timer->GetEnabled();
}

// The image point under a view position, snapped to the grid where the tool snaps.
Pair<int> ImagePointAt(const TImageForm& window, Pair<int> at) {
  Pair<int> point = ViewToImagePoint(at.x, at.y, window.Zoom);
  if (CurrentTool->Snap) SnapToGrid(point);
  return point;
}

// Whether the pointer is held inside the image: kind 2 tools once a point is set, kind 1
// tools during point-by-point input.
bool PointerHeldInImage() {
  if (!CurrentTool || ToolPhase == 0) return false;
  return CurrentTool->FeedbackKind == 2 || (CurrentTool->FeedbackKind == 1 && ToolPhase != ToolPhaseDrag);
}

// The pointer position in the view, from the screen.
Pair<int> PointerInView(TBuffer* view) {
  POINT screen{};
  GetCursorPos(&screen);
  ScreenToClient(view->GetHandle(), &screen);
  return {std::clamp<int>(screen.x, 0, std::max(view->GetWidth() - 1, 0)),
          std::clamp<int>(screen.y, 0, std::max(view->GetHeight() - 1, 0))};
}

class ViewMouse {
public:
  explicit ViewMouse(TImageForm& window) : window_(window) {}

  void Down(TShiftState shift, int x, int y);
  void Move(TShiftState shift, int x, int y);
  void Up(TShiftState shift, int x, int y);
  void Leave();
  void MarginDown(TMouseButton button, TShiftState shift, int x, int y);

private:
  void FollowPointerAlongEdge();

  TImageForm& window_;
};

// The steps a press opens before the tool sees it: the dropped selection's and the tool's
// own. False when one was refused: the press then does nothing.
bool OpenStepsOfPress(UDBuffer& picture) {
  if (CurrentTool->DropSelection && !picture.ClearSelection(true)) return false;
  if (!CurrentTool->UndoAtFirstPoint) return true;
  return CurrentTool->KeepsRowsForUndo() ? picture.PushDeferredUndo(CurrentTool->Key)
                                         : picture.PushUndo(CurrentTool->Key);
}

void ViewMouse::Down(TShiftState shift, int x, int y) {
  if (ActivationClick()) return;
  // Nor does a press on a window that is not the active document.
  if (ImageForm != &window_ || !CurrentTool) return;
  SetCapture(window_.ShowBuf->GetHandle());
  const Pair<int> at = ApplyAxisLock(shift, x, y);
  MouseViewPoint = at;
  MousePoint = ImagePointAt(window_, at);
  MouseShift = shift;
  MouseCaptured = 1;
  HideToolFeedback();

  UDBuffer& picture = window_.Picture;
  if (ToolPhase == 0) {
    if (!OpenStepsOfPress(picture)) {
      MouseCaptured = 0;
      ReleaseCapture();
      // The feedback hidden for the press shows again: the next move hides it where it is.
      ShowToolFeedback();
      return;
    }
    if (CurrentTool->UndoAtFirstPoint) {
      while (picture.RedoChain) picture.DropRedoStep();
    }
  }

  P_icon* const tool = CurrentTool;
  tool->AddPoint();
  // Still (or again, after a continuous tool's segment) at its first point: the press may
  // become a drag.
  if (CurrentTool == tool && ToolPhase == 0) {
    if (TExTimerEvent* timer = DragTimer()) {
      timer->SetEnabled(false);
      timer->SetInterval(static_cast<int>(ClickTimeMs));
      timer->SetEnabled(true);
    }
    DragAnchor = MouseViewPoint;
    if (tool->PointCount > 1) {
      ToolPhase = ToolPhaseDrag;
      ShowToolFeedback();
    } else if (tool->Has(tfHandBack)) {
      ReselectTool(true);
    }
  } else if (ToolPhase == 1 || ToolPhase == 2) {
    AdvanceToolPoint();
  }
}

void ViewMouse::Move(TShiftState shift, int x, int y) {
  if (ImageForm != &window_ || !CurrentTool) return;
  Pair<int> at = ApplyAxisLock(shift, x, y);
  MouseViewPoint = at;
  if (PointerHeldInImage()) {
    at.x = ClampViewCoordinate(at.x, window_.Picture.Width(), window_.Zoom);
    at.y = ClampViewCoordinate(at.y, window_.Picture.Height(), window_.Zoom);
  }
  MousePoint = ImagePointAt(window_, at);
  MouseShift = shift;
  window_.ShowMouseCoordinates();
  if (ToolPointOutside == 0 && ToolPoint == MousePoint) return;
  RefreshToolStatus(true, true);
}

void ViewMouse::Up(TShiftState shift, int x, int y) {
  if (!MouseCaptured) return;
  // The release point is where the button went up, also when no move reported it.
  // (Under the axis lock the stored point differs from the raw one; the move then finds the
  // same point and does nothing.)
  if (Pair<int>{x, y} != MouseViewPoint) Move(shift, x, y);
  MouseCaptured = 0;
  ReleaseCapture();
  if (ToolPhase != ToolPhaseDrag || !CurrentTool) return;

  const bool near = std::abs(MouseViewPoint.x - DragAnchor.x) <= ClickSlop &&
                    std::abs(MouseViewPoint.y - DragAnchor.y) <= ClickSlop;
  if (DragTimerRunning() && near) {
    // A click: the operation goes on point by point.
    DragTimer()->SetEnabled(false);
    HideToolFeedback();
    ToolPhase = 1;
    RefreshToolStatus(false, true);
    return;
  }
  HideToolFeedback();
  P_icon* const tool = CurrentTool;
  tool->AddPoint();
  if (CurrentTool != tool) return;
  if (ToolPhase == ToolPhaseDrag) ToolPhase = 1;
  AdvanceToolPoint();
}

void ViewMouse::FollowPointerAlongEdge() {
  const Pair<int> at = PointerInView(window_.ShowBuf);
  Move(MouseShift, at.x, at.y);
}

void ViewMouse::Leave() {
  MouseViewPoint = {-1, -1};
  if (ImageForm != &window_ || !CurrentTool) return;
  if (PointerHeldInImage()) {
    // The tool keeps following along the edge.
    FollowPointerAlongEdge();
    return;
  }
  if (ToolPhase == ToolPhaseDrag && CurrentTool->FeedbackKind == 1) return;
  MousePoint = {NoMousePoint, NoMousePoint};
  MouseShift = TShiftState();
  if (ToolPointOutside == 0) {
    HideToolFeedback();
    ToolPointOutside = 1;
    window_.SetPanelText(spCoordinates, "");
    window_.SetPanelText(spSizes, "");
    ShowTimedStatus("", 0.01f);
  }
}

void ViewMouse::MarginDown(TMouseButton, TShiftState shift, int x, int y) {
  if (ToolPhase == 0 || !PointerHeldInImage()) return;
  TBuffer* view = window_.ShowBuf;
  const int vx = std::clamp(x - view->GetLeft(), 0, std::max(view->GetWidth() - 1, 0));
  const int vy = std::clamp(y - view->GetTop(), 0, std::max(view->GetHeight() - 1, 0));
  Down(shift, vx, vy);
}

}  // namespace

void AdvanceToolPoint() {
  if (!CurrentTool) return;
  if (CurrentTool->PointCount - 1 > static_cast<int>(ToolPhase)) {
    ++ToolPhase;
    RefreshToolStatus(false, true);
  } else if (!CurrentTool->Has(tfHandBack)) {
    ToolPhase = 0;
    ResetDirtyRect();
    RefreshToolStatus(false, true);
  } else {
    ReselectTool(false);
  }
}

void ConnectToolInput(TImageForm& window) {
  auto mouse = std::make_shared<ViewMouse>(window);
  TBuffer* view = window.ShowBuf;
  view->OnMouseDown = [mouse](TObject*, TMouseButton, TShiftState shift, int x, int y) { mouse->Down(shift, x, y); };
  view->OnMouseMove = [mouse](TObject*, TShiftState shift, int x, int y) { mouse->Move(shift, x, y); };
  view->OnMouseUp = [mouse](TObject*, TMouseButton, TShiftState shift, int x, int y) { mouse->Up(shift, x, y); };
  view->OnMouseLeave = [mouse](TObject*) { mouse->Leave(); };
  // The selection tools' overlay, then what the window paints itself (the marching outline).
  view->OnPaint = [&window, outline = view->OnPaint](TObject* sender) {
    if (CurrentTool && ImageForm == &window) CurrentTool->PaintOverlay();
    if (outline) outline(sender);
  };
  window.MaxSize->OnMouseMove = [mouse](TObject*, TShiftState, int, int) { mouse->Leave(); };
  window.MaxSize->OnMouseDown = [mouse](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    mouse->MarginDown(button, shift, x, y);
  };
}
