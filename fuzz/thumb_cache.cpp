// Thumbnail cache files from untrusted bytes, as the image browser meets them in any folder it
// shows. The input is the file; its first byte's low two bits also stretch the file to that
// many sections more (a zero-filled tail), so continuation words have a chain to follow.
// Properties: opening never fails on a regular file; every entry the input names is looked up
// with its own time and size, and a hit gives a thumbnail of at most 120 x 90 with a positive
// full size; a thumbnail can always be stored; the file written on closing opens again and
// still gives the stored thumbnail back.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/files/ThumbCache.h"
#include "vorlen/core/Buffer.h"

namespace {

std::int32_t IntAt(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                   std::uint32_t{p[3]} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = fuzz::ScratchFolder("thumb_cache") + "/";
  const std::string path = folder + ThumbCache::kFileName;
  fuzz::WriteFile(path, data, size);
  if (size > 0 && (data[0] & 3) != 0) {
    const std::int64_t length = (data[0] & 3) * ThumbCache::kSectionSize + ThumbCache::kIndexSize;
    if (static_cast<std::int64_t>(size) < length) CHECK(truncate(path.c_str(), length) == 0);
  }

  ThumbCache cache;
  CHECK(cache.Open(folder));
  CHECK(cache.SectionCount() >= 1);
  for (std::size_t at = 0; at + ThumbCache::kEntrySize <= size && at < ThumbCache::kIndexSize - 4;
       at += ThumbCache::kEntrySize) {
    const std::uint8_t* entry = data + at;
    const void* end = std::memchr(entry + 1, 0, ThumbCacheEntry::kNameBytes);
    if (end == nullptr) continue;
    const std::string name(reinterpret_cast<const char*>(entry + 1));
    Buffer thumb;
    int fullWidth = 0, fullHeight = 0;
    if (cache.Fetch(name, IntAt(entry + 260), IntAt(entry + 264), thumb, fullWidth, fullHeight)) {
      CHECK(thumb.Width() >= 1 && thumb.Width() <= 120 && thumb.Height() >= 1 && thumb.Height() <= 90);
      CHECK(fullWidth >= 1 && fullHeight >= 1);
    }
  }
  Buffer stored;
  stored.Alloc(Pair<int>(7, 5));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) *stored.At(x, y) = static_cast<uint>(x * 0x10203 + y * 0x30201);
  CHECK(cache.Store("fuzz-stored.png", 42, 43, stored, 70, 50));
  cache.Close();

  ThumbCache again;
  CHECK(again.Open(folder));
  Buffer back;
  int fullWidth = 0, fullHeight = 0;
  CHECK(again.Fetch("fuzz-stored.png", 42, 43, back, fullWidth, fullHeight));
  CHECK(back.Width() == 7 && back.Height() == 5 && fullWidth == 70 && fullHeight == 50);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) CHECK(*back.At(x, y) == (*stored.At(x, y) & 0xFFFFFF));
  again.Close();
  unlink(path.c_str());
  return 0;
}
