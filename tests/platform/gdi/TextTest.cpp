#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "platform/gdi/FontEngine.h"
#include "platform/user/SysParams.h"
#include "support/Canvas.h"

namespace {

LOGFONT Face(const char* name, LONG height, LONG weight = FW_NORMAL) {
  LOGFONT f;
  f.lfHeight = height;
  f.lfWeight = weight;
  std::strncpy(f.lfFaceName, name, LF_FACESIZE - 1);
  return f;
}

// Arial 12 pt at 96 dpi: an em of 16 pixels.
LOGFONT Arial12() { return Face("Arial", -16); }

class SmoothingScope {
public:
  explicit SmoothingScope(bool on) {
    SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &old_, 0);
    SystemParametersInfo(SPI_SETFONTSMOOTHING, on, nullptr, 0);
  }
  ~SmoothingScope() { SystemParametersInfo(SPI_SETFONTSMOOTHING, old_, nullptr, 0); }

private:
  BOOL old_ = TRUE;
};

TEST(Text, WindowsFaceNamesResolveToMetricCompatibleFonts) {
  struct Case {
    const char* face;
    const char* file;
  } cases[] = {{"Arial", "LiberationSans-Regular"}, {"Times New Roman", "LiberationSerif-Regular"},
               {"Courier New", "LiberationMono-Regular"}, {"MS Sans Serif", "LiberationSans-Regular"}};
  for (const Case& c : cases)
    EXPECT_NE(ResolveFontFile(Face(c.face, -16)).find(c.file), std::string::npos) << c.face;
  EXPECT_NE(ResolveFontFile(Face("Arial", -16, FW_BOLD)).find("LiberationSans-Bold"), std::string::npos);
}

TEST(Text, FontFamiliesListTheWindowsFacesFirstThenTheInstalledOnes) {
  std::vector<std::string> names;
  EnumFontFamiliesEx(nullptr, nullptr, [&](const LOGFONT* lf, const TEXTMETRIC* tm, DWORD type, LPARAM) {
    names.emplace_back(lf->lfFaceName);
    EXPECT_EQ(type, TRUETYPE_FONTTYPE);
    EXPECT_GT(tm->tmHeight, 0);
    return 1;
  }, 0, 0);
  ASSERT_GE(names.size(), 5u);
  EXPECT_EQ(names[0], "Arial");
  EXPECT_EQ(names[3], "Times New Roman");
  EXPECT_NE(std::find(names.begin(), names.end(), "DejaVu Sans"), names.end());
  int seen = 0;
  EXPECT_EQ(EnumFontFamilies(nullptr, "courier new", [&](const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM) { return ++seen, 0; }, 0), 0);
  EXPECT_EQ(seen, 1);  // only the family asked for, and a zero answer stops
}

TEST(Text, Arial12MetricsAreThoseOfTheWindowsFont) {
  Canvas c(10, 10);
  FontScope font(c.dc(), Arial12());
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
  // Arial's Windows ascent and descent (1854 and 434 of 2048 units) at 16 pixels.
  EXPECT_EQ(tm.tmAscent, 15);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmHeight, 19);
  EXPECT_EQ(tm.tmInternalLeading, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 7);  // 904 units
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32(c.dc(), "Hello", 5, &size));
  EXPECT_EQ(size.cy, tm.tmHeight);
  int widths[5];
  int total = 0;
  for (int i = 0; i < 5; ++i) {
    GetCharWidth32(c.dc(), static_cast<UINT>("Hello"[i]), static_cast<UINT>("Hello"[i]), &widths[i]);
    total += widths[i];
  }
  EXPECT_EQ(size.cx, total);
  EXPECT_GE(size.cx, 35);  // Arial's advances at 16 px: H 11.6, e 8.9, l 3.6, o 8.9
  EXPECT_LE(size.cx, 38);
}

TEST(Text, UiFontIsEightPointSans) {
  Canvas c(10, 10);
  LOGFONT ui = UiLogFont();
  FontScope font(c.dc(), ui);
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  EXPECT_EQ(ui.lfHeight, -11);
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAscent, 10);
}

