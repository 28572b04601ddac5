#include "quillo/plugins/FilterPluginList.h"

namespace {

struct PluginEntry {
  AnsiString identifier;
  AnsiString title;
};

std::vector<PluginEntry>& Entries() {
  static std::vector<PluginEntry> entries(1);  // the empty head
  return entries;
}

const PluginEntry* EntryAt(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Entries().size()) return nullptr;
  return &Entries()[static_cast<std::size_t>(index)];
}

}  // namespace

int AddPluginListEntry(const AnsiString& identifier, const AnsiString& title) {
  Entries().push_back({identifier, title});
  return static_cast<int>(Entries().size()) - 1;
}

AnsiString PluginIdentifier(int index) {
  const PluginEntry* e = EntryAt(index);
  return e != nullptr ? e->identifier : AnsiString();
}

AnsiString PluginTitle(int index) {
  const PluginEntry* e = EntryAt(index);
  return e != nullptr ? e->title : AnsiString();
}

int PluginListCount() { return static_cast<int>(Entries().size()); }

std::vector<FailedPlugin>& PluginNames() {
  static std::vector<FailedPlugin> names;
  return names;
}
