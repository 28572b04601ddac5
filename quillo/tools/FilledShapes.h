#pragma once
// The filled freehand shape and the filled polygon: the user draws an outline, by dragging or
// corner by corner, and its inside is painted by the fill chosen in the palette's fill group.
// The inside grows while the outline is drawn: every edge marks its pixels in both masks and,
// on each row it crosses, inverts FillMask from just right of it to the picture's right edge,
// so that once the outline is closed the pixels inside have been inverted an odd number of
// times.

#include "quillo/tools/Tool.h"
#include "vorlen/core/BitBuffer.h"

class P_filled : public P_icon {
public:
  void Deactivate(P_icon* next) override;

  // The outline from (x1, y1) to (x2, y2), drawn into the picture and the masks.
  void AddEdge(int x1, int y1, int x2, int y2);
  // Inverts FillMask on row y from x to the right edge, the outline's pixels kept.
  void ToggleSpan(int x, int y);

  int StartX = -1;  // -1: no outline in progress
  int StartY = 0;
  int FirstDirection = kUnsetDirection;  // of the first edge that moved up (-1) or down (1)
  int LastDirection = 0;                 // of the last edge that moved up or down
  BitBuffer FillMask;  // the outline and the inside's parity
  BitBuffer EdgeMask;  // the outline only
  int LastX = 0;
  int LastY = 0;

  static constexpr int kUnsetDirection = -5;

protected:
  explicit P_filled(const ToolTraits& traits) : P_icon(traits) {}
  // Both masks at the active picture's size, cleared.
  void PrepareMasks();
  // A new outline starting at the point.
  void BeginOutline(Pair<int> point);
  // The closing edge from the point back to the start, FillMask then holding the inside.
  void CloseEdges(Pair<int> from);
  // CloseEdges, then the inside painted.
  void CloseOutline(Pair<int> from);
  // Paints FillMask with the chosen fill and ends the shape as one undo step.
  void PaintInside();
};

class P_fill_draw : public P_filled {
public:
  explicit P_fill_draw(const ToolTraits& traits) : P_filled(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
};

class P_fill_poly : public P_filled {
public:
  explicit P_fill_poly(const ToolTraits& traits) : P_filled(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
};

// Whether the pointer is within 10 view pixels of the centre of the polygon's start pixel.
bool IsNearPolygonStart(const P_filled& tool);
