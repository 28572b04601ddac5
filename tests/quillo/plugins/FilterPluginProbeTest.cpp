// The probe finds a plug-in's filters from its file alone: the PiPL and PiMI records of its
// sections, the entry points checked against its exports. Junk, cut files and damaged
// records give no filter and no crash.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FilterSamples.h"
#include "quillo/plugins/FilterPluginProbe.h"

namespace {

struct Found {
  std::string identifier, category, title;
  bool operator==(const Found&) const = default;
};

std::vector<Found> Probe(const std::string& path, bool* readable = nullptr) {
  std::vector<Found> found;
  const bool ok = ProbeAdobeModule(path, [&](const AnsiString& i, const AnsiString& c, const AnsiString& t) {
    found.push_back({i, c, t});
    return 0;
  });
  if (readable) *readable = ok;
  return found;
}

std::vector<Found> ProbeBytes(const std::string& path, const std::string& bytes, bool* readable = nullptr) {
  std::vector<Found> found;
  const bool ok = ProbeAdobeModuleBytes(path, bytes, [&](const AnsiString& i, const AnsiString& c, const AnsiString& t) {
    found.push_back({i, c, t});
    return 0;
  });
  if (readable) *readable = ok;
  return found;
}

TEST(FilterPluginProbe, FindsEachSamplesFiltersWithTheirCategoriesTitlesAndEntries) {
  const std::string invert = SamplePlugin("invert"), tiles = SamplePlugin("tiles"), pimi = SamplePlugin("pimi");
  EXPECT_EQ(Probe(invert), (std::vector<Found>{{invert + "#InvertEntry", "Quillo Tests", "Invert Colours"}}));
  const auto two = Probe(tiles);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_TRUE((two[0] == Found{tiles + "#TileEntry", "Quillo Tests", "Tile Invert"} &&
               two[1] == Found{tiles + "#HalfEntry", "", "Half Sample"}) ||
              (two[1] == Found{tiles + "#TileEntry", "Quillo Tests", "Tile Invert"} &&
               two[0] == Found{tiles + "#HalfEntry", "", "Half Sample"}));
  EXPECT_EQ(Probe(pimi), (std::vector<Found>{{pimi + "#ENTRYPOINT1000", "Old Style", "PiMI Invert"}}));
}

TEST(FilterPluginProbe, AnEntryTheFileDoesNotExportAddsNothingButTheFileIsReadable) {
  bool readable = false;
  EXPECT_TRUE(Probe(SamplePlugin("noexport"), &readable).empty());
  EXPECT_TRUE(readable);
}

TEST(FilterPluginProbe, FilesThatAreNoSharedObjectsAreNotReadable) {
  bool readable = true;
  EXPECT_TRUE(Probe(SamplePlugin("junk"), &readable).empty());
  EXPECT_FALSE(readable);
  EXPECT_TRUE(Probe("/nonexistent/folder/none.8bf", &readable).empty());
  EXPECT_FALSE(readable);
  const std::string elf = FileBytes(SamplePlugin("invert"));
  std::string wrongMachine = elf;
  wrongMachine[18] = 3;  // i386
  EXPECT_TRUE(ProbeBytes("x.8bf", wrongMachine, &readable).empty());
  EXPECT_FALSE(readable);
  std::string executable = elf;
  executable[16] = 2;  // ET_EXEC
  EXPECT_TRUE(ProbeBytes("x.8bf", executable, &readable).empty());
  EXPECT_FALSE(readable);
}

TEST(FilterPluginProbe, EachFaultOfAFileOrItsSectionIsNamed) {
  const std::string elf = FileBytes(SamplePlugin("invert"));
  ASSERT_NE(SectionHeaderAt(elf, ".pipl"), 0u);
  struct Case {
    const char* what;
    std::string bytes;
    FilterProbeFault fault;
    const char* key;
  };
  const Case cases[] = {
      {"whole", elf, FilterProbeFault::None, ""},
      {"section past the end", WithDamagedPipl(elf, PiplDamage::CutOff), FilterProbeFault::SectionCut, "PlugSectionCut"},
      {"record past the section", WithDamagedPipl(elf, PiplDamage::RecordTooLong), FilterProbeFault::SectionDamaged,
       "PlugSectionDamaged"},
      {"no ELF", "MZ not a shared object", FilterProbeFault::NotSharedObject, "PlugNotLibrary"},
  };
  for (const Case& c : cases) {
    FilterProbeFault fault = FilterProbeFault::Unreadable;
    std::size_t found = 0;
    ProbeAdobeModuleBytes("x.8bf", c.bytes, [&](const AnsiString&, const AnsiString&, const AnsiString&) {
      ++found;
      return 0;
    }, &fault);
    EXPECT_EQ(fault, c.fault) << c.what;
    EXPECT_EQ(found, c.fault == FilterProbeFault::None ? 1u : 0u) << c.what;
    EXPECT_STREQ(FilterProbeFaultKey(c.fault), c.key) << c.what;
  }
  FilterProbeFault fault = FilterProbeFault::None;
  EXPECT_FALSE(ProbeAdobeModule("/nonexistent/folder/none.8bf", [](auto&, auto&, auto&) { return 0; }, &fault));
  EXPECT_EQ(fault, FilterProbeFault::Unreadable);
}

TEST(FilterPluginProbe, EveryCutOfAPluginFileIsSafeAndOnlyTheWholeFileGivesItsFilter) {
  const std::string elf = FileBytes(SamplePlugin("invert"));
  ASSERT_GT(elf.size(), 1000u);
  for (std::size_t length = 0; length < elf.size(); length += 97) {
    const auto found = ProbeBytes("cut.8bf", elf.substr(0, length));
    // The section table sits at the end: any cut loses it.
    EXPECT_TRUE(found.empty()) << length;
  }
  EXPECT_EQ(ProbeBytes("whole.8bf", elf).size(), 1u);
}

TEST(FilterPluginProbe, ScrambledBytesNeverCrashTheProbe) {
  const std::string elf = FileBytes(SamplePlugin("tiles"));
  std::uint32_t seed = 12345;
  for (int round = 0; round < 300; ++round) {
    std::string damaged = elf;
    for (int i = 0; i < 8; ++i) {
      seed = seed * 1103515245u + 12345u;
      damaged[seed % damaged.size()] = static_cast<char>(seed >> 16);
    }
    ProbeBytes("scrambled.8bf", damaged);
  }
}

// A PiPL resource of the walk's layout, property by property.
struct PiplBuilder {
  std::string bytes = std::string(10, '\0');
  std::uint32_t count = 0;
  static void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
  }
  static std::string Word(std::uint32_t v) {
    std::string s(4, '\0');
    Put32(s, 0, v);
    return s;
  }
  static std::uint32_t CC(const char* c) {
    return std::uint32_t(std::uint8_t(c[0])) << 24 | std::uint32_t(std::uint8_t(c[1])) << 16 |
           std::uint32_t(std::uint8_t(c[2])) << 8 | std::uint8_t(c[3]);
  }
  PiplBuilder& Property(const char* key, const std::string& data, std::uint32_t declaredLength = ~0u) {
    bytes += Word(CC("8BIM")) + Word(CC(key)) + Word(0) + Word(declaredLength == ~0u ? data.size() : declaredLength) + data;
    while (bytes.size() % 4 != 2) bytes.push_back('\0');  // properties start at 10: padded data
    ++count;
    return *this;
  }
  std::string Done(std::uint32_t declaredCount = ~0u) {
    Put32(bytes, 6, declaredCount == ~0u ? count : declaredCount);
    return bytes;
  }
};

