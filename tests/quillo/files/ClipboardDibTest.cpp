// The clipboard's pictures: what the program writes for a copy, what it reads for a paste
// (every depth and layout other programs use), and the damaged blocks it must refuse without
// reading outside them.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include "DibBuilder.h"
#include "platform/gdi/GdiTypes.h"
#include "quillo/files/ClipboardDib.h"
#include "platform/rtl/Exceptions.h"
#include "quillo/files/FixedMemoryStream.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

namespace {

std::vector<std::uint32_t> PixelsOf(const Buffer& b) {
  std::vector<std::uint32_t> out;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x) out.push_back(*b.At(x, y));
  return out;
}

// Decodes a copy of the bytes in a block of exactly their size, so that ASan sees any read
// past its end.
bool Decode(const std::vector<std::uint8_t>& dib, Buffer& out) {
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[dib.size() ? dib.size() : 1]);
  if (!dib.empty()) std::memcpy(exact.get(), dib.data(), dib.size());
  return PictureFromClipboardDib(exact.get(), dib.size(), out);
}

TEST(ClipboardDibTest, ColourTableEntriesFollowTheHeader) {
  struct Case {
    std::uint32_t size;
    int bits;
    std::uint32_t used;
    int want;
  } const cases[] = {
      {40, 8, 0, 256}, {40, 24, 0, 0}, {40, 32, 0, 0},    {40, 4, 3, 3},    {40, 1, 0, 2},
      {40, 8, 300, 0}, {40, 16, 0, 0}, {40, 24, 16, 16}, {124, 8, 17, 17},
  };
  for (const Case& c : cases) {
    BITMAPINFOHEADER h;
    h.biSize = c.size;
    h.biBitCount = static_cast<WORD>(c.bits);
    h.biClrUsed = c.used;
    EXPECT_EQ(DibColorCount(&h), c.want) << c.bits << " bits, " << c.used << " used";
  }
  // The 12-byte core header keeps its bit count at byte 10 and has no used-colours field.
  std::uint8_t core[40] = {12, 0, 0, 0, 4, 0, 4, 0, 1, 0, 4, 0};
  EXPECT_EQ(DibColorCount(reinterpret_cast<const BITMAPINFOHEADER*>(core)), 16);
}

struct DecodeCase {
  const char* name;
  DibSpec spec;
  std::vector<std::uint32_t> want;  // top row first
};

