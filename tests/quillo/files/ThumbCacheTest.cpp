// The thumbnail cache file: its exact bytes, matching, staleness, sections, and files that
// are damaged or are not files at all.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "quillo/files/ThumbCache.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"
#include "vorlen/core/Buffer.h"

namespace {

// "stem", i with at least `digits` digits, then "ext" (appended piece by piece: GCC's release
// warnings misjudge a literal joined to to_string).
std::string Numbered(const char* stem, int i, const char* ext, int digits = 1) {
  std::string number = std::to_string(i);
  while (static_cast<int>(number.size()) < digits) number.insert(number.begin(), '0');
  std::string name = stem;
  name += number;
  name += ext;
  return name;
}

namespace fs = std::filesystem;

constexpr std::int64_t kSection = 4183556;

std::int32_t IntAt(const std::string& bytes, std::size_t at) {
  return static_cast<std::int32_t>(std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
                                   std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 |
                                   std::uint32_t(std::uint8_t(bytes[at + 3])) << 24);
}

void PutIntAt(std::string& bytes, std::size_t at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// A thumbnail of w x h whose pixel (x, y) is Colour(x, y).
std::uint32_t Colour(int x, int y) { return static_cast<std::uint32_t>((x * 7 + y * 131) * 2654435761u) & 0xFFFFFF; }

void MakeThumb(Buffer& thumb, int w, int h) {
  thumb.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *thumb.At(x, y) = Colour(x, y);
}

class ThumbCacheTest : public ::testing::Test {
protected:
  std::string Folder() const { return home.Path() + "/"; }
  std::string CachePath() const { return Folder() + "browser.ql"; }
  std::string Bytes() const { return FileContents(CachePath()); }

  bool StoreSample(ThumbCache& cache, const std::string& name, int w = 30, int h = 20) {
    Buffer thumb;
    MakeThumb(thumb, w, h);
    return cache.Store(name, 1000, 2000, thumb, w * 10, h * 10);
  }

  TempHome home;
};

TEST_F(ThumbCacheTest, NewCacheIsOneEmptyIndexBlockAndGoesWhenUnused) {
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  EXPECT_EQ(fs::file_size(CachePath()), 36356u);
  EXPECT_EQ(Bytes(), std::string(36356, '\0'));
  cache.Close();
  EXPECT_FALSE(fs::exists(CachePath()));
}

TEST_F(ThumbCacheTest, EntryAndSlotLieAtTheirOffsets) {
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  Buffer thumb;
  MakeThumb(thumb, 3, 2);
  *thumb.At(0, 0) = 0x00112233;
  ASSERT_TRUE(cache.Store("pic.png", 0x123456789LL, 0x100000005LL, thumb, 300, 200));
  cache.Close();
  const std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), 36356u + 32400u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(std::string(bytes.data() + 1), "pic.png");
  EXPECT_EQ(IntAt(bytes, 260), 0x23456789);  // the low 32 bits
  EXPECT_EQ(IntAt(bytes, 264), 5);
  EXPECT_EQ(IntAt(bytes, 268), 3);
  EXPECT_EQ(IntAt(bytes, 272), 2);
  EXPECT_EQ(IntAt(bytes, 276), 300);
  EXPECT_EQ(IntAt(bytes, 280), 200);
  EXPECT_EQ(IntAt(bytes, 36352), 0);  // the only section
  EXPECT_EQ(bytes.substr(36356, 3), std::string("\x11\x22\x33"));
  const std::uint32_t c = Colour(1, 1);
  const std::size_t at = 36356 + 120 * 3 + 3;
  EXPECT_EQ(std::uint8_t(bytes[at]), c >> 16 & 0xFF);
  EXPECT_EQ(std::uint8_t(bytes[at + 1]), c >> 8 & 0xFF);
  EXPECT_EQ(std::uint8_t(bytes[at + 2]), c & 0xFF);
}

TEST_F(ThumbCacheTest, HitGivesThePixelsBackAndStaleEntriesAreRefused) {
  {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    ASSERT_TRUE(StoreSample(cache, "a.jpg", 120, 90));
  }
  struct Case {
    std::int64_t time, size;
    bool hit;
  };
  for (const Case& c : {Case{1000, 2000, true}, Case{1001, 2000, false}, Case{1000, 2001, false}}) {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    Buffer thumb;
    int fw = 0, fh = 0;
    EXPECT_EQ(cache.Fetch("a.jpg", c.time, c.size, thumb, fw, fh), c.hit);
    if (c.hit) {
      ASSERT_EQ(thumb.Width(), 120);
      ASSERT_EQ(thumb.Height(), 90);
      EXPECT_EQ(fw, 1200);
      EXPECT_EQ(fh, 900);
      EXPECT_EQ(*thumb.At(119, 89), Colour(119, 89));
      EXPECT_EQ(*thumb.At(5, 7), Colour(5, 7));
    } else {
      // The stale entry is free now: closing leaves nothing in use, so the file goes.
      cache.Close();
      EXPECT_FALSE(fs::exists(CachePath()));
    }
  }
}

TEST_F(ThumbCacheTest, NamesAreMatchedCaseSensitively) {
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  ASSERT_TRUE(StoreSample(cache, "A.JPG"));
  ASSERT_TRUE(StoreSample(cache, "a.jpg"));
  int upper = -1, lower = -1;
  ASSERT_NE(cache.FindThumbEntry("A.JPG", upper), nullptr);
  ASSERT_NE(cache.FindThumbEntry("a.jpg", lower), nullptr);
  EXPECT_EQ(upper, 0);
  EXPECT_EQ(lower, 1);
}

TEST_F(ThumbCacheTest, The129thImageStartsSectionOne) {
  {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    for (int i = 0; i < 129; ++i) ASSERT_TRUE(StoreSample(cache, Numbered("img", i, ".png"), 4, 3));
    EXPECT_EQ(cache.SectionCount(), 2);
    int slot = -1;
    ASSERT_NE(cache.FindThumbEntry("img128.png", slot), nullptr);
    EXPECT_EQ(slot, 128);
    EXPECT_EQ(ThumbCache::SlotOffset(slot), 4219912);
  }
  const std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), std::size_t(4219912 + 32400));
  EXPECT_NE(IntAt(bytes, 36352), 0);
  EXPECT_EQ(IntAt(bytes, kSection + 36352), 0);
  EXPECT_EQ(std::string(bytes.data() + kSection + 1), "img128.png");
  const std::uint32_t c = Colour(0, 0);
  EXPECT_EQ(std::uint8_t(bytes[4219912 + 2]), c & 0xFF);

  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  Buffer thumb;
  int fw = 0, fh = 0;
  ASSERT_TRUE(cache.Fetch("img128.png", 1000, 2000, thumb, fw, fh));
  EXPECT_EQ(*thumb.At(3, 2), Colour(3, 2));
}

