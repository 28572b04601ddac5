#include "quillo/shell/DocumentKeys.h"

#include <algorithm>
#include <cstdlib>

#include "platform/host/KeyCodes.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/shell/ColourKeys.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SelectionTools.h"
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
constexpr int kPeriod = 0xBE;
// The key data bit of a key pressed with Alt.
constexpr LPARAM kAltKeyData = 1 << 29;

bool SelectionToolCurrent() { return IsSelectionTool(CurrentTool); }

void ScrollTo(TControlScrollBar* bar, int position) { bar->SetPosition(std::max(position, 0)); }

void ZoomByKey(int steps) {
  SetZoomPosition(std::clamp(ZoomPosition() + steps, MinZoomPosition, MaxZoomPosition));
  ApplyZoom();
}

void ToggleFitZoom(const TImageForm& window) {
  const UDBuffer& picture = window.Picture;
  if (picture.Empty()) return;
  const double fit = std::min(static_cast<double>(window.MaxSize->GetClientWidth()) / picture.Width(),
                              static_cast<double>(window.MaxSize->GetClientHeight()) / picture.Height());
  const double zoom = GetZoomFactor();
  if (zoom > fit) {
    SavedZoom = zoom;
    SetZoomFactor(fit);
  } else if (SavedZoom != 0) {
    SetZoomFactor(SavedZoom);
  }
  ApplyZoom();
}

}  // namespace

void DocumentHotKeys(TImageForm& window, WORD& key, TShiftState shift) {
  TBuffer* view = window.ShowBuf;
  const UDBuffer& picture = window.Picture;
  MouseShift = shift;
  if (shift.Contains(ssShift) && ToolPointOutside == 0 && LockedAxis == -1) {
    AxisLockArmed = 1;
    AxisLockAnchor = MouseViewPoint;
  }
  // Ctrl adds to a selection and Alt takes from it: the selection tools show it.
  if (!Settings.InstBrush && SelectionToolCurrent()) {
    const bool wand = CurrentTool == &CutWandTool;
    if (shift.Contains(ssCtrl)) view->SetCursor(wand ? -48 : -58);
    else if (shift.Contains(ssAlt)) view->SetCursor(wand ? -47 : -57);
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
  // The main menu's shortcuts (the Brush menu's) work while a document has the keyboard.
  if (MainForm && MainForm->MainMenu1 && !notForTable) {
    TMessage message{};
    message.WParam = key;
    message.LParam = shift.Contains(ssAlt) ? kAltKeyData : 0;
    if (MainForm->MainMenu1->IsShortCut(message)) {
      key = 0;
      return;
    }
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

  TControlScrollBar* horz = window.MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = window.MaxSize->GetVertScrollBar();
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
    case VK_NEXT: ScrollTo(vert, static_cast<int>(picture.Height() * window.Zoom)); break;
    case VK_HOME: ScrollTo(horz, 0); break;
    case VK_END: ScrollTo(horz, static_cast<int>(picture.Width() * window.Zoom)); break;
    case VK_LEFT: ScrollTo(horz, horz->GetPosition() - kScrollStep); break;
    case VK_RIGHT: ScrollTo(horz, horz->GetPosition() + kScrollStep); break;
    case VK_UP: ScrollTo(vert, vert->GetPosition() - kScrollStep); break;
    case VK_DOWN: ScrollTo(vert, vert->GetPosition() + kScrollStep); break;
    case 'Z': ToggleFitZoom(window); break;
    case VK_ADD: ZoomByKey(1); break;
    case kShiftBit | VK_ADD: ZoomByKey(2); break;
    case VK_SUBTRACT: ZoomByKey(-1); break;
    case kShiftBit | VK_SUBTRACT: ZoomByKey(-2); break;
    case VK_F1:
      if (CurrentTool) Application()->HelpContext(CurrentTool->HelpContext);
      key = 0;
      break;
    // The clipboard keys, as the Edit menu's commands; not under a dialog's preview.
    case kShiftBit | VK_INSERT:
      if (IsDialogToolActive()) break;
      WithdrawToolFeedback();
      if (MainForm) MainForm->Paste1Click(MainForm);
      break;
    case kShiftBit | VK_DELETE:
      if (IsDialogToolActive()) break;
      WithdrawToolFeedback();
      if (MainForm) MainForm->Cut1Click(MainForm);
      break;
    case kCtrlBit | VK_INSERT:
      if (IsDialogToolActive()) break;
      WithdrawToolFeedback();
      if (MainForm) MainForm->Copy1Click(MainForm);
      break;
    case kCtrlBit | VK_DELETE:
      if (IsDialogToolActive()) break;
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
    case kPeriod: TogglePixelPen(); break;
    // The preset selection's size.
    case kCtrlBit | VK_LEFT: CutSizeWidthDown(); break;
    case kCtrlBit | VK_RIGHT: CutSizeWidthUp(); break;
    case kCtrlBit | VK_UP: CutSizeHeightDown(); break;
    case kCtrlBit | VK_DOWN: CutSizeHeightUp(); break;
    case kCtrlBit | VK_HOME: CutSizeShrink(); break;
    case kCtrlBit | VK_NEXT: CutSizeGrow(); break;
    // The colour keys.
    case kShiftBit | VK_PRIOR: StepDrawingColour(window, 0, 1); break;
    case kShiftBit | VK_HOME: StepDrawingColour(window, 0, -1); break;
    case kShiftBit | VK_RIGHT: StepDrawingColour(window, 1, 1); break;
    case kShiftBit | VK_LEFT: StepDrawingColour(window, 1, -1); break;
    case kShiftBit | VK_NEXT: StepDrawingColour(window, 2, 1); break;
    case kShiftBit | VK_END: StepDrawingColour(window, 2, -1); break;
    case kShiftBit | VK_UP: SwapColours(); break;
    case kShiftBit | VK_DOWN: FlipColourKeysMode(window); break;
    case kCtrlBit | kShiftBit | 'B':
      if (MainForm) MainForm->ActivateColorSel(MainForm->BackCol, mbLeft, TShiftState(), 0, 0);
      break;
    case kCtrlBit | kShiftBit | 'D':
      if (MainForm) MainForm->ActivateColorSel(MainForm->DrawCol, mbLeft, TShiftState(), 0, 0);
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

void DocumentKeyUp(TImageForm& window, TShiftState shift) {
  AxisLockArmed = 0;
  if (SelectionToolCurrent() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) window.ShowBuf->SetCursor(CurrentTool->Cursor);
}

void ConnectDocumentKeys(TImageForm& window) {
  window.OnKeyDown = [&window](TObject*, WORD& key, TShiftState shift) { DocumentHotKeys(window, key, shift); };
  window.OnKeyUp = [&window](TObject*, WORD&, TShiftState shift) { DocumentKeyUp(window, shift); };
}
