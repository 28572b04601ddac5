#pragma once
// The active keyboard layout, its language identifier in the low word: what the host reports
// (on X the layout of the keyboard's group, followed as the user switches it; US English,
// 1033, until a host reports one). Tests set it as a host would.

#include <cstdint>

#include "platform/gdi/WinDefs.h"

using HKL = std::uintptr_t;
HKL GetKeyboardLayout(DWORD thread);
void SetKeyboardLayoutLanguage(WORD language);