// A short file (its slots not yet all written) still gets its new section at 4,183,556.
TEST_F(ThumbCacheTest, NewSectionLandsAtItsOffsetWhateverTheFileLength) {
  {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    for (int i = 0; i < 128; ++i) ASSERT_TRUE(StoreSample(cache, Numbered("f", i, ""), 2, 2));
  }
  // First the file ends after slot 0 (slot 5 never reached it); then it carries bytes of a
  // section whose index it does not hold.
  struct Case {
    std::int64_t length;
    bool slotFiveRead;
  };
  for (const Case& c : {Case{36356 + 32400, false}, Case{kSection + 5000, true}}) {
    fs::resize_file(CachePath(), static_cast<std::uintmax_t>(c.length));
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    EXPECT_EQ(cache.SectionCount(), 1);
    Buffer thumb;
    int fw = 0, fh = 0;
    EXPECT_EQ(cache.Fetch("f5", 1000, 2000, thumb, fw, fh), c.slotFiveRead);
    if (!c.slotFiveRead) {
      ASSERT_TRUE(StoreSample(cache, "f5", 2, 2));  // reuses the refused entry
    }
    ASSERT_TRUE(StoreSample(cache, "new", 2, 2));                        // no free entry left
    int slot = -1;
    ASSERT_NE(cache.FindThumbEntry("new", slot), nullptr);
    EXPECT_EQ(slot, 128);
    cache.Close();
    const std::string bytes = Bytes();
    ASSERT_EQ(bytes.size(), std::size_t(4219912 + 32400));
    EXPECT_EQ(std::string(bytes.data() + kSection + 1), "new");
  }
}

TEST_F(ThumbCacheTest, PurgeFreesEntriesOfVanishedFiles) {
  std::ofstream(Folder() + "kept.png") << "x";
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  ASSERT_TRUE(StoreSample(cache, "kept.png"));
  ASSERT_TRUE(StoreSample(cache, "renamed.png"));
  cache.PurgeMissing(Folder());
  int slot = -1;
  EXPECT_NE(cache.FindThumbEntry("kept.png", slot), nullptr);
  EXPECT_EQ(cache.FindThumbEntry("renamed.png", slot), nullptr);
  EXPECT_NE(cache.FindThumbEntry("", slot), nullptr);
  EXPECT_EQ(slot, 1);
}

