#pragma once
// The drawing grid: while it is on, points entered with tools whose Snap is set move to the
// nearest grid point. The grid is not drawn. Its step and origin are four values that the
// Grid sheet shows; P_grid turns it on and off, P_gridpos sets the origin with a click.

#include "vorlen/core/Types.h"
#include "quillo/tools/Tool.h"

// The grid's step (at least 1 pixel each; smaller values count as 1) and origin.
constexpr int DefaultGridStep = 8;
extern int GridDx;
extern int GridDy;
extern int GridPx;
extern int GridPy;

// The on/off function: a toggle tool; its on state is the grid's.
class P_grid : public P_icon {
public:
  explicit P_grid(const ToolTraits& traits) : P_icon(traits) {}
};

// Sets the grid origin from the next click, then hands back to the remembered tool. Its own
// point is not snapped, so the origin may lie off the present grid.
class P_gridpos : public P_icon {
public:
  explicit P_gridpos(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
};

// Whether the grid is on (the toggle's on state is 1).
bool GridIsOn();
// Moves the point to the nearest grid point while the grid is on; a point halfway between
// two grid points goes to the larger one. Points left of or above the origin (negative ones
// too) snap the same way.
void SnapToGrid(int& x, int& y);
inline void SnapToGrid(Pair<int>& point) { SnapToGrid(point.x, point.y); }
