#pragma once
// The error a common dialog left behind (CommDlgExtendedError): 0 after a dialog that ran or
// was cancelled, one of the codes below after one that could not run or could not hand its
// result back. One value per thread, as each dialog runs on its caller's thread.

#include "platform/rtl/WinTypes.h"

constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF, CDERR_GENERALCODES = 0x0000, CDERR_STRUCTSIZE = 0x0001,
                CDERR_INITIALIZATION = 0x0002, CDERR_NOTEMPLATE = 0x0003, CDERR_NOHINSTANCE = 0x0004,
                CDERR_LOADSTRFAILURE = 0x0005, CDERR_FINDRESFAILURE = 0x0006, CDERR_LOADRESFAILURE = 0x0007,
                CDERR_LOCKRESFAILURE = 0x0008, CDERR_MEMALLOCFAILURE = 0x0009, CDERR_MEMLOCKFAILURE = 0x000A,
                CDERR_NOHOOK = 0x000B, CDERR_REGISTERMSGFAIL = 0x000C;
constexpr DWORD FNERR_FILENAMECODES = 0x3000, FNERR_SUBCLASSFAILURE = 0x3001, FNERR_INVALIDFILENAME = 0x3002,
                FNERR_BUFFERTOOSMALL = 0x3003;

DWORD CommDlgExtendedError();
// Set by the dialogs as they finish.
void SetCommDlgExtendedError(DWORD error);
