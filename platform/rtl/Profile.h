#pragma once
// The kernel's profile functions on INI files, with the Windows rules: sections and keys
// match without regard to case, values are trimmed and lose one pair of enclosing quotes,
// results are truncated to the caller's buffer, and numbers are read from their leading
// digits. A file name without a folder lives in the Windows folder; WIN.INI is win.ini in the
// settings folder.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                              DWORD size, LPCSTR fileName);
UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, int fallback, LPCSTR fileName);
BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

DWORD GetProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size);
UINT GetProfileInt(LPCSTR section, LPCSTR key, int fallback);
BOOL WriteProfileString(LPCSTR section, LPCSTR key, LPCSTR value);

// The file a profile file name stands for, by the rules above (TIniFile uses them too).
AnsiString ProfileFilePath(const AnsiString& fileName);
