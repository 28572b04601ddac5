#include "vorlen/draw/RFont.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <tuple>

#include "FontFixture.h"
#include "platform/rtl/Exceptions.h"
#include "support/SpecialFiles.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFontFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class RFontRegistryTest : public FontFolderTest {
protected:
  // Two fonts: "Alpha" (sizes 12 and 8 in one file, 10 in another) and "beta" (9).
  void WriteSampleFonts() {
    WriteFont("alpha.rfn", WriteRfn("Alpha", {BlockSize(12, 'A', 'Z'), BlockSize(8, 'A', 'Z')}, 1));
    WriteFont("more.RFN", WriteRfn("ALPHA", {BlockSize(10, 'A', 'Z')}, 2));
    WriteFont("beta.rfn", WriteRfn("beta", {BlockSize(9, '0', '9')}, 1));
    WriteFont("notes.txt", Bytes{'x'});
    for (const char* file : {"alpha.rfn", "more.RFN", "beta.rfn"}) SetTime(file, 0);
  }

  // The registry as (name, size, count) triples.
  static std::vector<std::tuple<std::string, int, int>> Listing() {
    std::vector<std::tuple<std::string, int, int>> list;
    for (int i = 0; i < RFont::GetCount(); ++i) {
      const RFontEntry& e = RFont::GetReg()[i];
      list.emplace_back(e.name, e.height, e.count);
    }
    return list;
  }

  static std::vector<std::tuple<std::string, int, int>> Expected() {
    return {{"Alpha", 8, 3}, {"Alpha", 10, 0}, {"Alpha", 12, 0}, {"beta", 9, 1}};
  }

  static ino_t CacheInode() {
    struct stat info {};
    return stat((RFont::path + std::string("fonts.bin")).c_str(), &info) == 0 ? info.st_ino : 0;
  }

  // Builds the registry afresh, as the next process would.
  static void Reload() {
    RFont::FreeReg();
    RFont::InitReg();
  }
};

TEST_F(RFontRegistryTest, EntersEverySizeSortedByNameAndSize) {
  WriteSampleFonts();
  RFont::InitReg();
  EXPECT_EQ(Listing(), Expected());
  EXPECT_TRUE(std::filesystem::exists(Folder() + "fonts.bin"));
  const RFontEntry& first = RFont::GetReg()[0];
  EXPECT_EQ(first.glyphBytes, 8u);
  EXPECT_EQ(first.first, 'A');
  EXPECT_EQ(first.last, 'Z');
}

TEST_F(RFontRegistryTest, EmptyFolderPathBuildsNothing) {
  RFont::path[0] = '\0';
  RFont::InitReg();
  EXPECT_EQ(RFont::GetCount(), 0);
  EXPECT_EQ(RFont::GetReg(), nullptr);
}

