#pragma once
// The window scroll bars of a control, as the controls set and read them. Each control's
// vertical and horizontal state is kept here, as the control last set it; where the window
// manager has scroll bars (platform/user/ScrollBars.h, which comes in its own change), the
// state also goes to SetScrollInfo, so the bars show it and the thumb reports its track
// position. Without them no bar is drawn and the controls scroll by keys, wheel and
// messages alone; nothing above this file changes when they come.

#include "platform/user/User.h"

struct ControlScrollState {
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
  // Shown disabled instead of hidden when there is nothing to scroll (LBS_DISABLENOSCROLL).
  bool disableNoScroll = false;
};

constexpr int kControlScrollHorizontal = 0, kControlScrollVertical = 1;

void SetControlScroll(HWND window, int bar, const ControlScrollState& state);
ControlScrollState GetControlScroll(HWND window, int bar);
// Where a dragged thumb is (WM_VSCROLL's 16 bits cannot hold a position past 65535):
// the bar's track position, or fallback without window scroll bars.
int GetControlScrollTrackPos(HWND window, int bar, int fallback);
// Forgets a window's state (at WM_NCDESTROY).
void ForgetControlScroll(HWND window);

// The WM_HSCROLL / WM_VSCROLL request codes.
constexpr int kScrollLineUp = 0, kScrollLineDown = 1, kScrollPageUp = 2, kScrollPageDown = 3,
              kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollTop = 6, kScrollBottom = 7,
              kScrollEndScroll = 8;
