// Pictures as the desktop passes them: PNG files made by another encoder (stored, fixed and
// dynamic Huffman blocks; RGBA, RGB, palette and 1-bit grey) read to the pixels they hold, the
// clipboard's own PNG and BMP files read back to the same DIB, and damaged files refused.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/user/DesktopImageFile.h"
#include "platform/user/ZlibData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Written by ImageMagick from pictures whose pixels the tests know.
const std::uint8_t kRgbaPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x9d, 0x74, 0x66,
    0x1a, 0x00, 0x00, 0x00, 0x23, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xf8, 0xcf, 0xc0, 0xf0,
    0x9f, 0xe1, 0x3f, 0x43, 0x03, 0x03, 0xc3, 0x7f, 0x06, 0x06, 0x2e, 0x11, 0xb9, 0xff, 0x27, 0x52,
    0x8c, 0xfe, 0x33, 0x32, 0x31, 0xff, 0x07, 0x00, 0x76, 0x71, 0x09, 0x1a, 0xff, 0x9c, 0x64, 0xe2,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::uint8_t kGradientPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0x1e, 0x08, 0x02, 0x00, 0x00, 0x00, 0xd1, 0xbf, 0xcb,
    0x8a, 0x00, 0x00, 0x00, 0xcf, 0x49, 0x44, 0x41, 0x54, 0x48, 0xc7, 0xc5, 0x96, 0xcd, 0x0e, 0x83,
    0x20, 0x10, 0x06, 0x17, 0x01, 0xf9, 0x09, 0x7d, 0xff, 0xd7, 0xed, 0xe1, 0x2b, 0xad, 0x42, 0x29,
    0x04, 0x76, 0xa9, 0x99, 0xc3, 0x64, 0x55, 0x36, 0x99, 0x8b, 0x2a, 0x22, 0x3a, 0xff, 0x81, 0x21,
    0x4f, 0xf9, 0x52, 0x3b, 0xe5, 0xbd, 0x58, 0xe5, 0xe9, 0x26, 0xc1, 0x62, 0xb5, 0x9f, 0x22, 0x35,
    0x38, 0x36, 0x48, 0x91, 0x1a, 0xf7, 0x8e, 0x0d, 0x52, 0xa4, 0x3e, 0xb6, 0xd1, 0x4a, 0x0d, 0xb4,
    0x9c, 0xb4, 0x52, 0xe3, 0x21, 0x2d, 0x27, 0xad, 0xd4, 0x5a, 0x9a, 0x6e, 0x6a, 0x60, 0xd8, 0xa5,
    0x9b, 0x1a, 0x4f, 0x1b, 0x76, 0xe9, 0xa6, 0x36, 0x42, 0x8c, 0xa7, 0x06, 0x96, 0x4b, 0xc6, 0x53,
    0xe3, 0x35, 0xcb, 0x25, 0xe3, 0xa9, 0x2d, 0x2f, 0x13, 0xa9, 0xc1, 0xb9, 0x28, 0x13, 0xa9, 0x6d,
    0xfe, 0x96, 0x2f, 0xc9, 0x44, 0x6a, 0x9e, 0x7f, 0x90, 0x95, 0xd4, 0xc0, 0xcd, 0xc9, 0x4a, 0x6a,
    0x1c, 0xe4, 0xe6, 0x64, 0x25, 0xb5, 0x5b, 0xe0, 0xc1, 0x92, 0x1a, 0xf8, 0x31, 0x49, 0x10, 0x96,
    0xd4, 0x38, 0xd1, 0xf7, 0x24, 0x5d, 0x27, 0x2c, 0xa9, 0xfd, 0x00, 0xa9, 0x98, 0xf0, 0xa6, 0x06,
    0xe1, 0x2e, 0xb1, 0x9a, 0x78, 0xa2, 0xc0, 0x9b, 0x1a, 0x47, 0x87, 0x8b, 0xc4, 0x6a, 0xf2, 0x12,
    0xde, 0xd4, 0xe1, 0x4e, 0xac, 0x26, 0x1f, 0x84, 0x52, 0x17, 0x8b, 0xbf, 0x88, 0x50, 0x6a, 0xec,
    0x88, 0x3f, 0xe4, 0x09, 0x91, 0xe9, 0x13, 0x31, 0x2c, 0x1a, 0xf5, 0x88, 0x00, 0x00, 0x00, 0x00,
    0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::uint8_t kPalettePng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x04, 0x08, 0x03, 0x00, 0x00, 0x00, 0x9a, 0xda, 0xbe,
    0x71, 0x00, 0x00, 0x00, 0x0f, 0x50, 0x4c, 0x54, 0x45, 0xff, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00,
    0x00, 0xff, 0xff, 0xff, 0x00, 0x11, 0x22, 0x33, 0x9d, 0xac, 0xf3, 0x99, 0x00, 0x00, 0x00, 0x19,
    0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x60, 0x60, 0x64, 0x62, 0x66, 0x61, 0x80, 0x90, 0x8c,
    0x0c, 0x60, 0x92, 0x89, 0x01, 0x4c, 0x32, 0x03, 0x00, 0x02, 0x82, 0x00, 0x2f, 0x8c, 0xfa, 0x7c,
    0x73, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::uint8_t kMonoPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x82, 0x46, 0xa3,
    0xd8, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xc8, 0x6d, 0x60, 0xd8,
    0x76, 0x80, 0xe1, 0xb6, 0x03, 0x00, 0x0f, 0x75, 0x03, 0x7f, 0x7e, 0xbf, 0xe7, 0x19, 0x00, 0x00,
    0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

