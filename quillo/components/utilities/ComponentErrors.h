#pragma once
// Exception classes of the components beyond the framework's own, and their texts.

#include "platform/rtl/Exceptions.h"

// The system refused a resource (a timer, a cursor slot).
class EOutOfResources : public EOutOfMemory {
public:
  explicit EOutOfResources(AnsiString message) : EOutOfMemory(std::move(message)) {}
  ~EOutOfResources() override;
};

namespace ComponentsText {
inline constexpr const char* NoTimers = "Not enough timers available";
inline constexpr const char* LineTooLong = "Line too long";
inline constexpr const char* CannotOpenFile = "Cannot open file %s";
inline constexpr const char* CannotCreateFile = "Cannot create file %s";
inline constexpr const char* OperationCancelled = "Operation cancelled";
}  // namespace ComponentsText
