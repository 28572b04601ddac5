// The freehand pens. The press opens the stroke (the mouse handler has opened its undo step),
// each move draws a segment, and the release, or the first move after a quick click, ends it:
// the change is counted, the brush is back in the drawing colour, and the undo step is
// narrowed to what the stroke touched.

#include "quillo/tools/Pens.h"

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"

void P_pen::FinishStroke(const Rect& touched) {
  MarkPictureChanged();
  UpdateBrushShape(false);
  NarrowUndoToStamps(touched);
}

void P_pen::Activate() {
  SetStatusText("Pen");
  ResetDirtyRect();
}

void P_pen::HideFeedback() {
  if (ToolPhase == 0) HideBrushAt(ToolPoint.x, ToolPoint.y);
}

void P_pen::AddPoint() {
  if (ToolPhase == 0) {
    UpdateBrushShape(MouseShift.Contains(ssRight));
    ToolPoint = MousePoint;
    LastX = MousePoint.x;
    LastY = MousePoint.y;
    SingleDone = DrawSegment(LastX, LastY, LastX, LastY) ? 1 : 0;
    if (SingleDone) {
      FinishStroke(Rect(LastX, LastY, LastX, LastY));
      ToolPhase = 2;
    }
    return;
  }
  DrawSegment(ToolPoint.x, ToolPoint.y, ToolPoint.x, ToolPoint.y);
  FinishStroke(DirtyRect);
  ToolPhase = 2;
}

void P_pen::ShowFeedback() {
  switch (ToolPhase) {
    case 0:
      StampBrush(ToolPoint.x, ToolPoint.y);
      break;
    case ToolPhaseDrag:
      if (ToolPoint.x != LastX || ToolPoint.y != LastY) {
        DrawSegment(LastX, LastY, ToolPoint.x, ToolPoint.y);
        LastX = ToolPoint.x;
        LastY = ToolPoint.y;
      }
      ExtendDirtyRect(ToolPoint.x, ToolPoint.y, ToolPoint.x, ToolPoint.y);
      break;
    case 1: {
      // The press was a click: the stroke is its one dab. The brush outline goes back on in
      // the drawing colour before the step is narrowed, and the pen starts afresh.
      MarkPictureChanged();
      UpdateBrushShape(false);
      StampBrush(ToolPoint.x, ToolPoint.y);
      NarrowUndoToStamps(DirtyRect);
      ToolPhase = 0;
      Activate();
      break;
    }
    default:
      break;
  }
}

bool P_pen_cont::DrawSegment(int x1, int y1, int x2, int y2) {
  StrokeLine(x1, y1, x2, y2, 1.0f, 1.0f);
  return false;
}

bool P_pen_disc::DrawSegment(int, int, int x2, int y2) {
  StampBrush(x2, y2);
  return false;
}

bool P_pen_one::DrawSegment(int, int, int x2, int y2) {
  StampBrush(x2, y2);
  return true;
}
