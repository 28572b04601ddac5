#include "quillo/files/ThumbCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "vorlen/core/Buffer.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::int32_t Low32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t GetInt(const unsigned char* p) {
  const std::uint32_t v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                          std::uint32_t{p[3]} << 24;
  return static_cast<std::int32_t>(v);
}

void PutInt(unsigned char* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// Reads or writes the whole of the bytes at the offset; false on anything short.
bool ReadAt(int fd, unsigned char* data, std::size_t count, std::int64_t offset) {
  while (count > 0) {
    const ssize_t got = pread(fd, data, count, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    data += got;
    count -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

bool WriteAt(int fd, const unsigned char* data, std::size_t count, std::int64_t offset) {
  while (count > 0) {
    const ssize_t put = pwrite(fd, data, count, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    count -= static_cast<std::size_t>(put);
    offset += put;
  }
  return true;
}

bool HasTerminator(const ThumbCacheEntry& entry) {
  return std::memchr(entry.name.data(), 0, entry.name.size()) != nullptr;
}

// Whether an entry marked in use could have been written by us: anything else would send a
// read past its slot or a name past its field, so it counts as free.
bool Plausible(const ThumbCacheEntry& entry) {
  if (!HasTerminator(entry) || entry.name[0] == 0) return false;
  if (std::memchr(entry.name.data(), '/', std::strlen(entry.name.data())) != nullptr) return false;
  return entry.thumbWidth >= 1 && entry.thumbWidth <= ThumbCache::kThumbWidth && entry.thumbHeight >= 1 &&
         entry.thumbHeight <= ThumbCache::kThumbHeight && entry.fullWidth >= 1 && entry.fullHeight >= 1;
}

ThumbCacheEntry DecodeEntry(const unsigned char* p) {
  ThumbCacheEntry entry;
  entry.flags = p[0] & 1;
  std::memcpy(entry.name.data(), p + 1, ThumbCacheEntry::kNameBytes);
  entry.time = GetInt(p + 260);
  entry.size = GetInt(p + 264);
  entry.thumbWidth = GetInt(p + 268);
  entry.thumbHeight = GetInt(p + 272);
  entry.fullWidth = GetInt(p + 276);
  entry.fullHeight = GetInt(p + 280);
  if (entry.InUse() && !Plausible(entry)) entry.flags = 0;
  return entry;
}

void EncodeEntry(const ThumbCacheEntry& entry, unsigned char* p) {
  p[0] = entry.flags & 1;
  std::memcpy(p + 1, entry.name.data(), ThumbCacheEntry::kNameBytes);
  PutInt(p + 260, entry.time);
  PutInt(p + 264, entry.size);
  PutInt(p + 268, entry.thumbWidth);
  PutInt(p + 272, entry.thumbHeight);
  PutInt(p + 276, entry.fullWidth);
  PutInt(p + 280, entry.fullHeight);
}

}  // namespace

ThumbCache::~ThumbCache() { Close(); }

std::int64_t ThumbCache::SlotOffset(int slot) {
  const std::int64_t k = slot / kEntriesPerSection;
  const std::int64_t e = slot % kEntriesPerSection;
  return k * kSectionSize + kIndexSize + e * kSlotSize;
}

bool ThumbCache::Open(const AnsiString& folder) {
  Close();
  path_ = folder + kFileName;
  // No following links and no waiting on a FIFO: the name must be a regular file of its own.
  int fd = open(path_.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  bool created = false;
  if (fd < 0 && errno == ENOENT) {
    fd = open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    created = fd >= 0;
  }
  if (fd < 0) return false;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  sections_.assign(1, Section{});
  if (created) {
    if (!WriteIndex(0)) {
      close(fd_);
      fd_ = -1;
      unlink(path_.c_str());
      sections_.clear();
      return false;
    }
    return true;
  }
  // A first block that cannot be read whole leaves an empty index, written over it on closing.
  const std::int64_t fileSize = status.st_size;
  for (int k = 0; k < kMaxSections; ++k) {
    if (!ReadSection(fileSize, k)) break;
  }
  return true;
}

// Reads index block k into the last section; answers whether block k + 1 exists: its
// continuation word says so and the file is long enough to hold its index.
bool ThumbCache::ReadSection(std::int64_t fileSize, int k) {
  Bytes block(kIndexSize);
  if (!ReadAt(fd_, block.data(), block.size(), k * kSectionSize)) {
    sections_.back() = Section{};
    return false;
  }
  Section& section = sections_.back();
  for (int e = 0; e < kEntriesPerSection; ++e) section[e] = DecodeEntry(block.data() + e * kEntrySize);
  const bool more = GetInt(block.data() + kIndexSize - 4) != 0;
  if (!more || (k + 1) * kSectionSize + kIndexSize > fileSize || k + 1 >= kMaxSections) return false;
  sections_.emplace_back();
  return true;
}

bool ThumbCache::WriteIndex(int k) {
  Bytes block(kIndexSize, 0);
  for (int e = 0; e < kEntriesPerSection; ++e) EncodeEntry(sections_[k][e], block.data() + e * kEntrySize);
  PutInt(block.data() + kIndexSize - 4, k + 1 < SectionCount() ? 1 : 0);
  return WriteAt(fd_, block.data(), block.size(), k * kSectionSize);
}

// A new section goes at its own offset, whatever the file's length: the file may end early
// (slots not yet written) or carry bytes past the chain.
bool ThumbCache::AppendSection() {
  if (SectionCount() >= kMaxSections) return false;
  sections_.emplace_back();
  const int k = SectionCount() - 1;
  // Written with a zero continuation word; the previous block's word is set on closing.
  Bytes block(kIndexSize, 0);
  if (!WriteAt(fd_, block.data(), block.size(), k * kSectionSize)) {
    sections_.pop_back();
    return false;
  }
  return true;
}

void ThumbCache::Close() {
  if (fd_ >= 0) {
    bool anyInUse = false;
    for (int k = 0; k < SectionCount(); ++k) {
      WriteIndex(k);
      for (const ThumbCacheEntry& entry : sections_[k]) anyInUse = anyInUse || entry.InUse();
    }
    close(fd_);
    fd_ = -1;
    if (!anyInUse) unlink(path_.c_str());
  }
  sections_.clear();
}

ThumbCacheEntry* ThumbCache::FindThumbEntry(const AnsiString& name, int& slot) {
  for (int k = 0; k < SectionCount(); ++k) {
    for (int e = 0; e < kEntriesPerSection; ++e) {
      ThumbCacheEntry& entry = sections_[k][e];
      const bool match = name.empty() ? !entry.InUse() : entry.InUse() && name == entry.name.data();
      if (match) {
        slot = k * kEntriesPerSection + e;
        return &entry;
      }
    }
  }
  return nullptr;
}

bool ThumbCache::Fetch(const AnsiString& name, std::int64_t time, std::int64_t size, Buffer& thumb,
                       int& fullWidth, int& fullHeight) {
  if (!IsOpen() || name.empty()) return false;
  int slot = 0;
  ThumbCacheEntry* entry = FindThumbEntry(name, slot);
  if (entry == nullptr) return false;
  if (entry->time != Low32(time) || entry->size != Low32(size)) {
    entry->flags = 0;
    return false;
  }
  Bytes pixels(kSlotSize);
  if (!ReadAt(fd_, pixels.data(), pixels.size(), SlotOffset(slot))) {
    // The slot never made it to the file: the entry is refused and the thumbnail made again.
    entry->flags = 0;
    return false;
  }
  thumb.Alloc(Pair<int>(entry->thumbWidth, entry->thumbHeight));
  if (thumb.pixels == nullptr) return false;
  for (int y = 0; y < entry->thumbHeight; ++y) {
    const unsigned char* p = pixels.data() + y * kThumbWidth * 3;
    uint* out = thumb.At(thumb.rect.left, thumb.rect.top + y);
    for (int x = 0; x < entry->thumbWidth; ++x, p += 3) out[x] = uint{p[0]} << 16 | uint{p[1]} << 8 | p[2];
  }
  fullWidth = entry->fullWidth;
  fullHeight = entry->fullHeight;
  return true;
}

bool ThumbCache::Store(const AnsiString& name, std::int64_t time, std::int64_t size, const Buffer& thumb,
                       int fullWidth, int fullHeight) {
  if (!IsOpen() || name.empty() || name.size() >= ThumbCacheEntry::kNameBytes) return false;
  const int w = thumb.Width();
  const int h = thumb.Height();
  if (thumb.pixels == nullptr || w < 1 || w > kThumbWidth || h < 1 || h > kThumbHeight) return false;
  int slot = 0;
  ThumbCacheEntry* entry = FindThumbEntry("", slot);
  if (entry == nullptr) {
    if (!AppendSection()) return false;
    slot = (SectionCount() - 1) * kEntriesPerSection;
    entry = &sections_.back()[0];
  }
  Bytes pixels(kSlotSize, 0);
  for (int y = 0; y < h; ++y) {
    unsigned char* p = pixels.data() + y * kThumbWidth * 3;
    const uint* in = thumb.At(thumb.rect.left, thumb.rect.top + y);
    for (int x = 0; x < w; ++x, p += 3) {
      p[0] = static_cast<unsigned char>(in[x] >> 16);
      p[1] = static_cast<unsigned char>(in[x] >> 8);
      p[2] = static_cast<unsigned char>(in[x]);
    }
  }
  // The slot is in the file before its entry is in use: a crash leaves at worst a free entry.
  if (!WriteAt(fd_, pixels.data(), pixels.size(), SlotOffset(slot))) return false;
  *entry = ThumbCacheEntry{};
  entry->thumbWidth = w;
  entry->thumbHeight = h;
  entry->fullWidth = fullWidth;
  entry->fullHeight = fullHeight;
  std::memcpy(entry->name.data(), name.c_str(), name.size());
  entry->time = Low32(time);
  entry->size = Low32(size);
  entry->flags = 1;
  return true;
}

void ThumbCache::PurgeMissing(const AnsiString& folder) {
  for (Section& section : sections_) {
    for (ThumbCacheEntry& entry : section) {
      struct stat status {};
      if (entry.InUse() && lstat((folder + entry.name.data()).c_str(), &status) != 0) entry.flags = 0;
    }
  }
}

ThumbCache& TheThumbCache() {
  static ThumbCache cache;
  return cache;
}
