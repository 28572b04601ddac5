// The filled freehand shape and the filled polygon. The outline shows in the picture while it
// is drawn; the masks hold it and the inside's parity until the shape is closed and painted.

#include "quillo/tools/FilledShapes.h"

#include <algorithm>
#include <cstdlib>

#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Fills.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/tools/ToolInput.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

bool RightButton() { return MouseShift.Contains(ssRight); }

bool InMask(const BitBuffer& mask, int x, int y) { return x >= 0 && y >= 0 && x < mask.width && y < mask.height; }

void SetBit(BitBuffer& mask, int x, int y, int v) { mask.PutPixel(x, y, v); }

// The rows ToggleSpan may touch and the first column it starts from: the picture's, or with
// the setting Clipping only the part of the active window that shows.
struct ToggleLimits {
  int firstRow;
  int endRow;  // exclusive
  int firstColumn;
};

ToggleLimits LimitsFor(const BitBuffer& mask) {
  ToggleLimits limits{0, mask.height, 0};
  if (!Settings.Clipping || !ImageForm || !ImageForm->MaxSize) return limits;
  const double z = GetZoomFactor();
  if (z <= 0) return limits;
  const int hx = ImageForm->MaxSize->GetHorzScrollBar()->GetPosition();
  const int vy = ImageForm->MaxSize->GetVertScrollBar()->GetPosition();
  limits.firstRow = static_cast<int>(vy / z);
  limits.endRow = std::min(mask.height, static_cast<int>((ImageForm->MaxSize->GetClientHeight() + vy) / z));
  limits.firstColumn = static_cast<int>(hx / z);
  return limits;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The outline and the inside

void P_filled::PrepareMasks() {
  if (!CurrentPicture || CurrentPicture->Empty()) return;
  const int w = CurrentPicture->Width(), h = CurrentPicture->Height();
  for (BitBuffer* mask : {&FillMask, &EdgeMask}) {
    if (!mask->words || mask->width != w || mask->height != h) mask->Alloc(w, h);
    if (mask->words) mask->PutPixelsSafe(Rect(0, 0, w - 1, h - 1), 0);
  }
}

void P_filled::Deactivate(P_icon*) {
  FillMask.Free();
  EdgeMask.Free();
}

void P_filled::BeginOutline(Pair<int> point) {
  PrepareMasks();
  StartX = LastX = point.x;
  StartY = LastY = point.y;
  FirstDirection = kUnsetDirection;
  LastDirection = 0;
  ResetDirtyRect();
}

void P_filled::ToggleSpan(int x, int y) {
  if (!FillMask.words) return;
  const ToggleLimits limits = LimitsFor(FillMask);
  if (y < limits.firstRow || y >= limits.endRow || y < 0 || y >= FillMask.height) return;
  x = std::max(x, limits.firstColumn);
  const int w = FillMask.width;
  while (x < w - 1) {
    if (FillMask.Test(x, y)) {
      // Outline pixels stay set.
      if (!EdgeMask.Test(x, y)) SetBit(FillMask, x, y, 0);
    } else {
      SetBit(FillMask, x, y, 1);
      if (FillMask.Test(x + 1, y)) ++x;
    }
    ++x;
  }
  if (x == w - 1) SetBit(FillMask, x, y, -1);
}

void P_filled::AddEdge(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;
  SetDrawViewClip();
  const std::uint32_t colour = RightButton() ? BackgroundColour() : DrawingColour();
  const int dirY = Sign(y2 - y1);
  const int stepX = x2 >= x1 ? 1 : -1, stepY = y2 >= y1 ? 1 : -1;
  const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
  bool first = true;
  int x = x1, y = y1;
  const auto put = [&] {
    DrawView.PutPixel({x, y}, colour);
    if (InMask(FillMask, x, y)) SetBit(FillMask, x, y, 1);
    if (InMask(EdgeMask, x, y)) SetBit(EdgeMask, x, y, 1);
  };
  // A vertex where the outline keeps its vertical direction counts once: the row the previous
  // edge ended on is not toggled again.
  const auto toggleUnlessContinued = [&] {
    if (!(first && LastDirection == dirY)) ToggleSpan(x + 1, y);
    first = false;
  };
  if (adx < ady) {
    int error = 2 * adx - ady;
    for (;;) {
      put();
      toggleUnlessContinued();
      if (y == y2) break;
      y += stepY;
      if (error < 0) {
        error += 2 * adx;
      } else {
        error += 2 * adx - 2 * ady;
        x += stepX;
      }
    }
  } else {
    int error = 2 * ady - adx;
    for (;;) {
      put();
      if (error < 0) {
        error += 2 * ady;
        if (x == x2 && !first) ToggleSpan(x + 1, y);
      } else {
        toggleUnlessContinued();
        error += 2 * ady - 2 * adx;
        y += stepY;
      }
      if (x == x2) break;
      x += stepX;
    }
  }
  if (dirY != 0) {
    LastDirection = dirY;
    if (FirstDirection == kUnsetDirection) FirstDirection = dirY;
  }
  const Rect box(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
  RepaintImageRect(box.left, box.top, box.right + 1, box.bottom + 1);
  ExtendDirtyRect(box.left, box.top, box.right, box.bottom);
}

void P_filled::CloseEdges(Pair<int> from) {
  AddEdge(from.x, from.y, StartX, StartY);
  // The start vertex: the closing edge's direction (the last one when it is level) against
  // the first edge's.
  if (LastDirection == FirstDirection) ToggleSpan(StartX + 1, StartY);
}

void P_filled::CloseOutline(Pair<int> from) {
  CloseEdges(from);
  PaintInside();
}

void P_filled::PaintInside() {
  if (FillMask.words) PaintWithChosenFill(RightButton() ? BackgroundColour() : DrawingColour(), FillMask);
  PrepareMasks();
  StartX = -1;
  MarkPictureChanged();
  if (!DirtyRect.Empty()) RepaintImageRect(DirtyRect.left, DirtyRect.top, DirtyRect.right + 1, DirtyRect.bottom + 1);
  if (CurrentPicture) CurrentPicture->ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
}

bool IsNearPolygonStart(const P_filled& tool) {
  if (tool.StartX == -1) return false;
  const double z = GetZoomFactor();
  const int dx = static_cast<int>(tool.StartX * z + z * 0.5 - MouseViewPoint.x);
  const int dy = static_cast<int>(tool.StartY * z + z * 0.5 - MouseViewPoint.y);
  return dx * dx + dy * dy < 100;
}

// ---------------------------------------------------------------------------------------
// The freehand shape

void P_fill_draw::Activate() {
  SetStatusText("Pen");
  PrepareMasks();
}

void P_fill_draw::HideFeedback() {
  if (ToolPhase == 0) PutFeedbackPixel(ToolPoint.x, ToolPoint.y);
}

void P_fill_draw::ShowFeedback() {
  switch (ToolPhase) {
    case 0:
      PutFeedbackPixel(ToolPoint.x, ToolPoint.y);
      break;
    case ToolPhaseDrag:
      if (ToolPoint.x != LastX || ToolPoint.y != LastY) {
        AddEdge(LastX, LastY, ToolPoint.x, ToolPoint.y);
        LastX = ToolPoint.x;
        LastY = ToolPoint.y;
      }
      break;
    case 1:
      // The press was a click.
      if (ToolPoint.x == StartX && ToolPoint.y == StartY) {
        if (FillMask.words && InMask(FillMask, StartX, StartY)) SetBit(FillMask, StartX, StartY, 1);
        ExtendDirtyRect(StartX, StartY, StartX, StartY);
        PaintInside();
      } else {
        AddPoint();
      }
      AdvanceToolPoint();
      break;
    default:
      break;
  }
}

void P_fill_draw::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    BeginOutline(ToolPoint);
    return;
  }
  // After a click the pointer may have moved on without a drag: the way there is outline too,
  // so that the shape is the line there and back rather than one edge open to the right.
  if (ToolPoint.x != LastX || ToolPoint.y != LastY) {
    AddEdge(LastX, LastY, ToolPoint.x, ToolPoint.y);
    LastX = ToolPoint.x;
    LastY = ToolPoint.y;
  }
  CloseOutline(ToolPoint);
}

