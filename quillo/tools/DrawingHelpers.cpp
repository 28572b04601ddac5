#include "quillo/tools/DrawingHelpers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObject.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/Tool.h"

UDBuffer SavedArea;

namespace {

TBuffer* ActiveView() { return ImageForm ? ImageForm->ShowBuf : nullptr; }

void InvalidateOnScreen(const Rect& r) {
  TBuffer* view = ActiveView();
  if (!view || !view->HandleAllocated() || r.Empty()) return;
  const RECT screen{r.left, r.top, r.right + 1, r.bottom + 1};
  InvalidateRect(view->GetHandle(), &screen, FALSE);
}

// The screen rectangle (inclusive) for a right-exclusive one.
Rect Inclusive(int left, int top, int right, int bottom) { return Rect(left, top, right - 1, bottom - 1); }

// Rows y1..y2 of the active picture are about to change: a deferred undo step copies them
// first.
void KeepRowsForUndo(int y1, int y2) {
  if (CurrentPicture) CurrentPicture->KeepRowsForUndo(std::min(y1, y2), std::max(y1, y2));
}

// The brush's top-left corner for a point under the pointer.
Pair<int> BrushCorner(int x, int y) {
  const Pair<int> hot = BrushHotSpot();
  return {x - hot.x, y - hot.y};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The drawing view and repainting

Rect RepaintRectOnScreen(int x1, int y1, int x2, int y2, double z) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  return Inclusive(static_cast<int>(x1 * z - 1), static_cast<int>(y1 * z - 1), static_cast<int>(x2 * z + 1),
                   static_cast<int>(y2 * z + 1));
}

void RepaintImageRect(int x1, int y1, int x2, int y2) {
  InvalidateOnScreen(RepaintRectOnScreen(x1, y1, x2, y2, ActiveZoom()));
}

// ---------------------------------------------------------------------------------------
// Saving and restoring the area under feedback

bool SaveImageRect(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const long long width = 1LL + x2 - x1;
  const long long height = 1LL + y2 - y1;
  if (width * height > kMaxBufferPixels) return false;
  try {
    // The block of the last feedback serves again: a frame then touches no fresh memory.
    SavedArea.Reshape(static_cast<int>(width), static_cast<int>(height));
  } catch (...) {
    SavedArea.Free();
    return false;
  }
  if (!SavedArea.pixels) return false;
  if (!CurrentPicture || !CurrentPicture->pixels) return true;
  Buffer part;
  part.Alloc(*CurrentPicture, Rect(x1, y1, x2, y2), true);
  if (part.pixels) SavedArea.Copy(part, {-x1, -y1}, Buffer::kPlain);
  return true;
}

void RestoreImageRect(int x1, int y1, int x2, int y2) {
  if (!SavedArea.pixels || SavedArea.Empty() || !CurrentPicture) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  KeepRowsForUndo(y1, y1 + SavedArea.Height() - 1);
  CurrentPicture->Copy(SavedArea, {x1, y1}, Buffer::kPlain);
  RepaintImageRect(x1, y1, x2 + 1, y2 + 1);
}

// ---------------------------------------------------------------------------------------
// The brush

void StampBrush(int x, int y) {
  SetDrawViewClip();
  const Pair<int> corner = BrushCorner(x, y);
  const int w = BrushShape.Width();
  const int h = BrushShape.Height();
  if (!SaveImageRect(corner.x, corner.y, corner.x + w - 1, corner.y + h - 1)) return;
  KeepRowsForUndo(corner.y, corner.y + h - 1);
  DrawView.Copy(BrushShape, corner, Buffer::kComposite);
  RepaintImageRect(corner.x, corner.y, corner.x + w, corner.y + h);
  if (TBuffer* view = ActiveView()) view->Update();
}

void PutBrush(int x, int y) {
  const Pair<int> corner = BrushCorner(x, y);
  KeepRowsForUndo(corner.y, corner.y + BrushShape.Height() - 1);
  DrawView.Copy(BrushShape, corner, Buffer::kComposite);
}

void HideBrushAt(int x, int y) {
  const Pair<int> corner = BrushCorner(x, y);
  RestoreImageRect(corner.x, corner.y, corner.x + BrushShape.Width() - 1, corner.y + BrushShape.Height() - 1);
}

float StrokeLine(int x1, int y1, int x2, int y2, float spacing, float phase) {
  const long step = static_cast<long>(spacing * 65536.0f);
  long counter = static_cast<long>(phase * 65536.0f);
  SetDrawViewClip();
  const int sx = x2 >= x1 ? 1 : -1;
  const int sy = y2 >= y1 ? 1 : -1;
  const int ax = std::abs(x2 - x1);
  const int ay = std::abs(y2 - y1);
  const bool alongY = ax < ay;
  const int major = alongY ? ay : ax;
  const int minor = alongY ? ax : ay;
  int decision = 2 * minor - major;
  int x = x1;
  int y = y1;
  for (int i = 0; i <= major; ++i) {
    counter -= 65536;
    if (counter < 1) {
      PutBrush(x, y);
      counter += step;
    }
    if (i == major) break;
    if (decision < 0) {
      decision += 2 * minor;
    } else {
      decision += 2 * minor - 2 * major;
      if (alongY) x += sx;
      else y += sy;
    }
    if (alongY) y += sy;
    else x += sx;
  }
  const Pair<int> hot = BrushHotSpot();
  RepaintImageRect(std::min(x1, x2) - hot.x, std::min(y1, y2) - hot.y, std::max(x1, x2) - hot.x + BrushShape.Width(),
                   std::max(y1, y2) - hot.y + BrushShape.Height());
  return static_cast<float>(counter) / 65536.0f;
}

void StrokeCurve(int x0, int y0, int cx, int cy, int x2, int y2, float spacing, int arrow) {
  const Pair<int> start{x0, y0}, control{cx, cy}, end{x2, y2};
  ResetDirtyRect();
  float phase = 1.0f;
  Pair<int> previous = start;
  for (int i = 1; i <= CurveChords; ++i) {
    const Pair<int> p = CurveChordPoint(start, control, end, i);
    phase = StrokeLine(previous.x, previous.y, p.x, p.y, spacing, phase) + 1.0f;
    ExtendDirtyRect(previous.x, previous.y, p.x, p.y);
    if (i == CurveChords && arrow >= 1 && arrow <= 4) {
      for (const double angle : {-30.0, 30.0}) {
        const Pair<int> barb = ArrowHeadPoint(p, previous, angle, ArrowSizes[arrow - 1]);
        StrokeLine(barb.x, barb.y, p.x, p.y, 1.0f, 1.0f);
        ExtendDirtyRect(barb.x, barb.y, p.x, p.y);
      }
    }
    previous = p;
  }
  NarrowUndoToStamps(DirtyRect);
}

void NarrowUndoToStamps(const Rect& touched) {
  if (!CurrentPicture) return;
  const Rect grown = GrownByBrush(touched);
  CurrentPicture->ExtendUndo(grown.left, grown.top, grown.right, grown.bottom);
}

// ---------------------------------------------------------------------------------------
// Exclusive-or marks in the image

void PutFeedbackPixel(int x, int y) {
  SetDrawViewClip();
  DrawView.PutPixel({x, y}, FeedbackColour);
  RepaintImageRect(x, y, x + 1, y + 1);
}

void DrawCrossLines(int x, int y) {
  if (!CurrentPicture || CurrentPicture->Empty()) return;
  const Rect image = CurrentPicture->rect;
  DrawView.VLine(x, image.top, image.bottom, FeedbackColour);
  DrawView.Line({image.left, y}, {image.right, y}, FeedbackColour);
  RepaintImageRect(x, image.top, x + 1, image.bottom + 1);
  RepaintImageRect(image.left, y, image.right + 1, y + 1);
}

void DrawFeedbackRect(int x1, int y1, int x2, int y2) {
  const Rect r(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
  DrawView.Rectangle(r, FeedbackColour);
  RepaintImageRect(r.left, r.top, r.right + 1, r.bottom + 1);
}

// ---------------------------------------------------------------------------------------
// Exclusive-or marks on the view's canvas

Pair<int> XorCrossScreenPoint(int x, int y, double z) {
  return {static_cast<int>(x * z + z * 0.5), static_cast<int>(y * z + z * 0.5)};
}

Rect XorRectOnScreen(int x1, int y1, int x2, int y2, double z) {
  return Rect(static_cast<int>(x1 * z), static_cast<int>(y1 * z), static_cast<int>(x2 * z + z - 1),
              static_cast<int>(y2 * z + z - 1));
}

namespace {

// The view's canvas with an exclusive-or pen for the length of one mark.
class XorPen {
public:
  explicit XorPen(TBuffer* view) : canvas_(view->GetCanvas()) {
    TPen* pen = canvas_->GetPen();
    oldMode_ = pen->GetMode();
    oldColour_ = pen->GetColor();
    pen->SetMode(pmXor);
    pen->SetColor(clWhite);
  }
  ~XorPen() {
    canvas_->GetPen()->SetMode(oldMode_);
    canvas_->GetPen()->SetColor(oldColour_);
  }
  XorPen(const XorPen&) = delete;
  XorPen& operator=(const XorPen&) = delete;
  TCanvas* operator->() const { return canvas_; }

private:
  TCanvas* canvas_;
  TPenMode oldMode_;
  TColor oldColour_;
};

// A horizontal or vertical line with both end points (the framework's LineTo leaves out the
// last one).
void XorLine(XorPen& pen, int x1, int y1, int x2, int y2) {
  const int dx = x2 > x1 ? 1 : x2 < x1 ? -1 : 0;
  const int dy = y2 > y1 ? 1 : y2 < y1 ? -1 : 0;
  pen->MoveTo(x1, y1);
  if (dx == 0 && dy == 0) pen->LineTo(x1 + 1, y1);
  else pen->LineTo(x2 + dx, y2 + dy);
}

}  // namespace

void XorCross(int x, int y) {
  TBuffer* view = ActiveView();
  if (!view || !CurrentPicture) return;
  const double z = ActiveZoom();
  const Pair<int> at = XorCrossScreenPoint(x, y, z);
  const int bottom = static_cast<int>(CurrentPicture->Height() * z - 1);
  const int right = static_cast<int>(CurrentPicture->Width() * z - 1);
  XorPen pen(view);
  XorLine(pen, at.x, 0, at.x, bottom);
  XorLine(pen, 0, at.y, right, at.y);
}

void EraseXorCross(int x, int y) {
  if (!CurrentPicture) return;
  const double z = ActiveZoom();
  const Pair<int> at = XorCrossScreenPoint(x, y, z);
  const int bottom = static_cast<int>(CurrentPicture->Height() * z);
  const int right = static_cast<int>(CurrentPicture->Width() * z);
  InvalidateOnScreen(Inclusive(at.x - 1, 0, at.x + 1, bottom));
  InvalidateOnScreen(Inclusive(0, at.y - 1, right, at.y + 1));
}

void XorRect(int x1, int y1, int x2, int y2) {
  TBuffer* view = ActiveView();
  if (!view) return;
  const Rect r = XorRectOnScreen(x1, y1, x2, y2, ActiveZoom());
  XorPen pen(view);
  if (r.left == r.right || r.top == r.bottom) {
    XorLine(pen, r.left, r.top, r.right, r.bottom);
    return;
  }
  // The four sides, no corner twice (each would cancel itself).
  XorLine(pen, r.left, r.top, r.right, r.top);
  XorLine(pen, r.left, r.bottom, r.right, r.bottom);
  if (r.bottom - r.top >= 2) {
    XorLine(pen, r.left, r.top + 1, r.left, r.bottom - 1);
    XorLine(pen, r.right, r.top + 1, r.right, r.bottom - 1);
  }
}

void EraseXorRect(int x1, int y1, int x2, int y2) {
  const Rect r = XorRectOnScreen(x1, y1, x2, y2, ActiveZoom());
  InvalidateOnScreen(Rect(r.left, r.top, r.right, r.top));
  InvalidateOnScreen(Rect(r.left, r.bottom, r.right, r.bottom));
  InvalidateOnScreen(Rect(r.left, r.top, r.left, r.bottom));
  InvalidateOnScreen(Rect(r.right, r.top, r.right, r.bottom));
}

void XorSourceMarker(int x, int y) {
  TBuffer* view = ActiveView();
  if (!view) return;
  const Pair<int> at = XorCrossScreenPoint(x, y, ActiveZoom());
  XorPen pen(view);
  pen->MoveTo(at.x - 4, at.y - 4);
  pen->LineTo(at.x + 5, at.y + 5);
  pen->MoveTo(at.x + 4, at.y - 4);
  pen->LineTo(at.x - 5, at.y + 5);
}

void EraseXorSourceMarker(int x, int y) {
  const Pair<int> at = XorCrossScreenPoint(x, y, ActiveZoom());
  InvalidateOnScreen(Rect(at.x - 5, at.y - 5, at.x + 5, at.y + 5));
}

// ---------------------------------------------------------------------------------------
// The tool's feedback

namespace {

// Where the current tool may show its feedback: inside the picture, or anywhere for a kind 1
// tool once its first point is set.
bool FeedbackAllowed() {
  return CurrentTool && (ToolPointOutside == 0 || (CurrentTool->FeedbackKind == 1 && ToolPhase != 0));
}

}  // namespace

void ShowToolFeedback() {
  ToolPoint = MousePoint;
  const bool inside = CurrentPicture && ToolPoint.x >= 0 && ToolPoint.y >= 0 && ToolPoint.x < CurrentPicture->Width() &&
                      ToolPoint.y < CurrentPicture->Height();
  ToolPointOutside = inside ? 0 : 1;
  if (FeedbackAllowed()) CurrentTool->ShowFeedback();
}

void HideToolFeedback() {
  if (FeedbackAllowed()) CurrentTool->HideFeedback();
}

void RefreshToolStatus(bool hide, bool show) {
  if (CurrentTool && ImageForm) ShowTimedStatus(CurrentTool->StatusText);
  // A click-made operation waiting for its next point keeps its feedback as it is.
  if (ToolPhase == 1 && MouseCaptured) return;
  if (hide) HideToolFeedback();
  if (show) ShowToolFeedback();
}

void WithdrawToolFeedback() {
  if (!CurrentTool || ToolPointOutside != 0) return;
  if (ToolPhase != 0 && CurrentTool->FeedbackKind != 0) return;
  HideToolFeedback();
  ToolPointOutside = 1;
}
