#include "platform/rtl/Module.h"

#include <dlfcn.h>
#include <elf.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Whether the library file is a regular file holding every segment its program headers map.
// The loader opens a pipe or a device and waits on it, and maps a cut file's segments past
// its end, which faults when they are touched: neither may reach it.
bool HoldsItsSegments(const AnsiString& path) {
  const int handle = TryOpenRegularFile(path, nullptr);
  if (handle < 0) return false;
  struct stat info {};
  Elf64_Ehdr header {};
  bool whole = ::fstat(handle, &info) == 0 && ::pread(handle, &header, sizeof header, 0) == sizeof header &&
               header.e_phentsize == sizeof(Elf64_Phdr) && header.e_phnum < 4096;
  for (unsigned i = 0; whole && i < header.e_phnum; ++i) {
    Elf64_Phdr segment {};
    const off_t at = static_cast<off_t>(header.e_phoff + i * sizeof segment);
    whole = header.e_phoff < static_cast<std::uint64_t>(info.st_size) &&
            ::pread(handle, &segment, sizeof segment, at) == sizeof segment &&
            (segment.p_type != PT_LOAD || (segment.p_offset <= static_cast<std::uint64_t>(info.st_size) &&
                                           segment.p_filesz <= static_cast<std::uint64_t>(info.st_size) - segment.p_offset));
  }
  ::close(handle);
  return whole;
}

AnsiString CanonicalPath(const char* path) {
  char resolved[PATH_MAX];
  if (path != nullptr && ::realpath(path, resolved) != nullptr) return resolved;
  return path != nullptr ? AnsiString(path) : AnsiString();
}

HMODULE ProgramModule() {
  return ModuleOfAddress(reinterpret_cast<const void*>(::getauxval(AT_PHDR)));
}

// The libraries LoadLibrary opened, by handle, with the loader's handle and the number of
// loads not yet matched by FreeLibrary.
struct LoadedLibrary {
  void* loader = nullptr;
  int loads = 0;
};

class LibraryTable {
public:
  std::mutex mutex;
  std::map<HMODULE, LoadedLibrary> libraries;
};

LibraryTable& Libraries() {
  static Everlasting<LibraryTable> table;
  return *table;
}

HMODULE ModuleOfLoaderHandle(void* loader) {
  struct link_map* map = nullptr;
  if (::dlinfo(loader, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return nullptr;
  return ModuleOfAddress(map->l_ld);
}

struct ModuleSearch {
  AnsiString wanted;  // a full path, or a bare file name
  HMODULE found = nullptr;
};

int MatchLoadedObject(struct dl_phdr_info* info, size_t, void* data) {
  ModuleSearch& search = *static_cast<ModuleSearch*>(data);
  if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
  const bool byName = search.wanted.find('/') == AnsiString::npos;
  const bool match = byName ? ExtractFileName(info->dlpi_name) == search.wanted
                            : CanonicalPath(info->dlpi_name) == CanonicalPath(search.wanted.c_str());
  if (!match) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i)
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      search.found = ModuleOfAddress(reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr));
      return 1;
    }
  return 0;
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
  if (info.dli_fname[0] == '\0' || ProgramModule() == module)
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

HMODULE LoadedModule(LPCSTR name) {
  if (name == nullptr) return ProgramModule();
  ModuleSearch search{name};
  ::dl_iterate_phdr(MatchLoadedObject, &search);
  if (search.found == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return search.found;
}

HMODULE LoadLibrary(LPCSTR fileName) {
  if (fileName == nullptr || fileName[0] == '\0') {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  AnsiString path = fileName;
  if (path.find('/') == AnsiString::npos) {
    const AnsiString beside = ExtractFilePath(ModuleFileName(nullptr)) + path;
    if (FileExists(beside)) path = beside;
  }
  if (path.find('/') != AnsiString::npos && !HoldsItsSegments(path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* loader = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const HMODULE module = loader != nullptr ? ModuleOfLoaderHandle(loader) : nullptr;
  if (module == nullptr) {
    if (loader != nullptr) ::dlclose(loader);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  LibraryTable& table = Libraries();
  std::lock_guard<std::mutex> guard(table.mutex);
  LoadedLibrary& entry = table.libraries[module];
  if (entry.loads > 0) ::dlclose(loader);  // the loader counts each open; one is kept per entry
  else entry.loader = loader;
  ++entry.loads;
  return module;
}

BOOL FreeLibrary(HMODULE module) {
  LibraryTable& table = Libraries();
  void* loader = nullptr;
  {
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto found = table.libraries.find(module);
    if (found == table.libraries.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (--found->second.loads > 0) return TRUE;
    loader = found->second.loader;
    table.libraries.erase(found);
  }
  // Unloading runs the library's destructors, which may call back in here: not under the lock.
  ::dlclose(loader);
  return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  // Names only: a "name" below 0x10000 is an export ordinal, which ELF does not have.
  if (module == nullptr || reinterpret_cast<std::uintptr_t>(name) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* loader = nullptr;
  bool borrowed = false;
  {
    LibraryTable& table = Libraries();
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto found = table.libraries.find(module);
    if (found != table.libraries.end()) loader = found->second.loader;
  }
  if (loader == nullptr) {
    loader = module == ProgramModule()
                 ? ::dlopen(nullptr, RTLD_LAZY)
                 : ::dlopen(ModuleFileName(module).c_str(), RTLD_LAZY | RTLD_NOLOAD);
    borrowed = true;
  }
  void* symbol = loader != nullptr ? ::dlsym(loader, name) : nullptr;
  if (borrowed && loader != nullptr) ::dlclose(loader);
  // As on Windows, only the module's own exports count, not those of the libraries it uses.
  if (symbol == nullptr || ModuleOfAddress(symbol) != module) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}
