#pragma once
// The framework's exception classes. Thrown by value, caught by reference; defined once in
// libplatform.so so that the program catches what the library throws.

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
QUILLO_DECLARE_EXCEPTION(EInvalidOperation, Exception)
QUILLO_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
QUILLO_DECLARE_EXCEPTION(EInvalidImage, EInvalidGraphic)
QUILLO_DECLARE_EXCEPTION(EConvertError, Exception)

#undef QUILLO_DECLARE_EXCEPTION

// The framework's resource texts for the errors its streams raise.
namespace RtlText {
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* OutOfMemory = "Out of memory";
}  // namespace RtlText
