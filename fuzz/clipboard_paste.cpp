// A paste from untrusted clipboard bytes: the input is the CF_DIB block another program put
// on the clipboard. It is checked and decoded as Paste does; what decodes is written as the
// program's own clipboard DIB and must decode again to the same pixel words.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "quillo/files/ClipboardDib.h"
#include "vorlen/core/Buffer.h"

namespace {

// Larger pictures are legal but only slow the search down.
constexpr long long kMostPixels = 256 * 256;

std::vector<uint> Words(const Buffer& b) {
  std::vector<uint> out;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x) out.push_back(*b.At(x, y));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A block of exactly the input's size, so that a read past it is caught.
  std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size ? size : 1]);
  if (size) std::memcpy(block.get(), data, size);
  ClipboardDibLayout layout;
  if (!CheckClipboardDib(block.get(), size, layout)) {
    Buffer none;
    if (PictureFromClipboardDib(block.get(), size, none)) std::abort();
    return 0;
  }
  if (static_cast<long long>(layout.width) * layout.height > kMostPixels) return 0;
  Buffer picture;
  if (!PictureFromClipboardDib(block.get(), size, picture)) return 0;
  if (picture.Width() != layout.width || picture.Height() != layout.height) std::abort();
  // Fully transparent pixels are exactly 0xFF000000, so a paste's colour key skips them.
  const std::vector<uint> words = Words(picture);
  for (uint w : words)
    if ((w >> 24) == 0xFF && w != 0xFF000000u) std::abort();
  const std::vector<std::uint8_t> own = ClipboardDibFromPicture(picture, picture.rect, nullptr);
  Buffer again;
  if (!PictureFromClipboardDib(own.data(), own.size(), again)) std::abort();
  // A picture with nothing visible is read back as opaque; every other comes back as it was.
  bool anyVisible = false;
  for (uint w : words) anyVisible = anyVisible || w != 0xFF000000u;
  if (anyVisible && Words(again) != words) std::abort();
  picture.Free();
  again.Free();
  return 0;
}