TEST_F(RFontRegistryTest, AnUnchangedCacheIsReadAndLeftAsItIs) {
  WriteSampleFonts();
  RFont::InitReg();
  struct stat before {};
  ASSERT_EQ(stat((Folder() + "fonts.bin").c_str(), &before), 0);
  Reload();
  EXPECT_EQ(Listing(), Expected());
  struct stat after {};
  ASSERT_EQ(stat((Folder() + "fonts.bin").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
}

// A font file whose bytes change while its size and time stay: the cache no longer checks out.
TEST_F(RFontRegistryTest, AFontFileChangedInPlaceIsNoticed) {
  WriteSampleFonts();
  RFont::InitReg();
  Bytes beta = ReadFile("beta.rfn");
  std::fill(beta.begin(), beta.end(), 0);
  WriteFont("beta.rfn", beta);
  SetTime("beta.rfn", 0);
  Reload();
  EXPECT_EQ(Listing(), (std::vector<std::tuple<std::string, int, int>>{
                           {"Alpha", 8, 3}, {"Alpha", 10, 0}, {"Alpha", 12, 0}}));
}

TEST_F(RFontRegistryTest, RebuildsWhenTheFontFilesChange) {
  struct Change {
    const char* what;
    std::function<void(RFontRegistryTest&)> apply;
    std::vector<std::tuple<std::string, int, int>> expected;
  };
  const std::vector<Change> changes = {
      {"a file's time", [](RFontRegistryTest& t) {
         t.WriteFont("beta.rfn", WriteRfn("beta", {BlockSize(7, '0', '9')}, 1));
         t.SetTime("beta.rfn", 60);
       }, {{"Alpha", 8, 3}, {"Alpha", 10, 0}, {"Alpha", 12, 0}, {"beta", 7, 1}}},
      {"a file's size", [](RFontRegistryTest& t) {
         t.WriteFont("beta.rfn", WriteRfn("beta", {BlockSize(9, '0', '9'), BlockSize(5, '0', '9')}, 1));
         t.SetTime("beta.rfn", 0);
       }, {{"Alpha", 8, 3}, {"Alpha", 10, 0}, {"Alpha", 12, 0}, {"beta", 5, 2}, {"beta", 9, 0}}},
      {"a new file", [](RFontRegistryTest& t) {
         t.WriteFont("gamma.rfn", WriteRfn("Gamma", {BlockSize(6, 'a', 'c')}, 1));
       }, {{"Alpha", 8, 3}, {"Alpha", 10, 0}, {"Alpha", 12, 0}, {"beta", 9, 1}, {"Gamma", 6, 1}}},
      {"a removed file", [](RFontRegistryTest& t) {
         std::filesystem::remove(t.Folder() + "more.RFN");
       }, {{"Alpha", 8, 2}, {"Alpha", 12, 0}, {"beta", 9, 1}}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    for (const auto& item : std::filesystem::directory_iterator(Folder()))
      std::filesystem::remove(item.path());
    WriteSampleFonts();
    Reload();
    change.apply(*this);
    Reload();
    EXPECT_EQ(Listing(), change.expected);
    Reload();  // and the rewritten cache holds the new state
    EXPECT_EQ(Listing(), change.expected);
  }
}

// Every kind of damage to the cache: the registry is rebuilt from the fonts, never read from it.
TEST_F(RFontRegistryTest, DamagedCacheIsRebuiltNeverTrusted) {
  WriteSampleFonts();
  RFont::InitReg();
  const Bytes good = ReadFile("fonts.bin");
  auto put = [](Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const size_t records = 4;                    // N1 = 3 records of 20 bytes follow
  const size_t names = records + 3 * 20;       // the file name block
  const size_t nameBlock = good[4];            // the first record's length is the block size
  const size_t entries = names + nameBlock + 4;
  std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damage = {
      {"empty", [](Bytes& b) { b.clear(); }},
      {"cut in the records", [](Bytes& b) { b.resize(30); }},
      {"cut in the entries", [&](Bytes& b) { b.resize(entries + 50); }},
      {"cut before the last name", [](Bytes& b) { b.resize(b.size() - 3); }},
      {"trailing bytes", [](Bytes& b) { b.push_back(0); }},
      {"huge record count", [&](Bytes& b) { put(b, 0, 0x40000000); }},
      {"huge entry count", [&](Bytes& b) { put(b, entries - 4, 0x7FFFFFFF); }},
      {"name block past the end", [&](Bytes& b) { put(b, records, 0xFFFFFFF0); }},
      {"second name length wrong", [&](Bytes& b) { put(b, records + 20, 200); }},
      {"name without its zero", [&](Bytes& b) { b[names + nameBlock - 1] = 'x'; }},
      {"file index out of range", [&](Bytes& b) { put(b, entries + 8, 3); }},
      {"file index huge", [&](Bytes& b) { put(b, entries + 8, 0xFFFFFFFF); }},
      {"count too large", [&](Bytes& b) { put(b, entries + 4, 9); }},
      {"count of a later entry", [&](Bytes& b) { put(b, entries + 44 + 4, 1); }},
      {"entry name length bogus", [&](Bytes& b) { put(b, entries + 3 * 44, 1000); }},
      {"glyph bytes disagree", [&](Bytes& b) { put(b, entries + 24, 77); }},
      {"version too new", [&](Bytes& b) { put(b, records + 16, 0x30000); }},
      {"names out of order", [&](Bytes& b) {
         // "beta" (the fourth entry) moved before the three of "Alpha", the name block to match.
         Bytes moved(b.begin(), b.begin() + static_cast<long>(entries));
         const auto entry = [&](size_t i) { return b.begin() + static_cast<long>(entries + 44 * i); };
         moved.insert(moved.end(), entry(3), entry(4));
         moved.insert(moved.end(), entry(0), entry(3));
         put(moved, entries, 11);
         put(moved, entries + 44, 5);
         for (char c : std::string("beta\0Alpha\0", 11)) moved.push_back(static_cast<std::uint8_t>(c));
         ASSERT_EQ(moved.size(), b.size());
         b = moved;
       }},
  };
  for (auto& [what, apply] : damage) {
    SCOPED_TRACE(what);
    Bytes bad = good;
    apply(bad);
    WriteFont("fonts.bin", bad);
    Reload();
    EXPECT_EQ(Listing(), Expected());
    EXPECT_EQ(ReadFile("fonts.bin"), good);  // written afresh
  }
}

// Damage that leaves the cache well formed (a data position, a size's bytes, a font's name, a
// file's version): each cached entry is checked against its font file, so the registry is
// rebuilt, the cache written afresh, and every font draws again.
TEST_F(RFontRegistryTest, CacheThatDisagreesWithItsFontFilesIsRebuilt) {
  WriteSampleFonts();
  RFont::InitReg();
  const Bytes good = ReadFile("fonts.bin");
  auto put = [](Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
  };
  auto get = [](const Bytes& b, size_t at) {
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8 |
           std::uint32_t(b.at(at + 2)) << 16 | std::uint32_t(b.at(at + 3)) << 24;
  };
  const size_t records = 4;                  // alpha.rfn, beta.rfn, more.RFN, 20 bytes each
  const size_t entries = records + 3 * 20 + good[4] + 4;
  const size_t fontNames = entries + 4 * 44;  // "Alpha", "beta"
  std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damage = {
      {"data position", [&](Bytes& b) { put(b, entries + 12, get(b, entries + 12) + 1); }},
      {"size", [&](Bytes& b) {
         b[entries + 16] = 7;
         put(b, entries + 24, 7u * b[entries + 17]);  // the glyph bytes agree with it
       }},
      {"first character", [&](Bytes& b) { b[entries + 18] = 'B'; }},
      {"spacing", [&](Bytes& b) { b[entries + 20] = 3; }},
      {"font name", [&](Bytes& b) { b[fontNames + 1] = 'x'; }},
      {"file version", [&](Bytes& b) { put(b, records + 16, 2); }},
      {"file of an entry", [&](Bytes& b) { put(b, entries + 3 * 44 + 8, 0); }},
      {"case of a font name", [&](Bytes& b) { b[fontNames + 5 + 1 + 1] = 'E'; }},
      // The name is spelled as the first file of the folder that has it (alpha.rfn) spells it.
      {"font name spelled as another file", [&](Bytes& b) {
         for (size_t i = 1; i < 5; ++i) b[fontNames + i] = static_cast<std::uint8_t>(std::toupper(b[fontNames + i]));
       }},
  };
  for (auto& [what, apply] : damage) {
    SCOPED_TRACE(what);
    Bytes bad = good;
    apply(bad);
    ASSERT_NE(bad, good);
    WriteFont("fonts.bin", bad);
    Reload();
    EXPECT_EQ(Listing(), Expected());
    EXPECT_EQ(ReadFile("fonts.bin"), good);
    for (int i = 0; i < RFont::GetCount(); ++i) {
      RFont font;
      font.SetName(RFont::GetReg()[i].name);
      font.SetSize(RFont::GetReg()[i].height);
      EXPECT_NO_THROW(font.Prepare());
      EXPECT_NE(font.Glyphs(), nullptr) << RFont::GetReg()[i].name << RFont::GetReg()[i].height;
    }
  }
}

// A well-formed cache that leaves out a size of a font file, or a whole font file by naming it
// in another case (another file on this system): the font files are read whole, the registry
// is rebuilt and has every size again.
TEST_F(RFontRegistryTest, CacheThatLeavesOutASizeIsRebuilt) {
  WriteSampleFonts();
  RFont::InitReg();
  const Bytes good = ReadFile("fonts.bin");
  auto put = [](Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const size_t records = 4;                  // alpha.rfn, beta.rfn, more.RFN, 20 bytes each
  const size_t fileNames = records + 3 * 20;  // "alpha.rfn", "beta.rfn", "more.RFN"
  const size_t entries = fileNames + good[4] + 4;  // Alpha 8, 10 and 12, beta 9
  // Leaves out one of the three "Alpha" entries; the first of them counts two.
  auto dropAlpha = [&](Bytes& b, size_t entry) {
    b.erase(b.begin() + static_cast<long>(entries + 44 * entry), b.begin() + static_cast<long>(entries + 44 * (entry + 1)));
    put(b, entries - 4, 3);
    put(b, entries + 4, 2);
  };
  std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damage = {
      {"a size of a file with two", [&](Bytes& b) { dropAlpha(b, 2); }},
      {"a file named in another case", [&](Bytes& b) {
         dropAlpha(b, 1);
         b[fileNames + 10 + 9 + 6] = 'f';  // more.RfN, a file that has no sizes
       }},
  };
  for (auto& [what, apply] : damage) {
    SCOPED_TRACE(what);
    Bytes bad = good;
    apply(bad);
    WriteFont("fonts.bin", bad);
    Reload();
    EXPECT_EQ(Listing(), Expected());
    EXPECT_EQ(ReadFile("fonts.bin"), good);
  }
}

// The cache is replaced by a new file, never rewritten in place: a reader holding the old one
// (here a second name for it) keeps what it had.
TEST_F(RFontRegistryTest, TheCacheIsReplacedNotRewritten) {
  WriteSampleFonts();
  RFont::InitReg();
  const Bytes good = ReadFile("fonts.bin");
  const Bytes bad(good.begin(), good.begin() + 10);
  WriteFont("fonts.bin", bad);
  ASSERT_EQ(link((Folder() + "fonts.bin").c_str(), (Folder() + "held.bin").c_str()), 0);
  Reload();
  EXPECT_EQ(ReadFile("fonts.bin"), good);
  EXPECT_EQ(ReadFile("held.bin"), bad);
}

// A pipe in the cache's place, or named as a font file, is never waited on or read: the
// registry comes from the fonts themselves, and the pipes stay as they are.
TEST_F(RFontRegistryTest, PipesAsTheCacheOrAFontAreNotWaitedOn) {
  WriteSampleFonts();
  for (const char* name : {"fonts.bin", "pipe.rfn"}) {
    SCOPED_TRACE(name);
    const std::string pipe = Folder() + name;
    MakeSpecialFile(SpecialFile::Fifo, pipe);
    const std::string before = Inspect(pipe);
    EXPECT_TRUE(FinishesWithoutAWriter(pipe, [] { Reload(); }));
    EXPECT_EQ(Listing(), Expected());
    EXPECT_EQ(Inspect(pipe), before);
    std::filesystem::remove(pipe);
  }
}

TEST_F(RFontRegistryTest, RandomlyDamagedCachesNeverCrash) {
  WriteSampleFonts();
  RFont::InitReg();
  const Bytes good = ReadFile("fonts.bin");
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    Bytes bad = good;
    for (int n = 0; n < 1 + round % 4; ++n)
      bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
    WriteFont("fonts.bin", bad);
    RFont::FreeReg();
    RFont::InitReg();
    // Damage the structure cannot reveal (a changed data position) may reach the font file,
    // whose reading then fails cleanly.
    for (int i = 0; i < RFont::GetCount(); ++i) {
      RFont font;
      font.SetName(RFont::GetReg()[i].name);
      font.SetSize(RFont::GetReg()[i].height);
      try {
        font.Prepare();
      } catch (const Exception&) {
      }
    }
  }
}

TEST_F(RFontRegistryTest, NameAndSizeSelectTheNearestEntry) {
  WriteSampleFonts();
  RFont font;
  EXPECT_EQ(font.GetName(), "");
  EXPECT_EQ(font.GetSize(), 0);
  font.SetSize(10);  // no font: nothing
  EXPECT_EQ(font.GetSize(), 0);
  font.SetName("alpha");
  EXPECT_EQ(font.GetName(), "Alpha");
  EXPECT_EQ(font.GetSize(), 8);  // no size before: the first entry
  const struct { int ask, get; } sizes[] = {{1, 8}, {9, 8}, {10, 10}, {11, 10}, {12, 12}, {99, 12}};
  for (const auto& s : sizes) {
    font.SetSize(s.ask);
    EXPECT_EQ(font.GetSize(), s.get) << s.ask;
  }
  font.SetName("BETA");
  EXPECT_EQ(font.GetSize(), 9);
  font.SetName("Alpha");  // nearest to 9: 8 and 10 are equally near, the first wins
  EXPECT_EQ(font.GetSize(), 8);
  font.SetName("nothing");
  EXPECT_EQ(font.GetName(), "");
  EXPECT_EQ(font.GetSize(), 0);
}

TEST_F(RFontRegistryTest, SpacingOverridesAndFontValues) {
  WriteSampleFonts();
  RFont font;
  EXPECT_EQ(font.GetSpacing(), 0);
  EXPECT_EQ(font.GetSpaceSize(), 0);
  font.SetName("Alpha");
  EXPECT_EQ(font.GetSpacing(), 1);
  EXPECT_EQ(font.GetSpaceSize(), 4);
  font.spacing = 0;
  font.space_size = 9;
  EXPECT_EQ(font.GetSpacing(), 0);
  EXPECT_EQ(font.GetSpaceSize(), 9);
}

TEST_F(RFontRegistryTest, CopiesShareTheEntryAndTheLastReleasesItsGlyphs) {
  WriteSampleFonts();
  auto font = std::make_unique<RFont>();
  font->SetName("beta");
  RFontEntry* entry = font->entry;
  font->Prepare();
  ASSERT_NE(entry->glyphs, nullptr);
  EXPECT_EQ(entry->refs, 1);
  {
    RFont copy(*font);
    RFont assigned;
    assigned = copy;
    EXPECT_EQ(entry->refs, 3);
    EXPECT_EQ(assigned.Glyphs(), font->Glyphs());
  }
  EXPECT_EQ(entry->refs, 1);
  EXPECT_NE(entry->glyphs, nullptr);
  font.reset();
  EXPECT_EQ(entry->refs, 0);
  EXPECT_EQ(entry->glyphs, nullptr);
}

TEST_F(RFontRegistryTest, UnprepareReleasesWhatPrepareMade) {
  WriteSampleFonts();
  RFont font;
  font.SetName("beta");
  font.Prepare();
  ASSERT_NE(font.Glyphs(), nullptr);
  font.Unprepare();
  EXPECT_EQ(font.Glyphs(), nullptr);
  font.Prepare();
  EXPECT_NE(font.Glyphs(), nullptr);
}

TEST_F(RFontRegistryTest, PrepareOfAVanishedFileIsSilent) {
  WriteSampleFonts();
  RFont font;
  font.SetName("beta");
  std::filesystem::remove(Folder() + "beta.rfn");
  font.Prepare();
  EXPECT_EQ(font.Glyphs(), nullptr);
}

TEST_F(RFontRegistryTest, BothVersionsGiveTheSameGlyphs) {
  const RfnGlyphSize size = PictureSize('a', {{"#..", ".#.", "..#"}, {"##", "..", "##"}, {"", "", ""}, {"####", "#..#", "####"}}, 3);
  WriteFont("one.rfn", WriteRfn("One", {size}, 1));
  WriteFont("two.rfn", WriteRfn("Two", {size}, 2));
  RFont one, two;
  one.SetName("One");
  two.SetName("Two");
  one.Prepare();
  two.Prepare();
  ASSERT_NE(one.Glyphs(), nullptr);
  ASSERT_NE(two.Glyphs(), nullptr);
  for (int ch : {'a', 'b', 'd'}) {
    ASSERT_NE(two.Glyphs()->Glyph(ch), nullptr);
    EXPECT_EQ(0, std::memcmp(one.Glyphs()->Glyph(ch), two.Glyphs()->Glyph(ch), 6)) << ch;
  }
  EXPECT_EQ(two.Glyphs()->Glyph('c'), nullptr);  // width 0: no glyph in version 2
  EXPECT_NE(one.Glyphs()->Glyph('c'), nullptr);
}

// Damaged font files: the scan keeps what it found, glyph reading raises a clear error.
TEST_F(RFontRegistryTest, DamagedFontFilesFailCleanly) {
  const Bytes good = WriteRfn("Dam", {BlockSize(9, 'A', 'Z')}, 2);
  const Bytes plain = WriteRfn("Dam", {BlockSize(9, 'A', 'Z')}, 1);
  std::vector<std::pair<const char*, Bytes>> cases = {
      {"cut in the data", Bytes(good.begin(), good.end() - 10)},
      {"cut in the plain data", Bytes(plain.begin(), plain.end() - 10)},
      {"cut after the desc", Bytes(good.begin(), good.begin() + 12 + 8 + 3 + 8 + 10)},
  };
  // The DATA chunk's code table starts after the header, NAME, DESC and WDTH chunks.
  const size_t table = 12 + 8 + 3 + 8 + 10 + 8 + 26 + 8;
  Bytes overTable = good;
  overTable[table] = 3;  // three codes of one bit
  cases.push_back({"oversubscribed table", overTable});
  Bytes noCodes = good;
  std::fill(noCodes.begin() + table, noCodes.begin() + table + 8, 0);
  cases.push_back({"table without codes", noCodes});
  for (auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    RFont::FreeReg();
    WriteFont("dam.rfn", bytes);
    RFont font;
    font.SetName("Dam");
    ASSERT_EQ(font.GetSize(), 9);
    EXPECT_THROW(font.Prepare(), Exception);
    EXPECT_EQ(font.Glyphs(), nullptr);
  }
}

TEST_F(RFontRegistryTest, FilesThatAreNotFontsGiveNoEntries) {
  Bytes newer = WriteRfn("New", {BlockSize(9, 'A', 'B')}, 1);
  newer[10] = 3;  // version 0x30001
  Bytes noName = WriteRfn("", {BlockSize(9, 'A', 'B')}, 1);
  noName[12] = 'X';  // the NAME chunk becomes an unknown one: DESC before NAME is skipped
  WriteFont("newer.rfn", newer);
  WriteFont("noname.rfn", noName);
  WriteFont("short.rfn", Bytes{'F', 'O', 'N'});
  WriteFont("huge.rfn", Bytes{'F', 'O', 'N', 'T', 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'D', 'E', 'S', 'C', 0xFF});
  RFont::InitReg();
  EXPECT_EQ(RFont::GetCount(), 0);
  const ino_t cache = CacheInode();
  Reload();  // the cache of four non-fonts is trusted next time
  EXPECT_EQ(RFont::GetCount(), 0);
  EXPECT_EQ(CacheInode(), cache);
}

// The registry holds names as C strings: a name ends at its first zero byte, and the cache
// written for such a font is trusted at the next start like any other.
TEST_F(RFontRegistryTest, AFontNameEndsAtItsFirstZeroByte) {
  WriteFont("zero.rfn", WriteRfn(std::string("Ab\0cd", 5), {BlockSize(9, 'A', 'B')}, 2));
  RFont::InitReg();
  EXPECT_EQ(Listing(), (std::vector<std::tuple<std::string, int, int>>{{"Ab", 9, 1}}));
  const ino_t cache = CacheInode();
  Reload();
  EXPECT_EQ(Listing(), (std::vector<std::tuple<std::string, int, int>>{{"Ab", 9, 1}}));
  EXPECT_EQ(CacheInode(), cache);
}

TEST_F(RFontRegistryTest, RandomlyDamagedFontsNeverCrash) {
  const Bytes good = WriteRfn("Fuzz", {BlockSize(9, 'A', 'Z'), BlockSize(5, 'a', 'c')}, 2);
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    Bytes bad = good;
    for (int n = 0; n < 1 + round % 3; ++n) bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
    RFont::FreeReg();
    WriteFont("fuzz.rfn", bad);
    for (int i = 0; i < RFont::GetCount() || i == 0; ++i) {
      RFont font;
      font.SetName("Fuzz");
      font.SetSize(i == 0 ? 9 : 5);
      try {
        font.Prepare();
        Buffer target;
        target.Alloc(Pair<int>(40, 20));
        target.OutText(font, Pair<int>(-3, 2), "ABCabcZ~", 0);
        target.GetTextExtent(font, "AZ b");
      } catch (const Exception&) {
      }
    }
  }
}

}  // namespace
