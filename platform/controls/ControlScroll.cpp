#include "platform/controls/ControlScroll.h"

#include <map>
#include <utility>

// The window manager's scroll bars, once they are there, show what the controls set.
#if __has_include("platform/user/ScrollBars.h")
#include "platform/user/ScrollBars.h"
#define QUILLO_CONTROL_SCROLL_BARS 1
#endif

namespace {

std::map<std::pair<HWND, int>, ControlScrollState>& States() {
  static std::map<std::pair<HWND, int>, ControlScrollState> states;
  return states;
}

}  // namespace

void SetControlScroll(HWND window, int bar, const ControlScrollState& state) {
  States()[{window, bar}] = state;
#ifdef QUILLO_CONTROL_SCROLL_BARS
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (state.disableNoScroll ? SIF_DISABLENOSCROLL : 0u);
  info.nMin = state.min;
  info.nMax = state.max;
  info.nPage = static_cast<UINT>(state.page > 0 ? state.page : 0);
  info.nPos = state.pos;
  SetScrollInfo(window, bar == kControlScrollVertical ? SB_VERT : SB_HORZ, &info, TRUE);
#endif
}

ControlScrollState GetControlScroll(HWND window, int bar) {
  auto it = States().find({window, bar});
  return it == States().end() ? ControlScrollState{} : it->second;
}

int GetControlScrollTrackPos(HWND window, int bar, int fallback) {
#ifdef QUILLO_CONTROL_SCROLL_BARS
  SCROLLINFO info;
  info.fMask = SIF_TRACKPOS;
  if (GetScrollInfo(window, bar == kControlScrollVertical ? SB_VERT : SB_HORZ, &info)) return info.nTrackPos;
#else
  (void)window;
  (void)bar;
#endif
  return fallback;
}

void ForgetControlScroll(HWND window) {
  States().erase({window, kControlScrollHorizontal});
  States().erase({window, kControlScrollVertical});
}
