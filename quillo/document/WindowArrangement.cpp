#include "quillo/document/WindowArrangement.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Near(int a, int b) { return std::abs(a - b) < kSnapDistance; }

// Moves the rectangle so that one edge lies at x (y), keeping its size.
void MoveLeftTo(RECT& r, int x) {
  r.right += x - r.left;
  r.left = x;
}
void MoveRightTo(RECT& r, int x) {
  r.left += x - r.right;
  r.right = x;
}
void MoveTopTo(RECT& r, int y) {
  r.bottom += y - r.top;
  r.top = y;
}
void MoveBottomTo(RECT& r, int y) {
  r.top += y - r.bottom;
  r.bottom = y;
}

// Whether two spans [a0, a1) and [b0, b1) share more than an end point.
bool Overlap(int a0, int a1, int b0, int b1) { return a0 < b1 && b0 < a1; }

enum Edge { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };

// One pass of the neighbour resizing over one change: first limiting d, then applying it.
class NeighbourResize {
public:
  NeighbourResize(std::vector<WindowPlace>& places, const NeighbourLinks& links)
      : places_(places), links_(links), marks_(places.size(), kUnvisited) {}

  // Cuts d so that every window whose edge would move keeps the least size.
  void Limit(int window, int edge, int& d) { Visit(window, edge, d, kUnvisited); }
  // Moves the edges of the windows the limit pass visited, except those marked done.
  void Apply(int window, int edge, int d) { Visit(window, edge, d, kVisited); }
  void MarkDone(int window) { marks_[window] = kDone; }

private:
  enum Mark { kUnvisited, kVisited, kDone };

  void Visit(int window, int edge, int& d, Mark pass) {
    if (d == 0) return;
    WindowPlace& p = places_[window];
    if (marks_[window] == pass) {
      if (pass == kUnvisited) {
        marks_[window] = kVisited;
        CutToLeastSize(p, edge, d);
      } else {
        MoveEdge(p, edge, d);
        marks_[window] = kDone;
      }
    }
    for (const NeighbourLink& link : links_[window]) {
      if (marks_[link.window] != pass) continue;
      const int across = NeighbourEdge(link.side, edge);
      if (across >= 0) Visit(link.window, across, d, pass);
      if (d == 0) return;
    }
  }

  // A neighbour that touches the moving edge moves its facing edge: the one above when the
  // top moves, its bottom edge; and so on round the sides. -1 when it does not touch it.
  static int NeighbourEdge(NeighbourSide side, int edge) {
    switch (side) {
      case NeighbourSide::Above: return edge == kTop ? kBottom : -1;
      case NeighbourSide::Right: return edge == kRight ? kLeft : -1;
      case NeighbourSide::Below: return edge == kBottom ? kTop : -1;
      case NeighbourSide::Left: return edge == kLeft ? kRight : -1;
    }
    return -1;
  }

  // Only a shrinking move is cut, and never past no move at all: a window already below the
  // least size stops the chain rather than turning the move around.
  static void CutToLeastSize(const WindowPlace& p, int edge, int& d) {
    switch (edge) {
      case kLeft: if (d > 0) d = std::min(d, std::max(0, p.width - kNeighbourMinWidth)); break;
      case kTop: if (d > 0) d = std::min(d, std::max(0, p.height - kNeighbourMinHeight)); break;
      case kRight: if (d < 0) d = std::max(d, -std::max(0, p.width - kNeighbourMinWidth)); break;
      case kBottom: if (d < 0) d = std::max(d, -std::max(0, p.height - kNeighbourMinHeight)); break;
    }
  }

  static void MoveEdge(WindowPlace& p, int edge, int d) {
    switch (edge) {
      case kLeft: p.left += d; p.width -= d; break;
      case kTop: p.top += d; p.height -= d; break;
      case kRight: p.width += d; break;
      case kBottom: p.height += d; break;
    }
  }

  std::vector<WindowPlace>& places_;
  const NeighbourLinks& links_;
  std::vector<Mark> marks_;
};

