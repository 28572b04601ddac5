// The spray and the airbrush. The press opens the stroke (the mouse handler has opened its
// undo step), every move and every activity tick adds a dab, and the release narrows the step
// to the rectangle the dabs covered, grown by the brush.

#include "quillo/tools/Spray.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ResizeTools.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolInput.h"
#include "quillo/tools/ToolObjects.h"
#include "quillo/tools/ToolRandom.h"

namespace {

constexpr int MaxStrength = 254;
constexpr int NoiseSpread = 5;  // the airbrush's noise: -2 to +2

// The view of the active document paints what changed at once, so a held dab shows.
void UpdateViewNow() {
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Update();
}

std::uint32_t Blend(std::uint32_t old, std::uint32_t colour, int weight) {
  const int keep = 256 - weight;
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t o = (old >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
    out |= ((o * static_cast<std::uint32_t>(keep) + c * static_cast<std::uint32_t>(weight)) >> 8) << shift;
  }
  return out;
}

// One span (x1 .. x2) on row y, walked in from both ends; the weight falls from the strength
// at the centre to nothing at the span's end distance.
void BlendSpan(Buffer& picture, const Rect& clip, int x1, int x2, int y, int cx, int cy, int strength,
               std::uint32_t colour) {
  if (y < clip.top || y > clip.bottom) return;
  const double dy = static_cast<double>(cy) - y;
  auto distance = [&](int x) {
    const double dx = static_cast<double>(cx) - x;
    return std::sqrt(dx * dx + dy * dy);
  };
  const int reach = static_cast<int>(distance(x1));
  for (; x1 <= x2; ++x1, --x2) {
    const double dist = distance(x1);
    int weight = reach > 0 ? strength - static_cast<int>(std::sqrt(dist / reach) * strength) : strength;
    weight += LargeRandom() % NoiseSpread - NoiseSpread / 2;
    weight = std::max(weight, 0);
    if (x1 >= clip.left && x1 <= clip.right) *picture.At(x1, y) = Blend(*picture.At(x1, y), colour, weight);
    if (x2 != x1 && x2 >= clip.left && x2 <= clip.right) *picture.At(x2, y) = Blend(*picture.At(x2, y), colour, weight);
  }
}

}  // namespace

int UsableRadius(double radius) {
  if (!(radius >= 1)) return 1;
  return radius > INT16_MAX ? INT16_MAX : static_cast<int>(radius);
}

int UsableStrength(double strength) {
  if (!(strength >= 0)) return 0;
  return strength > MaxStrength ? MaxStrength : static_cast<int>(strength);
}

// ---------------------------------------------------------------------------------------
// The dabs

void SprayDabAt(int cx, int cy, double radius, double density) {
  const int r = UsableRadius(radius);
  const double twice = density * 2.0;
  if (!(twice >= 2) || !CurrentPicture || !BrushShape.pixels || BrushShape.Empty()) return;
  const int n = twice > 1e6 ? 1000000 : static_cast<int>(twice);
  SetDrawViewClip();
  Rect touched = EmptyDirtyRect;
  for (int i = 1; i < n; ++i) {
    const int near = SmallRandom() % r;
    const int far = SmallRandom() % r;
    const int d = -r + near + far;
    const double a = (SmallRandom() % 360) * std::numbers::pi / 180.0;
    const int x = static_cast<int>(std::cos(a) * d + cx);
    const int y = static_cast<int>(std::sin(a) * d + cy);
    PutBrush(x, y);
    ExtendDirtyRect(x, y, x, y);
    touched = Rect(std::min(touched.left, x), std::min(touched.top, y), std::max(touched.right, x),
                   std::max(touched.bottom, y));
  }
  const Rect area = GrownByBrush(touched);
  RepaintImageRect(area.left, area.top, area.right + 1, area.bottom + 1);
  UpdateViewNow();
}