std::vector<Found> ReadOnePiPL(const std::string& resource, bool exported = true) {
  std::vector<Found> found;
  ReadPiPL("/p/f.8bf", resource, [exported](std::string_view) { return exported; },
           [&](const AnsiString& i, const AnsiString& c, const AnsiString& t) {
             found.push_back({i, c, t});
             return 0;
           });
  return found;
}

TEST(FilterPluginProbe, APiPLWalkReadsOnlyInsideItsResource) {
  const std::string kind = PiplBuilder::Word(PiplBuilder::CC("8BFM"));
  const std::string whole =
      PiplBuilder().Property("kind", kind).Property("name", "\003Abc").Property("catg", "\002Xy").Property("wx86", "Go").Done();
  EXPECT_EQ(ReadOnePiPL(whole), (std::vector<Found>{{"/p/f.8bf#Go", "Xy", "Abc"}}));
  EXPECT_TRUE(ReadOnePiPL(whole, false).empty()) << "an entry that is not exported";

  struct Case {
    const char* what;
    std::string resource;
    std::vector<Found> expected;
  };
  const std::vector<Case> cases = {
      {"a huge property count", PiplBuilder().Property("kind", kind).Property("wx86", "Go").Done(0xFFFFFFFF),
       {{"/p/f.8bf#Go", "", "f"}}},
      {"a length past the end",
       PiplBuilder().Property("kind", kind).Property("wx86", "Go").Property("name", "\003Abc", 0x7FFFFFF0).Done(),
       {{"/p/f.8bf#Go", "", "f"}}},
      {"a title longer than its data", PiplBuilder().Property("kind", kind).Property("name", "\050Ab").Property("wx86", "Go").Done(),
       {{"/p/f.8bf#Go", "", "f"}}},
      {"the entry cut off by the end", PiplBuilder().Property("kind", kind).Property("wx86", "Go", 4000).Done(), {}},
      {"no header", std::string(7, '\0'), {}},
      {"an entry name holding '#'", PiplBuilder().Property("kind", kind).Property("wx86", "G#o").Done(), {}},
      {"not a filter", PiplBuilder().Property("kind", PiplBuilder::Word(PiplBuilder::CC("8BAM"))).Property("wx86", "Go").Done(), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadOnePiPL(c.resource), c.expected) << c.what;
}

TEST(FilterPluginProbe, APiMIWalkStopsAtItsEnd) {
  std::vector<Found> found;
  const auto collect = [&](const AnsiString& i, const AnsiString& c, const AnsiString& t) {
    found.push_back({i, c, t});
    return 0;
  };
  const auto all = [](std::string_view) { return true; };
  ReadPiMI("/p/old.8bf", 7, std::string("\003\000Cat", 5), all, collect);  // no terminator
  ReadPiMI("/p/old.8bf", 8, std::string("\003\000A\000\004\000", 6), all, collect);  // a skip past the end
  ReadPiMI("/p/old.8bf", 0x10000, std::string("\003\000A\000", 4), all, collect);  // not a numeric id
  ReadPiMI("/p/old.8bf", 9, "", [](std::string_view) { return false; }, collect);  // not exported
  EXPECT_EQ(found, (std::vector<Found>{{"/p/old.8bf#ENTRYPOINT7", "Cat", "old"}, {"/p/old.8bf#ENTRYPOINT8", "A", "old"}}));
}

TEST(FilterPluginProbe, EveryProbeOfAFileIsCounted) {
  const std::uint64_t before = FilterProbeCount();
  Probe(SamplePlugin("invert"));
  Probe(SamplePlugin("junk"));
  EXPECT_EQ(FilterProbeCount(), before + 2);
}

}  // namespace
