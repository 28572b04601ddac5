#include "quillo/tools/SelectionTools.h"

#include <algorithm>
#include <initializer_list>

#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SelectionToBrush.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/tools/ToolInput.h"
#include "quillo/tools/ToolObjects.h"

bool CutFeedbackShown = false;
bool CutSizeTracking = true;

namespace {

// The preset rectangle's bar: its width and height are options 1 and 2.
constexpr int kWidthOption = 1;
constexpr int kHeightOption = 2;
constexpr int kResetWidth = 384;
constexpr int kResetHeight = 288;
constexpr int kLargestDoubled = 8192;

bool RightButton() { return MouseShift.Contains(ssRight); }

Rect Normalised(int x1, int y1, int x2, int y2) {
  return Rect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

// Replacing the selection: its place joins the dirty rectangle and it is dropped, without an
// undo step of its own (the area's step holds it).
void DropSelectionForReplace(UDBuffer& picture) {
  if (MouseShift.Contains(ssAlt) || MouseShift.Contains(ssCtrl) || !picture.Outline) return;
  ExtendDirtyRect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom);
  picture.ClearSelection(false);
}

// The end of a drawn area (freehand, polygon): the mask to the selection or the brush, the
// masks cleared, and in brush mode the disc pen.
void FinishDrawnArea(P_filled& tool) {
  ResetDirtyRect();
  SelectionToBrush(tool.FillMask);
  if (!Settings.InstBrush) return;
  if (RightButton() && CurrentPicture)
    CurrentPicture->ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  SelectTool(&PenDiscTool, false, -1);
}

// The brush-mode undo step of a drawn or wand area: the tools open it themselves there.
bool OpenBrushModeStep(const P_icon& tool) {
  if (!Settings.InstBrush || !CurrentPicture) return true;
  return CurrentPicture->PushUndo(tool.Key);
}

// A drawn area's first point: without its step the grab does not start, since taking the
// area would take back the user's previous step instead. The tool hands back as after a grab.
bool StartDrawnArea(const P_icon& tool) {
  if (OpenBrushModeStep(tool)) return true;
  ToolPhase = 0;
  // The press hid the feedback already.
  SelectTool(RememberedTool != nullptr ? RememberedTool : &PenDiscTool, false, -1);
  return false;
}

P_cut_resize& Preset() { return CutResizeTool; }

int PresetWidth() { return static_cast<int>(GetOptionValue(kWidthOption)); }
int PresetHeight() { return static_cast<int>(GetOptionValue(kHeightOption)); }

void SetRatio() {
  if (PresetWidth() > 0) Preset().CutAspectRatio = static_cast<double>(PresetHeight()) / PresetWidth();
}

}  // namespace

bool IsSelectionTool(const P_icon* tool) {
  return tool == &CutBoxTool || tool == &CutResizeTool || tool == &CutDrawTool || tool == &CutPolyTool ||
         tool == &CutWandTool;
}

// ---------------------------------------------------------------------------------------
// The rectangles

void P_cut::AddPoint() {
  ToolPoint = MousePoint;
  UDBuffer* picture = CurrentPicture;
  if (!picture || picture->Empty()) return;
  const int x = ToolPoint.x, y = ToolPoint.y;
  if (ToolPhase == 0 && SetCorner(x, y) != 0) return;
  Rect r = Normalised(AnchorX, AnchorY, x, y);
  r = Rect(std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, picture->Width() - 1),
           std::min(r.bottom, picture->Height() - 1));
  AnchorX = r.left;
  AnchorY = r.top;
  if (r.Empty()) return;
  if (Settings.InstBrush) RectToBrush(*this, r);
  else RectToSelection(*this, r);
}

void RectToSelection(P_cut& tool, const Rect& r) {
  UDBuffer& picture = *CurrentPicture;
  ResetDirtyRect();
  DropSelectionForReplace(picture);
  picture.SetMaskRect(!MouseShift.Contains(ssAlt), r);
  // The bounds follow the mask; a subtraction that leaves nothing drops the selection.
  picture.RebuildSelectionOutline();
  // The step covers the rectangle too: a strip taken off an edge lies outside the new bounds.
  ExtendDirtyRect(r.left, r.top, r.right, r.bottom);
  if (picture.HasSelectionBounds()) ExtendDirtyRect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom);
  picture.ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  tool.AfterSelection();
}

void P_cut_box::Activate() { SetStatusText("CutBrush"); }

int P_cut_box::SetCorner(int x, int y) {
  AnchorX = x;
  AnchorY = y;
  SetStatusText("CutBrush2");
  return 1;
}

