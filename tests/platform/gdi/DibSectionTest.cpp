#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/DibFile.h"
#include "support/Canvas.h"

namespace {

// A BITMAPINFO with room for a full colour table.
struct Info {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

RGBQUAD Quad(std::uint32_t pixel) {
  return RGBQUAD{static_cast<BYTE>(pixel & 0xFF), static_cast<BYTE>((pixel >> 8) & 0xFF),
                 static_cast<BYTE>((pixel >> 16) & 0xFF), 0};
}

// A section selected into a memory context.
class Section {
public:
  Section(int bits, int width, int height, std::vector<std::uint32_t> table = {}) {
    Info info{};
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biClrUsed = static_cast<DWORD>(table.size());
    for (size_t i = 0; i < table.size(); ++i) info.colours[i] = Quad(table[i]);
    void* rows = nullptr;
    bitmap_ = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &rows, nullptr, 0);
    rows_ = static_cast<BYTE*>(rows);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    stride_ = DibRowBytes(width, bits);
    height_ = height;
  }
  ~Section() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // The memory of top-down row y (the sections here are bottom-up).
  BYTE* Row(int y) const { return rows_ + (height_ - 1 - y) * stride_; }
  void Fill(const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
  }

private:
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  BYTE* rows_ = nullptr;
  size_t stride_ = 0;
  int height_ = 0;
};

const std::vector<std::uint32_t> kEight = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFF0000, 0x808080, 0xFFFF00};

TEST(DibSection, IndexedRowsAndGdiAgreeBothWays) {
  struct Case {
    int bits;
    int index;             // written by the program into pixel (1, 1)
    BYTE firstByteAfterFill;  // row 3's first byte after GDI fills it with green (index 2)
  };
  const Case cases[] = {{1, 1, 0xFF}, {4, 3, 0x22}, {8, 7, 0x02}};
  for (const Case& c : cases) {
    std::vector<std::uint32_t> table(kEight.begin(), kEight.begin() + (c.bits == 1 ? 2 : 8));
    if (c.bits == 1) table = {0x000000, 0x00FF00};
    Section s(c.bits, 9, 4, table);
    // The program's write is seen by GDI at once.
    BYTE* row = s.Row(1);
    if (c.bits == 1) row[0] = 0x40;
    if (c.bits == 4) row[0] = static_cast<BYTE>(c.index);
    if (c.bits == 8) row[1] = static_cast<BYTE>(c.index);
    EXPECT_EQ(GetPixel(s.dc(), 1, 1), ColorFromPixel(table[c.index])) << c.bits;
    EXPECT_EQ(GetPixel(s.dc(), 0, 1), ColorFromPixel(table[0])) << c.bits;
    // GDI's drawing reaches the rows at GdiFlush.
    s.Fill(RECT{0, 3, 9, 4}, ColorFromPixel(0x00FF00));
    GdiFlush();
    EXPECT_EQ(s.Row(3)[0], c.firstByteAfterFill) << c.bits;
    EXPECT_EQ(GetPixel(s.dc(), 1, 1), ColorFromPixel(table[c.index])) << c.bits;
    // Blitting the section elsewhere shows its colours.
    Canvas out(9, 4, 0x123456);
    BitBlt(out.dc(), 0, 0, 9, 4, s.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(out.at(1, 1), table[c.index]) << c.bits;
    EXPECT_EQ(out.at(8, 3), 0x00FF00u) << c.bits;
  }
}

TEST(DibSection, DirectColourRows) {
  Section s24(24, 3, 2);
  s24.Row(0)[3] = 0x11, s24.Row(0)[4] = 0x22, s24.Row(0)[5] = 0x33;
  EXPECT_EQ(GetPixel(s24.dc(), 1, 0), ColorFromPixel(0x332211));
  SetPixel(s24.dc(), 2, 1, ColorFromPixel(0xABCDEF));
  GdiFlush();
  EXPECT_EQ((std::vector<BYTE>(s24.Row(1) + 6, s24.Row(1) + 9)), (std::vector<BYTE>{0xEF, 0xCD, 0xAB}));

  Section s16(16, 2, 1);
  s16.Row(0)[0] = 0x00, s16.Row(0)[1] = 0x7C;  // 5-5-5 red
  EXPECT_EQ(GetPixel(s16.dc(), 0, 0), ColorFromPixel(0xFF0000));
  SetPixel(s16.dc(), 1, 0, ColorFromPixel(0x0000FF));
  GdiFlush();
  EXPECT_EQ(s16.Row(0)[2], 0x1F);
  EXPECT_EQ(s16.Row(0)[3], 0x00);
}

TEST(DibSection, DrawingKeepsTheIndexesOfRepeatedColours) {
  // Entries 1 and 5 are both red; a pixel written as 5 stays 5 when GDI draws elsewhere.
  Section s(8, 4, 2, kEight);
  s.Row(0)[0] = 5;
  s.Row(0)[1] = 1;
  s.Fill(RECT{2, 0, 4, 2}, ColorFromPixel(0xFF0000));
  GdiFlush();
  EXPECT_EQ(s.Row(0)[0], 5);
  EXPECT_EQ(s.Row(0)[1], 1);
  EXPECT_EQ(s.Row(0)[2], 1);  // new red takes the first red entry
  // Colours not in the table take the nearest entry.
  SetPixel(s.dc(), 3, 1, ColorFromPixel(0x7F7F90));
  EXPECT_EQ(GetPixel(s.dc(), 3, 1), ColorFromPixel(0x808080));  // as the table shows it, at once
  GdiFlush();
  EXPECT_EQ(s.Row(1)[3], 6);
}

TEST(DibSection, ProgramAndGdiChangesMerge) {
  // Drawing not yet flushed and writes made meanwhile through the rows both survive.
  Section s(8, 4, 1, kEight);
  SetPixel(s.dc(), 0, 0, ColorFromPixel(0x00FF00));
  s.Row(0)[3] = 3;
  EXPECT_EQ(GetPixel(s.dc(), 3, 0), ColorFromPixel(0x0000FF));
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), ColorFromPixel(0x00FF00));
  SetPixel(s.dc(), 1, 0, ColorFromPixel(0xFFFFFF));
  s.Row(0)[2] = 7;
  GdiFlush();
  EXPECT_EQ((std::vector<BYTE>(s.Row(0), s.Row(0) + 4)), (std::vector<BYTE>{2, 4, 7, 3}));
}

