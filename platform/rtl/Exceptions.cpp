#include "platform/rtl/Exceptions.h"

#include <utility>

Exception::Exception(AnsiString message) : Message(std::move(message)) {}
Exception::~Exception() = default;
const char* Exception::what() const noexcept { return Message.c_str(); }

// Out-of-line destructors anchor each class's type information in this library.
#define QUILLO_DEFINE_EXCEPTION(Name, Base)                       \
  Name::Name(AnsiString message) : Base(std::move(message)) {}    \
  Name::~Name() = default;

QUILLO_DEFINE_EXCEPTION(EStreamError, Exception)
QUILLO_DEFINE_EXCEPTION(EFilerError, EStreamError)
QUILLO_DEFINE_EXCEPTION(EReadError, EFilerError)
QUILLO_DEFINE_EXCEPTION(EWriteError, EFilerError)
QUILLO_DEFINE_EXCEPTION(EFCreateError, EStreamError)
QUILLO_DEFINE_EXCEPTION(EFOpenError, EStreamError)
QUILLO_DEFINE_EXCEPTION(EHeapException, Exception)
QUILLO_DEFINE_EXCEPTION(EOutOfMemory, EHeapException)
QUILLO_DEFINE_EXCEPTION(EOutOfResources, EOutOfMemory)
QUILLO_DEFINE_EXCEPTION(EInvalidOperation, Exception)
QUILLO_DEFINE_EXCEPTION(EInvalidGraphic, Exception)
QUILLO_DEFINE_EXCEPTION(EInvalidImage, EInvalidGraphic)
QUILLO_DEFINE_EXCEPTION(EResNotFound, Exception)
QUILLO_DEFINE_EXCEPTION(EConvertError, Exception)
QUILLO_DEFINE_EXCEPTION(EListError, Exception)
QUILLO_DEFINE_EXCEPTION(EStringListError, Exception)
QUILLO_DEFINE_EXCEPTION(EBitsError, Exception)
QUILLO_DEFINE_EXCEPTION(EOSError, Exception)
QUILLO_DEFINE_EXCEPTION(EAbort, Exception)

void Abort() { throw EAbort(RtlText::OperationAborted); }
