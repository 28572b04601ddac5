#include "vorlen/core/PixelBlock.h"

#include <cstdint>
#include <cstdlib>

#include <malloc.h>

#include <sys/mman.h>

namespace {

constexpr size_t kHugePageBytes = size_t(2) << 20;
constexpr size_t kLargeBlockBytes = size_t(8) << 20;

}  // namespace

PixelBlock AlignPixelBlock(void* block) {
  auto* words = static_cast<uint*>(block);
  if (reinterpret_cast<std::uintptr_t>(block) % 8 == 4) return PixelBlock{words + 1, -1};
  return PixelBlock{words, 0};
}

PixelBlock ObtainPixelBlock(size_t words) {
  if (words == 0 || words > SIZE_MAX / sizeof(uint)) return PixelBlock{};
  const size_t bytes = words * sizeof(uint);
  void* block = nullptr;
  if (bytes >= kLargeBlockBytes) {
    // A large picture is first touched in huge pages where the system offers them: a
    // fraction of the page faults and of the address translations of small pages.
    const size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    block = std::aligned_alloc(kHugePageBytes, rounded);
    if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);
  } else {
    block = std::malloc(bytes);
  }
  if (block == nullptr) return PixelBlock{};
  return AlignPixelBlock(block);
}

void ReleasePixelBlock(uint* pixels, int ownership) {
  if (pixels == nullptr) return;
  std::free(ownership == -1 ? pixels - 1 : pixels);
}

size_t PixelBlockWords(const uint* pixels, int ownership) {
  if (pixels == nullptr) return 0;
  const uint* block = ownership == -1 ? pixels - 1 : pixels;
  const size_t words = malloc_usable_size(const_cast<uint*>(block)) / sizeof(uint);
  return ownership == -1 ? words - 1 : words;
}

void ReleasePixelBlockPages(uint* from, uint* to) {
  // Whole huge pages only: splitting one costs more than the memory it would give back, and
  // leaves the system fewer huge pages for the next large picture.
  const auto page = static_cast<std::uintptr_t>(kHugePageBytes);
  const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(from) + page - 1) / page * page;
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(to) / page * page;
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}
