// The grid's snapping and its two tools.

#include "quillo/tools/Grid.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "quillo/document/DocumentInput.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

int GridDx = DefaultGridStep;
int GridDy = DefaultGridStep;
int GridPx = 0;
int GridPy = 0;

namespace {

// Division and remainder rounded toward minus infinity, so that points left of or above
// the origin snap to the nearest grid point as the others do.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int SnapCoordinate(int value, int step, int origin) {
  const std::int64_t d = std::max(step, 1);
  const std::int64_t first = origin - FloorDiv(origin, d) * d;  // the origin's place in a step
  const std::int64_t snapped = first + FloorDiv(value + d / 2 - first, d) * d;
  return static_cast<int>(std::clamp<std::int64_t>(snapped, INT_MIN, INT_MAX));
}

}  // namespace

bool GridIsOn() { return GridTool.PointCount == 1; }

void SnapToGrid(int& x, int& y) {
  if (!GridIsOn()) return;
  x = SnapCoordinate(x, GridDx, GridPx);
  y = SnapCoordinate(y, GridDy, GridPy);
}

void P_gridpos::Activate() { SetStatusText("GridSet"); }

void P_gridpos::ShowFeedback() { StampBrush(ToolPoint.x, ToolPoint.y); }

void P_gridpos::HideFeedback() { HideBrushAt(ToolPoint.x, ToolPoint.y); }

void P_gridpos::AddPoint() {
  GridPx = MousePoint.x;
  GridPy = MousePoint.y;
  if (ToolForm) ToolForm->ShowGridValues();
}
