#pragma once
// The up-down control (msctls_updown32): two arrow buttons that step a position within a
// range, optionally shown as the text of a buddy window beside it. Each step asks the parent
// first (UDN_DELTAPOS, which may veto or change the step), then reports the position with
// WM_VSCROLL (WM_HSCROLL when horizontal) and SB_THUMBPOSITION; the release ends with
// SB_ENDSCROLL. Held down, the arrows repeat on the layer's clock and speed up as the
// accelerator table says.

#include "platform/user/User.h"

constexpr char UPDOWN_CLASS[] = "msctls_updown32";

constexpr DWORD UDS_WRAP = 0x0001, UDS_SETBUDDYINT = 0x0002, UDS_ALIGNRIGHT = 0x0004, UDS_ALIGNLEFT = 0x0008,
                UDS_AUTOBUDDY = 0x0010, UDS_ARROWKEYS = 0x0020, UDS_HORZ = 0x0040, UDS_NOTHOUSANDS = 0x0080,
                UDS_HOTTRACK = 0x0100;

constexpr int UD_MAXVAL = 0x7FFF, UD_MINVAL = -UD_MAXVAL;

constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
               UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
               UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108, UDM_SETBASE = WM_USER + 109,
               UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
               UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;

constexpr UINT UDN_FIRST = 0U - 721U;
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct UDACCEL {
  UINT nSec = 0;  // seconds held before this increment applies
  UINT nInc = 1;
};

struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;
  int iDelta = 0;
};
using LPNMUPDOWN = NMUPDOWN*;

void RegisterUpDownClass();
