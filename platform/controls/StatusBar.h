#pragma once
// The status bar (STATUSCLASSNAME): a strip of parts along the bottom (or top) of its parent,
// each with text (left, centred or right by tabs), an icon, a border or none, or drawn by the
// parent (SBT_OWNERDRAW, through WM_DRAWITEM); or one simple part across the whole bar. It
// places itself at its parent's edge whenever it hears WM_SIZE, and its size grip sizes the
// top-level window it sits in.

#include "platform/controls/CommonNotify.h"

inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";

constexpr DWORD SBARS_SIZEGRIP = 0x0100, SBARS_TOOLTIPS = 0x0800, SBT_TOOLTIPS = 0x0800;

constexpr UINT SB_SETTEXT = WM_USER + 1, SB_GETTEXT = WM_USER + 2, SB_GETTEXTLENGTH = WM_USER + 3,
               SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_GETBORDERS = WM_USER + 7,
               SB_SETMINHEIGHT = WM_USER + 8, SB_SIMPLE = WM_USER + 9, SB_GETRECT = WM_USER + 10,
               SB_ISSIMPLE = WM_USER + 14, SB_SETICON = WM_USER + 15, SB_GETICON = WM_USER + 20;
inline constexpr UINT SB_SETTEXTA = SB_SETTEXT, SB_GETTEXTA = SB_GETTEXT, SB_GETTEXTLENGTHA = SB_GETTEXTLENGTH;

// SB_SETTEXT's drawing types (in the high byte of wParam's low word) and the simple part's index.
constexpr WPARAM SBT_OWNERDRAW = 0x1000, SBT_NOBORDERS = 0x0100, SBT_POPOUT = 0x0200,
                 SBT_RTLREADING = 0x0400, SBT_NOTABPARSING = 0x0800;
constexpr WPARAM SB_SIMPLEID = 0x00FF;

constexpr UINT SBN_SIMPLEMODECHANGE = static_cast<UINT>(-880);

void RegisterStatusBarClass();
