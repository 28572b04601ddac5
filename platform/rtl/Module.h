#pragma once
// Modules: a module handle is the address its file is mapped at, as on Windows.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

// The handle of the module (program or shared library) that holds the given code or data.
HMODULE ModuleOfAddress(const void* address);

// The full path of the module's file; a null handle names the program itself.
AnsiString ModuleFileName(HMODULE module);
DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size);
