#include "platform/rtl/Module.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/auxv.h>

#include <algorithm>

#include <cstring>

namespace {

AnsiString CanonicalPath(const char* path) {
  char resolved[PATH_MAX];
  if (path != nullptr && ::realpath(path, resolved) != nullptr) return resolved;
  return path != nullptr ? AnsiString(path) : AnsiString();
}

}  // namespace

HMODULE ModuleOfAddress(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0) return nullptr;
  return info.dli_fbase;
}

AnsiString ModuleFileName(HMODULE module) {
  if (module == nullptr) return CanonicalPath("/proc/self/exe");
  Dl_info info{};
  if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr) return AnsiString();
  // The loader may know the program by a relative name; the kernel knows its real path.
  const void* programHeaders = reinterpret_cast<const void*>(::getauxval(AT_PHDR));
  if (info.dli_fname[0] == '\0' || ModuleOfAddress(programHeaders) == module)
    return CanonicalPath("/proc/self/exe");
  return CanonicalPath(info.dli_fname);
}

DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const AnsiString path = ModuleFileName(module);
  // As on Windows: a name that does not fit is cut and the answer is the buffer's size.
  const DWORD length = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
  std::memcpy(buffer, path.data(), length);
  buffer[length] = '\0';
  return path.size() >= size ? size : length;
}
