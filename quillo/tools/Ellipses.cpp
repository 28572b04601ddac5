// The circle and ellipse tools. Each shape opens its own undo step when it is drawn (the press
// opens none), so a tool change between the centre and the second point has nothing to take
// back. The feedback is the shape itself in the exclusive-or colour.

#include "quillo/tools/Ellipses.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Fills.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/tools/ToolHost.h"

namespace {

using Visit = std::function<void(int x, int y)>;

// One quarter of the outline: the midpoint walk of the ellipse with semi-axes f along the fast
// direction and g along the slow one, in 64-bit integers so that large shapes cannot overflow.
void WalkArc(std::int64_t f, std::int64_t g, Pair<int> fast, Pair<int> slow, bool even, Pair<int>& p,
             const Visit& visit) {
  const std::int64_t A = 2 * f, B = 2 * g;
  std::int64_t dx = 4 * B * B;
  std::int64_t dy = 4 * A * A * (B - 1);
  std::int64_t t = (2 * A * A + dy) >> 1;
  std::int64_t e = 0;
  const auto step = [&p](Pair<int> d) { p = Pair<int>(p.x + d.x, p.y + d.y); };
  while (dx <= dy && t > 0) {
    visit(p.x, p.y);
    e += dx;
    dx += 8 * B * B;
    step(fast);
    if (e > t) {
      t -= 4 * A * A;
      e -= dy;
      dy -= 8 * A * A;
      step(slow);
    }
  }
  if (dy < 0) {
    while (e < 0) {
      visit(p.x, p.y);
      e += dx;
      dx += 8 * B * B;
      step(fast);
    }
  } else {
    t = -((dx - 2 * B * B) >> 1);
    while (dy > 0) {
      visit(p.x, p.y);
      e -= dy;
      dy -= 8 * A * A;
      step(slow);
      if (e <= t) {
        t -= 4 * B * B;
        e += dx;
        dx += 8 * B * B;
        step(fast);
      }
    }
  }
  if (even) {
    visit(p.x, p.y);
    step(slow);
  }
}

bool RightButton() { return MouseShift.Contains(ssRight); }

// The dots of a walk: a countdown that starts at one, as strokes count, so the first pixel
// gets the first dot and n dots fall at evenly spread places.
class DotCountdown {
public:
  explicit DotCountdown(float spacing) : spacing_(spacing) {}
  bool Next() {
    countdown_ -= 1.0f;
    if (countdown_ > 0) return false;
    countdown_ += spacing_;
    return true;
  }

private:
  float spacing_;
  float countdown_ = 1.0f;
};

}  // namespace

void EllipseWalk(int x1, int y1, int x2, int y2, const Visit& visit, bool fromTop) {
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  if (w < 3 || h < 3) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) visit(x, y);
    return;
  }
  Pair<int> p{(x1 + x2 + 1) >> 1, fromTop ? y1 : y2};
  const int s = fromTop ? 1 : -1;
  const int a = (x2 - x1) >> 1, b = (y2 - y1) >> 1;
  WalkArc(a, b, {1, 0}, {0, s}, h % 2 == 0, p, visit);
  WalkArc(b, a, {0, s}, {-1, 0}, w % 2 == 0, p, visit);
  WalkArc(a, b, {-1, 0}, {0, -s}, h % 2 == 0, p, visit);
  WalkArc(b, a, {0, -s}, {1, 0}, w % 2 == 0, p, visit);
}

float DotSpacing(int mode, int value, int pixels) {
  switch (mode) {
    case 1:
      return static_cast<float>(std::max(value, 1));
    case 2:
      return static_cast<float>(pixels) / static_cast<float>(std::max(value, 1));
    default:
      return 1.0f;
  }
}

std::vector<int> FilledRows(int cx, int cy, int rx, int ry) {
  // Each row spans its outermost outline pixel right of the centre and that pixel's mirror.
  std::vector<int> ends(static_cast<std::size_t>(2 * ry + 1), -1);
  const int top = cy - ry;
  EllipseWalk(
      cx - rx, cy - ry, cx + rx, cy + ry,
      [&](int x, int y) {
        int& end = ends[static_cast<std::size_t>(y - top)];
        if (x >= cx && (end < 0 || x > end)) end = x;
      },
      true);
  return ends;
}

// ---------------------------------------------------------------------------------------
// The shared tool

P_elpse::P_elpse(const ToolTraits& traits, Shape shape, Paint paint)
    : P_icon(traits),
      StartKey(shape == Shape::Circle ? "CircleIO" : "EllipseIO"),
      SecondKey(shape == Shape::Circle ? "Circle2" : "Ellipse2"),
      shape_(shape),
      paint_(paint) {}

void P_elpse::Activate() {
  SetStatusText(StartKey);
  if (Filled()) return;
  SetOptionValue(0, DotMode);
  SetOptionValue(1, DotValue);
  for (int n = 0; n < 2; ++n) SetOptionEvent(n, TheToolHost().LineParamChange());
}

void P_elpse::Deactivate(P_icon*) {
  if (!Filled()) ReadDotOptions();
}

bool P_elpse::Apply(int x, int y) {
  SetRadii(x, y);
  return Filled() ? FillShape() : StampOutline();
}

