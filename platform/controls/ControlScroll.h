#pragma once
// The window scroll bars of a control, as the controls set and read them. The window
// manager's scroll bars (SetScrollInfo and the others) come in their own change; until then
// this keeps each control's vertical and horizontal state here and draws no bar, so the
// controls scroll by keys, wheel and messages alone. Once the window manager has them,
// SetControlScroll and GetControlScroll pass to SetScrollInfo and GetScrollInfo and nothing
// above changes.

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
// Forgets a window's state (at WM_NCDESTROY).
void ForgetControlScroll(HWND window);

// The WM_HSCROLL / WM_VSCROLL request codes.
constexpr int kScrollLineUp = 0, kScrollLineDown = 1, kScrollPageUp = 2, kScrollPageDown = 3,
              kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollTop = 6, kScrollBottom = 7,
              kScrollEndScroll = 8;