// ---------------------------------------------------------------------------------------
// The polygon

void P_fill_poly::Activate() {
  SetStatusText("FillPoly");
  StartX = -1;
  PrepareMasks();
}

void P_fill_poly::HideFeedback() {
  if (ToolPointOutside != 0) return;
  if (StartX == -1) {
    PutFeedbackPixel(ToolPoint.x, ToolPoint.y);
    return;
  }
  SetDrawViewClip();
  DrawView.Line(ToolPoint, {LastX, LastY}, FeedbackColour);
  RepaintImageRect(std::min(ToolPoint.x, LastX), std::min(ToolPoint.y, LastY), std::max(ToolPoint.x, LastX) + 1,
                   std::max(ToolPoint.y, LastY) + 1);
}

void P_fill_poly::ShowFeedback() {
  if (StartX != -1) ShowSizeInStatus(ToolPoint.x - LastX, ToolPoint.y - LastY);
  HideFeedback();
}

void P_fill_poly::AddPoint() {
  ToolPoint = MousePoint;
  if (StartX == -1) {
    BeginOutline(ToolPoint);
    return;
  }
  if (IsNearPolygonStart(*this)) {
    CloseOutline({LastX, LastY});
    return;
  }
  // The input goes on point by point until the outline is closed.
  ToolPhase = 0;
  if (ToolPoint.x != LastX || ToolPoint.y != LastY || (ToolPoint.x == StartX && ToolPoint.y == StartY)) {
    ClearSizeInStatus();
    AddEdge(LastX, LastY, ToolPoint.x, ToolPoint.y);
    LastX = ToolPoint.x;
    LastY = ToolPoint.y;
  }
}
