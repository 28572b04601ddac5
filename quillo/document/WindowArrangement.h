#pragma once
// How document windows keep to each other: a window being dragged snaps onto nearby edges,
// windows whose edges touch are linked as neighbours, and sizing a window moves the touching
// edges of its neighbours along with it. Everything here works on window rectangles, so
// the document window only gathers the rectangles and applies the results.

#include <vector>

#include "platform/user/User.h"

// A window's place: left, top, width and height as the framework gives them.
struct WindowPlace {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool minimised = false;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const WindowPlace&) const = default;
};

// The smallest document window that neighbour resizing leaves.
inline constexpr int kNeighbourMinWidth = 192;
inline constexpr int kNeighbourMinHeight = 96;
// An edge closer than this to a target edge snaps onto it.
inline constexpr int kSnapDistance = 4;

// The side of a window on which a neighbour lies.
enum class NeighbourSide { Above = 0, Right = 1, Below = 2, Left = 3 };

struct NeighbourLink {
  NeighbourSide side;
  int window;  // index into the list the links were made from
  bool operator==(const NeighbourLink&) const = default;
};
using NeighbourLinks = std::vector<std::vector<NeighbourLink>>;

// The rectangle of a window being moved (WM_MOVING), moved so that its edges within
// kSnapDistance of a target lie on it, its size kept. Targets, each able to move it again:
// the work area's left, else right edge; its top, else bottom edge; the main window's
// bottom edge (where a window just below it begins, one pixel up; skipped without one); then
// for every other window its right, else left edge, and its bottom, else top edge.
RECT SnapMovingWindow(RECT moving, const RECT& workArea, const RECT* mainWindow, const std::vector<RECT>& others);

// The neighbours of each window: for each pair of windows that are not minimised, the first
// of these that holds links both, each naming the side on which the other lies: the earlier
// window's right edge at the later one's left, the earlier one's bottom at the later one's
// top, the later one's right edge at the earlier one's left, the later one's bottom at the
// earlier one's top. Edges touch only where the windows lie side by side: windows that share
// nothing but the line their edges are on, far apart, are not neighbours.
NeighbourLinks FindNeighbours(const std::vector<WindowPlace>& places);

// Sizing window `sized` (WM_SIZING with the edge code and the proposed rectangle) moves the
// touching edges of its neighbours, and theirs, by the same amount. Each change (width, then
// height) is first limited so that no window of the chain becomes smaller than
// kNeighbourMinWidth x kNeighbourMinHeight, the sized window included; then it is applied.
// Answers the sizing rectangle as limited, to be handed back to the framework, and updates
// places (the sized window's too).
RECT ResizeNeighbours(std::vector<WindowPlace>& places, const NeighbourLinks& links, int sized, WPARAM sizingEdge,
                      const RECT& sizing);