Rect AirbrushDabOn(Buffer& picture, const Rect& clip, int cx, int cy, double radius, double strength,
                   std::uint32_t colour) {
  const int r = UsableRadius(radius);
  const int s = UsableStrength(strength);
  const Rect square(cx - r, cy - r, cx + r, cy + r);
  const Rect area = Intersect(clip, picture.rect);
  if (area.Empty()) return square;
  colour &= 0xFFFFFFu;
  auto span = [&](int x1, int x2, int y) { BlendSpan(picture, area, x1, x2, y, cx, cy, s, colour); };
  // The disc in horizontal spans by the midpoint circle; each row is met exactly once.
  int x = 0, y = r, e = 3 - 2 * r;
  do {
    if (e < 0) {
      if (x != 0) span(cx - y, cx + y, cy + x);
      span(cx - y, cx + y, cy - x);
      ++x;
      e += 4 * x + 6;
    } else {
      span(cx - x, cx + x, cy + y);
      span(cx - x, cx + x, cy - y);
      if (x < y) {
        if (x != 0) span(cx - y, cx + y, cy + x);
        span(cx - y, cx + y, cy - x);
      }
      ++x;
      e += 4 * (x - y) + 10;
      --y;
    }
  } while (y >= x);
  return square;
}

void SprayDab() {
  if (ToolPhase != ToolPhaseDrag || CurrentTool != &SprayTool) return;
  SprayTool.Dab();
}

void AirbrushDab() {
  if (ToolPhase != ToolPhaseDrag || CurrentTool != &AirbrushTool) return;
  AirbrushTool.Dab();
}

// ---------------------------------------------------------------------------------------
// The tools

void P_spraying::Activate() {
  SetStatusText(statusKey_);
  SetOptionValue(1, ResizeSprayTool.SprayRadius);
  SetOptionValue(2, RememberedOption2);
  SetOptionEvent(0, TheToolHost().ResizeSprayClick());
}

void P_spraying::Deactivate(P_icon*) {
  // Only this tool's own bar holds its values.
  if (OptionControls.size() < 3) return;
  ResizeSprayTool.SprayRadius = static_cast<std::int16_t>(std::clamp(GetOptionValue(1), -32768.0, 32767.0));
  RememberedOption2 = static_cast<int>(std::clamp(GetOptionValue(2), -1e9, 1e9));
}

void P_spraying::ShowFeedback() {
  switch (ToolPhase) {
    case 0:
      ShowMark();
      break;
    case 1:
      // A click without a drag: one dab, and the stroke ends there.
      ToolPhase = ToolPhaseDrag;
      Dab();
      AddPoint();
      AdvanceToolPoint();
      break;
    default:
      Dab();
      break;
  }
}

void P_spraying::HideFeedback() {
  if (ToolPhase == 0) HideMark();
}

void P_spraying::AddPoint() {
  if (ToolPhase == 0) {
    StrokeStarts();
    ResetDirtyRect();
    return;
  }
  MarkPictureChanged();
  // The undo step reaches as far as the brush stamped at any dot of the stroke.
  NarrowUndoToStamps(DirtyRect);
  UpdateBrushShape(false);
}

void P_spray::ShowMark() { StampBrush(ToolPoint.x, ToolPoint.y); }

void P_spray::HideMark() { HideBrushAt(ToolPoint.x, ToolPoint.y); }

void P_spray::StrokeStarts() { UpdateBrushShape(MouseShift.Contains(ssRight)); }

void P_spray::Dab() { SprayDabAt(ToolPoint.x, ToolPoint.y, GetOptionValue(1), GetOptionValue(2)); }

void P_airbrush::ShowMark() { PutFeedbackPixel(ToolPoint.x, ToolPoint.y); }

void P_airbrush::Dab() {
  if (!CurrentPicture || !CurrentPicture->pixels) return;
  const int r = UsableRadius(GetOptionValue(1));
  const std::uint32_t colour = MouseShift.Contains(ssRight) ? BackgroundColour() : DrawingColour();
  SetDrawViewClip();
  // The rows the disc may change are kept for the stroke's undo step first.
  const int top = std::max(ToolPoint.y - r, DrawView.rect.top);
  const int bottom = std::min(ToolPoint.y + r, DrawView.rect.bottom);
  if (top <= bottom) CurrentPicture->KeepRowsForUndo(top, bottom);
  const Rect square = AirbrushDabOn(DrawView, DrawView.rect, ToolPoint.x, ToolPoint.y, r, GetOptionValue(2), colour);
  RepaintImageRect(square.left, square.top, square.right + 1, square.bottom + 1);
  UpdateViewNow();
  ExtendDirtyRect(square.left, square.top, square.right, square.bottom);
}
