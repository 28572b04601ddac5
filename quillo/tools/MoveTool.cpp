#include "quillo/tools/MoveTool.h"

#include <algorithm>

#include "platform/user/WinConst.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/components/timers/TimerList.h"

namespace {

bool HasSelection(const UDBuffer* picture) { return picture && picture->Outline; }

void ClearSizePanel() {
  if (ImageForm) ImageForm->SetPanelText(spSizes, "");
}

}  // namespace

void RecomputeSelectionBounds(UDBuffer& picture) { picture.UpdateSelectionBounds(); }

void P_move::Activate() {
  SetStatusText("MoveDC");
  stepPicture_ = nullptr;
  step_ = nullptr;
  moved_ = false;
  touched_ = Rect();
}

void P_move::Deactivate(P_icon*) { CloseStep(); }

// The step holds the whole picture until the tool is left: each drag may move the mask
// anywhere, so it is narrowed only once, to all the selection touched.
void P_move::CloseStep() {
  UDBuffer* picture = stepPicture_;
  const bool ours = picture && picture == CurrentPicture && picture->UndoChain == step_;
  if (ours) {
    if (!moved_) picture->DropUndoStep();
    else picture->ExtendUndo(touched_.left, touched_.top, touched_.right, touched_.bottom);
    TheDocumentHost().UndoHistoryChanged();
  }
  stepPicture_ = nullptr;
  step_ = nullptr;
  moved_ = false;
  touched_ = Rect();
}

void P_move::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase != 0) {
    if (refused_) {
      ToolPhase = 2;
      return;
    }
    Finish();
    ClearSizePanel();
    ToolPhase = 2;
    return;
  }
  LastX = StartX = ToolPoint.x;
  LastY = StartY = ToolPoint.y;
  refused_ = false;
  UDBuffer* picture = CurrentPicture;
  if (!HasSelection(picture)) return;
  if (stepPicture_ != picture || picture->UndoChain != step_ || !step_) {
    CloseStep();
    if (!picture->PushUndo(Key)) {
      refused_ = true;
      return;
    }
    stepPicture_ = picture;
    step_ = picture->UndoChain;
  }
  Touch(*picture);
}

void P_move::Touch(const UDBuffer& picture) {
  if (!picture.HasSelectionBounds()) return;
  touched_ = touched_.Empty() ? Rect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom)
                              : Rect(std::min(touched_.left, picture.SelLeft), std::min(touched_.top, picture.SelTop),
                                     std::max(touched_.right, picture.SelRight), std::max(touched_.bottom, picture.SelBottom));
}

void P_move::ShowFeedback() {
  if (refused_ && ToolPhase != 0) {
    if (ToolPhase == 1) ToolPhase = 0;
    return;
  }
  if (ToolPhase == ToolPhaseDrag) {
    MoveSelectionTo();
    ShowSizeInStatus(ToolPoint.x - StartX, ToolPoint.y - StartY);
  } else if (ToolPhase == 1) {
    // The press was a click.
    Finish();
    ClearSizePanel();
    ToolPhase = 0;
  }
}

bool P_move::MoveSelectionTo() {
  UDBuffer* picture = CurrentPicture;
  const int dx = ToolPoint.x - LastX, dy = ToolPoint.y - LastY;
  if ((dx == 0 && dy == 0) || !HasSelection(picture)) return true;
  TExTimerEvent* timer = TheDocumentHost().ActivityTimer();
  const bool ticking = timer && timer->GetEnabled();
  if (timer) timer->SetEnabled(false);
  LastX = ToolPoint.x;
  LastY = ToolPoint.y;
  BitBuffer moved;
  moved.Alloc(picture->Mask.width, picture->Mask.height);
  if (!moved.words) {
    if (timer) timer->SetEnabled(ticking);
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
    ReselectTool(true);
    return false;
  }
  moved.PutPixelsSafe(Rect(0, 0, moved.width - 1, moved.height - 1), 0);
  moved.Copy(picture->Mask, dx, dy, BitBuffer::kCopy);
  picture->Mask.Copy(moved, 0, 0, BitBuffer::kCopy);
  moved_ = true;
  // The bounds and the outline follow the mask; a selection moved wholly off the picture
  // leaves nothing selected.
  picture->RebuildSelectionOutline();
  Touch(*picture);
  if (timer) timer->SetEnabled(ticking || picture->Outline);
  return true;
}

void P_move::Finish() {
  UDBuffer* picture = CurrentPicture;
  if (!HasSelection(picture)) return;
  if (!MoveSelectionTo()) return;
  if (!HasSelection(picture)) return;
  RecomputeSelectionBounds(*picture);
  Touch(*picture);
  MarkPictureChanged();
}
