#pragma once
// What a control's window scroll bars show, read as a user sees them: shown or not, enabled or
// not, range, page and position; and where a bar's thumb is on the screen, to drag it.

#include <algorithm>
#include <ostream>

#include "platform/user/ScrollBars.h"
#include "platform/user/User.h"

struct BarView {
  bool shown = false;
  bool enabled = false;  // arrows and thumb usable
  int max = 0;
  int page = 0;
  int pos = 0;
  bool operator==(const BarView&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const BarView& b) {
  return out << "{shown " << b.shown << ", enabled " << b.enabled << ", max " << b.max << ", page " << b.page
             << ", pos " << b.pos << "}";
}

// A bar that is not shown reads as {} whatever values it keeps: nothing of it is on screen.
inline BarView ReadBar(HWND window, int bar) {
  BarView b;
  b.shown = (GetWindowLong(window, GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
  if (!b.shown) return BarView{};
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (!GetScrollInfo(window, bar, &info)) return b;
  const scrollbars::Values* v = scrollbars::ValuesOf(window, bar);
  b.enabled = v && v->disabledArrows != ESB_DISABLE_BOTH && scrollbars::IsScrollable(*v);
  b.max = info.nMax;
  b.page = static_cast<int>(info.nPage);
  b.pos = info.nPos;
  return b;
}

// The screen point at the middle of a shown bar's thumb, and the length of its track.
struct ThumbSpot {
  POINT centre{};
  int track = 0;
  bool vertical = false;
  int first = 0, last = 0;  // the bar's ends on the screen, along it
  // The thumb's middle moved along the bar, kept on the bar (a mouse far off it snaps the
  // thumb back).
  POINT Moved(int along) const {
    const int at = std::clamp((vertical ? centre.y : centre.x) + along, first, last);
    return vertical ? POINT{centre.x, at} : POINT{at, centre.y};
  }
};

inline ThumbSpot FindThumb(HWND window, int bar) {
  ThumbSpot spot;
  const scrollbars::Values* v = scrollbars::ValuesOf(window, bar);
  RECT r = scrollbars::WindowBarRect(window, bar);
  if (!v || IsRectEmpty(&r)) return spot;
  spot.vertical = bar == SB_VERT;
  scrollbars::Layout l = scrollbars::LayoutOf(r, spot.vertical, *v, IsWindowEnabled(window) != FALSE);
  RECT w;
  GetWindowRect(window, &w);
  const int middle = l.thumbStart + l.thumbLength / 2;
  spot.centre = spot.vertical ? POINT{w.left + (r.left + r.right) / 2, w.top + r.top + middle}
                              : POINT{w.left + r.left + middle, w.top + (r.top + r.bottom) / 2};
  spot.track = l.trackEnd() - l.trackStart();
  spot.first = spot.vertical ? w.top + r.top : w.left + r.left;
  spot.last = (spot.vertical ? w.top + r.bottom : w.left + r.right) - 1;
  return spot;
}
