#include "quillo/tools/ResizeTools.h"

#include <algorithm>
#include <cmath>

#include "quillo/document/BrushState.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SizeStatus.h"

namespace {

constexpr std::uint32_t OutsideBrush = 0xFF000000u;

}  // namespace

// ---------------------------------------------------------------------------------------
// The drag

void P_resize::ShowFeedback() {
  if (ToolPhase == 0) {
    PutFeedbackPixel(ToolPoint.x, ToolPoint.y);
    return;
  }
  const int dx = ToolPoint.x - CentreX, dy = ToolPoint.y - CentreY;
  Size = static_cast<std::int16_t>(std::clamp(SizeFromOffset(dx, dy), 0, static_cast<int>(INT16_MAX)));
  ShowSizeInStatus(dx, dy);
  BrushShape.Alloc(2 * Size + 1, 2 * Size + 1);
  if (!BrushShape.pixels) return;
  DrawPreview();
  StampBrush(CentreX, CentreY);
}

void P_resize::HideFeedback() {
  if (ToolPhase == 0) {
    PutFeedbackPixel(ToolPoint.x, ToolPoint.y);
    return;
  }
  ShowSizeInStatus(ToolPoint.x - CentreX, ToolPoint.y - CentreY);
  HideBrushAt(CentreX, CentreY);
}

int P_resize_crc::SizeFromOffset(int dx, int dy) const {
  // The sum of squares in 64 bits: an offset across the widest picture still fits.
  const long long squares = static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy;
  const double size = std::sqrt(static_cast<double>(squares)) + 0.5;
  return size > INT32_MAX ? INT32_MAX : static_cast<int>(size);
}

void P_resize_crc::DrawPreview() {
  BrushShape.Box(BrushShape.rect, OutsideBrush);
  FillDisc(BrushShape, BrushShape.rect.left + Size, BrushShape.rect.top + Size, Size, DrawingColour() & 0xFFFFFFu);
}

// ---------------------------------------------------------------------------------------
// The spray's radius

void P_resize_spray::Activate() {
  SavedHandle = BrushHandleMode;
  // The disc is stamped round the centre point.
  BrushHandleMode = HandleCentre;
  SetStatusText("ResizeSpray");
}

void P_resize_spray::AddPoint() {
  if (ToolPhase == 0) {
    SetStatusText("ResizeSpray2");
    CentreX = ToolPoint.x;
    CentreY = ToolPoint.y;
    Size = -1;
    return;
  }
  // The release point decides, whether or not the feedback measured it.
  Size = static_cast<std::int16_t>(
      std::clamp(SizeFromOffset(ToolPoint.x - CentreX, ToolPoint.y - CentreY), 0, static_cast<int>(INT16_MAX)));
  SprayRadius = Size;
}

void P_resize_spray::Deactivate(P_icon*) {
  BrushHandleMode = static_cast<std::uint8_t>(SavedHandle);
  // The preview was drawn into BrushShape: it is the brush's again.
  BrushShape.Free();
  UpdateBrushShape(false);
}
