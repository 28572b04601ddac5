#pragma once
// Modules: a module handle is the address its file is mapped at, as on Windows.
// Loading, unloading and looking up exports go through the dynamic loader.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

// The handle of the module (program or shared library) that holds the given code or data.
HMODULE ModuleOfAddress(const void* address);

// The full path of the module's file; a null handle names the program itself.
AnsiString ModuleFileName(HMODULE module);
DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size);

// The handle of a module already loaded, by file name (with or without its folder); a null
// name answers the program. Null when no such module is loaded. (GetModuleHandle answers
// through this.)
HMODULE LoadedModule(LPCSTR name);

// Loads a shared library (dlopen): a name without a folder is looked for in the program's
// folder first, then where the system looks. Each successful call must be matched by one
// FreeLibrary; the library is unloaded with the last. Null on failure (last error
// ERROR_MOD_NOT_FOUND).
HMODULE LoadLibrary(LPCSTR fileName);
BOOL FreeLibrary(HMODULE module);

// void (*)() rather than Windows' INT_PTR (*)(): callers cast it to the export's real
// type, and this is the one function type the compiler lets them cast without a warning.
using FARPROC = void (*)();
// An exported symbol of a loaded module (also of the program and of modules loaded by the
// system); null when it has none of that name.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
