// The skin maker: the digit font it draws reads back by the program's rule, and a malformed
// skin source is refused naming the file and line, the tool exiting non-zero and keeping the
// skin file it had.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SkinDigits.h"
#include "support/TempHome.h"
#include "tools/skinmaker/SkinImage.h"
#include "tools/skinmaker/SkinSource.h"

using namespace skinmaker;

namespace {

TEST(SkinMakerTest, EveryDigitReadsBack) {
  constexpr Rgb kPaper = 0xFFFFFF;
  for (int digit = 0; digit <= 9; ++digit) {
    RgbImage image(4, 6, kPaper);
    DrawDigit(image, digit, 0, 0, 0x000000);
    EXPECT_EQ(ReadSkinDigit([&](int x, int y) { return image.At(x, y) == kPaper; }, 0), digit);
  }
}

const char* const kDescription =
    "name Tiny\n"
    "paper #FFFFFF\n"
    "ink #000000\n"
    "separator #808080\n"
    "columns 35\n"
    "strip1 1x1 2\n"
    "strip2 1x1 1\n"
    "background . #C0C0C0\n"
    "key + #F6F5F3 1/2 light\n"
    "colour k #000000 black\n";

// A description with one line replaced (1-based), to break one thing at a time.
std::string DescriptionWith(int line, const std::string& text) {
  std::string out;
  std::string all = kDescription;
  int at = 1;
  for (size_t start = 0; start < all.size(); ++at) {
    const size_t end = all.find('\n', start);
    out += at == line ? text : all.substr(start, end - start);
    out += '\n';
    start = end + 1;
  }
  return out;
}

TEST(SkinMakerTest, RefusesAMalformedDescriptionNamingTheLine) {
  const struct {
    int line;
    std::string text;
    std::string message;
  } cases[] = {
      {2, "paper #FFFFF", "skin.txt:2: '#FFFFF' is not a colour"},
      {6, "strip1 1x1", "skin.txt:6: strip1 wants"},
      {6, "strip1 100x1 2", "skin.txt:6: icon width 100 is outside 1 to 99"},
      {9, "key + #F6F5F3 2/3 light", "skin.txt:9: key share '2/3'"},
      {10, "colour + #000000 black", "skin.txt:10: '+' is in the legend twice"},
      {10, "colour k #F6F5F3 not a key", "skin.txt: colour 'k' has the colour of key '+'"},
      {9, "key + #C0C0C0 1/2 light", "skin.txt: key '+' has the colour of the background"},
      {5, "columns 33", "the header and 1 key columns need 69"},
      {7, "# no second strip", "skin.txt: 'strip2' is missing"},
      {4, "frame #808080", "skin.txt:4: unknown entry 'frame'"},
  };
  for (const auto& c : cases) {
    try {
      ParseSkinDescription(DescriptionWith(c.line, c.text), "skin.txt");
      ADD_FAILURE() << c.text << " was taken";
    } catch (const SkinSourceError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_NO_THROW(ParseSkinDescription(kDescription, "skin.txt"));
}

// A key's share picks its header row (3/4 row 1, 1/2 row 2, 1/4 row 3); row 0 is marked in
// ink so the column counts, and the column after the last key ends the list.
TEST(SkinMakerTest, KeysGoToTheRowOfTheirShare) {
  SkinDescription skin = ParseSkinDescription(DescriptionWith(5, "columns 36") +
                                                  "key - #101010 3/4 dark\n"
                                                  "key = #505050 1/4 middle\n"
                                                  "key * #202020 1/4 deep\n",
                                              "skin.txt");
  skin.strips[0].glyphs = {{"."}, {"k"}};
  skin.strips[1].glyphs = {{"+"}};
  const RgbImage image = ComposeSkin(skin);
  EXPECT_EQ(image.At(68, 0), 0x000000u);
  EXPECT_EQ(image.At(68, 1), 0x101010u);
  EXPECT_EQ(image.At(68, 2), 0xF6F5F3u);
  EXPECT_EQ(image.At(68, 3), 0x202020u) << "1/4 keys in the order of their characters";
  EXPECT_EQ(image.At(69, 0), 0x000000u);
  EXPECT_EQ(image.At(69, 1), 0xFFFFFFu);
  EXPECT_EQ(image.At(69, 2), 0xFFFFFFu);
  EXPECT_EQ(image.At(69, 3), 0x505050u);
  EXPECT_EQ(image.At(70, 0), image.At(70, 1)) << "the list ends";
}

TEST(SkinMakerTest, RefusesAMalformedMapNamingTheLine) {
  const std::map<char, LegendColour> legend = {{'.', {}}, {'k', {}}};
  const struct {
    std::string map;
    std::string message;
  } cases[] = {
      {"# a comment\n..k\n.k\n...\n", "pen.txt:3: the row has 2 pixels, not 3"},
      {"...\n.Q.\n...\n", "pen.txt:2: 'Q' (column 2) is not in the legend"},
      {"...\n...\n", "pen.txt: 2 rows, not 3"},
      {"...\n...\n...\n...\n", "pen.txt:4: more than 3 rows"},
      {"...\n\n...\n", "pen.txt:2: the row has 0 pixels"},
  };
  for (const auto& c : cases) {
    try {
      ParseGlyphMap(c.map, "pen.txt", 3, 3, legend);
      ADD_FAILURE() << c.map << " was taken";
    } catch (const SkinSourceError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(ParseGlyphMap("# pen\n...\n.k.\r\n...\n\n", "pen.txt", 3, 3, legend)[1], ".k.")
      << "a Windows line end and a blank last line";
}

TEST(SkinMakerTest, TheToolRefusesABrokenSkinAndKeepsTheOldFile) {
  TempHome home;
  home.WriteFile("tiny/skin.txt", kDescription);
  home.WriteFile("tiny/strip1/1-dot.txt", ".\n");
  home.WriteFile("tiny/strip1/2-pen.txt", "k\n");
  home.WriteFile("tiny/strip2/1001-new.txt", "+\n");
  const std::string tool = std::string(QUILLO_BIN_DIR) + "/../tools/skinmaker";
  const std::string skin = home.Path() + "/Tiny.skn";
  const std::string make = "\"" + tool + "\" \"" + home.Path() + "/tiny\" \"" + skin + "\" 2>/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const std::string built = FileContents(skin);
  ASSERT_GT(built.size(), 54u);
  EXPECT_EQ(built.substr(0, 2), "BM");

  home.WriteFile("tiny/strip1/2-pen.txt", "kk\n");
  EXPECT_NE(std::system(make.c_str()), 0) << "a row too wide";
  home.WriteFile("tiny/strip1/2-pen.txt", "k\n");
  home.WriteFile("tiny/strip1/3-more.txt", "k\n");
  EXPECT_NE(std::system(make.c_str()), 0) << "a glyph past the strip's count";
  EXPECT_EQ(FileContents(skin), built) << "the old skin is kept";
  EXPECT_EQ(home.Files(), (std::vector<std::string>{"Tiny.skn", "tiny"})) << "no partial file left";
}

TEST(SkinMakerTest, RefusesAMissingGlyphAndABackgroundCornerThatIsNot) {
  TempHome home;
  home.WriteFile("tiny/skin.txt", kDescription);
  home.WriteFile("tiny/strip1/1-dot.txt", ".\n");
  home.WriteFile("tiny/strip2/1001-new.txt", "+\n");
  try {
    ReadSkinSource(home.Path() + "/tiny");
    ADD_FAILURE() << "glyph 2 is missing";
  } catch (const SkinSourceError& e) {
    EXPECT_NE(std::string(e.what()).find("glyph 2 has no map"), std::string::npos) << e.what();
  }
  home.WriteFile("tiny/strip1/2-pen.txt", "k\n");
  home.WriteFile("tiny/strip1/1-dot.txt", "k\n");
  try {
    ReadSkinSource(home.Path() + "/tiny");
    ADD_FAILURE() << "the first glyph's corner is not the background";
  } catch (const SkinSourceError& e) {
    EXPECT_NE(std::string(e.what()).find("glyph 1's bottom-left pixel"), std::string::npos) << e.what();
  }
}

}  // namespace
