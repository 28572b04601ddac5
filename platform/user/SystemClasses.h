#pragma once
// Window classes every desktop has from the start: the standard and common controls, which
// live in layers above the window manager. Those layers add their registration functions
// once, while the library loads (a namespace-scope constant initialised from the call); each
// desktop that starts runs them all. Registering a class twice is harmless.

#include "platform/user/User.h"

using SystemClassRegistration = void (*)();

// Returns true, so that it can initialise a constant at namespace scope.
bool AddSystemClassRegistration(SystemClassRegistration registration);
void RegisterSystemClasses();

// Registers one such class: its window procedure, class styles and cursor.
void RegisterControlClass(LPCSTR name, WNDPROC procedure, UINT style, LPCSTR cursor = IDC_ARROW);
