#pragma once
// The arithmetic of a toolbar, apart from any window: its controls laid out in rows (groups
// that end at separators stay together; a floating toolbar wraps at its floating width, with
// an etched line where a row break fell on a separator), the distinct sizes a floating
// toolbar can take, and the snapping of an edge dragged between those sizes.

#include <vector>

#include "platform/vcl/Types.h"

namespace tbx {

// Margins of the toolbar's client area, indexed 0 floating, 1 docked.
inline constexpr int tbXTopMargin[2] = {2, 0};
inline constexpr int tbXBottomMargin[2] = {1, 0};
inline constexpr int tbXLeftMargin[2] = {4, 0};
inline constexpr int tbXRightMargin[2] = {4, 0};

struct ToolbarItem {
  int width = 0;
  int height = 0;
  bool separator = false;
  int sepSizeHorz = 6;
  int sepSizeVert = 6;
  bool sepBlank = false;
};

struct LineSeparator {
  int y = 0;
  bool blank = false;
};

struct ToolbarLayoutInput {
  bool floating = false;
  bool leftRight = false;  // docked on a left or right dock
  int floatingRightX = 0;  // 0: no wrapping
  int rowSize = 8;         // the thickness of a row
};

struct ToolbarLayoutResult {
  std::vector<TRect> bounds;  // per item, in the toolbar's client area
  std::vector<LineSeparator> lineSeparators;
  TPoint size;  // the client size the toolbar needs
};

ToolbarLayoutResult LayOutToolbar(const std::vector<ToolbarItem>& items, const ToolbarLayoutInput& input);

// The thickness of a row: the greatest height (width on a left/right dock) of the
// non-separators, at least 8.
int ToolbarBarSize(const std::vector<ToolbarItem>& items, bool leftRight);

// The distinct client sizes of a floating toolbar, the narrowest width for each height, the
// single row first.
std::vector<TPoint> PotentialFloatingSizes(const std::vector<ToolbarItem>& items);

enum TToolWindowSizeHandle {
  twshLeft, twshRight, twshTop, twshTopLeft, twshTopRight, twshBottom, twshBottomLeft, twshBottomRight
};

// Snaps a floating toolbar's edge to the sizes its controls allow while the user drags it.
class FloatingResizeSnapper {
public:
  // sizes: client sizes (PotentialFloatingSizes); nonClient: the floating window's frame
  // (left/top and right/bottom together); current: the window's size now.
  FloatingResizeSnapper(TToolWindowSizeHandle handle, std::vector<TPoint> sizes, TPoint nonClient, int leftNonClient,
                        TPoint current, int startWrap);
  // rect: the outline as the dragged edge would put it; origRect: the window's rectangle at
  // the start. Answers the outline snapped to a size.
  TRect Track(const TRect& rect, const TRect& origRect);
  int WrapWidth() const { return wrap_; }
  int SnapDistance() const { return snap_; }
  const std::vector<TPoint>& Sizes() const { return sizes_; }

private:
  bool Horizontal() const { return handle_ == twshLeft || handle_ == twshRight; }
  int Dim(const TPoint& p) const { return Horizontal() ? p.x : p.y; }

  TToolWindowSizeHandle handle_;
  std::vector<TPoint> sizes_;  // window sizes, largest first
  int leftNonClient_;
  int wrap_;
  bool changed_ = false;
  bool shrinking_ = false;
  int snap_ = 12;
};

}  // namespace tbx
