// Tool selection, suspension, the dirty rectangle and the pointer warp.

#include "quillo/tools/Tool.h"

#include <algorithm>

#include "platform/user/User.h"
#include "quillo/base/Language.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Progress.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"

P_icon* CurrentTool = &PenContTool;
std::uint32_t ToolPhase = 0;
P_icon* RememberedTool = nullptr;
int RememberedPaletteEntry = -1;
P_icon* PendingTool = nullptr;
P_icon* SuspendedTool = nullptr;
int ToolSuspendDepth = 0;
P_icon IdleTool;
Pair<int> ToolPoint;
std::uint8_t ToolPointOutside = 1;
Rect DirtyRect = EmptyDirtyRect;

P_icon::P_icon(const ToolTraits& traits)
    : Flags(traits.Flags),
      UndoAtFirstPoint(traits.UndoAtFirstPoint),
      DropSelection(traits.DropSelection),
      FeedbackKind(traits.FeedbackKind),
      Snap(traits.Snap),
      HelpContext(traits.HelpContext),
      BarKey(traits.BarKey),
      PointCount(traits.PointCount),
      Key(traits.Key),
      Cursor(traits.Cursor) {}

void P_icon::SetStatusText(const AnsiString& key) { StatusText = LangMessage(key); }

namespace {

// A tool that opened an undo step at its first point and is mid-operation gives the
// half-done step back when another tool takes over.
void TakeBackHalfDoneStep() {
  if (CurrentTool->UndoAtFirstPoint && ToolPhase != 0 && CurrentPicture) CurrentPicture->Undo();
}

void GiveViewsTheCursor(TCursor cursor) {
  for (int i = 0; i < ImgFormCount; ++i)
    if (ImgForms[i] && ImgForms[i]->ShowBuf) ImgForms[i]->ShowBuf->SetCursor(cursor);
}

// Runs a one-shot function (and any one-shot queued after it); returns the tool that
// follows, with entry and hideFirst adjusted for it. CurrentTool is the last function run.
P_icon* RunOneShotFunctions(P_icon* tool, bool& hideFirst, int& entry) {
  while (tool->Has(tfOneShot)) {
    HideToolFeedback();
    TakeBackHalfDoneStep();
    // The half-done operation is over; nothing later may take back the function's own work.
    ToolPhase = 0;
    P_icon* const old = CurrentTool;
    old->Deactivate(tool);
    CurrentTool = tool;
    tool->Activate();
    if (tool->GroupButton) tool->GroupButton->SetHint(LangMessage(tool->Key));
    P_icon* follower;
    if (PendingTool) {
      follower = PendingTool;
      PendingTool = nullptr;
      entry = -1;
    } else {
      follower = old;
      entry = old->Has(tfHandBack) || old->Has(tfNotRemembered) ? RememberedPaletteEntry : -1;
    }
    CurrentTool = tool;
    hideFirst = false;
    tool = follower;
  }
  return tool;
}

// A toggle flips its on state; the current tool stays.
void FlipToggle(P_icon* tool) {
  if (tool->PointCount == 0) {
    if (tool->GroupButton) tool->GroupButton->SetDown(true);
    tool->Activate();
  } else {
    tool->Deactivate(CurrentTool);
    if (tool->GroupButton) tool->GroupButton->SetDown(false);
  }
  tool->PointCount = tool->PointCount == 0 ? 1 : 0;
}

}  // namespace

void SelectTool(P_icon* tool, bool hideFirst, int paletteEntry) {
  if (!tool) return;
  // The undo history list belongs to the picture as it was before the new tool.
  TheToolHost().ToolChanging();
  // A selection ends any suspension: a later unmatched ResumeTool leaves this tool alone.
  ToolSuspendDepth = 0;
  tool = RunOneShotFunctions(tool, hideFirst, paletteEntry);
  if (tool->Has(tfToggle)) {
    FlipToggle(tool);
    return;
  }
  if (tool->Has(tfHandBack) || tool->Has(tfNotRemembered))
    RememberedPaletteEntry = paletteEntry;
  else
    RememberedTool = tool;
  if (hideFirst) HideToolFeedback();
  if (ImageForm) ImageForm->SetPanelText(spSizes, "");
  // After a one-shot function the current tool is the function: its work is not taken back.
  if (!CurrentTool->Has(tfOneShot)) TakeBackHalfDoneStep();
  CurrentTool->Deactivate(tool);
  CloseOptionBar(CurrentTool, tool);
  CurrentTool = tool;
  if (tool->GroupButton) TheToolHost().ShowInPalette(*tool, paletteEntry);
  ToolPhase = 0;
  RebuildOptionBar(tool);
  tool->Activate();
  GiveViewsTheCursor(tool->Cursor);
  ShowToolFeedback();
  TheToolHost().ToolSelected(*tool);
}

void ReselectTool(bool hideFirst) { SelectTool(RememberedTool, hideFirst, -1); }

bool IsDialogToolActive() {
  return (CurrentTool != nullptr && CurrentTool->PreviewsThroughDialog()) || ProgressRunning();
}

void SuspendTool() {
  if (ToolSuspendDepth++ > 0) return;
  HideToolFeedback();
  CurrentTool->Deactivate(nullptr);
  ToolPointOutside = 1;
  SuspendedTool = CurrentTool;
  CurrentTool = &IdleTool;
  ToolPhase = 0;
}

void ResumeTool() {
  if (ToolSuspendDepth <= 0) return;
  if (--ToolSuspendDepth > 0) return;
  if (SuspendedTool) CurrentTool = SuspendedTool;
  CurrentTool->Activate();
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->SetCursor(CurrentTool->Cursor);
  ShowToolFeedback();
}

void ResetDirtyRect() { DirtyRect = EmptyDirtyRect; }

void ExtendDirtyRect(int x1, int y1, int x2, int y2) {
  DirtyRect.left = std::min({DirtyRect.left, x1, x2});
  DirtyRect.top = std::min({DirtyRect.top, y1, y2});
  DirtyRect.right = std::max({DirtyRect.right, x1, x2});
  DirtyRect.bottom = std::max({DirtyRect.bottom, y1, y2});
}

void MoveCursorToImagePoint(int x, int y) {
  if (!ImageForm || !ImageForm->ShowBuf || !ImageForm->MaxSize) return;
  const double z = GetZoomFactor();
  if (z <= 0) return;
  const int hx = ImageForm->MaxSize->GetHorzScrollBar()->GetPosition();
  const int vy = ImageForm->MaxSize->GetVertScrollBar()->GetPosition();
  const int w = ImageForm->MaxSize->GetClientWidth();
  const int h = ImageForm->MaxSize->GetClientHeight();
  // The columns and rows that show (the last one may show in part), never past the picture:
  // a small image leaves the scroll box's client partly empty.
  const UDBuffer& picture = ImageForm->Picture;
  const int firstColumn = static_cast<int>(hx / z);
  const int lastColumn = std::min(static_cast<int>((w + hx - 1) / z), picture.Width() - 1);
  const int firstRow = static_cast<int>(vy / z);
  const int lastRow = std::min(static_cast<int>((h + vy - 1) / z), picture.Height() - 1);
  x = std::max(firstColumn, std::min(x, lastColumn));
  y = std::max(firstRow, std::min(y, lastRow));
  MousePoint = Pair<int>(x, y);
  const TPoint screen = ImageForm->ShowBuf->ClientToScreen(
      TPoint(static_cast<int>(x * z), static_cast<int>(y * z)));
  SetCursorPos(screen.x, screen.y);
}
