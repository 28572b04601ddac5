#include "platform/rtl/LastError.h"

#include <cerrno>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_INSUFFICIENT_BUFFER;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    default: return ERROR_INVALID_PARAMETER;
  }
}

AnsiString SysErrorMessage(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough storage is available to process this command.";
    case ERROR_NOT_SAME_DEVICE: return "The system cannot move the file to a different disk drive.";
    case ERROR_NO_MORE_FILES: return "There are no more files.";
    case ERROR_FILE_EXISTS: return "The file exists.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_DISK_FULL: return "There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER: return "The data area passed to a system call is too small.";
    case ERROR_MOD_NOT_FOUND: return "The specified module could not be found.";
    case ERROR_PROC_NOT_FOUND: return "The specified procedure could not be found.";
    case ERROR_DIR_NOT_EMPTY: return "The directory is not empty.";
    case ERROR_ALREADY_EXISTS: return "Cannot create a file when that file already exists.";
    case ERROR_MORE_DATA: return "More data is available.";
    case ERROR_NO_MORE_ITEMS: return "No more data is available.";
    case ERROR_DIRECTORY: return "The directory name is invalid.";
    case ERROR_CANTWRITE: return "The configuration registry key could not be written.";
    case ERROR_KEY_DELETED: return "Illegal operation attempted on a registry key that has been marked for deletion.";
    case ERROR_INVALID_WINDOW_HANDLE: return "Invalid window handle.";
    case ERROR_NOT_ENOUGH_QUOTA: return "Not enough quota is available to process this command.";
    case ERROR_HOTKEY_ALREADY_REGISTERED: return "Hot key is already registered.";
    case ERROR_HOTKEY_NOT_REGISTERED: return "Hot key is not registered.";
    default: return AnsiString();
  }
}

void RaiseLastOSError(DWORD code) {
  if (code == ERROR_SUCCESS) throw EOSError("A call to an OS function failed");
  throw EOSError(Format("System Error.  Code: %u.\n%s", static_cast<unsigned>(code), SysErrorMessage(code).c_str()));
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }
