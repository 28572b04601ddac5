#include <gtest/gtest.h>

#include "platform/user/SysParams.h"
#include "platform/user/UserDraw.h"
#include "support/Canvas.h"

namespace {

TEST(UserDraw, DrawEdgeUsesTheClassicColours) {
  Canvas c(10, 10, 0x123456);
  RECT r{0, 0, 10, 10};
  DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
  EXPECT_EQ(r, (RECT{2, 2, 8, 8}));
  EXPECT_EQ(c.at(0, 0), PixelFromColor(GetSysColor(COLOR_3DLIGHT)));
  EXPECT_EQ(c.at(1, 1), PixelFromColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(c.at(9, 9), PixelFromColor(GetSysColor(COLOR_3DDKSHADOW)));
  EXPECT_EQ(c.at(8, 8), PixelFromColor(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(c.at(9, 0), PixelFromColor(GetSysColor(COLOR_3DDKSHADOW)));  // the dark side owns the corner
  EXPECT_EQ(c.at(5, 5), PixelFromColor(GetSysColor(COLOR_BTNFACE)));
}

TEST(UserDraw, FocusRectangleDrawnTwiceLeavesNoTrace) {
  Canvas c(10, 10, 0x808080);
  RECT r{1, 1, 9, 9};
  DrawFocusRect(c.dc(), &r);
  EXPECT_GT(c.CountNot(0x808080), 10);
  EXPECT_EQ(c.at(4, 4), 0x808080u);
  DrawFocusRect(c.dc(), &r);
  EXPECT_EQ(c.CountNot(0x808080), 0);
}

TEST(UserDraw, FrameControlsPaintButtonFaces) {
  Canvas c(20, 20, 0);
  RECT r{0, 0, 20, 20};
  DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  EXPECT_EQ(c.at(3, 15), PixelFromColor(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(c.at(10, 10), PixelFromColor(GetSysColor(COLOR_BTNTEXT)));  // the cross's centre
}

TEST(UserDraw, DrawTextCalcRectMeasuresLines) {
  Canvas c(200, 100);
  FontScope font(c.dc(), UiLogFont());
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  SIZE wide;
  GetTextExtentPoint32(c.dc(), "second line", 11, &wide);
  RECT r{10, 10, 10, 10};
  int h = DrawText(c.dc(), "first\nsecond line", -1, &r, DT_CALCRECT);
  EXPECT_EQ(h, 2 * tm.tmHeight);
  EXPECT_EQ(r, (RECT{10, 10, 10 + wide.cx, 10 + 2 * tm.tmHeight}));
  EXPECT_EQ(c.CountNot(0xFFFFFF), 0);  // measuring draws nothing
}

TEST(UserDraw, DrawTextCentresAndClips) {
  Canvas c(200, 50);
  FontScope font(c.dc(), UiLogFont());
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{0, 0, 200, 50};
  DrawText(c.dc(), "Mid", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 2);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 25, 3);
  Canvas d(200, 50);
  FontScope font2(d.dc(), UiLogFont());
  SetBkMode(d.dc(), TRANSPARENT);
  RECT small{0, 0, 8, 50};
  DrawText(d.dc(), "Wide words", -1, &small, DT_SINGLELINE);
  EXPECT_LE(d.InkBox(0xFFFFFF).right, 8);
}

TEST(UserDraw, DrawTextWordBreakAndPrefix) {
  Canvas c(300, 100);
  FontScope font(c.dc(), UiLogFont());
  TEXTMETRIC tm;
  GetTextMetrics(c.dc(), &tm);
  SIZE one;
  GetTextExtentPoint32(c.dc(), "alpha beta", 10, &one);
  RECT r{0, 0, one.cx, 0};
  EXPECT_EQ(DrawText(c.dc(), "alpha beta gamma", -1, &r, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
  EXPECT_EQ(r.right, one.cx);  // the widest line
  // Wrapped text narrower than the rectangle narrows it, as a message box sizes itself by.
  RECT wide{0, 0, 280, 0};
  DrawText(c.dc(), "alpha beta", -1, &wide, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(wide.right, one.cx);
  EXPECT_EQ(wide.bottom, tm.tmHeight);
  // "&File" draws "File" with F underlined: the ink reaches one row below the baseline.
  SetBkMode(c.dc(), TRANSPARENT);
  RECT line{0, 0, 300, 40};
  SIZE file;
  GetTextExtentPoint32(c.dc(), "File", 4, &file);
  DrawText(c.dc(), "&File", -1, &line, DT_SINGLELINE | DT_NOCLIP);
  RECT ink = c.InkBox(0xFFFFFF);
  EXPECT_LE(ink.right, file.cx);
  EXPECT_EQ(ink.bottom, tm.tmAscent + 2);
}

TEST(UserDraw, EndEllipsisShortensTextToTheRectangle) {
  Canvas c(300, 40);
  FontScope font(c.dc(), UiLogFont());
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{0, 0, 60, 20};
  DrawText(c.dc(), "A rather long caption that cannot fit", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  EXPECT_LE(c.InkBox(0xFFFFFF).right, 60);
}

}  // namespace
