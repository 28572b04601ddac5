// The last error's text and the exception raised for it: the framework's wording with the
// system's text, so a user reads what went wrong and not only a number.

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/LastError.h"

namespace {

AnsiString MessageOfRaised(DWORD code) {
  try {
    RaiseLastOSError(code);
  } catch (const EOSError& e) {
    return e.Message;
  }
  return "nothing raised";
}

TEST(LastError, RaisesTheCodeWithTheSystemsText) {
  struct Case {
    DWORD code;
    const char* message;
  };
  const Case cases[] = {
      {ERROR_FILE_NOT_FOUND, "System Error.  Code: 2.\nThe system cannot find the file specified."},
      {ERROR_ACCESS_DENIED, "System Error.  Code: 5.\nAccess is denied."},
      {ERROR_INVALID_PARAMETER, "System Error.  Code: 87.\nThe parameter is incorrect."},
      {ERROR_DISK_FULL, "System Error.  Code: 112.\nThere is not enough space on the disk."},
      {ERROR_MOD_NOT_FOUND, "System Error.  Code: 126.\nThe specified module could not be found."},
      {ERROR_INVALID_WINDOW_HANDLE, "System Error.  Code: 1400.\nInvalid window handle."},
      {4242, "System Error.  Code: 4242.\n"},  // a code without a text keeps its number
      {ERROR_SUCCESS, "A call to an OS function failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(MessageOfRaised(c.code), c.message);
  }
}

TEST(LastError, RaiseLastOSErrorReadsTheThreadsLastError) {
  SetLastError(ERROR_PATH_NOT_FOUND);
  try {
    RaiseLastWin32Error();
    FAIL() << "nothing raised";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Message, "System Error.  Code: 3.\nThe system cannot find the path specified.");
  }
  SetLastError(ERROR_SUCCESS);
}

TEST(LastError, EveryCodeTheLayerSetsHasAText) {
  for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
                     ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_SAME_DEVICE, ERROR_NO_MORE_FILES, ERROR_FILE_EXISTS,
                     ERROR_INVALID_PARAMETER, ERROR_DISK_FULL, ERROR_INSUFFICIENT_BUFFER, ERROR_MOD_NOT_FOUND,
                     ERROR_PROC_NOT_FOUND, ERROR_DIR_NOT_EMPTY, ERROR_ALREADY_EXISTS, ERROR_MORE_DATA,
                     ERROR_NO_MORE_ITEMS, ERROR_DIRECTORY, ERROR_CANTWRITE, ERROR_KEY_DELETED,
                     ERROR_INVALID_WINDOW_HANDLE, ERROR_HOTKEY_ALREADY_REGISTERED, ERROR_HOTKEY_NOT_REGISTERED})
    EXPECT_FALSE(SysErrorMessage(code).empty()) << code;
}

}  // namespace
