#pragma once
// The calling thread's last error code, which the Windows-style calls set when they fail,
// the codes they use, the system's text for each, and the exception that carries one.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_CANTWRITE = 1013;
constexpr DWORD ERROR_KEY_DELETED = 1018;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_HOTKEY_ALREADY_REGISTERED = 1409;
constexpr DWORD ERROR_HOTKEY_NOT_REGISTERED = 1419;
constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

DWORD GetLastError();
void SetLastError(DWORD code);
// The Windows code nearest to a POSIX errno value.
DWORD ErrorFromErrno(int error);

// The system's text for a code, as Windows words it ("Access is denied."); empty for a code
// the layer does not know.
AnsiString SysErrorMessage(DWORD code);
// EOSError "System Error.  Code: N.\n<text>"; for code 0, that some system call failed.
[[noreturn]] void RaiseLastOSError(DWORD code);
// The same for the calling thread's last error.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] inline void RaiseLastWin32Error() { RaiseLastOSError(); }
