#include "platform/rtl/HandleStorage.h"

#include <deque>
#include <map>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QUILLO_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define QUILLO_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define QUILLO_POISON(block, size) ((void)(block), (void)(size))
#define QUILLO_UNPOISON(block, size) ((void)(block), (void)(size))
#endif

namespace {

// How many freed blocks of one size rest before the oldest of them is used again.
constexpr std::size_t kRestingBlocks = 4096;

// Freed blocks by size, oldest first. Objects may end during static destruction, so the
// table is never destroyed; the blocks it holds stay reachable.
struct RestingBlocks {
  std::mutex mutex;
  std::map<std::size_t, std::deque<void*>> bySize;
};

RestingBlocks& Resting() {
  alignas(RestingBlocks) static unsigned char place[sizeof(RestingBlocks)];
  static RestingBlocks* table = ::new (place) RestingBlocks;
  return *table;
}

}  // namespace

void* HandleStorage::operator new(std::size_t size) {
  RestingBlocks& resting = Resting();
  {
    std::lock_guard<std::mutex> lock(resting.mutex);
    std::deque<void*>& blocks = resting.bySize[size];
    if (blocks.size() > kRestingBlocks) {
      void* block = blocks.front();
      blocks.pop_front();
      QUILLO_UNPOISON(block, size);
      return block;
    }
  }
  return ::operator new(size);
}

void HandleStorage::operator delete(void* block, std::size_t size) noexcept {
  if (!block) return;
  RestingBlocks& resting = Resting();
  std::lock_guard<std::mutex> lock(resting.mutex);
  try {
    resting.bySize[size].push_back(block);
  } catch (const std::bad_alloc&) {
    ::operator delete(block);  // no room to rest it: the block goes back at once
    return;
  }
  QUILLO_POISON(block, size);
}
