#include "quillo/files/ColorCount.h"

#include <cstdint>
#include <memory>
#include <new>

#include "vorlen/core/Buffer.h"

namespace {

constexpr std::size_t kColourWords = (std::size_t{1} << 24) / 64;

}  // namespace

int CountPictureColors(const Buffer& picture) {
  if (picture.pixels == nullptr || picture.Width() <= 0 || picture.Height() <= 0) return 0;
  std::unique_ptr<std::uint64_t[]> seen(new (std::nothrow) std::uint64_t[kColourWords]());
  if (seen == nullptr) return 0;
  int distinct = 0;
  for (int y = picture.rect.top; y <= picture.rect.bottom; ++y) {
    const uint* pixel = picture.At(picture.rect.left, y);
    for (const uint* end = pixel + picture.Width(); pixel != end; ++pixel) {
      const uint colour = *pixel & 0x00FFFFFFu;
      std::uint64_t& word = seen[colour >> 6];
      const std::uint64_t bit = std::uint64_t{1} << (colour & 63);
      distinct += (word & bit) == 0;
      word |= bit;
    }
  }
  return distinct;
}