std::uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// The 32-bit pixels (0xTTRRGGBB) of a 32-bit packed DIB, top row first.
std::vector<std::uint32_t> Pixels32(const Bytes& dib) {
  std::vector<std::uint32_t> out;
  if (dib.size() < 40 || dib[14] != 32) return out;
  const int width = static_cast<int>(Get32(dib, 4)), height = static_cast<int>(Get32(dib, 8));
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) out.push_back(Get32(dib, 40 + (static_cast<size_t>(y) * width + x) * 4));
  return out;
}

Bytes Of(const std::uint8_t* data, size_t size) { return Bytes(data, data + size); }

TEST(DesktopImageFile, PngFilesOfAnotherEncoderGiveTheirPixels) {
  struct Case {
    const char* what;
    Bytes file;
    int width, height;
    std::function<std::uint32_t(int x, int y)> pixel;  // 0xTTRRGGBB, transparency 0 = opaque
  };
  const std::uint32_t rgba[] = {0x00FF0000, 0x7F00FF00, 0xFF0000FF, 0x000A141E, 0x00C86432, 0x00010203};
  const std::uint32_t colours[] = {0xFF0000, 0x008000, 0x0000FF, 0xFFFF00, 0x112233};
  const Case cases[] = {
      {"RGBA with alpha, fixed Huffman codes", Of(kRgbaPng, sizeof kRgbaPng), 3, 2,
       [&](int x, int y) { return rgba[y * 3 + x]; }},
      {"RGB, dynamic Huffman codes", Of(kGradientPng, sizeof kGradientPng), 40, 30,
       [](int x, int y) {
         return std::uint32_t((x * 6) & 255) << 16 | std::uint32_t((y * 8) & 255) << 8 | std::uint32_t((x * y / 3) & 255);
       }},
      {"palette", Of(kPalettePng, sizeof kPalettePng), 6, 4, [&](int x, int y) { return colours[(x + y) % 5]; }},
      {"1-bit grey", Of(kMonoPng, sizeof kMonoPng), 10, 3,
       [](int x, int y) { return (x + 2 * y) % 3 == 0 ? 0x000000u : 0xFFFFFFu; }},
  };
  for (const Case& c : cases) {
    Bytes dib;
    ASSERT_TRUE(PackedDibFromPngFile(c.file.data(), c.file.size(), dib)) << c.what;
    EXPECT_EQ(static_cast<int>(Get32(dib, 4)), c.width) << c.what;
    EXPECT_EQ(static_cast<int>(Get32(dib, 8)), c.height) << c.what << ": bottom row first";
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) expected.push_back(c.pixel(x, y));
    EXPECT_EQ(Pixels32(dib), expected) << c.what;
  }
}

// A 32-bit DIB of the given pixels (0xTTRRGGBB), bottom row first.
Bytes Dib32(int width, int height, const std::function<std::uint32_t(int, int)>& pixel) {
  Bytes b(40, 0);
  auto put = [&](size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
  put(0, 40);
  put(4, static_cast<std::uint32_t>(width));
  put(8, static_cast<std::uint32_t>(height));
  b[12] = 1;
  b[14] = 32;
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixel(x, y);
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(p >> (8 * i)));
    }
  return b;
}

