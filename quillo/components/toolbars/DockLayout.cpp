#include "quillo/components/toolbars/DockLayout.h"

#include <algorithm>
#include <climits>

#include "quillo/components/toolbars/ToolbarCommon.h"

namespace tbx {

namespace {

bool AnyOnRow(const std::vector<DockBar>& bars, int row) {
  return std::any_of(bars.begin(), bars.end(), [&](const DockBar& b) { return b.row == row; });
}

// A full-size toolbar that shares its row pushes every other toolbar of that row and of all
// later rows one row out, so it ends alone on its row.
void ApplyFullSizeRule(std::vector<DockBar>& bars) {
  for (int row = 0; row <= HighestRow(bars); ++row) {
    for (const DockBar& full : bars) {
      if (!full.fullSize || full.row != row) continue;
      bool shared = std::any_of(bars.begin(), bars.end(),
                                [&](const DockBar& b) { return &b != &full && b.row == row; });
      if (!shared) continue;
      for (DockBar& b : bars)
        if (&b != &full && b.row >= row) ++b.row;
    }
  }
}

std::vector<int> BuildRowSizes(const std::vector<DockBar>& bars) {
  std::vector<int> sizes;
  for (int row = 0; row <= HighestRow(bars); ++row) {
    int size = 0;
    bool any = false;
    for (const DockBar& b : bars) {
      if (b.row != row || !b.visible) continue;
      any = true;
      size = std::max(size, b.barSize);
    }
    if (any && size < 8) size = 8;
    sizes.push_back(size);
  }
  return sizes;
}

// The indexes of the visible bars on a row, in list order; with skipFullSize, not the
// full-size ones.
std::vector<std::size_t> RowMembers(const std::vector<DockBar>& bars, int row, bool skipFullSize) {
  std::vector<std::size_t> members;
  for (std::size_t i = 0; i < bars.size(); ++i)
    if (bars[i].row == row && bars[i].visible && !(skipFullSize && bars[i].fullSize)) members.push_back(i);
  return members;
}

}  // namespace

int HighestRow(const std::vector<DockBar>& bars) {
  int highest = -1;
  for (const DockBar& b : bars) highest = std::max(highest, b.row);
  return highest;
}

void RemoveBlankRows(std::vector<DockBar>& bars) {
  int highest = HighestRow(bars);
  for (int row = 0; row <= highest; ++row) {
    if (AnyOnRow(bars, row)) continue;
    for (DockBar& b : bars)
      if (b.row > row) --b.row;
    --highest;
  }
}

void InsertRowBefore(std::vector<DockBar>& bars, int beforeRow) {
  for (DockBar& b : bars)
    if (b.row >= beforeRow) ++b.row;
}

DockLayoutResult ArrangeDockBars(std::vector<DockBar>& bars, const DockLayoutOptions& options) {
  DockLayoutResult result;
  const int available = std::max(0, options.availableLength);
  if (options.limitToOneRow)
    for (DockBar& b : bars) b.row = 0;
  RemoveBlankRows(bars);
  ListSortEx(bars, [](const DockBar& a, const DockBar& b) {
    if (a.row != b.row) return a.row < b.row ? -1 : 1;
    if (a.pos != b.pos) return a.pos < b.pos ? -1 : 1;
    return 0;
  });
  ApplyFullSizeRule(bars);
  result.rowSizes = BuildRowSizes(bars);
  const int rows = static_cast<int>(result.rowSizes.size());

  // First pass: toolbars that overlap their predecessor move along; the dock keeps this.
  for (int row = 0; row < rows; ++row) {
    int edge = 0;
    for (std::size_t i : RowMembers(bars, row, false)) {
      DockBar& b = bars[i];
      if (b.fullSize) {
        b.pos = 0;
        continue;
      }
      if (edge < b.pos)
        edge = b.pos;
      else
        b.pos = edge;
      edge += b.length;
    }
  }
  std::vector<int> placed;
  for (const DockBar& b : bars) placed.push_back(b.pos);
  // Second pass: toolbars pushed past the far end move back towards the start.
  for (int row = 0; row < rows; ++row) {
    std::vector<std::size_t> members = RowMembers(bars, row, true);
    int edge = available;
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
      int candidate = edge - bars[*it].length;
      if (candidate < placed[*it]) placed[*it] = candidate;
      edge = placed[*it];
    }
  }
  // Third pass: none starts before 0 or overlaps its neighbour towards the start.
  for (int row = 0; row < rows; ++row) {
    int edge = 0;
    for (std::size_t i : RowMembers(bars, row, true)) {
      if (edge >= placed[i])
        placed[i] = edge;
      else
        edge = placed[i];
      edge += bars[i].length;
    }
  }
  if (options.clipPositions)
    for (std::size_t i = 0; i < bars.size(); ++i) bars[i].pos = placed[i];

