#include "quillo/components/utilities/ProgressControls.h"

#include <algorithm>
#include <vector>

#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/TypInfo.h"

namespace {

constexpr size_t kMaxNameLength = 63;

struct ProgressEntry {
  TClass cls;
  AnsiString maxName;
  AnsiString minName;
  AnsiString progressName;
};

// The framework's progress bar is there from the start, as the first entry, so that an entry
// registered later for a class derived from it takes precedence.
std::vector<ProgressEntry>& Entries() {
  static std::vector<ProgressEntry> entries{{TProgressBar::StaticClass(), "Max", "Min", "Position"}};
  return entries;
}

const ProgressEntry* EntryFor(const TObject* control) {
  if (!control) return nullptr;
  const auto& entries = Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (control->InheritsFrom(it->cls)) return &*it;
  return nullptr;
}

bool SetNamed(TObject* control, const AnsiString ProgressEntry::*name, std::int64_t value) {
  const ProgressEntry* entry = EntryFor(control);
  if (!entry) return false;
  PPropInfo prop = GetPropInfo(control, entry->*name, TTypeKinds{tkInteger, tkInt64});
  if (!prop || !prop->SetOrd) return false;
  // A count beyond the property's range (a file over 2 GiB on a 32-bit Position) would wrap
  // round to a negative one: it stops at the range's end instead.
  const TTypeInfo* type = prop->PropType;
  if (type && type->MinValue < type->MaxValue) value = std::clamp(value, type->MinValue, type->MaxValue);
  SetOrdProp(control, prop, value);
  return true;
}

}  // namespace

void RegisterProgressControl(TClass cls, const AnsiString& maxName, const AnsiString& minName,
                             const AnsiString& progressName) {
  Entries().push_back({cls, maxName.substr(0, kMaxNameLength), minName.substr(0, kMaxNameLength),
                       progressName.substr(0, kMaxNameLength)});
}

void UnRegisterProgressControl(TClass cls) {
  auto& entries = Entries();
  std::erase_if(entries, [cls](const ProgressEntry& e) { return e.cls == cls; });
}

bool SupportsProgressControl(const TObject* control) { return EntryFor(control) != nullptr; }

bool SetProgressMax(TObject* control, std::int64_t value) {
  return SetNamed(control, &ProgressEntry::maxName, value);
}
bool SetProgressMin(TObject* control, std::int64_t value) {
  return SetNamed(control, &ProgressEntry::minName, value);
}
bool SetProgressValue(TObject* control, std::int64_t value) {
  return SetNamed(control, &ProgressEntry::progressName, value);
}
