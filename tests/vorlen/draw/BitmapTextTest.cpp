#include <gtest/gtest.h>

#include <filesystem>

#include "FontFixture.h"
#include "platform/vcl/Font.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"

namespace {

constexpr uint kPaper = 0x00FFFFFF;
constexpr uint kInk = 0x40123456;

class BitmapTextTest : public FontFolderTest {
protected:
  void SetUp() override {
    FontFolderTest::SetUp();
    // 'a': a diagonal; 'b': a 4-wide box; 'c': a glyph of width 0; 'd' and 'e': slashes.
    WriteFont("pic.rfn", WriteRfn("Pic", {PictureSize('a', {
        {"#...", ".#..", "..#.", "...#"},
        {"####", "#..#", "#..#", "####"},
        {"", "", "", ""},
        {"...#", "..#.", ".#..", "#..."},
        {"#...", ".#..", "..#.", "...#"}}, 6)}, 2));
    font_.SetName("Pic");
    target_.Alloc(Pair<int>(30, 10));
    Clear();
  }
  void TearDown() override {
    font_ = RFont();
    FontFolderTest::TearDown();
  }
  void Clear() {
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 30; ++x) *target_.At(x, y) = kPaper;
  }
  // The ink of the target as rows of '#' and '.'.
  std::vector<std::string> Picture(Rect r) const {
    std::vector<std::string> rows;
    for (int y = r.top; y <= r.bottom; ++y) {
      std::string row;
      for (int x = r.left; x <= r.right; ++x) {
        const uint p = *target_.At(x, y);
        EXPECT_TRUE(p == kPaper || p == kInk) << x << "," << y;
        row += p == kInk ? '#' : '.';
      }
      rows.push_back(row);
    }
    return rows;
  }
  // The bounding box of all ink; empty when none.
  Rect Ink() const {
    Rect box(1 << 20, 1 << 20, -(1 << 20), -(1 << 20));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 30; ++x)
        if (*target_.At(x, y) != kPaper)
          box = Rect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y));
    return box.Empty() ? Rect() : box;
  }

  RFont font_;
  Buffer target_;
};

TEST_F(BitmapTextTest, OutCharSetsTheGlyphBitsOnly) {
  target_.OutChar(font_, Pair<int>(2, 3), 'a', kInk);
  EXPECT_EQ(Picture(Rect(1, 2, 6, 7)), (std::vector<std::string>{
      "......", ".#....", "..#...", "...#..", "....#.", "......"}));
  EXPECT_EQ(Ink(), Rect(2, 3, 5, 6));
}

TEST_F(BitmapTextTest, OutCharClipsAtEveryEdge) {
  const struct { int x, y; Rect ink; } cases[] = {
      {-2, 0, Rect(0, 0, 1, 3)}, {28, 0, Rect(28, 0, 29, 3)},
      {0, -3, Rect(0, 0, 3, 0)}, {0, 8, Rect(0, 8, 3, 9)}, {40, 40, Rect()}, {-9, 0, Rect()}};
  for (const auto& c : cases) {
    Clear();
    target_.OutChar(font_, Pair<int>(c.x, c.y), 'b', kInk);
    EXPECT_EQ(Ink(), c.ink) << c.x << "," << c.y;
  }
}

TEST_F(BitmapTextTest, CharactersWithoutGlyphsDrawNothing) {
  for (int ch : {int('c'), int('`'), int('f'), 0, 255, -1, 1000}) target_.OutChar(font_, Pair<int>(3, 3), ch, kInk);
  EXPECT_EQ(Ink(), Rect());
}

TEST_F(BitmapTextTest, WithoutKerningGlyphsAreCentredInSpaceCells) {
  font_.kerning = 0;
  target_.OutText(font_, Pair<int>(0, 0), "bb", kInk);
  // Cells of 6 + spacing 1; a 4-wide glyph sits (6 - 4) / 2 = 1 column in.
  EXPECT_EQ(Picture(Rect(0, 0, 12, 0)), (std::vector<std::string>{".####...####."}));
  EXPECT_EQ(target_.GetTextExtent(font_, "bb"), Pair<int>(13, 4));
}

TEST_F(BitmapTextTest, WithKerningShapesThatInterlockMoveCloser) {
  // "bb": straight sides do not interlock: width + spacing each.
  target_.OutText(font_, Pair<int>(0, 0), "bb", kInk);
  EXPECT_EQ(Picture(Rect(0, 0, 9, 0)), (std::vector<std::string>{"####.####."}));
  EXPECT_EQ(target_.GetTextExtent(font_, "bb"), Pair<int>(9, 4));
  // "aa": two parallel diagonals leave a gap of 3 in every row; the second moves in by the
  // interlock, at most half a glyph's width (2).
  Clear();
  EXPECT_EQ(target_.GetTextExtent(font_, "aa"), Pair<int>(4 + 1 - 2 + 4, 4));
  target_.OutText(font_, Pair<int>(0, 0), "aa", kInk);
  EXPECT_EQ(Picture(Rect(0, 0, 6, 3)), (std::vector<std::string>{
      "#..#...", ".#..#..", "..#..#.", "...#..#"}));
  // "ad" meet in a V: no row of one lies beside a row of the other, nothing to fit.
  EXPECT_EQ(target_.GetTextExtent(font_, "ad"), Pair<int>(9, 4));
}

