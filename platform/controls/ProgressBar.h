#pragma once
// The progress bar (msctls_progress32): a position within a range shown as a row of blocks
// (or a smooth bar) in the highlight colour, left to right or, vertical, bottom up.

#include "platform/user/User.h"

constexpr char PROGRESS_CLASS[] = "msctls_progress32";

constexpr DWORD PBS_SMOOTH = 0x01, PBS_VERTICAL = 0x04;

constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
               PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
               PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8, PBM_SETBARCOLOR = WM_USER + 9,
               PBM_SETBKCOLOR = 0x2001;  // CCM_SETBKCOLOR

constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct PBRANGE {
  int iLow = 0;
  int iHigh = 0;
};

void RegisterProgressClass();
