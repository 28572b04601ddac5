#pragma once
// The framework's exception classes. Thrown by value, caught by reference; defined once in
// libplatform_core.so so that the program catches what the library throws.

#include <exception>

#include "platform/rtl/AnsiString.h"

class Exception : public std::exception {
public:
  explicit Exception(AnsiString message);
  ~Exception() override;
  const char* what() const noexcept override;

  AnsiString Message;
};

#define QUILLO_DECLARE_EXCEPTION(Name, Base)        \
  class Name : public Base {                        \
  public:                                           \
    explicit Name(AnsiString message);              \
    ~Name() override;                               \
  };

QUILLO_DECLARE_EXCEPTION(EStreamError, Exception)
QUILLO_DECLARE_EXCEPTION(EFilerError, EStreamError)
QUILLO_DECLARE_EXCEPTION(EReadError, EFilerError)
QUILLO_DECLARE_EXCEPTION(EWriteError, EFilerError)
QUILLO_DECLARE_EXCEPTION(EFCreateError, EStreamError)
QUILLO_DECLARE_EXCEPTION(EFOpenError, EStreamError)
QUILLO_DECLARE_EXCEPTION(EHeapException, Exception)
QUILLO_DECLARE_EXCEPTION(EOutOfMemory, EHeapException)
QUILLO_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)
QUILLO_DECLARE_EXCEPTION(EInvalidOperation, Exception)
QUILLO_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
QUILLO_DECLARE_EXCEPTION(EInvalidImage, EInvalidGraphic)
QUILLO_DECLARE_EXCEPTION(EResNotFound, Exception)
QUILLO_DECLARE_EXCEPTION(EConvertError, Exception)
QUILLO_DECLARE_EXCEPTION(EListError, Exception)
QUILLO_DECLARE_EXCEPTION(EStringListError, Exception)
QUILLO_DECLARE_EXCEPTION(EBitsError, Exception)
QUILLO_DECLARE_EXCEPTION(EOSError, Exception)
// The silent exception: it ends the current operation, and the application's handler shows
// nothing for it.
QUILLO_DECLARE_EXCEPTION(EAbort, Exception)

#undef QUILLO_DECLARE_EXCEPTION

// Raises EAbort with the framework's text.
[[noreturn]] void Abort();

// The framework's resource texts for the errors its streams raise.
namespace RtlText {
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* OutOfMemory = "Out of memory";
inline constexpr const char* OperationAborted = "Operation aborted";
inline constexpr const char* ListIndexError = "List index out of bounds (%d)";
inline constexpr const char* ListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* ListCountError = "List count out of bounds (%d)";
inline constexpr const char* DuplicateString = "String list does not allow duplicates";
inline constexpr const char* SortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* BitsIndexError = "Bits index out of range";
inline constexpr const char* AssignError = "Cannot assign a %s to a %s";
inline constexpr const char* InvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* InvalidDate = "'%s' is not a valid date";
inline constexpr const char* DateEncodeError = "Invalid argument to date encode";
inline constexpr const char* TimeEncodeError = "Invalid argument to time encode";
}  // namespace RtlText
