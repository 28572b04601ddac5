#include "quillo/components/toolbars/ToolbarLayout.h"

#include <algorithm>

#include "quillo/components/toolbars/ToolbarCommon.h"

namespace tbx {

namespace {

struct Group {
  std::vector<std::size_t> items;
  int length = 0;  // the non-separators' summed length along the row
};

int Along(const ToolbarItem& item, bool leftRight) { return leftRight ? item.height : item.width; }
int Across(const ToolbarItem& item, bool leftRight) { return leftRight ? item.width : item.height; }

std::vector<Group> BuildGroups(const std::vector<ToolbarItem>& items, bool leftRight) {
  std::vector<Group> groups;
  Group current;
  for (std::size_t i = 0; i < items.size(); ++i) {
    current.items.push_back(i);
    if (items[i].separator) {
      groups.push_back(current);
      current = Group();
    } else {
      current.length += Along(items[i], leftRight);
    }
  }
  if (!current.items.empty()) groups.push_back(current);
  return groups;
}

}  // namespace

int ToolbarBarSize(const std::vector<ToolbarItem>& items, bool leftRight) {
  int size = 8;
  for (const ToolbarItem& item : items)
    if (!item.separator) size = std::max(size, Across(item, leftRight));
  return size;
}

ToolbarLayoutResult LayOutToolbar(const std::vector<ToolbarItem>& items, const ToolbarLayoutInput& input) {
  ToolbarLayoutResult result;
  result.bounds.assign(items.size(), TRect());
  const bool leftRight = input.leftRight && !input.floating;
  const int state = input.floating ? 0 : 1;
  const int leftMargin = tbXLeftMargin[state], rightMargin = tbXRightMargin[state];
  bool wrapping = false;
  int wrapWidth = 0;
  if (input.floating && input.floatingRightX > 0) {
    int widest = 0;
    for (const ToolbarItem& item : items)
      if (!item.separator) widest = std::max(widest, item.width);
    wrapping = true;
    wrapWidth = std::max(input.floatingRightX, widest + 8);
  }
  const int rowSize = input.rowSize;
  int along = leftMargin, rowTop = tbXTopMargin[state];
  bool breakPending = false;
  std::vector<Group> groups = BuildGroups(items, leftRight);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const Group& group = groups[g];
    if (wrapping && (breakPending || group.length + along + rightMargin > wrapWidth)) {
      breakPending = false;
      along = leftMargin;
      if (g > 0) {
        // The row break falls on the separator that ends the previous group: it takes no
        // room and leaves an etched line between the rows.
        std::size_t sep = groups[g - 1].items.back();
        rowTop += rowSize + 6;
        TRect& b = result.bounds[sep];
        b.right = b.left;
        result.lineSeparators.push_back({rowTop, items[sep].sepBlank});
      }
    }
    for (std::size_t i : group.items) {
      const ToolbarItem& item = items[i];
      if (item.separator) {
        int size = leftRight ? item.sepSizeVert : item.sepSizeHorz;
        result.bounds[i] = Bounds(along, rowTop, size, rowSize);
        along += size;
      } else {
        int length = Along(item, leftRight);
        if (wrapping && along > leftMargin && along + length + rightMargin > wrapWidth) {
          along = leftMargin;
          rowTop += rowSize;
          breakPending = true;
        }
        int across = rowTop + (rowSize - Across(item, leftRight)) / 2;
        result.bounds[i] = Bounds(along, across, length, Across(item, leftRight));
        along += length;
      }
    }
  }
  // The farthest edge along the rows; a separator that became a row break takes no room.
  int farthest = leftMargin;
  for (const TRect& b : result.bounds) farthest = std::max<int>(farthest, b.right);
  result.size = TPoint(farthest + rightMargin, rowTop + rowSize + tbXBottomMargin[state]);
  if (leftRight) {
    std::swap(result.size.x, result.size.y);
    for (TRect& b : result.bounds) b = Bounds(b.top, b.left, b.bottom - b.top, b.right - b.left);
  }
  return result;
}

