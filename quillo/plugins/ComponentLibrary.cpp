#include "quillo/plugins/ComponentLibrary.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

bool ReadOwnMemory(const void* address, void* out, std::size_t size) {
  if (size == 0) return true;
  if (!address) return false;
  iovec local{out, size};
  iovec remote{const_cast<void*>(address), size};
  const ssize_t read = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  return read == static_cast<ssize_t>(size);
}

bool CopyTextAt(const void* address, std::size_t limit, AnsiString& text) {
  text.clear();
  if (!address) return false;
  // Read page by page, so a text that ends just before an unmapped page still reads.
  constexpr std::size_t Page = 4096;
  auto at = reinterpret_cast<std::uintptr_t>(address);
  std::vector<char> chunk(Page);
  while (text.size() < limit) {
    const std::size_t toPageEnd = Page - (at % Page);
    const std::size_t want = std::min(toPageEnd, limit - text.size());
    if (!ReadOwnMemory(reinterpret_cast<const void*>(at), chunk.data(), want)) return false;
    const auto end = std::find(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(want), '\0');
    text.append(chunk.data(), static_cast<std::size_t>(end - chunk.begin()));
    if (end != chunk.begin() + static_cast<std::ptrdiff_t>(want)) return true;
    at += want;
  }
  text.clear();
  return false;
}

const char* LibraryFaultText(LibraryFault fault) {
  switch (fault) {
    case LibraryFault::None: return "";
    case LibraryFault::NoProcess: return "no QLCPROCESS export";
    case LibraryFault::NoDescription: return "no QLCDESC or QLCGETDESC export";
    case LibraryFault::BadDescription: return "description unreadable or without NUL within 64 KB";
  }
  return "";
}

LibraryFault LoadComponentDesc(HMODULE module, AnsiString& description) {
  description.clear();
  if (!GetProcAddress(module, QLC_EXPORT_PROCESS)) return LibraryFault::NoProcess;
  const void* text = nullptr;
  if (FARPROC cell = GetProcAddress(module, QLC_EXPORT_DESC)) {
    // The exported cell holds the text's address.
    if (!ReadOwnMemory(reinterpret_cast<const void*>(cell), &text, sizeof text)) return LibraryFault::BadDescription;
  } else if (FARPROC get = GetProcAddress(module, QLC_EXPORT_GETDESC)) {
    text = reinterpret_cast<QLCGETDESC_FN>(get)();
  } else {
    return LibraryFault::NoDescription;
  }
  return CopyTextAt(text, MaxDescriptionBytes, description) ? LibraryFault::None : LibraryFault::BadDescription;
}