TEST(DibSection, ColourTableCanBeReadAndChanged) {
  Section s(4, 2, 1, {0x000000, 0xFF0000, 0x00FF00});
  s.Row(0)[0] = 0x12;
  RGBQUAD table[16] = {};
  EXPECT_EQ(GetDIBColorTable(s.dc(), 0, 16, table), 3u);
  EXPECT_EQ(table[1].rgbRed, 0xFF);
  // Drawing made before the change keeps its index, and every pixel shows the new colour.
  SetPixel(s.dc(), 1, 0, ColorFromPixel(0xFF0000));
  const RGBQUAD blue = Quad(0x0000FF);
  EXPECT_EQ(SetDIBColorTable(s.dc(), 1, 1, &blue), 1u);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), ColorFromPixel(0x0000FF));
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), ColorFromPixel(0x0000FF));
  EXPECT_EQ(s.Row(0)[0], 0x11);
  EXPECT_EQ(SetDIBColorTable(s.dc(), 5, 1, &blue), 0u);  // beyond the table
  Canvas plain(2, 2);
  EXPECT_EQ(GetDIBColorTable(plain.dc(), 0, 16, table), 0u);
}

TEST(DibSection, GetObjectDescribesTheSection) {
  Section s(8, 5, 3, kEight);
  DIBSECTION ds;
  ASSERT_EQ(GetObject(s.bitmap(), sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
  EXPECT_EQ(ds.dsBm.bmBits, s.Row(2));
  EXPECT_EQ(ds.dsBmih.biBitCount, 8);
  EXPECT_EQ(ds.dsBmih.biHeight, 3);
  EXPECT_EQ(ds.dsBmih.biClrUsed, 8u);
}

TEST(DibSection, GetAndSetDibitsAtEveryDepth) {
  // A 32-bit picture read at each depth, written into a section of that depth and read back:
  // the colours in every depth's table survive exactly.
  const std::uint32_t colours[4] = {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF};
  for (int bits : {1, 4, 8, 16, 24}) {
    Canvas picture(4, 1);
    for (int x = 0; x < 4; ++x) picture.at(x, 0) = colours[x];
    Info info{};
    info.header.biWidth = 4;
    info.header.biHeight = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    std::vector<BYTE> rows(DibRowBytes(4, bits));
    ASSERT_EQ(GetDIBits(picture.dc(), picture.bitmap(), 0, 1, rows.data(), info.get(), DIB_RGB_COLORS), 1) << bits;
    // The section takes the table GetDIBits gave.
    std::vector<std::uint32_t> table;
    for (int i = 0; bits <= 8 && i < (1 << bits); ++i)
      table.push_back(info.colours[i].rgbRed << 16 | info.colours[i].rgbGreen << 8 | info.colours[i].rgbBlue);
    Section s(bits, 4, 1, table);
    ASSERT_EQ(SetDIBits(s.dc(), s.bitmap(), 0, 1, rows.data(), info.get(), DIB_RGB_COLORS), 1) << bits;
    for (int x = 0; x < 4; ++x) {
      // In black and white, red and blue are nearer black.
      const std::uint32_t expected = bits == 1 ? (x == 1 ? 0xFFFFFF : 0) : colours[x];
      EXPECT_EQ(GetPixel(s.dc(), x, 0), ColorFromPixel(expected)) << bits << " " << x;
    }
  }
  // A section read at its own depth gives its rows and table unchanged.
  Section s(8, 3, 2, kEight);
  s.Row(0)[0] = 5, s.Row(1)[2] = 7;
  Info info{};
  info.header.biWidth = 3;
  info.header.biHeight = 2;
  info.header.biBitCount = 8;
  BYTE rows[8] = {};
  ASSERT_EQ(GetDIBits(s.dc(), s.bitmap(), 0, 2, rows, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[2], 7);  // bottom row first
  EXPECT_EQ(rows[4], 5);
  EXPECT_EQ(info.header.biClrUsed, 8u);
  EXPECT_EQ(info.colours[5].rgbRed, 0xFF);
}

}  // namespace
