// "adobe.cch": records read back as written, a cut or damaged file read as far as it is
// whole, texts too long for their length byte left out rather than written wrong, and the
// lookups that spare an unchanged file its probe.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FilterSamples.h"
#include "quillo/plugins/FilterPluginCache.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "support/TempHome.h"

namespace {

FileDesc Record(const std::string& identifier, const std::string& category, const std::string& title,
                std::uint32_t size = 1, std::uint32_t stamp = 2) {
  FileDesc d;
  d.identifier = identifier;
  d.category = category;
  d.title = title;
  d.size = size;
  d.timeStamp = stamp;
  return d;
}

bool Same(const FileDesc& a, const FileDesc& b) {
  return a.identifier == b.identifier && a.category == b.category && a.title == b.title && a.size == b.size &&
         a.timeStamp == b.timeStamp;
}

TEST(FilterPluginCache, RecordsAreWrittenInTheirByteLayoutAndReadBack) {
  const std::vector<FileDesc> records = {Record("/a/b.8bf#E", "Cat", "Title", 0x01020304, 0xA0B0C0D0),
                                         Record("/a/c.8bf#F", "", "T2")};
  const std::string bytes = WriteFilterCacheRecords(records);
  EXPECT_EQ(bytes.substr(0, 29), std::string("\012/a/b.8bf#E\003Cat\005Title\004\003\002\001\320\300\260\240", 29));
  const auto back = ReadFilterCacheRecords(bytes);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(Same(back[0], records[0]));
  EXPECT_TRUE(Same(back[1], records[1]));
}

TEST(FilterPluginCache, ARecordWithATextOver255BytesIsNotKept) {
  const std::string longTitle(300, 't');
  const std::string bytes =
      WriteFilterCacheRecords({Record("/a/long.8bf#E", "", longTitle), Record("/a/short.8bf#E", "", "Short")});
  const auto back = ReadFilterCacheRecords(bytes);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].identifier, "/a/short.8bf#E");
  EXPECT_EQ(back[0].title, "Short");
}

TEST(FilterPluginCache, ACutFileIsReadAsFarAsItsRecordsAreWhole) {
  const std::string bytes = WriteFilterCacheRecords({Record("/a/b.8bf#E", "C", "T"), Record("/a/c.8bf#F", "D", "U")});
  const std::size_t first = bytes.size() / 2;
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    const auto back = ReadFilterCacheRecords(bytes.substr(0, length));
    const std::size_t expected = length == bytes.size() ? 2 : length >= first ? 1 : 0;
    EXPECT_EQ(back.size(), expected) << length;
  }
  // A length byte pointing past the end ends the file there.
  EXPECT_TRUE(ReadFilterCacheRecords(std::string("\377abc", 4)).empty());
}

class FilterCacheFiles : public ::testing::Test {
protected:
  FilterCacheFiles() {
    folder = home.Path() + "/plugins";
    CopySamples(folder, {"invert", "tiles"});
    cacheName = home.Path() + "/adobe.cch";
  }
  TempHome home;
  std::string folder;
  std::string cacheName;
};

TEST_F(FilterCacheFiles, AnUnchangedFileIsFoundInTheCacheWithEachOfItsFilters) {
  const std::string tiles = folder + "/tiles.8bf";
  {
    CacheFiles cache(cacheName);
    cache.Add(tiles + "#TileEntry", "Quillo Tests", "Tile Invert");
    cache.Add(tiles + "#HalfEntry", "", "Half Sample");
  }
  CacheFiles cache(cacheName);
  std::vector<std::string> found;
  for (;;) {
    AnsiString path = tiles, category, title;
    if (!cache.Lookup(path, category, title)) break;
    found.push_back(path + "|" + category + "|" + title);
  }
  // Newest first, as they were written.
  EXPECT_EQ(found, (std::vector<std::string>{tiles + "#HalfEntry||Half Sample", tiles + "#TileEntry|Quillo Tests|Tile Invert"}));
}

TEST_F(FilterCacheFiles, AFileWhosePathHoldsHashesIsFoundAndWrittenWithItsStamp) {
  const std::string hashed = home.Path() + "/a#b/#/tiles.8bf";
  std::filesystem::create_directories(home.Path() + "/a#b/#");
  std::filesystem::copy_file(folder + "/tiles.8bf", hashed);
  {
    CacheFiles cache(cacheName);
    cache.Add(hashed + "#TileEntry", "Quillo Tests", "Tile Invert");
  }
  const auto written = ReadFilterCacheRecords(FileBytes(cacheName));
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].size, std::filesystem::file_size(hashed)) << "the stamp of the file, not of a cut path";
  CacheFiles cache(cacheName);
  AnsiString path = hashed, category, title;
  ASSERT_TRUE(cache.Lookup(path, category, title));
  EXPECT_EQ(path, hashed + "#TileEntry");
  EXPECT_EQ(title, "Tile Invert");
}

TEST(FilterPluginIdentifier, SplitsAtTheLastHash) {
  EXPECT_EQ(FilterIdentifierFile("/p/a#b/x.8bf#Entry"), "/p/a#b/x.8bf");
  EXPECT_EQ(FilterIdentifierEntry("/p/a#b/x.8bf#Entry"), "Entry");
  EXPECT_EQ(FilterIdentifierFile("/p/x.8bf"), "/p/x.8bf");
  EXPECT_EQ(FilterIdentifierEntry("/p/x.8bf"), "");
  EXPECT_EQ(FilterIdentifierEntry("/p/x.8bf#"), "");
}

TEST_F(FilterCacheFiles, AChangedFileIsProbedAgainAndAFilterItLostIsDropped) {
  const std::string invert = folder + "/invert.8bf";
  {
    CacheFiles cache(cacheName);
    cache.Add(invert + "#InvertEntry", "Quillo Tests", "Invert Colours");
    cache.Add(invert + "#Gone", "Quillo Tests", "Gone");
  }
  std::filesystem::resize_file(invert, std::filesystem::file_size(invert) + 16);
  {
    CacheFiles cache(cacheName);
    AnsiString path = invert, category, title;
    EXPECT_FALSE(cache.Lookup(path, category, title));
    cache.Add(invert + "#InvertEntry", "Quillo Tests", "Inverted Anew");  // what the probe finds now
  }
  const auto back = ReadFilterCacheRecords(FileBytes(cacheName));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].identifier, invert + "#InvertEntry");
  EXPECT_EQ(back[0].title, "Inverted Anew");
  EXPECT_EQ(back[0].size, std::filesystem::file_size(invert));
}

TEST_F(FilterCacheFiles, RecordsOfFilesNotSeenInAScanAreNotWrittenBack) {
  {
    CacheFiles cache(cacheName);
    cache.Add(folder + "/invert.8bf#InvertEntry", "Quillo Tests", "Invert Colours");
  }
  { CacheFiles nothingSeen(cacheName); }
  EXPECT_TRUE(std::filesystem::exists(cacheName));
  EXPECT_EQ(std::filesystem::file_size(cacheName), 0u);
}

TEST_F(FilterCacheFiles, ACacheThatCannotBeWrittenLeavesNothingBehindAndRaisesNothing) {
  const std::string blocked = home.Path() + "/no-such-folder/adobe.cch";
  {
    CacheFiles cache(blocked);
    cache.Add(folder + "/invert.8bf#InvertEntry", "", "Invert");
  }
  EXPECT_FALSE(std::filesystem::exists(blocked));
}

}  // namespace