std::vector<DecodeCase> SoundDibs() {
  const std::vector<std::uint32_t> six{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
  std::vector<DecodeCase> cases;
  {
    DibSpec s;
    s.width = 3, s.height = 2, s.rows = Rows24(six, 3, false);
    cases.push_back({"24 bits bottom-up, rows padded", s, six});
  }
  {
    DibSpec s;
    s.width = 3, s.height = -2, s.rows = Rows24(six, 3, true);
    cases.push_back({"24 bits top-down", s, six});
  }
  {
    DibSpec s;
    s.width = 3, s.height = 2, s.used = 2, s.table = {0x111111, 0x222222}, s.rows = Rows24(six, 3, false);
    cases.push_back({"24 bits with an optional table before the rows", s, six});
  }
  {
    DibSpec s;
    s.width = 3, s.height = 2, s.imageSize = 100, s.rows = Rows24(six, 3, false);
    s.rows.resize(100, 0xEE);
    cases.push_back({"24 bits with a larger stated size", s, six});
  }
  {
    // Indices 0 1 2 / 2 1 0, rows of 4 bytes, bottom row first.
    DibSpec s;
    s.width = 3, s.height = 2, s.bits = 8, s.used = 3, s.table = {0xFF0000, 0x00FF00, 0x0000FF};
    s.rows = {2, 1, 0, 0, 0, 1, 2, 0};
    cases.push_back({"8 bits with a palette of 3", s, {0xFF0000, 0x00FF00, 0x0000FF, 0x0000FF, 0x00FF00, 0xFF0000}});
  }
  {
    DibSpec s;
    s.width = 2, s.height = 1, s.bits = 8;
    for (int i = 0; i < 256; ++i) s.table.push_back(static_cast<std::uint32_t>(i) * 0x010101u);
    s.rows = {7, 200, 0, 0};
    cases.push_back({"8 bits with the whole table", s, {0x070707, 0xC8C8C8}});
  }
  {
    // 10 pixels a row: 1011001110 / 0100110001, each row 4 bytes, bottom row first.
    DibSpec s;
    s.width = 10, s.height = 2, s.bits = 1, s.table = {0x000000, 0xFFFFFF};
    s.rows = {0b01001100, 0b01000000, 0, 0, 0b10110011, 0b10000000, 0, 0};
    std::vector<std::uint32_t> want;
    for (char c : std::string("1011001110") + "0100110001") want.push_back(c == '1' ? 0xFFFFFF : 0);
    cases.push_back({"1 bit, black and white", s, want});
  }
  {
    DibSpec s;
    s.width = 3, s.height = 1, s.bits = 4, s.used = 16;
    for (int i = 0; i < 16; ++i) s.table.push_back(static_cast<std::uint32_t>(i) * 0x110000u);
    s.rows = {0x1F, 0x80, 0, 0};
    cases.push_back({"4 bits", s, {0x110000, 0xFF0000, 0x880000}});
  }
  {
    // Masks after a 40-byte header: the rows start 12 bytes later.
    DibSpec s;
    s.width = 3, s.height = 2, s.bits = 32, s.compression = BI_BITFIELDS;
    s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    s.rows = Rows32(six, 3, false);
    cases.push_back({"32-bit bit fields after a 40-byte header", s, six});
  }
  {
    DibSpec s;
    s.width = 3, s.height = -2, s.bits = 32, s.compression = BI_BITFIELDS;
    s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
    std::vector<std::uint32_t> swapped;
    for (std::uint32_t p : six) swapped.push_back((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
    s.rows = Rows32(swapped, 3, true);
    cases.push_back({"32-bit bit fields, red low, top-down", s, six});
  }
  {
    DibSpec s;
    s.width = 2, s.height = 1, s.bits = 16, s.compression = BI_BITFIELDS;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.rows = {0x00, 0x00, 0xFF, 0xFF};
    cases.push_back({"16-bit 5-6-5 bit fields", s, {0x000000, 0xFFFFFF}});
  }
  {
    // The program's own: the top byte is the transparency byte, kept as it is; a fully
    // transparent pixel becomes exactly 0xFF000000 whatever colour it had.
    DibSpec s;
    s.width = 2, s.height = 2, s.bits = 32;
    s.rows = Rows32({0xFF000000, 0x00123456, 0x80ABCDEF, 0xFF445566}, 2, false);
    cases.push_back({"32 bits with the transparency byte", s, {0xFF000000, 0x00123456, 0x80ABCDEF, 0xFF000000}});
  }
  {
    DibSpec s;
    s.width = 2, s.height = 1, s.bits = 32;
    s.rows = Rows32({0xFF102030, 0xFF405060}, 2, false);
    cases.push_back({"32 bits whose every fourth byte is 255 are opaque", s, {0x102030, 0x405060}});
  }
  {
    // A version-5 header naming an alpha channel: alpha 255 is opaque.
    DibSpec s;
    s.headerSize = 124, s.width = 3, s.height = 1, s.bits = 32, s.compression = BI_BITFIELDS;
    s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    s.rows = Rows32({0xFF102030, 0x00405060, 0x40708090}, 3, false);
    cases.push_back({"32 bits with alpha in a long header", s, {0x102030, 0xFF000000, 0xBF708090}});
  }
  {
    DibSpec s;
    s.headerSize = 108, s.width = 3, s.height = 2, s.rows = Rows24(six, 3, false);
    cases.push_back({"24 bits after a 108-byte header", s, six});
  }
  return cases;
}

TEST(ClipboardDibTest, EveryDepthAndLayoutDecodesExactly) {
  for (const DecodeCase& c : SoundDibs()) {
    Buffer picture;
    ASSERT_TRUE(Decode(BuildDib(c.spec), picture)) << c.name;
    EXPECT_EQ(picture.Width(), c.spec.width) << c.name;
    EXPECT_EQ(picture.Height(), c.spec.height < 0 ? -c.spec.height : c.spec.height) << c.name;
    EXPECT_EQ(PixelsOf(picture), c.want) << c.name;
    picture.Free();
  }
}

// Every block a damaged header or a short block makes refuses to decode; nothing is read
// outside the block (the blocks are exactly their size under AddressSanitizer).
TEST(ClipboardDibTest, DamagedDibsDecodeToNothing) {
  const std::vector<std::uint32_t> six{1, 2, 3, 4, 5, 6};
  DibSpec good;
  good.width = 3, good.height = 2, good.rows = Rows24(six, 3, false);
  struct Case {
    const char* name;
    std::function<void(DibSpec&)> damage;
  };
  const std::vector<Case> cases = {
      {"header size below 40", [](DibSpec& s) { s.headerSize = 12; }},
      {"header size 39", [](DibSpec& s) { s.headerSize = 39; }},
      {"header larger than the block", [](DibSpec& s) { s.headerSize = 5000; }},
      {"width 0", [](DibSpec& s) { s.width = 0; }},
      {"negative width", [](DibSpec& s) { s.width = -3; }},
      {"height 0", [](DibSpec& s) { s.height = 0; }},
      {"height INT_MIN", [](DibSpec& s) { s.height = INT_MIN; }},
      {"2 planes", [](DibSpec& s) { s.planes = 2; }},
      {"7 bits", [](DibSpec& s) { s.bits = 7; }},
      {"0 bits", [](DibSpec& s) { s.bits = 0; }},
      {"JPEG compression", [](DibSpec& s) { s.compression = 4; }},
      {"PNG compression", [](DibSpec& s) { s.compression = 5; }},
      {"unknown compression", [](DibSpec& s) { s.compression = 0x7FFFFFFF; }},
      {"bit fields at 24 bits", [](DibSpec& s) { s.compression = BI_BITFIELDS; }},
      {"run-length at 24 bits", [](DibSpec& s) { s.compression = BI_RLE8; }},
      {"run-length top-down", [](DibSpec& s) { s.bits = 8, s.compression = BI_RLE8, s.height = -2, s.imageSize = 4; }},
      {"run-length without a size", [](DibSpec& s) { s.bits = 8, s.compression = BI_RLE8; }},
      {"run-length size past the block", [](DibSpec& s) { s.bits = 8, s.compression = BI_RLE8, s.imageSize = 1000; }},
      {"last row one byte short", [](DibSpec& s) { s.rows.pop_back(); }},
      {"no rows at all", [](DibSpec& s) { s.rows.clear(); }},
      {"more rows than there are", [](DibSpec& s) { s.height = 3; }},
      {"more rows top-down", [](DibSpec& s) { s.height = -3; }},
      {"wider than the rows", [](DibSpec& s) { s.width = 5; }},
      {"stated size below the rows", [](DibSpec& s) { s.imageSize = 8; }},
      {"more used colours than 8 bits hold", [](DibSpec& s) { s.bits = 8, s.used = 300; }},
      {"colour table past the block", [](DibSpec& s) { s.bits = 8, s.used = 200; }},
      {"bit-field masks missing", [](DibSpec& s) { s.bits = 32, s.compression = BI_BITFIELDS, s.rows.resize(24); }},
      {"huge width", [](DibSpec& s) { s.width = 0x7FFFFFFF; }},
      {"huge height", [](DibSpec& s) { s.height = 0x7FFFFFFF; }},
      {"huge top-down height", [](DibSpec& s) { s.height = -0x7FFFFFFF; }},
      {"huge both", [](DibSpec& s) { s.width = 30000, s.height = 30000; }},
      {"a side beyond the limit", [](DibSpec& s) { s.width = 70000, s.height = 1; }},
      {"width times bits beyond 32 bits", [](DibSpec& s) { s.bits = 32, s.width = 0x40000001, s.height = 1; }},
  };
  for (const Case& c : cases) {
    DibSpec spec = good;
    c.damage(spec);
    Buffer picture;
    EXPECT_FALSE(Decode(BuildDib(spec), picture)) << c.name;
    EXPECT_EQ(picture.pixels, nullptr) << c.name;
    picture.Free();
  }
  // Every shortened copy of sound blocks of each kind: refused while any row is missing,
  // decoded alike once they are all there (a stated size may promise more than is needed).
  for (const DecodeCase& c : SoundDibs()) {
    const std::vector<std::uint8_t> whole = BuildDib(c.spec);
    ClipboardDibLayout layout;
    ASSERT_TRUE(CheckClipboardDib(whole.data(), whole.size(), layout)) << c.name;
    const std::size_t needed = layout.bitsOffset + layout.bitsSize;
    for (std::size_t n = 0; n < whole.size(); ++n) {
      Buffer picture;
      const bool decoded =
          Decode(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n)), picture);
      EXPECT_EQ(decoded, n >= needed) << c.name << " cut to " << n;
      if (decoded) {
        EXPECT_EQ(PixelsOf(picture), c.want) << c.name << " cut to " << n;
      }
      picture.Free();
    }
  }
  Buffer none;
  EXPECT_FALSE(PictureFromClipboardDib(nullptr, 100, none));
}

TEST(ClipboardDibTest, LayoutsAreFoundWhereTheHeaderPutsThem) {
  DibSpec s;
  s.width = 2, s.height = -1, s.bits = 32, s.compression = BI_BITFIELDS;
  s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  s.rows = Rows32({1, 2}, 2, true);
  const std::vector<std::uint8_t> dib = BuildDib(s);
  ClipboardDibLayout layout;
  ASSERT_TRUE(CheckClipboardDib(dib.data(), dib.size(), layout));
  EXPECT_EQ(layout.bitsOffset, 52u);
  EXPECT_EQ(layout.bitsSize, 8u);
  EXPECT_TRUE(layout.topDown);
  EXPECT_EQ(layout.height, 1);

  DibSpec indexed;
  indexed.width = 1, indexed.height = 1, indexed.bits = 8, indexed.used = 2, indexed.table = {0, 0};
  indexed.rows = {1, 0, 0, 0};
  const std::vector<std::uint8_t> second = BuildDib(indexed);
  ASSERT_TRUE(CheckClipboardDib(second.data(), second.size(), layout));
  EXPECT_EQ(layout.tableOffset, 40u);
  EXPECT_EQ(layout.tableEntries, 2);
  EXPECT_EQ(layout.bitsOffset, 48u);
}

// A copy writes the rectangle bottom row first, with the pixels outside the selection fully
// transparent; reading it back gives the same words.
TEST(ClipboardDibTest, TheProgramsOwnDibRoundTrips) {
  Buffer picture;
  picture.Alloc(Pair<int>(5, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) *picture.At(x, y) = static_cast<uint>(0x010000 * (x + 1) + 0x000100 * (y + 1));
  BitBuffer mask;
  mask.Alloc(5, 4);
  mask.PutPixels(Rect(0, 0, 4, 3), 0);
  mask.PutPixel(2, 1, 1);
  mask.PutPixel(3, 2, 1);
  mask.PutPixel(1, 2, 1);

  const std::vector<std::uint8_t> dib = ClipboardDibFromPicture(picture, Rect(1, 1, 3, 2), &mask);
  ASSERT_EQ(dib.size(), 40u + 3 * 2 * 4);
  auto le32 = [&](std::size_t at) {
    return std::uint32_t(dib[at]) | std::uint32_t(dib[at + 1]) << 8 | std::uint32_t(dib[at + 2]) << 16 |
           std::uint32_t(dib[at + 3]) << 24;
  };
  EXPECT_EQ(le32(0), 40u);
  EXPECT_EQ(le32(4), 3u);
  EXPECT_EQ(le32(8), 2u);
  EXPECT_EQ(dib[12], 1);
  EXPECT_EQ(dib[14], 32);
  for (std::size_t at = 16; at < 40; ++at) EXPECT_EQ(dib[at], 0) << at;
  // The bottom row (y 2) first.
  EXPECT_EQ(le32(40), *picture.At(1, 2));
  EXPECT_EQ(le32(44), 0xFF000000u);
  EXPECT_EQ(le32(48), *picture.At(3, 2));
  EXPECT_EQ(le32(52), 0xFF000000u);
  EXPECT_EQ(le32(56), *picture.At(2, 1));
  EXPECT_EQ(le32(60), 0xFF000000u);

  Buffer back;
  ASSERT_TRUE(Decode(dib, back));
  EXPECT_EQ(PixelsOf(back), (std::vector<std::uint32_t>{0xFF000000, *picture.At(2, 1), 0xFF000000, *picture.At(1, 2),
                                                         0xFF000000, *picture.At(3, 2)}));
  // Without a mask every pixel goes as it is, the whole picture too.
  const std::vector<std::uint8_t> whole = ClipboardDibFromPicture(picture, picture.rect, nullptr);
  ASSERT_TRUE(Decode(whole, back));
  EXPECT_EQ(PixelsOf(back), PixelsOf(picture));
  EXPECT_TRUE(ClipboardDibFromPicture(picture, Rect(10, 10, 12, 12), nullptr).empty());
  EXPECT_EQ(ClipboardDibSize(30000, 30000), -1);
  back.Free();
  picture.Free();
  mask.Free();
}

TEST(ClipboardDibTest, AFixedMemoryStreamReadsOnlyItsBytes) {
  const char bytes[] = "abcdef";
  TFixedMemoryStream s(bytes, 6);
  char out[8] = {};
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Read(out, 4), 4);
  EXPECT_EQ(std::string(out, 4), "abcd");
  EXPECT_EQ(s.Read(out, 8), 2);
  EXPECT_EQ(s.Read(out, 8), 0);
  EXPECT_EQ(s.Seek(-10, soFromCurrent), 0);
  EXPECT_EQ(s.Seek(2, soFromBeginning), 2);
  EXPECT_EQ(s.Seek(-1, soFromEnd), 5);
  EXPECT_EQ(s.Seek(100, soFromBeginning), 100);
  EXPECT_EQ(s.Read(out, 1), 0);
  EXPECT_EQ(s.Write("x", 1), 0);
  EXPECT_EQ(bytes[0], 'a');
  EXPECT_THROW(s.SetSize(2), EWriteError);
}

}  // namespace
