#pragma once
// Loading a component library and taking its description text. Components are other people's
// code running in the program's own process: the description is copied through a read that
// fails on a bad address instead of faulting, and stops at 64 KB.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Module.h"
#include "quillo/plugins/ComponentApi.h"

// The most the description text may take, its terminating NUL included.
constexpr std::size_t MaxDescriptionBytes = 64 * 1024;

// Copies size bytes at address of this process into out; false when any of them cannot be
// read.
bool ReadOwnMemory(const void* address, void* out, std::size_t size);

// The zero-terminated text at address, at most limit bytes with its NUL; false when it cannot
// be read or has no NUL within the limit.
bool CopyTextAt(const void* address, std::size_t limit, AnsiString& text);

enum class LibraryFault { None, NoProcess, NoDescription, BadDescription };
const char* LibraryFaultText(LibraryFault fault);

// The description of a loaded library ("QLCDESC", else "QLCGETDESC") when it is a component
// (it also exports "QLCPROCESS").
LibraryFault LoadComponentDesc(HMODULE module, AnsiString& description);
