#pragma once
// The registry of progress-control classes: code that reports progress (file copying) drives
// any registered control through the names of its maximum, minimum and position properties,
// without knowing its class. Lookups go from the last registered entry to the first, and an
// entry applies to its class and every class derived from it.
//
// The framework's progress bar (TProgressBar: Max, Min, Position) is registered from the start.
// A value beyond a property's range stops at the range's end.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Object.h"

void RegisterProgressControl(TClass cls, const AnsiString& maxName, const AnsiString& minName,
                             const AnsiString& progressName);
void UnRegisterProgressControl(TClass cls);
bool SupportsProgressControl(const TObject* control);
// Each sets the named integer property of the entry that applies; false when none did.
bool SetProgressMax(TObject* control, std::int64_t value);
bool SetProgressMin(TObject* control, std::int64_t value);
bool SetProgressValue(TObject* control, std::int64_t value);
