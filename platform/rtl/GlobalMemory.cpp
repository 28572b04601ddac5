#include "platform/rtl/GlobalMemory.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <sstream>
#include <string>
#include <unordered_map>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/LastError.h"

namespace {

struct Block {
  std::unique_ptr<unsigned char[]> bytes;
  SIZE_T size = 0;
  int locks = 0;
};

// Every live block by its address. Guarded, since nothing stops a worker from using it.
class BlockTable {
public:
  HGLOBAL Add(SIZE_T bytes, bool zero) {
    Block block;
    try {
      block.bytes = zero ? std::make_unique<unsigned char[]>(std::max<SIZE_T>(bytes, 1))
                         : std::make_unique_for_overwrite<unsigned char[]>(std::max<SIZE_T>(bytes, 1));
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    block.size = bytes;
    const HGLOBAL handle = block.bytes.get();
    std::lock_guard<std::mutex> guard(mutex_);
    blocks_.emplace(handle, std::move(block));
    return handle;
  }

  // Runs f on the block of a handle under the lock; false when there is none.
  template <typename F>
  bool With(HGLOBAL handle, F f) {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto found = blocks_.find(handle);
    if (found == blocks_.end()) return false;
    f(found->second);
    return true;
  }

  bool Remove(HGLOBAL handle) {
    std::lock_guard<std::mutex> guard(mutex_);
    return blocks_.erase(handle) == 1;
  }

private:
  std::mutex mutex_;
  std::unordered_map<HGLOBAL, Block> blocks_;
};

BlockTable& Blocks() {
  static Everlasting<BlockTable> table;  // lives to the process's end, after any other static user
  return *table;
}

struct MemInfo {
  std::uint64_t total = 0, available = 0, swapTotal = 0, swapFree = 0;
};

MemInfo ReadMemInfo() {
  MemInfo info;
  std::ifstream file("/proc/meminfo");
  std::string line;
  bool sawAvailable = false;
  std::uint64_t freeKB = 0;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    std::string key;
    std::uint64_t kb = 0;
    fields >> key >> kb;
    if (key == "MemTotal:") info.total = kb * 1024;
    if (key == "MemAvailable:") {
      info.available = kb * 1024;
      sawAvailable = true;
    }
    if (key == "MemFree:") freeKB = kb;
    if (key == "SwapTotal:") info.swapTotal = kb * 1024;
    if (key == "SwapFree:") info.swapFree = kb * 1024;
  }
  if (!sawAvailable) info.available = freeKB * 1024;
  return info;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  MEMORYSTATUSEX status{sizeof status, 0, 0, 0, 0, 0, 0, 0, 0};
  GlobalMemoryStatusEx(&status);
  if (status.ullTotalPageFile != 0 && bytes > status.ullTotalPageFile) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const HGLOBAL handle = Blocks().Add(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (handle == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  SIZE_T oldSize = 0;
  if (!Blocks().With(memory, [&](Block& block) { oldSize = block.size; })) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const HGLOBAL moved = GlobalAlloc(flags | GMEM_ZEROINIT, bytes);
  if (moved == nullptr) return nullptr;
  std::memcpy(const_cast<void*>(moved), memory, std::min(oldSize, bytes));
  Blocks().Remove(memory);
  return moved;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (memory == nullptr) return nullptr;
  if (Blocks().Remove(memory)) return nullptr;
  SetLastError(ERROR_INVALID_HANDLE);
  return memory;
}

LPVOID GlobalLock(HGLOBAL memory) {
  LPVOID address = nullptr;
  if (!Blocks().With(memory, [&](Block& block) {
        ++block.locks;
        address = block.bytes.get();
      }))
    SetLastError(ERROR_INVALID_HANDLE);
  return address;
}

BOOL GlobalUnlock(HGLOBAL memory) {
  int locks = 0;
  if (!Blocks().With(memory, [&](Block& block) {
        if (block.locks > 0) --block.locks;
        locks = block.locks;
      })) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SetLastError(NO_ERROR);
  return locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  SIZE_T size = 0;
  if (!Blocks().With(memory, [&](Block& block) { size = block.size; })) SetLastError(ERROR_INVALID_HANDLE);
  return size;
}

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
  if (status == nullptr || status->dwLength != sizeof(MEMORYSTATUSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const MemInfo info = ReadMemInfo();
  status->ullTotalPhys = info.total;
  status->ullAvailPhys = std::min(info.available, info.total);
  status->ullTotalPageFile = info.total + info.swapTotal;
  status->ullAvailPageFile = status->ullAvailPhys + info.swapFree;
  status->dwMemoryLoad =
      info.total == 0 ? 0 : static_cast<DWORD>((info.total - status->ullAvailPhys) * 100 / info.total);
  // The address space a process may use: its limit, else the 47-bit user half.
  struct rlimit limit {};
  std::uint64_t virtualTotal = std::uint64_t{1} << 47;
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    virtualTotal = limit.rlim_cur;
  status->ullTotalVirtual = virtualTotal;
  status->ullAvailVirtual = virtualTotal;
  status->ullAvailExtendedVirtual = 0;
  return TRUE;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
  if (status == nullptr) return;
  MEMORYSTATUSEX ex{sizeof ex, 0, 0, 0, 0, 0, 0, 0, 0};
  GlobalMemoryStatusEx(&ex);
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwMemoryLoad = ex.dwMemoryLoad;
  status->dwTotalPhys = ex.ullTotalPhys;
  status->dwAvailPhys = ex.ullAvailPhys;
  status->dwTotalPageFile = ex.ullTotalPageFile;
  status->dwAvailPageFile = ex.ullAvailPageFile;
  status->dwTotalVirtual = ex.ullTotalVirtual;
  status->dwAvailVirtual = ex.ullAvailVirtual;
}
