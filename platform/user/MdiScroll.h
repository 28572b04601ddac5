#pragma once
// The MDI client's scroll bars: an MDI client made with WS_HSCROLL or WS_VSCROLL shows a bar
// when its children reach beyond its edges (none while a child is maximised), and scrolling
// moves the children. The ranges are worked out once the moves that prompt it are over.

#include "platform/user/User.h"

// The client was made: it keeps the bars it asked for, shown only when needed.
void RememberMdiScrollBars(HWND client, DWORD style);
void ForgetMdiScrollBars(HWND client);
// A child moved, sized, came or went: the ranges are worked out again soon.
void ScheduleMdiScrollRanges(HWND client);
// The client's answers to its own message for that, and to WM_HSCROLL and WM_VSCROLL.
constexpr UINT kMdiCalcChildScroll = 0x003F;
void CalcMdiScrollRanges(HWND client);
void ScrollMdiChildren(HWND client, UINT message, WPARAM wParam);