void P_cut_box::PaintOverlay() {
  if (!CutFeedbackShown) return;
  if (ToolPhase == 0) XorCross(ToolPoint.x, ToolPoint.y);
  else XorRect(AnchorX, AnchorY, ToolPoint.x, ToolPoint.y);
}

void P_cut_box::ShowFeedback() {
  CutFeedbackShown = true;
  PaintOverlay();
  if (ToolPhase != 0) {
    const Rect r = Normalised(AnchorX, AnchorY, ToolPoint.x, ToolPoint.y);
    ShowSizeInStatus(r.Width(), r.Height());
  }
}

void P_cut_box::HideFeedback() {
  if (ToolPhase == 0) EraseXorCross(ToolPoint.x, ToolPoint.y);
  else EraseXorRect(AnchorX, AnchorY, ToolPoint.x, ToolPoint.y);
  CutFeedbackShown = false;
}

void P_cut_resize::Activate() {
  SetStatusText("CutResize");
  if (SavedWidth > 0 && SavedHeight > 0) {
    SetOptionValue(kWidthOption, SavedWidth);
    SetOptionValue(kHeightOption, SavedHeight);
  }
  SetRatio();
  SetOptionEvent(0, [](TObject*) { ResetCutSize(); });
  SetOptionEvent(kWidthOption, [](TObject*) { CutSizeChanged(); });
  SetOptionEvent(kHeightOption, [](TObject*) { CutSizeChanged(); });
  SetOptionEvent(3, [](TObject*) { DoubleCutSize(); });
  SetOptionEvent(4, [](TObject*) { HalveCutSize(); });
}

void P_cut_resize::Deactivate(P_icon*) {
  SavedWidth = PresetWidth();
  SavedHeight = PresetHeight();
}

int P_cut_resize::SetCorner(int x, int y) {
  const UDBuffer* picture = CurrentPicture;
  AnchorX = std::min(x + PresetWidth() - 1, picture->Width() - 1);
  AnchorY = std::min(y + PresetHeight() - 1, picture->Height() - 1);
  return 0;
}

void P_cut_resize::PaintOverlay() {
  if (CutFeedbackShown) XorRect(ToolPoint.x, ToolPoint.y, ToolPoint.x + ShownWidth - 1, ToolPoint.y + ShownHeight - 1);
}

void P_cut_resize::ShowFeedback() {
  ShownWidth = std::max(PresetWidth(), 1);
  ShownHeight = std::max(PresetHeight(), 1);
  CutFeedbackShown = true;
  PaintOverlay();
  ShowSizeInStatus(ShownWidth, ShownHeight);
}

void P_cut_resize::HideFeedback() {
  EraseXorRect(ToolPoint.x, ToolPoint.y, ToolPoint.x + ShownWidth - 1, ToolPoint.y + ShownHeight - 1);
  CutFeedbackShown = false;
}

// ---------------------------------------------------------------------------------------
// Freehand and polygon

void P_cut_draw::Activate() {
  SetStatusText("CutDraw");
  PrepareMasks();
}

void P_cut_draw::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    if (!StartDrawnArea(*this)) return;
    BeginOutline(ToolPoint);
    return;
  }
  if (ToolPoint.x != LastX || ToolPoint.y != LastY) {
    AddEdge(LastX, LastY, ToolPoint.x, ToolPoint.y);
    LastX = ToolPoint.x;
    LastY = ToolPoint.y;
  }
  CloseEdges(ToolPoint);
  FinishDrawnArea(*this);
  if (CurrentTool == this) PrepareMasks();
}

void P_cut_draw::ShowFeedback() {
  if (ToolPhase != 1) {
    P_fill_draw::ShowFeedback();
    return;
  }
  // The press was a click: on the start pixel it selects that pixel alone.
  ToolPhase = 2;
  if (ToolPoint.x == StartX && ToolPoint.y == StartY) {
    if (FillMask.words) FillMask.PutPixel(StartX, StartY, 1);
    FinishDrawnArea(*this);
    if (CurrentTool == this) PrepareMasks();
  } else {
    AddPoint();
  }
  if (CurrentTool == this) AdvanceToolPoint();
}

void P_cut_poly::Activate() {
  SetStatusText("CutPoly");
  StartX = -1;
  PrepareMasks();
}

void P_cut_poly::AddPoint() {
  ToolPoint = MousePoint;
  if (StartX == -1) {
    if (!StartDrawnArea(*this)) return;
    P_fill_poly::AddPoint();
    return;
  }
  if (!IsNearPolygonStart(*this)) {
    P_fill_poly::AddPoint();
    return;
  }
  CloseEdges({LastX, LastY});
  StartX = -1;
  FinishDrawnArea(*this);
  if (CurrentTool == this) PrepareMasks();
}