bool RightSideDrag(WPARAM e) { return e == WMSZ_RIGHT || e == WMSZ_TOPRIGHT || e == WMSZ_BOTTOMRIGHT; }
bool BottomSideDrag(WPARAM e) { return e == WMSZ_BOTTOM || e == WMSZ_BOTTOMLEFT || e == WMSZ_BOTTOMRIGHT; }

}  // namespace

RECT SnapMovingWindow(RECT r, const RECT& workArea, const RECT* mainWindow, const std::vector<RECT>& others) {
  if (Near(r.left, workArea.left)) MoveLeftTo(r, workArea.left);
  else if (Near(r.right, workArea.right)) MoveRightTo(r, workArea.right);
  if (Near(r.top, workArea.top)) MoveTopTo(r, workArea.top);
  else if (Near(r.bottom, workArea.bottom)) MoveBottomTo(r, workArea.bottom);
  // A document window begins on the main window's last row, as it is placed when opened.
  if (mainWindow && Near(r.top, mainWindow->bottom - 1)) MoveTopTo(r, mainWindow->bottom - 1);
  for (const RECT& o : others) {
    if (Near(r.left, o.right)) MoveLeftTo(r, o.right);
    else if (Near(r.right, o.left)) MoveRightTo(r, o.left);
    if (Near(r.top, o.bottom)) MoveTopTo(r, o.bottom);
    else if (Near(r.bottom, o.top)) MoveBottomTo(r, o.top);
  }
  return r;
}

NeighbourLinks FindNeighbours(const std::vector<WindowPlace>& places) {
  NeighbourLinks links(places.size());
  auto link = [&](int a, NeighbourSide sideOfB, int b, NeighbourSide sideOfA) {
    links[a].push_back({sideOfB, b});
    links[b].push_back({sideOfA, a});
  };
  for (int i = 0; i < static_cast<int>(places.size()); ++i)
    for (int j = i + 1; j < static_cast<int>(places.size()); ++j) {
      const WindowPlace &a = places[i], &b = places[j];
      if (a.minimised || b.minimised) continue;
      const bool sideBySide = Overlap(a.top, a.Bottom(), b.top, b.Bottom());
      const bool stacked = Overlap(a.left, a.Right(), b.left, b.Right());
      if (sideBySide && a.Right() == b.left) link(i, NeighbourSide::Right, j, NeighbourSide::Left);
      else if (stacked && a.Bottom() == b.top) link(i, NeighbourSide::Below, j, NeighbourSide::Above);
      else if (sideBySide && b.Right() == a.left) link(i, NeighbourSide::Left, j, NeighbourSide::Right);
      else if (stacked && b.Bottom() == a.top) link(i, NeighbourSide::Above, j, NeighbourSide::Below);
    }
  return links;
}

RECT ResizeNeighbours(std::vector<WindowPlace>& places, const NeighbourLinks& links, int sized, WPARAM sizingEdge,
                      const RECT& sizing) {
  if (sized < 0 || sized >= static_cast<int>(places.size()) || links.size() != places.size()) return sizing;
  const WindowPlace& own = places[sized];
  int dw = own.width - (sizing.right - sizing.left);
  int dh = own.height - (sizing.bottom - sizing.top);
  const int widthEdge = RightSideDrag(sizingEdge) ? kRight : kLeft;
  const int heightEdge = BottomSideDrag(sizingEdge) ? kBottom : kTop;
  if (widthEdge == kRight) dw = -dw;
  if (heightEdge == kBottom) dh = -dh;
  // Each change is its own pass, so a window moved for the width still has its height
  // limited and moved for the height.
  for (auto [edge, d] : {std::pair{widthEdge, dw}, std::pair{heightEdge, dh}}) {
    if (d == 0) continue;
    NeighbourResize pass(places, links);
    pass.Limit(sized, edge, d);
    pass.MarkDone(sized);
    if (d == 0) continue;
    pass.Apply(sized, edge, d);
    WindowPlace& p = places[sized];
    switch (edge) {
      case kLeft: p.left += d; p.width -= d; break;
      case kTop: p.top += d; p.height -= d; break;
      case kRight: p.width += d; break;
      case kBottom: p.height += d; break;
    }
  }
  const WindowPlace& now = places[sized];
  return RECT{now.left, now.top, now.Right(), now.Bottom()};
}
