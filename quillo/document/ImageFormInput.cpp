// The document window's mouse and keyboard input: the view's handlers turn view positions into
// image pixels and drive the current tool through its operations; the key handler holds the
// keyboard commands that are not menu shortcuts.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/host/KeyCodes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/Settings.h"
#include "quillo/shell/Zoom.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// Key codes as the key handler sees them: the virtual key with the modifiers above it.
constexpr int kShiftBit = HotKeyShift;
constexpr int kCtrlBit = HotKeyCtrl;
constexpr int kAltBit = HotKeyAlt;

constexpr int kScrollStep = 16;
constexpr int kNumpad5 = 0x65;

TExTimerEvent* DragTimer() { return MainForm ? MainForm->DragTimer : nullptr; }
bool DragTimerRunning() { return DragTimer() && DragTimer()->GetEnabled(); }

bool SelectionToolCurrent() {
  return CurrentTool == &CutBoxTool || CurrentTool == &CutResizeTool || CurrentTool == &CutDrawTool ||
         CurrentTool == &CutPolyTool || CurrentTool == &CutWandTool;
}

AnsiString FormatCoordinate(int v, int resolution, int unit) {
  char text[32];
  if (unit == 2 || resolution <= 0) std::snprintf(text, sizeof text, "%d", v);
  else if (unit == 1) std::snprintf(text, sizeof text, "%.2lf", v * 2.5399 / resolution + 0.0001);
  else std::snprintf(text, sizeof text, "%.2lf", static_cast<double>(v) / resolution + 0.0001);
  return text;
}

// The image point in the status bar in the unit of the setting.
void ShowMouseCoordinates(TImageForm* window) {
  const int unit = Settings.MeasurementUnit;
  window->SetPanelText(spCoordinates, FormatCoordinate(MousePoint.x, window->Picture.Resolution, unit) + "," +
                                          FormatCoordinate(MousePoint.y, window->Picture.Resolution, unit));
}

void ScrollTo(TControlScrollBar* bar, int position) { bar->SetPosition(std::max(position, 0)); }

}  // namespace

// ---------------------------------------------------------------------------------------
// The tool's operation

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

void TImageForm::ConnectInputHandlers() {
  ShowBuf->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { ShowBufMouseDown(s, b, sh, x, y); };
  ShowBuf->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { StoreMouseCoords(s, sh, x, y); };
  ShowBuf->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { ShowBufMouseUp(s, b, sh, x, y); };
  ShowBuf->OnMouseLeave = [this](TObject* s) { ClearMouseCoords(s); };
  ShowBuf->OnPaint = [this](TObject* s) { ShowBufPaint(s); };
  MaxSize->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { ClearMouseCoords2(s, sh, x, y); };
  MaxSize->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { MaxSizeMouseDown(s, b, sh, x, y); };
  OnKeyDown = [this](TObject* s, WORD& key, TShiftState sh) { HotKeys(s, key, sh); };
  OnKeyUp = [this](TObject* s, WORD& key, TShiftState sh) { FormKeyUp(s, key, sh); };
}

Pair<int> TImageForm::ApplyAxisLock(TShiftState shift, int x, int y) {
  if (!shift.Contains(ssShift)) AxisLockArmed = 0;
  if (!AxisLockArmed) {
    LockedAxis = -1;
    return {x, y};
  }
  if (LockedAxis == -1) {
    const int dx = std::abs(AxisLockAnchor.x - x);
    const int dy = std::abs(AxisLockAnchor.y - y);
    if (dx > dy && dx >= AxisLockDistance) LockedAxis = 1;
    else if (dy > dx && dy >= AxisLockDistance) LockedAxis = 0;
    return {x, y};
  }
  if (LockedAxis == 1) y = AxisLockAnchor.y;
  else x = AxisLockAnchor.x;
  return {x, y};
}

// Whether the pointer is held inside the image: kind 2 tools once a point is set, kind 1
// tools during point-by-point input.
bool TImageForm::PointerHeldInImage() const {
  if (!CurrentTool || ToolPhase == 0) return false;
  return CurrentTool->FeedbackKind == 2 || (CurrentTool->FeedbackKind == 1 && ToolPhase != ToolPhaseDrag);
}

// ---------------------------------------------------------------------------------------
// Mouse

