// The box tools. The feedback is drawn into the picture in the exclusive-or colour, so the
// same drawing shows and hides it.

#include "quillo/tools/Boxes.h"

#include <algorithm>
#include <cstdlib>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Fills.h"
#include "quillo/tools/SizeStatus.h"

namespace {

Rect Normalised(int x1, int y1, int x2, int y2) {
  return Rect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

void P_box::Activate() { SetStatusText("BoxStr"); }

void P_box::ShowFeedback() {
  if (ToolPhase == 0) ShowCross();
  else ShowBox();
}

void P_box::HideFeedback() {
  if (ToolPhase == 0) HideCross();
  else HideBox();
}

void P_box::HideCross() { DrawCrossLines(ToolPoint.x, ToolPoint.y); }
void P_box::ShowCross() { DrawCrossLines(ToolPoint.x, ToolPoint.y); }

void P_box::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    SetStatusText("Box2");
    AnchorX = ToolPoint.x;
    AnchorY = ToolPoint.y;
    return;
  }
  int x = ToolPoint.x, y = ToolPoint.y;
  Constrain(&x, &y);
  ClearSizeInStatus();
  DrawBox(x, y);
  MarkPictureChanged();
}

Rect P_box::FeedbackBox() {
  int x = ToolPoint.x, y = ToolPoint.y;
  Constrain(&x, &y);
  return Normalised(AnchorX, AnchorY, x, y);
}

void P_box::XorOutline() {
  const Rect r = FeedbackBox();
  DrawFeedbackRect(r.left, r.top, r.right, r.bottom);
}

void P_box::XorFilled() {
  const Rect r = FeedbackBox();
  DrawView.Box(r, FeedbackColour);
  RepaintImageRect(r.left, r.top, r.right + 1, r.bottom + 1);
}

void P_box::ShowOutline() {
  XorOutline();
  const Rect r = FeedbackBox();
  ShowSizeInStatus(r.Width(), r.Height());
}

void P_box::ShowFilled() {
  XorFilled();
  const Rect r = FeedbackBox();
  ShowSizeInStatus(r.Width(), r.Height());
}

void P_box::HoldSquare(int* x, int* y) const {
  const int w = std::abs(*x - AnchorX), h = std::abs(*y - AnchorY);
  if (w < h) *x = AnchorX + h * Sign(*x - AnchorX);
  else *y = AnchorY + w * Sign(*y - AnchorY);
}

void P_box::StrokeOutline(int x, int y) {
  const bool right = MouseShift.Contains(ssRight);
  UpdateBrushShape(right);
  StrokeLine(AnchorX, AnchorY, x, AnchorY, 1.0f, 1.0f);
  StrokeLine(x, AnchorY, x, y, 1.0f, 1.0f);
  StrokeLine(x, y, AnchorX, y, 1.0f, 1.0f);
  StrokeLine(AnchorX, y, AnchorX, AnchorY, 1.0f, 1.0f);
  if (right) UpdateBrushShape(false);
  ResetDirtyRect();
  ExtendDirtyRect(AnchorX, AnchorY, x, y);
  NarrowUndoToStamps(DirtyRect);
}

void P_box::FillBox(int x, int y) {
  const Rect r = Normalised(AnchorX, AnchorY, x, y);
  SetDrawViewClip();
  if (MouseShift.Contains(ssRight)) {
    // The right button always paints a plain box of the background colour.
    DrawView.Box(r, BackgroundColour());
  } else {
    BitBuffer mask;
    if (AllocPictureMask(mask)) {
      mask.PutPixelsSafe(r, 1);
      PaintWithChosenFill(DrawingColour(), mask);
    }
  }
  RepaintImageRect(r.left, r.top, r.right + 1, r.bottom + 1);
  ResetDirtyRect();
  ExtendDirtyRect(r.left, r.top, r.right, r.bottom);
  if (CurrentPicture) CurrentPicture->ExtendUndo(r.left, r.top, r.right, r.bottom);
}

int P_box_rect::DrawBox(int x, int y) {
  StrokeOutline(x, y);
  return 0;
}

int P_box_sqr::DrawBox(int x, int y) {
  StrokeOutline(x, y);
  return 0;
}

int P_box_rectf::DrawBox(int x, int y) {
  FillBox(x, y);
  return 0;
}

int P_box_sqrf::DrawBox(int x, int y) {
  FillBox(x, y);
  return 0;
}
