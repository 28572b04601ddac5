// The palette's colours and its files: the built-in palette, the text form written and read
// back, the raw form, counts that name fewer, more or negative cells, and line ends.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "quillo/tools/PaletteFile.h"

namespace {

TEST(PaletteFileTest, TheBuiltInPaletteHasItsBasicsRampsAndGradients) {
  const PaletteArray p = DefaultPalette();
  const std::pair<int, std::uint32_t> cells[] = {
      {0, 0x000000},   {1, 0x00FFFF},   {6, 0xFF0000},   {15, 0xAAAAAA}, {16, 0x000010}, {31, 0x0000FF},
      {47, 0x00FF00},  {63, 0x00FFFF},  {64, 0x100000},  {79, 0xFF0000}, {95, 0xFF00FF}, {111, 0xFFFF00},
      {112, 0x101010}, {127, 0xFFFFFF}, {128, 0x0000FF}, {159, 0xFF0000}, {160, 0xFF0000}, {191, 0x00FF00},
      {192, 0x00FF00}, {223, 0xFFFF00}, {224, 0xFFFF00}, {255, 0x0000FF},
  };
  for (const auto& [i, colour] : cells) EXPECT_EQ(p[static_cast<std::size_t>(i)], colour) << "cell " << i;
}

TEST(PaletteFileTest, SavedColoursReadBackTheSameFromTwoHundredAndFiftySevenLines) {
  PaletteArray colours = DefaultPalette();
  colours[3] = 0x123456;
  colours[200] = 0xABCDEF;
  const std::string text = PaletteFileText(colours);
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "256");
  int count = 1;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_EQ(line.size(), 6u) << line;
  }
  EXPECT_EQ(count, 257);
  EXPECT_EQ(text.find('\r'), std::string::npos) << "line feeds only";
  EXPECT_NE(text.find("\n123456\n"), std::string::npos);

  PaletteArray back{};
  const auto contents = ParsePaletteFile(text);
  ASSERT_TRUE(contents);
  ApplyPaletteFile(*contents, back);
  EXPECT_EQ(back, colours);
}

TEST(PaletteFileTest, ExactlySevenHundredSixtyEightBytesAreRawTriplets) {
  // Text that happens to be 768 bytes long still counts as triplets.
  std::string bytes(768, '0');
  bytes.replace(0, 4, "16\n\x01");
  PaletteArray p{};
  const auto contents = ParsePaletteFile(bytes);
  ASSERT_TRUE(contents);
  EXPECT_TRUE(contents->raw);
  ApplyPaletteFile(*contents, p);
  EXPECT_EQ(p[0], static_cast<std::uint32_t>('1' << 16 | '6' << 8 | '\n'));
  EXPECT_EQ(p[1], static_cast<std::uint32_t>(0x01 << 16 | '0' << 8 | '0'));
  EXPECT_EQ(p[255], 0x303030u);
}

struct CountCase {
  const char* name;
  std::string text;
  bool reads;
  int cellsNamed;
};

TEST(PaletteFileTest, TheCountNeverReachesPastTheGrid) {
  std::string many = "300\n";
  for (int i = 0; i < 300; ++i) many += "FF00FF\n";
  std::string sixteen = "16\r\n";
  for (int i = 0; i < 16; ++i) sixteen += "00ABCD\r\n";
  const CountCase cases[] = {
      {"sixteen, CR LF", sixteen, true, 16},
      {"three hundred", many, true, 256},
      {"negative", "-5\nFF0000\n", false, 0},
      {"no count", "hello\n", false, 0},
      {"empty", "", false, 0},
      {"huge", "99999999999999999999\n", true, 256},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto contents = ParsePaletteFile(c.text);
    ASSERT_EQ(contents.has_value(), c.reads);
    if (!contents) continue;
    EXPECT_FALSE(contents->raw);
    EXPECT_EQ(static_cast<int>(contents->cells.size()), c.cellsNamed);
    PaletteArray p = DefaultPalette();
    ApplyPaletteFile(*contents, p);
    const PaletteArray d = DefaultPalette();
    for (int i = c.cellsNamed; i < 256; ++i) EXPECT_EQ(p[static_cast<std::size_t>(i)], d[static_cast<std::size_t>(i)]);
  }
  PaletteArray p = DefaultPalette();
  ApplyPaletteFile(*ParsePaletteFile(sixteen), p);
  EXPECT_EQ(p[0], 0x00ABCDu);
  EXPECT_EQ(p[15], 0x00ABCDu);
  EXPECT_EQ(p[16], 0x000010u);
}

TEST(PaletteFileTest, AnEntryThatDoesNotReadLeavesItsCellAndThoseAfterIt) {
  const auto contents = ParsePaletteFile("4\n0x11 22 zz 33\n");
  ASSERT_TRUE(contents);
  PaletteArray p = DefaultPalette();
  ApplyPaletteFile(*contents, p);
  EXPECT_EQ(p[0], 0x11u);
  EXPECT_EQ(p[1], 0x22u);
  EXPECT_EQ(p[2], DefaultPalette()[2]);
  EXPECT_EQ(p[3], DefaultPalette()[3]) << "as formatted input stops at the first field that fails";
}

}  // namespace
