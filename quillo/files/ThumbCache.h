#pragma once
// The thumbnail cache of one folder, "browser.ql" inside it: a chain of sections, each an index
// of 128 entries followed by 128 slots of 120 x 90 pixels at 3 bytes, so a second visit to a
// folder shows its thumbnails without opening the images. The whole index lives in memory
// while the cache is open and is written back on Close; slots are written at once, each
// flushed before its entry is marked in use. Other programs may have written the file: every
// entry is checked as it is read, and one that could not have been written by us counts as
// free and is made again.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/AnsiString.h"

class Buffer;

// One entry of a section's index (284 bytes in the file).
struct ThumbCacheEntry {
  static constexpr int kNameBytes = 259;  // NUL-terminated: at most 258 characters
  std::uint8_t flags = 0;                 // bit 0: in use
  std::array<char, kNameBytes> name{};
  std::int32_t time = 0;  // modification time of the image, low 32 bits
  std::int32_t size = 0;  // size of the image file, low 32 bits
  std::int32_t thumbWidth = 0;
  std::int32_t thumbHeight = 0;
  std::int32_t fullWidth = 0;
  std::int32_t fullHeight = 0;

  bool InUse() const { return (flags & 1) != 0; }
};

class ThumbCache {
public:
  static constexpr int kEntrySize = 284;
  static constexpr int kEntriesPerSection = 128;
  static constexpr int kIndexSize = kEntriesPerSection * kEntrySize + 4;  // 36,356
  static constexpr int kThumbWidth = 120;
  static constexpr int kThumbHeight = 90;
  static constexpr int kSlotSize = kThumbWidth * kThumbHeight * 3;  // 32,400
  static constexpr std::int64_t kSectionSize = kIndexSize + std::int64_t{kEntriesPerSection} * kSlotSize;
  // A chain longer than this is not followed: its index alone would take tens of megabytes.
  static constexpr int kMaxSections = 1024;
  static constexpr const char* kFileName = "browser.ql";

  ThumbCache() = default;
  ~ThumbCache();
  ThumbCache(const ThumbCache&) = delete;
  ThumbCache& operator=(const ThumbCache&) = delete;

  // Opens or creates folder + "browser.ql" (folder ends in "/"). Anything but a regular file
  // under that name (a folder, a FIFO, a link) gives no cache, as does a file that cannot be
  // opened or made. Answers whether a cache is open.
  bool Open(const AnsiString& folder);
  // Writes the index back and closes; a cache with no entry in use is deleted.
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The in-use entry named exactly name (an empty name: the first free entry) and its slot
  // number, or null.
  ThumbCacheEntry* FindThumbEntry(const AnsiString& name, int& slot);

  // The cached thumbnail of the file when its entry matches time and size: thumb gets the
  // pixels, fullWidth/fullHeight the image's size. An entry that no longer matches is freed.
  bool Fetch(const AnsiString& name, std::int64_t time, std::int64_t size, Buffer& thumb, int& fullWidth,
             int& fullHeight);
  // Stores a thumbnail (at most 120 x 90) for the file, in a free entry or a new section.
  // Names too long for an entry are not stored.
  bool Store(const AnsiString& name, std::int64_t time, std::int64_t size, const Buffer& thumb, int fullWidth,
             int fullHeight);
  // Frees every in-use entry whose file, folder + name, no longer exists.
  void PurgeMissing(const AnsiString& folder);

  int SectionCount() const { return static_cast<int>(sections_.size()); }
  static std::int64_t SlotOffset(int slot);

private:
  using Section = std::array<ThumbCacheEntry, kEntriesPerSection>;
  bool ReadSection(std::int64_t fileSize, int k);
  bool AppendSection();
  bool WriteIndex(int k);

  int fd_ = -1;
  AnsiString path_;
  std::vector<Section> sections_;
};

// The program's one cache, opened by the image browser for the folder it shows.
ThumbCache& TheThumbCache();