TEST(Text, TextOutPlacesInkInsideTheCellItsMetricsDescribe) {
  for (const LOGFONT& f : {Arial12(), UiLogFont()}) {
    Canvas c(200, 60);
    FontScope font(c.dc(), f);
    SetBkMode(c.dc(), TRANSPARENT);
    TEXTMETRIC tm;
    GetTextMetrics(c.dc(), &tm);
    SIZE size;
    GetTextExtentPoint32(c.dc(), "Hygiene", 7, &size);
    TextOut(c.dc(), 10, 20, "Hygiene", 7);
    RECT ink = c.InkBox(0xFFFFFF);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 10 + size.cx);
    EXPECT_GT(ink.right, 10 + size.cx - 4);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.bottom, 20 + tm.tmHeight);
    // 'y' and 'g' reach below the baseline, 'H' reaches near the top of the ascent.
    EXPECT_GT(ink.bottom, 20 + tm.tmAscent);
    EXPECT_LE(ink.top, 20 + tm.tmInternalLeading + 1);
  }
}

TEST(Text, AlignmentFlagsMoveTheReferencePoint) {
  Canvas c(200, 60);
  FontScope font(c.dc(), Arial12());
  SetBkMode(c.dc(), TRANSPARENT);
  SIZE size;
  GetTextExtentPoint32(c.dc(), "H", 1, &size);
  SetTextAlign(c.dc(), TA_RIGHT | TA_BASELINE);
  TextOut(c.dc(), 100, 40, "H", 1);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_EQ(ink.bottom, 40);  // H stands on the baseline
  EXPECT_LE(ink.right, 100);
  EXPECT_GE(ink.left, 100 - size.cx);
}

TEST(Text, OpaqueBackgroundFillsTheTextCell) {
  Canvas c(100, 40, 0);
  FontScope font(c.dc(), Arial12());
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  SIZE size;
  GetTextExtentPoint32(c.dc(), "ab", 2, &size);
  TextOut(c.dc(), 5, 5, "ab", 2);
  EXPECT_EQ(c.InkBox(0), (RECT{5, 5, 5 + size.cx, 5 + size.cy}));
}

TEST(Text, AntiAliasingFollowsTheFontSmoothingSetting) {
  for (bool smooth : {false, true}) {
    SmoothingScope scope(smooth);
    Canvas c(120, 40);
    FontScope font(c.dc(), Arial12());
    SetBkMode(c.dc(), TRANSPARENT);
    TextOut(c.dc(), 2, 2, "Saw", 3);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 120; ++x) colours.insert(c.at(x, y));
    if (smooth)
      EXPECT_GT(colours.size(), 4u);
    else
      EXPECT_EQ(colours, (std::set<std::uint32_t>{0, 0xFFFFFF}));
  }
}

TEST(Text, ExtentExReportsTheCharactersThatFit) {
  Canvas c(10, 10);
  FontScope font(c.dc(), Arial12());
  int fit = 0, dx[4];
  SIZE size;
  GetTextExtentPoint32(c.dc(), "ab", 2, &size);
  GetTextExtentExPoint(c.dc(), "abcd", 4, size.cx, &fit, dx, &size);
  EXPECT_EQ(fit, 2);
  EXPECT_EQ(dx[3], size.cx);
}

TEST(Text, AbcWidthsAddUpToTheAdvance) {
  Canvas c(10, 10);
  FontScope font(c.dc(), Arial12());
  for (char ch : std::string("AWfjy")) {
    ABC abc;
    int width;
    ASSERT_TRUE(GetCharABCWidths(c.dc(), static_cast<BYTE>(ch), static_cast<BYTE>(ch), &abc));
    GetCharWidth32(c.dc(), static_cast<BYTE>(ch), static_cast<BYTE>(ch), &width);
    EXPECT_EQ(abc.abcA + static_cast<int>(abc.abcB) + abc.abcC, width) << ch;
  }
}

}  // namespace
