#pragma once
// The SCROLLBAR control: one scroll bar as a child window. Its values and the messages that
// set them (SBM_) are the window interface's (platform/user/ScrollBars.h); a press tracks it
// as a window's own bars track, and it tells its parent with WM_HSCROLL or WM_VSCROLL and its
// handle.

#include "platform/user/User.h"

constexpr char WC_SCROLLBAR[] = "SCROLLBAR";

constexpr DWORD SBS_HORZ = 0x0000, SBS_VERT = 0x0001, SBS_TOPALIGN = 0x0002, SBS_LEFTALIGN = 0x0002,
                SBS_BOTTOMALIGN = 0x0004, SBS_RIGHTALIGN = 0x0004, SBS_SIZEBOXTOPLEFTALIGN = 0x0002,
                SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004, SBS_SIZEBOX = 0x0008, SBS_SIZEGRIP = 0x0010;

void RegisterScrollBarClass();