// ---------------------------------------------------------------------------------------
// The magic wand

void P_cut_wand::Activate() {
  SetStatusText("CutWand");
  SetOptionValue(0, Tolerance);
  SetOptionValue(1, EightConnected);
}

void P_cut_wand::Deactivate(P_icon*) {
  Tolerance = static_cast<int>(GetOptionValue(0));
  EightConnected = GetOptionValue(1) != 0 ? 1 : 0;
}

void P_cut_wand::AddPoint() {
  ToolPoint = MousePoint;
  UDBuffer* picture = CurrentPicture;
  if (!picture) return;
  BitBuffer mask;
  // Not limited to the selection: the wand makes selections.
  if (!GrowColourArea(mask, ToolPoint.x, ToolPoint.y, static_cast<int>(GetOptionValue(0)), GetOptionValue(1) != 0)) {
    if (UndoAtFirstPoint) picture->DropUndoStep();
    return;
  }
  if (!OpenBrushModeStep(*this)) return;
  ResetDirtyRect();
  Apply(0, &mask);
  if (!Settings.InstBrush) return;
  if (RightButton()) picture->ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  SelectTool(&PenDiscTool, false, -1);
}

void P_cut_wand::Apply(std::uint32_t, BitBuffer* mask) {
  if (mask) SelectionToBrush(*mask);
}

// ---------------------------------------------------------------------------------------
// The instant-brush setting and the preset size

void ApplyInstantBrushOption() {
  for (P_icon* tool : std::initializer_list<P_icon*>{&CutBoxTool, &CutResizeTool, &CutDrawTool, &CutPolyTool, &CutWandTool}) {
    tool->Flags = Settings.InstBrush ? tfHandBack : 0;
    tool->UndoAtFirstPoint = Settings.InstBrush ? 0 : 1;
  }
}

namespace {

bool PresetCurrent() { return CurrentTool == &CutResizeTool; }

void SetPresetSize(int w, int h) {
  SetOptionValue(kWidthOption, w);
  SetOptionValue(kHeightOption, h);
}

// One pixel more or less on the longer side, the other side following the kept ratio.
void StepKeepingRatio(int step) {
  const double ratio = Preset().CutAspectRatio;
  if (ratio <= 0) return;
  CutSizeTracking = false;
  const int w = PresetWidth(), h = PresetHeight();
  if (w > h) SetPresetSize(w + step, static_cast<int>((w + step) * ratio + 0.5));
  else SetPresetSize(static_cast<int>((h + step) / ratio + 0.5), h + step);
  CutSizeTracking = true;
}

int PictureWidth() { return CurrentPicture ? CurrentPicture->Width() : 0; }
int PictureHeight() { return CurrentPicture ? CurrentPicture->Height() : 0; }

}  // namespace

namespace {

// A side one pixel longer or shorter, within its limits; the ratio follows.
void StepSide(int option, int step, int limit) {
  if (!PresetCurrent()) return;
  const int side = static_cast<int>(GetOptionValue(option));
  if (step < 0 ? side <= 1 : side >= limit) return;
  SetOptionValue(option, side + step);
  SetRatio();
}

}  // namespace

void CutSizeWidthDown() { StepSide(kWidthOption, -1, 0); }
void CutSizeWidthUp() { StepSide(kWidthOption, 1, PictureWidth()); }
void CutSizeHeightDown() { StepSide(kHeightOption, -1, 0); }
void CutSizeHeightUp() { StepSide(kHeightOption, 1, PictureHeight()); }

void CutSizeShrink() {
  if (PresetCurrent() && PresetWidth() > 1 && PresetHeight() > 1) StepKeepingRatio(-1);
}

void CutSizeGrow() {
  if (PresetCurrent() && PresetWidth() < PictureWidth() && PresetHeight() < PictureHeight()) StepKeepingRatio(1);
}

void ResetCutSize() { SetPresetSize(kResetWidth, kResetHeight); }

void DoubleCutSize() {
  const int w = PresetWidth(), h = PresetHeight();
  SetPresetSize(w < kLargestDoubled ? w * 2 : w, h < kLargestDoubled ? h * 2 : h);
}

void HalveCutSize() {
  const int w = PresetWidth(), h = PresetHeight();
  SetPresetSize(w > 1 ? w / 2 : w, h > 1 ? h / 2 : h);
}

void CutSizeChanged() {
  RefreshToolStatus(true, true);
  if (CutSizeTracking) SetRatio();
}