std::vector<TPoint> PotentialFloatingSizes(const std::vector<ToolbarItem>& items) {
  ToolbarLayoutInput input;
  input.floating = true;
  input.rowSize = ToolbarBarSize(items, false);
  const int minimumWidth = input.rowSize + 8;
  std::vector<TPoint> sizes;
  sizes.push_back(LayOutToolbar(items, input).size);
  int w = sizes.front().x - 1;
  while (w >= minimumWidth) {
    input.floatingRightX = w;
    TPoint size = LayOutToolbar(items, input).size;
    if (size.x > w) break;
    if (size.x == w) {
      if (sizes.size() >= 2 && size.y == sizes.back().y) sizes.pop_back();
      bool present = std::any_of(sizes.begin(), sizes.end(),
                                 [&](const TPoint& p) { return p.x == size.x && p.y == size.y; });
      if (!present) sizes.push_back(size);
      --w;
    } else {
      w = size.x;
    }
  }
  return sizes;
}

FloatingResizeSnapper::FloatingResizeSnapper(TToolWindowSizeHandle handle, std::vector<TPoint> sizes,
                                             TPoint nonClient, int leftNonClient, TPoint current, int startWrap)
    : handle_(handle), sizes_(std::move(sizes)), leftNonClient_(leftNonClient), wrap_(startWrap) {
  for (TPoint& p : sizes_) {
    p.x += nonClient.x;
    p.y += nonClient.y;
  }
  ListSortEx(sizes_, [&](const TPoint& a, const TPoint& b) {
    int da = Dim(a), db = Dim(b);
    return da > db ? -1 : da < db ? 1 : 0;
  });
  for (std::size_t i = 0; i < sizes_.size(); ++i) {
    if (sizes_[i].x != current.x || sizes_[i].y != current.y) continue;
    if (i > 0) snap_ = std::min(snap_, std::abs(Dim(sizes_[i - 1]) - Dim(sizes_[i])) - 1);
    if (i + 1 < sizes_.size()) snap_ = std::min(snap_, std::abs(Dim(sizes_[i + 1]) - Dim(sizes_[i])) - 1);
    snap_ = std::max(snap_, 0);
    break;
  }
}

TRect FloatingResizeSnapper::Track(const TRect& rect, const TRect& origRect) {
  int d = Horizontal() ? rect.right - rect.left : rect.bottom - rect.top;
  const int s = Horizontal() ? origRect.right - origRect.left : origRect.bottom - origRect.top;
  bool shrinking = d < s;
  if (!changed_ || shrinking != shrinking_) {
    changed_ = false;
    shrinking_ = shrinking;
    if (s - snap_ <= d && d < s + snap_) d = s;
  }
  TRect out = origRect;
  if (sizes_.empty()) return out;
  const std::size_t singleRow = Horizontal() ? 0 : sizes_.size() - 1;
  auto apply = [&](std::size_t i) {
    const TPoint& p = sizes_[i];
    wrap_ = i == singleRow ? 0 : p.x - 2 * leftNonClient_;
    out = origRect;
    if (Horizontal()) {
      if (handle_ == twshRight)
        out.right = out.left + p.x;
      else
        out.left = out.right - p.x;
      out.bottom = out.top + p.y;
    } else {
      if (handle_ == twshBottom)
        out.bottom = out.top + p.y;
      else
        out.top = out.bottom - p.y;
      out.right = out.left + p.x;
    }
  };
  if (d > s) {
    for (std::size_t i = 0; i < sizes_.size(); ++i)
      if (i == 0 || Dim(sizes_[i]) > d) apply(i);
  } else {
    for (std::size_t k = sizes_.size(); k-- > 0;)
      if (k == sizes_.size() - 1 || Dim(sizes_[k]) <= d) apply(k);
  }
  changed_ = out.left != origRect.left || out.top != origRect.top || out.right != origRect.right ||
             out.bottom != origRect.bottom;
  return out;
}

}  // namespace tbx
