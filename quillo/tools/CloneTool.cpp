#include "quillo/tools/CloneTool.h"

#include <algorithm>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SelectionTools.h"
#include "quillo/tools/SizeStatus.h"

namespace {

constexpr std::uint32_t OutsideBrush = 0xFF000000u;

}  // namespace

bool CloneDabOn(UDBuffer& picture, const Rect& clip, const Buffer& shape, int x0, int y0, int dx, int dy,
                bool fromUndo) {
  const int w = picture.Width(), h = picture.Height();
  const int firstRow = std::max({y0, clip.top, 0});
  const int lastRow = std::min({y0 + shape.Height() - 1, clip.bottom, h - 1});
  const int firstColumn = std::max({x0, clip.left, 0});
  const int lastColumn = std::min({x0 + shape.Width() - 1, clip.right, w - 1});
  if (firstRow > lastRow || firstColumn > lastColumn) return true;

  // Where the pixels come from: the source rectangle held inside the picture, as the live copy
  // holds each pixel, so that a source off the picture repeats its edge in both modes.
  const int sx1 = std::clamp(firstColumn + dx, 0, w - 1), sx2 = std::clamp(lastColumn + dx, 0, w - 1);
  const int sy1 = std::clamp(firstRow + dy, 0, h - 1), sy2 = std::clamp(lastRow + dy, 0, h - 1);
  UDBuffer before;
  if (fromUndo && !picture.CopyFromUndo(before, sx1, sy1, sx2, sy2)) return false;
  for (int py = firstRow; py <= lastRow; ++py) {
    const std::uint32_t* brush = shape.At(shape.rect.left + firstColumn - x0, shape.rect.top + py - y0);
    const int sy = std::clamp(py + dy, 0, h - 1);
    std::uint32_t* out = picture.At(picture.rect.left + firstColumn, picture.rect.top + py);
    for (int px = firstColumn; px <= lastColumn; ++px, ++brush, ++out) {
      if (*brush == OutsideBrush) continue;
      const int sx = std::clamp(px + dx, 0, w - 1);
      *out = fromUndo ? *before.At(before.rect.left + sx - sx1, before.rect.top + sy - sy1)
                      : *picture.At(picture.rect.left + sx, picture.rect.top + sy);
    }
  }
  return true;
}

void P_clone::CloneDab(int x, int y) {
  if (!CurrentPicture || !BrushShape.pixels || BrushShape.Empty()) return;
  const Pair<int> hot = BrushHotSpot();
  const int x0 = x - hot.x, y0 = y - hot.y;
  SetDrawViewClip();
  CloneDabOn(*CurrentPicture, DrawView.rect, BrushShape, x0, y0, SourceX, SourceY, FromUndoCopy != 0);
  RepaintImageRect(x0, y0, x0 + BrushShape.Width(), y0 + BrushShape.Height());
}

Pair<int> P_clone::MarkerPoint() const {
  return Absolute ? Pair<int>(SourceX, SourceY) : Pair<int>(ToolPoint.x + SourceX, ToolPoint.y + SourceY);
}

void P_clone::ShowFeedback() {
  if (ToolPointOutside != 0) return;
  if (Absolute) ShowSizeInStatus(SourceX - ToolPoint.x, SourceY - ToolPoint.y);
  else ShowSizeInStatus(SourceX, SourceY);
  if (ToolPhase == 0) {
    StampBrush(ToolPoint.x, ToolPoint.y);
  } else if (ToolPhase == ToolPhaseDrag) {
    if (!StepRefused) {
      CloneDab(ToolPoint.x, ToolPoint.y);
      ExtendDirtyRect(ToolPoint.x, ToolPoint.y, ToolPoint.x, ToolPoint.y);
    }
  } else if (ToolPhase == 1) {
    // A click without a drag: the stroke is one dab. (A source point just set paints nothing.)
    if (!Absolute && !StepRefused) {
      CloneDab(ToolPoint.x, ToolPoint.y);
      MarkPictureChanged();
      ExtendDirtyRect(ToolPoint.x, ToolPoint.y, ToolPoint.x, ToolPoint.y);
      NarrowUndoToStamps(DirtyRect);
    }
    StampBrush(ToolPoint.x, ToolPoint.y);
    ToolPhase = 0;
    Activate();
  }
  // The marker is drawn by the view's next paint: a stamp above may already have painted the
  // view, and a second exclusive-or would take the marker away again.
  CutFeedbackShown = true;
  const Pair<int> p = MarkerPoint();
  EraseXorSourceMarker(p.x, p.y);
}

void P_clone::PaintOverlay() {
  if (!CutFeedbackShown) return;
  const Pair<int> p = MarkerPoint();
  XorSourceMarker(p.x, p.y);
}

void P_clone::HideFeedback() {
  if (ToolPointOutside != 0) return;
  if (ToolPhase == 0) HideBrushAt(ToolPoint.x, ToolPoint.y);
  const Pair<int> p = MarkerPoint();
  EraseXorSourceMarker(p.x, p.y);
  CutFeedbackShown = false;
}

void P_clone::AddPoint() {
  if (!CurrentPicture) return;
  if (ToolPhase != 0) {
    if (StepRefused) return;
    MarkPictureChanged();
    NarrowUndoToStamps(DirtyRect);
    return;
  }
  StepRefused = false;
  ToolPoint = MousePoint;
  FromUndoCopy = GetOptionValue(0) == 0 ? 1 : 0;
  // Many window managers take Alt+click for moving windows, so Ctrl+click sets the source too.
  if (MouseShift.Contains(ssAlt) || MouseShift.Contains(ssCtrl)) {
    Absolute = 1;
    SourceX = ToolPoint.x;
    SourceY = ToolPoint.y;
    HideToolFeedback();
    ToolPhase = 1;
    return;
  }
  if (!CurrentPicture->PushUndo(Key)) {
    StepRefused = true;
    return;
  }
  if (Absolute) {
    Absolute = 0;
    SourceX -= ToolPoint.x;
    SourceY -= ToolPoint.y;
  }
}

void P_clone::Activate() {
  SetStatusText("CloneIP");
  SetOptionValue(0, RememberedOption);
  ResetDirtyRect();
}

void P_clone::Deactivate(P_icon*) { RememberedOption = GetOptionValue(0) != 0 ? 1 : 0; }
