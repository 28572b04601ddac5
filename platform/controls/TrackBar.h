#pragma once
// The track bar (msctls_trackbar32): a thumb that slides along a channel over a range, with
// tick marks and an optional selection range. It reports every move to its parent with
// WM_HSCROLL (WM_VSCROLL when vertical), the TB_ code and its handle; a drag, a page press
// or a key ends with TB_ENDTRACK.

#include "platform/user/User.h"

constexpr char TRACKBAR_CLASS[] = "msctls_trackbar32";

constexpr DWORD TBS_AUTOTICKS = 0x0001, TBS_VERT = 0x0002, TBS_HORZ = 0x0000, TBS_TOP = 0x0004,
                TBS_BOTTOM = 0x0000, TBS_LEFT = 0x0004, TBS_RIGHT = 0x0000, TBS_BOTH = 0x0008,
                TBS_NOTICKS = 0x0010, TBS_ENABLESELRANGE = 0x0020, TBS_FIXEDLENGTH = 0x0040,
                TBS_NOTHUMB = 0x0080, TBS_TOOLTIPS = 0x0100, TBS_REVERSED = 0x0200,
                TBS_DOWNISLEFT = 0x0400;

constexpr UINT TBM_GETPOS = WM_USER, TBM_GETRANGEMIN = WM_USER + 1, TBM_GETRANGEMAX = WM_USER + 2,
               TBM_GETTIC = WM_USER + 3, TBM_SETTIC = WM_USER + 4, TBM_SETPOS = WM_USER + 5,
               TBM_SETRANGE = WM_USER + 6, TBM_SETRANGEMIN = WM_USER + 7, TBM_SETRANGEMAX = WM_USER + 8,
               TBM_CLEARTICS = WM_USER + 9, TBM_SETSEL = WM_USER + 10, TBM_SETSELSTART = WM_USER + 11,
               TBM_SETSELEND = WM_USER + 12, TBM_GETPTICS = WM_USER + 14, TBM_GETTICPOS = WM_USER + 15,
               TBM_GETNUMTICS = WM_USER + 16, TBM_GETSELSTART = WM_USER + 17, TBM_GETSELEND = WM_USER + 18,
               TBM_CLEARSEL = WM_USER + 19, TBM_SETTICFREQ = WM_USER + 20, TBM_SETPAGESIZE = WM_USER + 21,
               TBM_GETPAGESIZE = WM_USER + 22, TBM_SETLINESIZE = WM_USER + 23, TBM_GETLINESIZE = WM_USER + 24,
               TBM_GETTHUMBRECT = WM_USER + 25, TBM_GETCHANNELRECT = WM_USER + 26,
               TBM_SETTHUMBLENGTH = WM_USER + 27, TBM_GETTHUMBLENGTH = WM_USER + 28,
               TBM_SETBUDDY = WM_USER + 32, TBM_GETBUDDY = WM_USER + 33;

constexpr int TB_LINEUP = 0, TB_LINEDOWN = 1, TB_PAGEUP = 2, TB_PAGEDOWN = 3, TB_THUMBPOSITION = 4,
              TB_THUMBTRACK = 5, TB_TOP = 6, TB_BOTTOM = 7, TB_ENDTRACK = 8;

void RegisterTrackBarClass();
