#pragma once
// The filters found for the menu, for the program's run. A filter's index (the head, 0, is
// empty; then 1, 2, ... in order of addition) is what its menu item carries as its image
// index. The list only grows: a rescan appends, so that an item made earlier keeps its filter.
// Beside it, the base names of the ".8bf" files that could not be read and why, for the
// preferences.

#include <vector>

#include "platform/rtl/AnsiString.h"

// Appends a filter; returns its index.
int AddPluginListEntry(const AnsiString& identifier, const AnsiString& title);
// The identifier and title of index; "" past the end.
AnsiString PluginIdentifier(int index);
AnsiString PluginTitle(int index);
int PluginListCount();  // the head included

// A file that failed at the last scan: its base name and the language key of the reason.
struct FailedPlugin {
  AnsiString name;
  AnsiString reasonKey;
  bool operator==(const FailedPlugin&) const = default;
};
std::vector<FailedPlugin>& PluginNames();
