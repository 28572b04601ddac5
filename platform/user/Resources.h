#pragma once
// Resources embedded from a module's res/ folder at build time. The build generates a table
// per module and registers it at load; the module handle is the address the table's module
// is loaded at, so a library's resources are found through its own handle.

#include <cstddef>

#include "platform/gdi/WinDefs.h"

struct EmbeddedResource {
  const char* path;  // relative to res/, with '/'
  const unsigned char* data;
  std::size_t size;
};

// Registers a table ending with a null path; answers true so it can initialise a constant.
bool RegisterModuleResources(const char* module, const EmbeddedResource* table);

// The handle of the program itself (what a null module handle stands for).
HMODULE ProgramModule();