TEST(DesktopImageFile, TheClipboardsOwnFilesReadBackToTheSamePixels) {
  // Over 64 KiB of rows, so the PNG holds more than one stored block.
  const Bytes opaque = Dib32(200, 120, [](int x, int y) { return std::uint32_t(x * 1000 + y * 7) & 0xFFFFFF; });
  const Bytes outlined = Dib32(5, 4, [](int x, int y) { return (x + y) % 2 ? 0xFF000000u : 0x00123456u + x; });
  for (const Bytes* dib : {&opaque, &outlined}) {
    const Bytes png = PngFileFromPackedDib(dib->data(), dib->size());
    Bytes back;
    ASSERT_TRUE(PackedDibFromPngFile(png.data(), png.size(), back));
    EXPECT_EQ(Pixels32(back), Pixels32(*dib)) << "the transparency byte travels as alpha";
    const Bytes bmp = BmpFileFromPackedDib(dib->data(), dib->size());
    ASSERT_TRUE(PackedDibFromBmpFile(bmp.data(), bmp.size(), back));
    std::vector<std::uint32_t> colours = Pixels32(*dib);
    for (std::uint32_t& p : colours) p &= 0xFFFFFF;
    EXPECT_EQ(Pixels32(back), colours) << "a BMP keeps the colours";
  }
  // The PNG is RGB when every pixel is opaque, RGBA otherwise.
  const Bytes a = PngFileFromPackedDib(opaque.data(), opaque.size());
  const Bytes b = PngFileFromPackedDib(outlined.data(), outlined.size());
  EXPECT_EQ(a[25], 2);
  EXPECT_EQ(b[25], 6);
}