TEST_F(BitmapTextTest, SpacesAndOverridesMoveTheNextGlyph) {
  const struct { int spacing, space; const char* text; int width; } cases[] = {
      {RFont::kFontValue, RFont::kFontValue, "b b", 4 + 1 + 6 + 1 + 4},
      {0, RFont::kFontValue, "b b", 4 + 6 + 4},
      {3, 2, "b b", 4 + 3 + 2 + 3 + 4},
      {RFont::kFontValue, RFont::kFontValue, " ", 6},
  };
  for (const auto& c : cases) {
    font_.spacing = c.spacing;
    font_.space_size = c.space;
    EXPECT_EQ(target_.GetTextExtent(font_, c.text), Pair<int>(c.width, 4)) << c.text << c.spacing;
  }
}

TEST_F(BitmapTextTest, TextStaysInsideItsExtent) {
  for (const char* text : {"a", "ab", "abde", "b a d", "dddd"}) {
    Clear();
    const Pair<int> extent = target_.GetTextExtent(font_, text);
    target_.OutText(font_, Pair<int>(1, 2), text, kInk);
    const Rect ink = Ink();
    EXPECT_GE(ink.left, 1) << text;
    EXPECT_GE(ink.top, 2) << text;
    EXPECT_LE(ink.right, extent.x) << text;
    EXPECT_LE(ink.bottom, 1 + extent.y) << text;
    EXPECT_EQ(ink.right, extent.x) << text;  // the last glyph's ink reaches the right edge
  }
}

TEST_F(BitmapTextTest, EmptyTextMeasuresNothing) {
  EXPECT_EQ(target_.GetTextExtent(font_, ""), Pair<int>(0, 0));
  Buffer empty;
  empty.OutText(font_, Pair<int>(0, 0), "abc", kInk);
  empty.OutChar(font_, Pair<int>(0, 0), 'a', kInk);
  EXPECT_EQ(Ink(), Rect());
}

// Without a font (or without its glyphs) text is drawn in the default framework font.
TEST_F(BitmapTextTest, NoFontFallsBackToTheFrameworkFont) {
  RFont none;
  TFont framework;
  const Pair<int> extent = target_.GetTextExtent(none, "ab");
  EXPECT_EQ(extent, target_.GetTextExtent(&framework, "ab"));
  ASSERT_GT(extent.x, 0);
  target_.OutText(none, Pair<int>(1, 0), "ab", kInk);
  const Rect ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 1);
  EXPECT_LE(ink.right, extent.x);
  Clear();
  target_.OutChar(none, Pair<int>(1, 0), 'a', kInk);
  EXPECT_FALSE(Ink().Empty());
}

TEST_F(BitmapTextTest, DrawsIntoAViewInItsOwnCoordinates) {
  Buffer view(target_, Rect(10, 2, 19, 7), true);
  view.OutText(font_, Pair<int>(8, 1), "b", kInk);  // clipped by the view, not the target
  EXPECT_EQ(Ink(), Rect(10, 2, 11, 4));
}

// The build puts the shipped fonts where the library looks for them beside its folder "bin".
TEST(ShippedFonts, TheBuildsFontFolderHoldsThem) {
  for (const char* name : {"dejavusans.rfn", "dejavuserif.rfn"})
    EXPECT_TRUE(std::filesystem::exists(std::string(QUILLO_BIN_DIR) + "/../FONTS/" + name)) << name;
}

// The fonts the system ships: each face and size draws legible text inside its extent.
TEST(ShippedFonts, EveryFaceAndSizeDrawsText) {
  const std::string shipped = std::string(QUILLO_SOURCE_DIR) + "/data/fonts/";
  const std::string saved = RFont::path;
  RFont::FreeReg();
  TempHome home;
  const std::string folder = home.Path() + "/";
  for (const auto& item : std::filesystem::directory_iterator(shipped))
    std::filesystem::copy_file(item.path(), folder + item.path().filename().string());
  std::snprintf(RFont::path, sizeof RFont::path, "%s", folder.c_str());
  RFont::InitReg();
  ASSERT_GE(RFont::GetCount(), 4);
  std::vector<std::string> names;
  for (int i = 0; i < RFont::GetCount(); ++i) {
    const RFontEntry& e = RFont::GetReg()[i];
    if (e.count != 0) names.push_back(e.name);
    RFont font;
    font.SetName(e.name);
    font.SetSize(e.height);
    Buffer b;
    b.Alloc(Pair<int>(400, 40));
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x) *b.At(x, y) = kPaper;
    const Pair<int> extent = b.GetTextExtent(font, "Hello, World");
    EXPECT_EQ(extent.y, e.height);
    EXPECT_GT(extent.x, 6 * e.height / 2) << e.name << e.height;
    b.OutText(font, Pair<int>(5, 3), "Hello, World", 0);
    int inked = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x) {
        if (*b.At(x, y) == kPaper) continue;
        ++inked;
        outside += x < 5 || y < 3 || x >= 5 + extent.x || y >= 3 + extent.y;
      }
    EXPECT_EQ(outside, 0) << e.name << e.height;
    // Coverage: strokes fill a sensible share of the box, neither blank nor solid.
    EXPECT_GT(inked, extent.x * extent.y / 20) << e.name << e.height;
    EXPECT_LT(inked, extent.x * extent.y / 2) << e.name << e.height;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"DejaVu Sans", "DejaVu Serif"}));
  RFont::FreeReg();
  std::snprintf(RFont::path, sizeof RFont::path, "%s", saved.c_str());
}

}  // namespace
