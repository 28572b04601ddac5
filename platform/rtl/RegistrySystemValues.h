#pragma once
// Keys and values that Windows always has and that the program reads without ever writing
// them: the store answers them when it holds nothing of its own there. A value the store holds
// always wins.

#include <string>

#include "platform/rtl/RegistryTree.h"

// True for a key that exists on every system, so that opening it never fails.
bool IsSystemKey(RegRoot root, const RegPath& path);

// The system's answer for a value the store does not hold; false when there is none.
bool SystemValue(RegRoot root, const RegPath& path, const AnsiString& name, DWORD* type, std::string* data);
