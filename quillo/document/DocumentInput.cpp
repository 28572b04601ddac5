#include "quillo/document/DocumentInput.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

Pair<int> MouseViewPoint{-1, -1};
Pair<int> MousePoint{NoMousePoint, NoMousePoint};
TShiftState MouseShift;
std::uint8_t MouseCaptured = 0;
std::uint8_t AxisLockArmed = 0;
int LockedAxis = -1;
Pair<int> AxisLockAnchor;
Pair<int> DragAnchor;
std::uint8_t ColourKeysRGB = 0;

Pair<int> ViewToImagePoint(int x, int y, double zoom) {
  if (zoom <= 0) zoom = 1.0;
  // Floor, not truncation: a pointer left of or above the image at a zoom above 1 is outside
  // it, not over its first column or row.
  return {static_cast<int>(std::floor(x / zoom)), static_cast<int>(std::floor(y / zoom))};
}

int ClampViewCoordinate(int v, int size, double zoom) {
  v = std::max(v, 0);
  if (v >= size * zoom) v = static_cast<int>((size - 1) * zoom);
  return v;
}

Pair<int> ApplyAxisLock(TShiftState shift, int x, int y) {
  if (!shift.Contains(ssShift)) AxisLockArmed = 0;
  if (!AxisLockArmed) {
    LockedAxis = -1;
    return {x, y};
  }
  if (LockedAxis == -1) {
    const int dx = std::abs(AxisLockAnchor.x - x);
    const int dy = std::abs(AxisLockAnchor.y - y);
    if (dx > dy && dx >= AxisLockDistance) LockedAxis = 1;
    else if (dy > dx && dy >= AxisLockDistance) LockedAxis = 0;
    return {x, y};
  }
  if (LockedAxis == 1) y = AxisLockAnchor.y;
  else x = AxisLockAnchor.x;
  return {x, y};
}