void TImageForm::ShowBufMouseDown(TObject*, TMouseButton, TShiftState shift, int x, int y) {
  // The click that activated the window, or one while the program is in the background, does
  // not paint; nor does a press on a window that is not the active document.
  if (AppInactive || (MainForm && MainForm->ImageChangeTimer && MainForm->ImageChangeTimer->GetEnabled())) return;
  if (ImageForm != this || !CurrentTool) return;
  SetCapture(ShowBuf->GetHandle());
  const Pair<int> at = ApplyAxisLock(shift, x, y);
  MouseViewPoint = at;
  MousePoint = ViewToImagePoint(at.x, at.y, Zoom);
  if (CurrentTool->Snap) SnapToGrid(MousePoint);
  MouseShift = shift;
  MouseCaptured = 1;
  HideToolFeedback();

  if (ToolPhase == 0) {
    if (CurrentTool->DropSelection) Picture.ClearSelection(true);
    if (CurrentTool->UndoAtFirstPoint) {
      if (!Picture.PushUndo(CurrentTool->Key)) {
        MouseCaptured = 0;
        ReleaseCapture();
        return;
      }
      while (Picture.RedoChain) Picture.DropRedoStep();
    }
  }

  P_icon* const tool = CurrentTool;
  const std::uint32_t phaseBefore = ToolPhase;
  tool->AddPoint();
  if (phaseBefore == 0 && CurrentTool == tool && ToolPhase == 0) {
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

void TImageForm::StoreMouseCoords(TObject*, TShiftState shift, int x, int y) {
  if (ImageForm != this || !CurrentTool) return;
  Pair<int> at = ApplyAxisLock(shift, x, y);
  MouseViewPoint = at;
  if (PointerHeldInImage()) {
    at.x = ClampViewCoordinate(at.x, Picture.Width(), Zoom);
    at.y = ClampViewCoordinate(at.y, Picture.Height(), Zoom);
  }
  MousePoint = ViewToImagePoint(at.x, at.y, Zoom);
  if (CurrentTool->Snap) SnapToGrid(MousePoint);
  MouseShift = shift;
  ShowMouseCoordinates(this);
  if (ToolPointOutside == 0 && ToolPoint == MousePoint) return;
  RefreshToolStatus(true, true);
}

void TImageForm::ShowBufMouseUp(TObject* sender, TMouseButton, TShiftState shift, int x, int y) {
  if (!MouseCaptured) return;
  // The release point is where the button went up, also when no move reported it.
  // (Under the axis lock the stored point differs from the raw one; the move then finds the
  // same point and does nothing.)
  if (Pair<int>{x, y} != MouseViewPoint) StoreMouseCoords(sender, shift, x, y);
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

// The pointer position in the view, from the screen.
static Pair<int> PointerInView(TBuffer* view) {
  POINT screen{};
  GetCursorPos(&screen);
  ScreenToClient(view->GetHandle(), &screen);
  return {std::clamp<int>(screen.x, 0, std::max(view->GetWidth() - 1, 0)),
          std::clamp<int>(screen.y, 0, std::max(view->GetHeight() - 1, 0))};
}

void TImageForm::FollowPointerAlongEdge() {
  const Pair<int> at = PointerInView(ShowBuf);
  StoreMouseCoords(ShowBuf, MouseShift, at.x, at.y);
}

void TImageForm::ClearMouseCoords(TObject*) {
  MouseViewPoint = {-1, -1};
  if (ImageForm != this || !CurrentTool) return;
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
    SetPanelText(spCoordinates, "");
    SetPanelText(spSizes, "");
    ShowTimedStatus("", 0.01f);
  }
}

void TImageForm::ClearMouseCoords2(TObject* sender, TShiftState, int, int) { ClearMouseCoords(sender); }

void TImageForm::MaxSizeMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
  if (ToolPhase == 0 || !PointerHeldInImage()) return;
  const int vx = std::clamp(x - ShowBuf->GetLeft(), 0, std::max(ShowBuf->GetWidth() - 1, 0));
  const int vy = std::clamp(y - ShowBuf->GetTop(), 0, std::max(ShowBuf->GetHeight() - 1, 0));
  ShowBufMouseDown(ShowBuf, button, shift, vx, vy);
}

void TImageForm::ShowBufPaint(TObject*) {
  // The selection tools' overlay, then the marching outline over it.
  if (CurrentTool && ImageForm == this) CurrentTool->PaintOverlay();
  Picture.PaintSelectionOutline(false);
}

// ---------------------------------------------------------------------------------------
// Keys

void TImageForm::ZoomByKey(int steps) {
  if (!MainForm || !MainForm->Zoom) return;
  int position = MainForm->Zoom->GetPosition();
  for (int i = 0; i < std::abs(steps); ++i) {
    if (steps > 0 && position < MaxZoomPosition) ++position;
    if (steps < 0 && position > MinZoomPosition) --position;
  }
  MainForm->Zoom->SetPosition(position);
  ApplyZoom();
}

void TImageForm::ToggleFitZoom() {
  if (Picture.Empty()) return;
  const double fit = std::min(static_cast<double>(MaxSize->GetClientWidth()) / Picture.Width(),
                              static_cast<double>(MaxSize->GetClientHeight()) / Picture.Height());
  const double zoom = GetZoomFactor();
  if (zoom > fit) {
    SavedZoom = zoom;
    SetZoomFactor(fit);
  } else if (SavedZoom != 0) {
    SetZoomFactor(SavedZoom);
  }
  ApplyZoom();
}

void TImageForm::HotKeys(TObject*, WORD& key, TShiftState shift) {
  MouseShift = shift;
  if (shift.Contains(ssShift) && ToolPointOutside == 0 && LockedAxis == -1) {
    AxisLockArmed = 1;
    AxisLockAnchor = MouseViewPoint;
  }
  // Ctrl adds to a selection and Alt takes from it: the selection tools show it.
  if (!Settings.InstBrush && SelectionToolCurrent()) {
    const bool wand = CurrentTool == &CutWandTool;
    if (shift.Contains(ssCtrl)) ShowBuf->SetCursor(wand ? -48 : -58);
    else if (shift.Contains(ssAlt)) ShowBuf->SetCursor(wand ? -47 : -57);
  }

  const int code = HotKeyCode(key, shift);
  // While a control of the main window has the focus, the keys it does not keep for editing
  // skip the table below; the palette's keys and the document keys still work.
  TWinControl* mainFocus = MainForm && MainForm->Active() ? MainForm->GetActiveControl() : nullptr;
  const bool notForTable = mainFocus && KeyGoesToImage(mainFocus->GetTag(), code);
  if (PaletteHotKey(code)) {
    key = 0;
    return;
  }
  // Alt+1 .. Alt+9 and Alt+0 (the tenth) make that document active.
  if (code >= (kAltBit | '0') && code <= (kAltBit | '9')) {
    const int digit = code - (kAltBit | '0');
    const int index = digit == 0 ? 9 : digit - 1;
    if (index < ImgFormCount && ImgForms[static_cast<std::size_t>(index)] != ImageForm) MakeDocumentActive(index);
    key = 0;
    return;
  }
  if (notForTable) return;

  TControlScrollBar* horz = MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = MaxSize->GetVertScrollBar();
  switch (code) {
    case VK_CLEAR:
    case kNumpad5: CycleBrushHandle(); break;
    case VK_RETURN:
      if (MainForm) MainForm->SetActiveControl(nullptr);
      break;
    case VK_ESCAPE:
      // Esc first takes the focus from a field of the tool options window.
      if (ToolForm && ToolForm->GetActiveControl()) ToolForm->SetActiveControl(nullptr);
      else ReselectTool(true);
      break;
    case VK_PRIOR: ScrollTo(vert, 0); break;
    case VK_NEXT: ScrollTo(vert, static_cast<int>(Picture.Height() * Zoom)); break;
    case VK_HOME: ScrollTo(horz, 0); break;
    case VK_END: ScrollTo(horz, static_cast<int>(Picture.Width() * Zoom)); break;
    case VK_LEFT: ScrollTo(horz, horz->GetPosition() - kScrollStep); break;
    case VK_RIGHT: ScrollTo(horz, horz->GetPosition() + kScrollStep); break;
    case VK_UP: ScrollTo(vert, vert->GetPosition() - kScrollStep); break;
    case VK_DOWN: ScrollTo(vert, vert->GetPosition() + kScrollStep); break;
    case 'Z': ToggleFitZoom(); break;
    case VK_ADD: ZoomByKey(1); break;
    case kShiftBit | VK_ADD: ZoomByKey(2); break;
    case VK_SUBTRACT: ZoomByKey(-1); break;
    case kShiftBit | VK_SUBTRACT: ZoomByKey(-2); break;
    case VK_F1:
      if (CurrentTool) Application()->HelpContext(CurrentTool->HelpContext);
      key = 0;
      break;
    // The clipboard keys, as the Edit menu's commands.
    case kShiftBit | VK_INSERT:
      WithdrawToolFeedback();
      if (MainForm) MainForm->Paste1Click(MainForm);
      break;
    case kShiftBit | VK_DELETE:
      WithdrawToolFeedback();
      if (MainForm) MainForm->Cut1Click(MainForm);
      break;
    case kCtrlBit | VK_INSERT:
      WithdrawToolFeedback();
      if (MainForm) MainForm->Copy1Click(MainForm);
      break;
    case kCtrlBit | VK_DELETE:
      WithdrawToolFeedback();
      if (MainForm) MainForm->Delete1Click(MainForm);
      break;
    case kCtrlBit | 'Z':
      WithdrawToolFeedback();
      if (MainForm) MainForm->Undo1Click(MainForm);
      break;
    case kCtrlBit | 'L':
      Settings.Clipping = !Settings.Clipping;
      SetDrawViewClip();
      break;
    case kAltBit | VK_MENU:
      // Kept from the menu bar.
      key = 0;
      break;
    case kAltBit | VK_F4:
      if (MainForm) PostMessage(MainForm->GetHandle(), WM_CLOSE, 0, 0);
      key = 0;
      break;
    default: break;
  }
}

void TImageForm::FormKeyUp(TObject*, WORD&, TShiftState shift) {
  AxisLockArmed = 0;
  if (SelectionToolCurrent() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) ShowBuf->SetCursor(CurrentTool->Cursor);
}