  result.bounds.assign(bars.size(), TRect());
  int offset = 0;
  for (int row = 0; row < rows; ++row) {
    int size = result.rowSizes[static_cast<std::size_t>(row)];
    int extent = size ? size + 4 : 0;
    for (std::size_t i : RowMembers(bars, row, false)) {
      int length = bars[i].fullSize ? available : bars[i].length;
      result.bounds[i] = options.vertical ? Bounds(offset, placed[i], extent, length)
                                          : Bounds(placed[i], offset, length, extent);
    }
    offset += extent;
  }
  result.thickness = offset;
  return result;
}

int GetRowOf(const std::vector<int>& rowSizes, int highestRow, int xy, bool& before) {
  before = false;
  long long top = 0;
  for (int row = 0; row <= highestRow + 1; ++row) {
    long long bottom;
    if (row <= highestRow) {
      int size = row < static_cast<int>(rowSizes.size()) ? rowSizes[static_cast<std::size_t>(row)] : 0;
      if (size == 0) continue;
      bottom = top + size + 4;
    } else {
      bottom = INT_MAX;
    }
    if (xy < top + 5) {
      before = true;
      return row;
    }
    if (xy < bottom - 5) return row;
    top = bottom;
  }
  return 0;
}

TPoint ProportionalTopLeft(TPoint cursor, TPoint grabOffset, TPoint startSize, TPoint newSize) {
  return TPoint(cursor.x - MulDiv(newSize.x - 1, grabOffset.x, startSize.x),
                cursor.y - MulDiv(newSize.y - 1, grabOffset.y, startSize.y));
}

bool DropZoneAccepts(const DropZoneInput& in, TRect& outline) {
  TPoint topLeft = ProportionalTopLeft(in.cursor, in.grabOffset, in.startSize, in.newSize);
  outline = Bounds(topLeft.x, topLeft.y, in.newSize.x, in.newSize.y);
  TRect dock = in.dockRect;
  // An empty dock is a line: widen it so there is something to aim at.
  if (in.vertical && dock.right <= dock.left) {
    --dock.left;
    ++dock.right;
  } else if (!in.vertical && dock.bottom <= dock.top) {
    --dock.top;
    ++dock.bottom;
  }
  const int tx = MulDiv(32, in.grabOffset.x, in.startSize.x);
  const int ty = MulDiv(20, in.grabOffset.y, in.startSize.y);
  const int x = in.cursor.x, y = in.cursor.y;
  if (x < dock.left - (32 - tx) || x > dock.right - 1 + tx) return false;
  if (in.vertical && (y < dock.top || y >= dock.bottom)) return false;
  if (y < dock.top - (20 - ty) || y > dock.bottom - 1 + ty) return false;
  return outline.left < dock.right && dock.left < outline.right && outline.top < dock.bottom &&
         dock.top < outline.bottom;
}

TRect FloatingOutline(TPoint cursor, TPoint grabOffset, TPoint startSize, TPoint floatSize, const TRect& monitor,
                      TPoint border, int captionHeight) {
  TPoint p(std::clamp<int>(cursor.x, monitor.left, monitor.right - 1),
           std::clamp<int>(cursor.y, monitor.top, monitor.bottom - 1));
  TPoint topLeft = ProportionalTopLeft(p, grabOffset, startSize, floatSize);
  TRect r = Bounds(topLeft.x, topLeft.y, floatSize.x, floatSize.y);
  TRect keep = monitor;
  keep.left += border.x + 4;
  keep.right -= border.x + 4;
  keep.top += border.y + 4;
  keep.bottom -= border.y + 4;
  auto moveBy = [&](int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  };
  if (r.bottom < keep.top) moveBy(0, keep.top - r.bottom);
  if (r.top > keep.bottom) moveBy(0, keep.bottom - r.top);
  if (r.right < keep.left) moveBy(keep.left - r.right, 0);
  if (r.left > keep.right) moveBy(keep.right - r.left, 0);
  if (r.top < monitor.top + 4 - captionHeight) moveBy(0, monitor.top + 4 - captionHeight - r.top);
  return r;
}

}  // namespace tbx