TEST_F(ThumbCacheTest, NamesTooLongForAnEntryAreNotStored) {
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  EXPECT_TRUE(StoreSample(cache, std::string(258, 'n')));
  EXPECT_FALSE(StoreSample(cache, std::string(259, 'n')));
}

// Damaged entries: each count as free and the image's thumbnail is made again.
TEST_F(ThumbCacheTest, ImplausibleEntriesCountAsFree) {
  {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    ASSERT_TRUE(StoreSample(cache, "a.png"));
  }
  const std::string good = Bytes();
  struct Damage {
    const char* what;
    std::size_t at;
    std::int32_t value;
  };
  const Damage damages[] = {{"width -1", 268, -1},         {"width 121", 268, 121},
                            {"width 100000", 268, 100000}, {"height 91", 272, 91},
                            {"height 0", 272, 0},          {"full width -5", 276, -5}};
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    std::string bytes = good;
    PutIntAt(bytes, d.at, d.value);
    std::ofstream(CachePath(), std::ios::binary | std::ios::trunc) << bytes;
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    Buffer thumb;
    int fw = 0, fh = 0;
    EXPECT_FALSE(cache.Fetch("a.png", 1000, 2000, thumb, fw, fh));
    int slot = -1;
    EXPECT_NE(cache.FindThumbEntry("", slot), nullptr);
    EXPECT_EQ(slot, 0);
  }
  // A name that fills its whole field without a terminator.
  std::string bytes = good;
  for (int i = 1; i < 260; ++i) bytes[i] = 'z';
  std::ofstream(CachePath(), std::ios::binary | std::ios::trunc) << bytes;
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  int slot = -1;
  EXPECT_EQ(cache.FindThumbEntry(std::string(259, 'z'), slot), nullptr);
  EXPECT_NE(cache.FindThumbEntry("", slot), nullptr);
  EXPECT_EQ(slot, 0);
}

// Continuation words that promise sections the file does not hold are not followed.
TEST_F(ThumbCacheTest, ChainEndsWhereTheFileEnds) {
  std::string bytes(36356, '\0');
  PutIntAt(bytes, 36352, 7);
  std::ofstream(CachePath(), std::ios::binary) << bytes;
  {
    ThumbCache cache;
    ASSERT_TRUE(cache.Open(Folder()));
    EXPECT_EQ(cache.SectionCount(), 1);
  }
  // Every section says another follows, and the file is long enough for three of them.
  std::string chained(static_cast<std::size_t>(2 * kSection + 36356), '\0');
  for (int k = 0; k < 3; ++k) PutIntAt(chained, static_cast<std::size_t>(k * kSection + 36352), -1);
  std::ofstream(CachePath(), std::ios::binary | std::ios::trunc) << chained;
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  EXPECT_EQ(cache.SectionCount(), 3);
}

TEST_F(ThumbCacheTest, ShortFileGivesAnEmptyIndex) {
  std::ofstream(CachePath(), std::ios::binary) << "Q";
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Folder()));
  EXPECT_EQ(cache.SectionCount(), 1);
  int slot = -1;
  EXPECT_NE(cache.FindThumbEntry("", slot), nullptr);
  ASSERT_TRUE(StoreSample(cache, "b.png"));
  cache.Close();
  EXPECT_EQ(fs::file_size(CachePath()), 36356u + 32400u);
}

TEST_F(ThumbCacheTest, AnythingButARegularFileGivesNoCache) {
  const std::string target = home.WriteFile("other.bin", "precious");
  for (SpecialFile kind : {SpecialFile::Folder, SpecialFile::Fifo, SpecialFile::DanglingLink, SpecialFile::LinkToFifo}) {
    SCOPED_TRACE(Describe(kind));
    MakeSpecialFile(kind, CachePath());
    const std::string before = Inspect(CachePath());
    ThumbCache cache;
    EXPECT_FALSE(cache.Open(Folder()));
    cache.Close();
    EXPECT_EQ(Inspect(CachePath()), before);
    fs::remove_all(CachePath());
  }
  // A link to a regular file is not written through.
  fs::create_symlink(target, CachePath());
  ThumbCache cache;
  EXPECT_FALSE(cache.Open(Folder()));
  EXPECT_EQ(FileContents(target), "precious");
}

}  // namespace
