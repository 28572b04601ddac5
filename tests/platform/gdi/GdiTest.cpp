#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/Display.h"
#include "support/Canvas.h"

namespace {

TEST(Gdi, FillRectWritesColourValuesAsSurfacePixels) {
  Canvas c(8, 8, 0);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{2, 2, 5, 4};
  FillRect(c.dc(), &r, red);
  EXPECT_EQ(c.at(2, 2), 0xFF0000u);
  EXPECT_EQ(c.at(4, 3), 0xFF0000u);
  EXPECT_EQ(c.at(5, 3), 0u);  // right and bottom edges are exclusive
  EXPECT_EQ(c.at(4, 4), 0u);
  EXPECT_EQ(GetPixel(c.dc(), 3, 3), RGB(255, 0, 0));
  DeleteObject(red);
}

TEST(Gdi, ClippingLimitsEveryDrawingCall) {
  Canvas c(20, 20, 0);
  IntersectClipRect(c.dc(), 5, 5, 10, 10);
  ExcludeClipRect(c.dc(), 7, 7, 8, 8);
  RECT all{0, 0, 20, 20};
  FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.CountNot(0), 24);
  EXPECT_EQ(c.at(7, 7), 0u);
  EXPECT_EQ(c.at(5, 5), 0xFFFFFFu);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{5, 5, 10, 10}));
  SelectClipRgn(c.dc(), nullptr);
  FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.CountNot(0xFFFFFF), 0);
}

TEST(Gdi, PatBltRasterOperations) {
  struct Case {
    DWORD rop;
    std::uint32_t expected;
  } cases[] = {{PATCOPY, 0x00F0F0}, {PATINVERT, 0x0FF00F ^ 0x00F0F0},
               {DSTINVERT, 0xF00FF0}, {BLACKNESS, 0}, {WHITENESS, 0xFFFFFF}};
  for (const Case& k : cases) {
    Canvas c(4, 4, 0x0FF00F);
    HBRUSH brush = CreateSolidBrush(ColorFromPixel(0x00F0F0));
    HGDIOBJ old = SelectObject(c.dc(), brush);
    EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 4, 4, k.rop));
    EXPECT_EQ(c.at(1, 1), k.expected) << std::hex << k.rop;
    SelectObject(c.dc(), old);
    DeleteObject(brush);
  }
}

TEST(Gdi, BitBltRasterOperations) {
  const std::uint32_t s = 0x00FF0F, d = 0x0F0FF0;
  struct Case {
    DWORD rop;
    std::uint32_t expected;
  } cases[] = {{SRCCOPY, s},           {SRCAND, s & d},           {SRCPAINT, s | d},
               {SRCINVERT, s ^ d},     {NOTSRCCOPY, ~s & 0xFFFFFF}, {SRCERASE, s & ~d & 0xFFFFFF},
               {NOTSRCERASE, ~(s | d) & 0xFFFFFF}, {MERGEPAINT, (~s | d) & 0xFFFFFF}};
  for (const Case& k : cases) {
    Canvas src(4, 4, s), dst(4, 4, d);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, k.rop));
    EXPECT_EQ(dst.at(2, 2), k.expected) << std::hex << k.rop;
  }
}

TEST(Gdi, MonochromeSourceTakesTheTargetsTextAndBackgroundColours) {
  const BYTE bits[] = {0xA0, 0x00};  // first row: pixels 0 and 2 white
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  Canvas c(4, 1, 0);
  SetTextColor(c.dc(), RGB(255, 0, 0));
  SetBkColor(c.dc(), RGB(0, 0, 255));
  BitBlt(c.dc(), 0, 0, 4, 1, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.at(0, 0), 0x0000FFu);  // white bits take the background colour
  EXPECT_EQ(c.at(1, 0), 0xFF0000u);  // black bits take the text colour
  EXPECT_EQ(c.at(2, 0), 0x0000FFu);
  // Colour to monochrome: the source's background colour becomes white.
  c.at(0, 0) = 0x123456;
  SetBkColor(c.dc(), ColorFromPixel(0x123456));
  BitBlt(mdc, 0, 0, 4, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mdc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 0));
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(Gdi, StretchBltScalesAndMirrors) {
  Canvas src(2, 1, 0);
  src.at(0, 0) = 0xAA0000;
  src.at(1, 0) = 0x00BB00;
  Canvas dst(4, 2, 0);
  StretchBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), 0xAA0000u);
  EXPECT_EQ(dst.at(1, 1), 0xAA0000u);
  EXPECT_EQ(dst.at(2, 0), 0x00BB00u);
  StretchBlt(dst.dc(), 4, 0, -4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), 0x00BB00u);
  EXPECT_EQ(dst.at(3, 0), 0xAA0000u);
}

