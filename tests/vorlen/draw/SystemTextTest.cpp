#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/vcl/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/SysParams.h"
#include "platform/user/WinConst.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr uint kPaper = 0x00FFFFFF;

class SystemTextTest : public ::testing::Test {
protected:
  void SetUp() override {
    font_.SetName("DejaVu Sans");
    font_.SetSize(20);
    target_.Alloc(Pair<int>(160, 60));
    Clear();
  }
  void Clear() {
    for (int y = 0; y < target_.Height(); ++y)
      for (int x = 0; x < target_.Width(); ++x) *target_.At(x, y) = kPaper;
  }
  Rect Ink() const {
    Rect box(1 << 20, 1 << 20, -(1 << 20), -(1 << 20));
    for (int y = 0; y < target_.Height(); ++y)
      for (int x = 0; x < target_.Width(); ++x)
        if (*target_.At(x, y) != kPaper)
          box = Rect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y));
    return box.Empty() ? Rect() : box;
  }
  std::set<uint> Values() const {
    std::set<uint> values;
    for (int y = 0; y < target_.Height(); ++y)
      for (int x = 0; x < target_.Width(); ++x) values.insert(*target_.At(x, y));
    return values;
  }

  TFont font_;
  Buffer target_;
};

TEST_F(SystemTextTest, EmptyTextMeasuresNothing) {
  EXPECT_EQ(target_.GetTextExtent(&font_, ""), Pair<int>(0, 0));
  target_.OutText(&font_, Pair<int>(5, 5), "", 0);
  EXPECT_EQ(Ink(), Rect());
}

TEST_F(SystemTextTest, ExtentGrowsWithTheTextAndTheFont) {
  const Pair<int> one = target_.GetTextExtent(&font_, "H");
  const Pair<int> two = target_.GetTextExtent(&font_, "HH");
  EXPECT_GE(one.y, 20);   // 20 points are about 27 pixels of line
  EXPECT_LE(one.y, 40);
  EXPECT_GT(one.x, 8);
  EXPECT_EQ(two.y, one.y);
  EXPECT_GE(two.x, 2 * one.x - 2);
  TFont small;
  small.SetName("DejaVu Sans");
  small.SetSize(8);
  EXPECT_LT(target_.GetTextExtent(&small, "HH").x, two.x);
}

TEST_F(SystemTextTest, TextIsHardEdgedInsideItsBoxAndLeavesTheRestUnchanged) {
  BOOL smoothingBefore = FALSE;
  SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &smoothingBefore, 0);
  const Pair<int> extent = target_.GetTextExtent(&font_, "Hello");
  target_.OutText(&font_, Pair<int>(7, 4), "Hello", 0x00000000);
  EXPECT_EQ(Values(), (std::set<uint>{kPaper, 0x00000000}));  // no grey edge pixels
  const Rect ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 7);
  EXPECT_GE(ink.top, 4);
  EXPECT_LE(ink.right, 7 + extent.x - 1);
  EXPECT_LE(ink.bottom, 4 + extent.y - 1);
  EXPECT_GT(ink.Width(), extent.x / 2);  // the box is filled across, not just started
  BOOL smoothingAfter = FALSE;
  SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &smoothingAfter, 0);
  EXPECT_EQ(smoothingAfter, smoothingBefore);  // the system's setting is never touched
}

TEST_F(SystemTextTest, TheTransparencyByteTravelsWithTheColour) {
  const struct { uint colour; } cases[] = {{0x80000000}, {0x00123456}, {0x40FFFFFF}};
  for (const auto& c : cases) {
    Clear();
    target_.OutText(&font_, Pair<int>(2, 2), "Tx", c.colour);
    EXPECT_EQ(Values(), (std::set<uint>{kPaper, c.colour})) << std::hex << c.colour;
  }
}

