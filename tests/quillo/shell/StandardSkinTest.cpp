// The built default skin, read back as the program reads it: through the graphics library
// (the file is found by its content, not its extension), its header by the digit rule, and
// every glyph in the cell the header's layout gives it.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SkinDigits.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"
#include "support/UiDriver.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/FormatList.h"
#include "vorlen/formats/GFXFile.h"

namespace {

class StandardSkinTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterFormats();
    ASSERT_TRUE(GFXFile::Load(skin, AnsiString(QUILLO_BIN_DIR) + "/Skins/Standard Shaded.skn", nullptr, 0, nullptr));
    ASSERT_GE(skin.Width(), 69);
    ASSERT_GE(skin.Height(), 6);
  }
  void TearDown() override { skin.Free(); }

  uint Pixel(int x, int y) const { return skin.At(x, y)[0] & 0xFFFFFF; }
  bool IsPaper(int x, int y) const { return Pixel(x, y) == Pixel(0, 5); }

  // Whether the w x h cell at (x0, y0) holds nothing but the background.
  bool CellIsBlank(int x0, int y0, int w, int h, uint background) const {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (Pixel(x, y) != background) return false;
    return true;
  }

  Buffer skin;
};

TEST_F(StandardSkinTest, HeaderReadsBackItsSixNumbers) {
  int numbers[6];
  ReadSkinHeader([this](int x, int y) { return IsPaper(x, y); }, numbers);
  EXPECT_EQ(numbers[0], 6) << "icon rows of the first strip";
  EXPECT_EQ(numbers[1], 20);
  EXPECT_EQ(numbers[2], 20);
  EXPECT_EQ(numbers[3], 2) << "icon rows of the second strip";
  EXPECT_EQ(numbers[4], 16);
  EXPECT_EQ(numbers[5], 16);
}

// Each strip: the glyphs it has fill their cells, the cells after them are blank, and the
// one-pixel lines between cells are unbroken, so nothing is shifted out of its place.
TEST_F(StandardSkinTest, EveryGlyphSitsInItsCell) {
  struct StripCase {
    int top, width, height, rows, glyphs;
  };
  const int top2 = 21 * 6 + 6;
  const StripCase strips[] = {{6, 20, 20, 6, 51}, {top2, 16, 16, 2, 20}};
  const uint background = Pixel(0, 20 + 5);
  const uint separator = Pixel(20, 6);
  EXPECT_NE(separator, background);
  ASSERT_EQ(skin.Height(), top2 + 2 * 17 - 1);
  for (const StripCase& strip : strips) {
    const int columns = (skin.Width() + 1) / (strip.width + 1);
    for (int i = 0; i < strip.rows * columns; ++i) {
      const int x0 = i % columns * (strip.width + 1);
      const int y0 = strip.top + i / columns * (strip.height + 1);
      EXPECT_EQ(CellIsBlank(x0, y0, strip.width, strip.height, background), i >= strip.glyphs)
          << "cell " << i << " of the strip at row " << strip.top;
      if (x0 + strip.width < skin.Width()) {
        for (int y = y0; y < y0 + strip.height; ++y)
          ASSERT_EQ(Pixel(x0 + strip.width, y), separator) << "line right of cell " << i << ", row " << y;
      }
      if (y0 + strip.height < skin.Height()) {
        for (int x = x0; x < x0 + strip.width; ++x)
          ASSERT_EQ(Pixel(x, y0 + strip.height), separator) << "line below cell " << i << ", column " << x;
      }
    }
  }
}

// The key columns are read while rows 0 and 1 differ; every key found there is used by some
// glyph, so the blending toward the button face shows.
TEST_F(StandardSkinTest, KeyColoursAreListedAndUsed) {
  std::set<uint> keys;
  int x = 68;
  for (; x < skin.Width() && Pixel(x, 0) != Pixel(x, 1); ++x)
    for (int row = 1; row <= 3; ++row)
      if (!IsPaper(x, row)) keys.insert(Pixel(x, row));
  EXPECT_GE(keys.size(), 3u) << "light, middle and dark";
  std::set<uint> used;
  for (int y = 6; y < skin.Height(); ++y)
    for (int xx = 0; xx < skin.Width(); ++xx)
      if (keys.count(Pixel(xx, y)) != 0) used.insert(Pixel(xx, y));
  EXPECT_EQ(used, keys);
  EXPECT_EQ(keys.count(Pixel(0, 25)), 0u) << "the background is no key";
}

// The program's own skin manager takes the file: the same layout, an icon for every glyph
// index, the background turned into the button face and each key blended toward it by the
// share its header row gives (row 1: 3/4 key, row 2: 1/2, row 3: 1/4).
TEST_F(StandardSkinTest, TheSkinManagerTakesItAndBlendsItsKeys) {
  UiDriver ui;
  SkinManager manager(AnsiString(QUILLO_BIN_DIR) + "/Skins/");
  ASSERT_NO_THROW(manager.Load("Standard Shaded"));
  const SkinLayout& layout = manager.Layout();
  EXPECT_EQ(layout.Columns1, 10);
  EXPECT_EQ(layout.Columns2, 12);
  EXPECT_EQ(layout.Top2, 132);
  const DWORD faceRef = GetSysColor(COLOR_BTNFACE);
  const uint face = (faceRef & 0xFF) << 16 | (faceRef & 0xFF00) | (faceRef >> 16 & 0xFF);
  const auto shown = [](TBitmap* icon, int x, int y) {
    const TColor c = icon->GetCanvas()->GetPixel(x, y);
    return static_cast<uint>((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
  };
  for (int index = 1; index <= SkinGlyph::FirstStripCount + 20; ++index) {
    const int glyph = index <= SkinGlyph::FirstStripCount ? index : 1000 + index - SkinGlyph::FirstStripCount;
    TOwnedPtr<TBitmap> icon = manager.IconBitmap(glyph);
    ASSERT_TRUE(icon) << glyph;
    EXPECT_EQ(icon->GetWidth(), glyph > 1000 ? 16 : 20) << glyph;
  }
  TOwnedPtr<TBitmap> first = manager.IconBitmap(1);
  EXPECT_EQ(shown(first.get(), 0, 19), face) << "the background";

  // Each key: its first pixel in the first strip, seen in the loaded icon.
  for (int x = 68; x < skin.Width() && Pixel(x, 0) != Pixel(x, 1); ++x) {
    for (int row = 1; row <= 3; ++row) {
      if (IsPaper(x, row)) continue;
      const uint key = Pixel(x, row);
      bool found = false;
      for (int y = 6; y < 6 + 6 * 21 && !found; ++y)
        for (int xx = 0; xx < skin.Width() && !found; ++xx) {
          if (Pixel(xx, y) != key || xx % 21 == 20 || (y - 6) % 21 == 20) continue;
          found = true;
          const int share = 4 - row;
          uint blended = 0;
          for (int shift = 0; shift <= 16; shift += 8)
            blended |= ((share * (key >> shift & 0xFF) + (4 - share) * (face >> shift & 0xFF)) / 4) << shift;
          TOwnedPtr<TBitmap> icon = manager.IconBitmap(1 + (y - 6) / 21 * 10 + xx / 21);
          EXPECT_EQ(shown(icon.get(), xx % 21, (y - 6) % 21), blended) << "key " << std::hex << key;
        }
      EXPECT_TRUE(found) << "key " << std::hex << key << " is used in the first strip";
    }
  }
}

}  // namespace