TEST(Gdi, BitBltWithinOneSurfaceHandlesOverlap) {
  Canvas c(6, 1, 0);
  for (int x = 0; x < 6; ++x) c.at(x, 0) = static_cast<std::uint32_t>(x + 1);
  BitBlt(c.dc(), 1, 0, 5, 1, c.dc(), 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(c.at(x, 0), static_cast<std::uint32_t>(x));
}

TEST(Gdi, BitBltReadsBlackBeyondTheSourceAndClipsToTheTarget) {
  Canvas src(4, 4, 0xABCDEF), dst(6, 6, 0x111111);
  BitBlt(dst.dc(), 1, 1, 6, 6, src.dc(), -2, 0, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), 0x111111u);  // outside the target rectangle
  EXPECT_EQ(dst.at(1, 1), 0u);         // source column -2 does not exist
  EXPECT_EQ(dst.at(2, 1), 0u);
  EXPECT_EQ(dst.at(3, 1), 0xABCDEFu);
  EXPECT_EQ(dst.at(5, 4), 0xABCDEFu);
  EXPECT_EQ(dst.at(5, 5), 0u);  // source row 4 does not exist
}

TEST(Gdi, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  Canvas c(10, 10, 0);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ op = SelectObject(c.dc(), pen), ob = SelectObject(c.dc(), brush);
  Rectangle(c.dc(), 1, 1, 6, 6);
  EXPECT_EQ(c.at(1, 1), 0xFF0000u);
  EXPECT_EQ(c.at(5, 5), 0xFF0000u);
  EXPECT_EQ(c.at(6, 6), 0u);
  EXPECT_EQ(c.at(3, 3), 0x0000FFu);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Rectangle(c.dc(), 7, 7, 10, 10);  // without a pen: one pixel smaller
  EXPECT_EQ(c.at(8, 8), 0x0000FFu);
  EXPECT_EQ(c.at(9, 9), 0u);
  SelectObject(c.dc(), op);
  SelectObject(c.dc(), ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(Gdi, LineToLeavesOutItsLastPointAndMovesThePosition) {
  Canvas c(10, 3, 0xFFFFFF);
  MoveToEx(c.dc(), 1, 1, nullptr);
  LineTo(c.dc(), 8, 1);
  EXPECT_EQ(c.at(1, 1), 0u);
  EXPECT_EQ(c.at(7, 1), 0u);
  EXPECT_EQ(c.at(8, 1), 0xFFFFFFu);
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p, (POINT{8, 1}));
  SetROP2(c.dc(), R2_NOT);
  MoveToEx(c.dc(), 1, 1, nullptr);
  LineTo(c.dc(), 8, 1);
  EXPECT_EQ(c.CountNot(0xFFFFFF), 0);  // inverting twice restores
}

TEST(Gdi, EllipseStaysInsideItsBoxAndIsSymmetric) {
  Canvas c(21, 11, 0xFFFFFF);
  Ellipse(c.dc(), 0, 0, 21, 11);
  EXPECT_EQ(c.InkBox(0xFFFFFF), (RECT{0, 0, 21, 11}));
  EXPECT_EQ(c.at(0, 0), 0xFFFFFFu);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 21; ++x) EXPECT_EQ(c.at(x, y), c.at(20 - x, y)) << x << "," << y;
}

TEST(Gdi, SaveAndRestoreBringBackObjectsAndClip) {
  Canvas c(10, 10, 0);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  int saved = SaveDC(c.dc());
  SelectObject(c.dc(), brush);
  IntersectClipRect(c.dc(), 0, 0, 2, 2);
  SetTextColor(c.dc(), RGB(9, 9, 9));
  EXPECT_TRUE(RestoreDC(c.dc(), saved));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetTextColor(c.dc()), 0u);
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  EXPECT_TRUE(DeleteObject(brush));
}

TEST(Gdi, ObjectDeletedWhileSelectedStaysUsableUntilReleased) {
  Canvas c(4, 4, 0);
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  HGDIOBJ old = SelectObject(c.dc(), brush);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  PatBlt(c.dc(), 0, 0, 4, 4, PATCOPY);
  EXPECT_EQ(c.at(0, 0), 0x00FF00u);
  SelectObject(c.dc(), old);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(Gdi, DibTransfersRoundTripThroughBottomUpRows) {
  // A 3 x 2 bottom-up 24-bit DIB: rows are padded to 4 bytes, the bottom row first.
  const BYTE packed[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biBitCount = 24;
  Canvas c(3, 2, 0);
  EXPECT_EQ(SetDIBitsToDevice(c.dc(), 0, 0, 3, 2, 0, 0, 0, 2, packed, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.at(0, 1), 0x030201u);  // the first row in memory is the bottom one
  EXPECT_EQ(c.at(2, 0), 0x121110u);
  BYTE back[sizeof packed] = {};
  EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, back, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::vector<BYTE>(back, back + sizeof back), std::vector<BYTE>(packed, packed + sizeof packed));
}

TEST(Gdi, PatternAndHatchBrushesTileFromTheBrushOrigin) {
  Canvas c(16, 16, 0);
  HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255));
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{0, 0, 16, 16};
  FillRect(c.dc(), &r, hatch);
  EXPECT_EQ(c.at(4, 0), 0xFFFFFFu);
  EXPECT_EQ(c.at(12, 9), 0xFFFFFFu);
  EXPECT_EQ(c.at(5, 0), 0u);  // transparent background leaves the gaps
  DeleteObject(hatch);
}

}  // namespace
