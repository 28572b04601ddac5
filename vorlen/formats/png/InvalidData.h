#pragma once
// The one error of malformed compressed or image data: EInvalidImage with the library's
// string-table number "100" as its message.

#include "platform/rtl/Exceptions.h"

[[noreturn]] inline void RaiseInvalidImage() { throw EInvalidImage("100"); }