TEST(DesktopImageFile, DamagedFilesAreRefused) {
  const Bytes good = Of(kGradientPng, sizeof kGradientPng);
  auto fixCrc = [](Bytes& f, size_t chunk) {
    const std::uint32_t length = f[chunk] << 24 | f[chunk + 1] << 16 | f[chunk + 2] << 8 | f[chunk + 3];
    const std::uint32_t crc = Crc32(f.data() + chunk + 4, length + 4);
    for (int i = 0; i < 4; ++i) f[chunk + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  };
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  const Case png[] = {
      {"no signature", [](Bytes& f) { f[1] = 'Q'; }},
      {"cut in the header", [](Bytes& f) { f.resize(20); }},
      {"cut in the image data", [](Bytes& f) { f.resize(f.size() - 40); }},
      {"a wrong checksum", [](Bytes& f) { f[40] ^= 1; }},
      {"a chunk longer than the file", [](Bytes& f) { f[33] = 0x7F; }},
      {"twice the width, so the data run short", [&](Bytes& f) { f[19] = 80; fixCrc(f, 8); }},
      {"a width of 0", [&](Bytes& f) { f[19] = 0; fixCrc(f, 8); }},
      {"a huge picture", [&](Bytes& f) { f[16] = 0x40; f[20] = 0x40; fixCrc(f, 8); }},
      {"interlaced", [&](Bytes& f) { f[28] = 1; fixCrc(f, 8); }},
      {"a colour type that does not exist", [&](Bytes& f) { f[25] = 5; fixCrc(f, 8); }},
      {"damaged deflate data", [&](Bytes& f) { for (size_t i = 45; i < 60; ++i) f[i] ^= 0x5A; fixCrc(f, 33); }},
      {"a wrong Adler-32", [&](Bytes& f) { f[f.size() - 17] ^= 1; fixCrc(f, 33); }},
  };
  for (const Case& c : png) {
    Bytes file = good, dib;
    c.damage(file);
    EXPECT_FALSE(PackedDibFromPngFile(file.data(), file.size(), dib)) << c.what;
  }
  const Bytes goodDib = Dib32(3, 2, [](int x, int y) { return std::uint32_t(x + 10 * y); });
  const Bytes goodBmp = BmpFileFromPackedDib(goodDib.data(), goodDib.size());
  const Case bmp[] = {
      {"not BM", [](Bytes& f) { f[0] = 'X'; }},
      {"rows cut short", [](Bytes& f) { f.pop_back(); }},
      {"rows said to start past the end", [](Bytes& f) { f[10] = 0xFF; f[11] = 0xFF; }},
      {"rows said to start inside the header", [](Bytes& f) { f[10] = 20; }},
      {"a header larger than the file", [](Bytes& f) { f[14] = 0xFF; f[15] = 0xFF; }},
      {"only the file header", [](Bytes& f) { f.resize(14); }},
  };
  for (const Case& c : bmp) {
    Bytes file = goodBmp, dib;
    c.damage(file);
    EXPECT_FALSE(PackedDibFromBmpFile(file.data(), file.size(), dib)) << c.what;
  }
}

// A zlib stream of `count` zero bytes in one fixed-Huffman block: a zero, then copies of
// 258 bytes one back, then single zeros; a few hundred kilobytes for gigabytes.
Bytes ZeroStream(size_t count) {
  Bytes out{0x78, 0x01};
  std::uint32_t bits = 0;
  int used = 0;
  auto put = [&](std::uint32_t value, int n) {  // least significant bit first
    bits |= value << used, used += n;
    for (; used >= 8; used -= 8, bits >>= 8) out.push_back(static_cast<std::uint8_t>(bits));
  };
  auto code = [&](std::uint32_t value, int n) {  // Huffman codes go most significant bit first
    for (int i = n - 1; i >= 0; --i) put((value >> i) & 1, 1);
  };
  put(1, 1), put(1, 2);  // the last block, fixed codes
  code(0x30, 8);         // literal 0
  size_t left = count - 1;
  for (; left >= 258; left -= 258) code(0xC5, 8), code(0, 5);  // length 258, distance 1
  for (; left > 0; --left) code(0x30, 8);
  code(0, 7);  // end of block
  if (used > 0) out.push_back(static_cast<std::uint8_t>(bits));
  const Bytes zeros(count, 0);
  const std::uint32_t adler = Adler32(zeros.data(), zeros.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
  return out;
}

Bytes PngChunk(const char* type, const Bytes& data) {
  Bytes c(12 + data.size());
  const auto be32 = [&c](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) c[at + size_t(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  be32(0, static_cast<std::uint32_t>(data.size()));
  std::memcpy(c.data() + 4, type, 4);
  if (!data.empty()) std::memcpy(c.data() + 8, data.data(), data.size());
  be32(8 + data.size(), Crc32(c.data() + 4, data.size() + 4));
  return c;
}

// A black 1-bit grey PNG of width x height.
Bytes BlackPng(std::uint32_t width, std::uint32_t height) {
  Bytes header;
  for (std::uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<std::uint8_t>(v >> shift));
  header.insert(header.end(), {1, 0, 0, 0, 0});
  Bytes file(kMonoPng, kMonoPng + 8);
  for (const Bytes& chunk : {PngChunk("IHDR", header), PngChunk("IDAT", ZeroStream((size_t(width + 7) / 8 + 1) * height)),
                             PngChunk("IEND", {})})
    file.insert(file.end(), chunk.begin(), chunk.end());
  return file;
}

// A picture from the desktop becomes a 32-bit DIB: one over 2^26 pixels (256 MB) is refused
// however well its file compresses, rather than a file of some hundred kilobytes taking
// gigabytes. Within the limit it reads.
TEST(DesktopImageFile, APictureLargerThanTheClipboardTakesIsRefused) {
  Bytes dib;
  const Bytes huge = BlackPng(16384, 16384);
  EXPECT_LT(huge.size(), size_t(1) << 20);
  EXPECT_FALSE(PackedDibFromPngFile(huge.data(), huge.size(), dib));
  EXPECT_TRUE(dib.empty());
  const Bytes wide = BlackPng(8200, 8200);
  EXPECT_FALSE(PackedDibFromPngFile(wide.data(), wide.size(), dib));
  const Bytes fits = BlackPng(4096, 16);
  ASSERT_TRUE(PackedDibFromPngFile(fits.data(), fits.size(), dib));
  EXPECT_EQ(dib.size(), 40 + size_t(4) * 4096 * 16);
}

TEST(ZlibData, StoredStreamsInflateAndChecksumsMatchKnownValues) {
  EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xCBF43926u);
  EXPECT_EQ(Adler32(reinterpret_cast<const std::uint8_t*>("Wikipedia"), 9), 0x11E60398u);
  Bytes data(70000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
  const Bytes z = StoredZlibStream(data.data(), data.size());
  Bytes back;
  ASSERT_TRUE(InflateZlibStream(z.data(), z.size(), data.size(), back));
  EXPECT_EQ(back, data);
  EXPECT_FALSE(InflateZlibStream(z.data(), z.size(), data.size() - 1, back)) << "more data than expected";
  EXPECT_FALSE(InflateZlibStream(z.data(), z.size(), data.size() + 1, back)) << "less data than expected";
}

}  // namespace