TEST_F(SystemTextTest, ClippedTextMatchesTheSamePartDrawnWhole) {
  Buffer whole;
  whole.Alloc(Pair<int>(200, 100));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) *whole.At(x, y) = kPaper;
  whole.OutText(&font_, Pair<int>(20, 20), "Wgy", 0);
  target_.OutText(&font_, Pair<int>(-8, -9), "Wgy", 0);  // the same text 28 and 29 pixels up-left
  for (int y = 0; y < target_.Height(); ++y)
    for (int x = 0; x < target_.Width(); ++x)
      ASSERT_EQ(*target_.At(x, y), *whole.At(x + 28, y + 29)) << x << "," << y;
  EXPECT_FALSE(Ink().Empty());
}

TEST_F(SystemTextTest, TextOutsideTheBufferDrawsNothing) {
  for (Pair<int> pos : {Pair<int>(500, 0), Pair<int>(-500, 0), Pair<int>(0, 200), Pair<int>(0, -200)})
    target_.OutText(&font_, pos, "Hello", 0);
  EXPECT_EQ(Ink(), Rect());
  Buffer empty;
  empty.OutText(&font_, Pair<int>(0, 0), "Hello", 0);
}

TEST_F(SystemTextTest, WithoutAFontNothingIsDrawnOrMeasured) {
  for (const char* text : {"Hello", "W", ""}) {
    EXPECT_EQ(target_.GetTextExtent(nullptr, text), Pair<int>(0, 0)) << text;
    target_.OutText(nullptr, Pair<int>(5, 5), text, 0);
    EXPECT_EQ(Ink(), Rect()) << text;
  }
}

TEST_F(SystemTextTest, ItalicOverhangsStayInsideTheBox) {
  TFont italic;
  italic.SetName("DejaVu Sans");
  italic.SetSize(26);
  italic.SetStyle(fsItalic);
  for (const char* text : {"fj", "Jf", "f"}) {
    Clear();
    const Pair<int> extent = target_.GetTextExtent(&italic, text);
    target_.OutText(&italic, Pair<int>(10, 5), text, 0);
    const Rect ink = Ink();
    ASSERT_FALSE(ink.Empty()) << text;
    EXPECT_GE(ink.left, 10) << text;
    EXPECT_LE(ink.right, 10 + extent.x - 1) << text;
  }
}

// The extent is GDI's, widened by the first character's negative A and the last one's negative C.
TEST_F(SystemTextTest, ItalicExtentsIncludeBothOverhangs) {
  TFont italic;
  italic.SetName("DejaVu Sans");
  italic.SetSize(26);
  italic.SetStyle(fsItalic);
  LOGFONT log;
  GetObject(italic.GetHandle(), sizeof(log), &log);
  log.lfQuality = NONANTIALIASED_QUALITY;
  const HFONT hard = CreateFontIndirect(&log);
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ previous = SelectObject(dc, hard);
  SIZE size;
  ABC first, last;
  ASSERT_TRUE(GetTextExtentPoint32(dc, "Jf", 2, &size));
  ASSERT_TRUE(GetCharABCWidths(dc, 'J', 'J', &first));
  ASSERT_TRUE(GetCharABCWidths(dc, 'f', 'f', &last));
  SelectObject(dc, previous);
  DeleteObject(hard);
  DeleteDC(dc);
  ASSERT_LT(first.abcA, 0);  // the case this test is about
  ASSERT_LT(last.abcC, 0);
  EXPECT_EQ(target_.GetTextExtent(&italic, "Jf"), Pair<int>(size.cx - first.abcA - last.abcC, size.cy));
}

TEST_F(SystemTextTest, DrawsIntoAViewInItsOwnCoordinates) {
  Buffer view(target_, Rect(50, 10, 99, 49), true);
  view.OutText(&font_, Pair<int>(40, 10), "MM", 0);  // starts inside the view, runs past it
  const Rect ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 50);
  EXPECT_LE(ink.right, 99);
}

}  // namespace
