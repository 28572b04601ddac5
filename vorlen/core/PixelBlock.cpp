#include "vorlen/core/PixelBlock.h"

#include <cstdint>
#include <cstdlib>

PixelBlock AlignPixelBlock(void* block) {
  auto* words = static_cast<uint*>(block);
  if (reinterpret_cast<std::uintptr_t>(block) % 8 == 4) return PixelBlock{words + 1, -1};
  return PixelBlock{words, 0};
}

PixelBlock ObtainPixelBlock(size_t words) {
  if (words == 0 || words > SIZE_MAX / sizeof(uint)) return PixelBlock{};
  void* block = std::malloc(words * sizeof(uint));
  if (block == nullptr) return PixelBlock{};
  return AlignPixelBlock(block);
}

void ReleasePixelBlock(uint* pixels, int ownership) {
  if (pixels == nullptr) return;
  std::free(ownership == -1 ? pixels - 1 : pixels);
}