void P_elpse::ReadDotOptions() {
  DotMode = static_cast<int>(GetOptionValue(0));
  DotValue = static_cast<int>(GetOptionValue(1));
}

void P_elpse::ShowFeedback() {
  if (ToolPhase != 0) {
    ShowSizeInStatus(ToolPoint.x - CenterX, ToolPoint.y - CenterY);
    if (!Filled()) ReadDotOptions();
  }
  HideFeedback();
}

void P_elpse::HideFeedback() {
  if (ToolPhase == 0) DrawCrossLines(ToolPoint.x, ToolPoint.y);
  else XorShape();
}

void P_elpse::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    SetStatusText(SecondKey);
    CenterX = ToolPoint.x;
    CenterY = ToolPoint.y;
    return;
  }
  ClearSizeInStatus();
  // Without its step the shape is not drawn, and the picture is as unchanged as before.
  if (Apply(ToolPoint.x, ToolPoint.y)) MarkPictureChanged();
}

void P_elpse::XorShape() {
  SetDrawViewClip();
  SetRadii(ToolPoint.x, ToolPoint.y);
  const int x1 = CenterX - RadiusX, y1 = CenterY - RadiusY, x2 = CenterX + RadiusX, y2 = CenterY + RadiusY;
  if (Filled()) {
    const std::vector<int> rows = FilledRows(CenterX, CenterY, RadiusX, RadiusY);
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i] >= 0) {
        const int y = y1 + static_cast<int>(i);
        DrawView.Box(Rect(2 * CenterX - rows[i], y, rows[i], y), FeedbackColour);
      }
  } else {
    int pixels = 0;
    if (DotMode == 2) EllipseWalk(x1, y1, x2, y2, [&pixels](int, int) { ++pixels; }, true);
    DotCountdown dots(DotSpacing(DotMode, DotValue, pixels));
    EllipseWalk(
        x1, y1, x2, y2,
        [&dots](int x, int y) {
          if (dots.Next()) DrawView.PutPixel({x, y}, FeedbackColour);
        },
        true);
  }
  RepaintImageRect(x1, y1, x2 + 1, y2 + 1);
}

bool P_elpse::StampOutline() {
  const bool right = RightButton();
  UpdateBrushShape(right);
  SetDrawViewClip();
  ReadDotOptions();
  const int x1 = CenterX - RadiusX, y1 = CenterY - RadiusY, x2 = CenterX + RadiusX, y2 = CenterY + RadiusY;
  int pixels = 0;
  if (DotMode == 2) EllipseWalk(x1, y1, x2, y2, [&pixels](int, int) { ++pixels; }, true);
  const Pair<int> hot = BrushHotSpot();
  const int bw = BrushShape.Width(), bh = BrushShape.Height();
  const Rect covered(x1 - 1 - hot.x, y1 - 1 - hot.y, x2 - hot.x + bw - 1, y2 - hot.y + bh - 1);
  const bool opened =
      CurrentPicture && CurrentPicture->PushUndo(Key, nullptr, covered.left, covered.top, covered.right, covered.bottom);
  if (opened) {
    DotCountdown dots(DotSpacing(DotMode, DotValue, pixels));
    EllipseWalk(
        x1, y1, x2, y2,
        [&dots](int x, int y) {
          if (dots.Next()) PutBrush(x, y);
        },
        true);
    RepaintImageRect(covered.left, covered.top, covered.right + 2, covered.bottom + 2);
  }
  if (right) UpdateBrushShape(false);
  return opened;
}

bool P_elpse::FillShape() {
  SetDrawViewClip();
  const int x1 = CenterX - RadiusX, y1 = CenterY - RadiusY, x2 = CenterX + RadiusX, y2 = CenterY + RadiusY;
  const Pair<int> hot = BrushHotSpot();
  if (!CurrentPicture || !CurrentPicture->PushUndo(Key, nullptr, x1 - hot.x, y1 - hot.y, x2 - hot.x + BrushShape.Width(),
                                                   y2 - hot.y + BrushShape.Height()))
    return false;
  const std::vector<int> rows = FilledRows(CenterX, CenterY, RadiusX, RadiusY);
  if (RightButton()) {
    // The right button always paints a plain disc of the background colour.
    const std::uint32_t colour = BackgroundColour();
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i] >= 0) {
        const int y = y1 + static_cast<int>(i);
        DrawView.Box(Rect(2 * CenterX - rows[i], y, rows[i], y), colour);
      }
  } else {
    BitBuffer mask;
    if (AllocPictureMask(mask)) {
      for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i] >= 0)
          mask.PutPixelsSafe(2 * CenterX - rows[i], y1 + static_cast<int>(i), 2 * (rows[i] - CenterX) + 1, 1);
      PaintWithChosenFill(DrawingColour(), mask);
    }
  }
  RepaintImageRect(x1, y1, x2 + 1, y2 + 1);
  return true;
}

void P_elpse::SetRadii(int x, int y) {
  const int dx = x - CenterX, dy = y - CenterY;
  if (shape_ == Shape::Circle) {
    RadiusX = RadiusY = static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
    return;
  }
  // The ellipse through the pointer: its semi-axes are sqrt(2) times the offsets.
  RadiusX = std::abs(static_cast<int>(std::sqrt(2.0) * dx));
  RadiusY = std::abs(static_cast<int>(std::sqrt(2.0) * dy));
}
