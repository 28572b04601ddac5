#pragma once
// The texts of the exceptions the components raise (EOutOfResources and the others are the
// framework's own).

#include "platform/rtl/Exceptions.h"

namespace ComponentsText {
inline constexpr const char* NoTimers = "Not enough timers available";
inline constexpr const char* LineTooLong = "Line too long";
inline constexpr const char* CannotOpenFile = "Cannot open file %s";
inline constexpr const char* CannotCreateFile = "Cannot create file %s";
inline constexpr const char* OperationCancelled = "Operation cancelled";
}  // namespace ComponentsText
