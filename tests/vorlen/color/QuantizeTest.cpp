#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "vorlen/color/Quantize.h"

namespace {

Buffer FromPixels(int w, int h, const std::vector<uint>& pixels) {
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b.At(x, y) = pixels[static_cast<size_t>(y) * w + x];
  return b;
}

uint Entry(const uchar* palette, int i) {
  return static_cast<uint>(palette[3 * i]) << 16 | palette[3 * i + 1] << 8 | palette[3 * i + 2];
}

int BruteNearest(uint c, const uchar* palette, int count, int skip) {
  int best = -1, bestD = 1 << 30;
  for (int i = 0; i < count; ++i) {
    if (i == skip) continue;
    const int dr = palette[3 * i] - static_cast<int>(c >> 16 & 255);
    const int dg = palette[3 * i + 1] - static_cast<int>(c >> 8 & 255);
    const int db = palette[3 * i + 2] - static_cast<int>(c & 255);
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestD) bestD = d, best = i;
  }
  return best;
}

}  // namespace

TEST(CreatePalette, WorkedCaseSplitsWhereTheErrorDropsMost) {
  Buffer img = FromPixels(4, 1, {0x000000, 0x000000, 0xFFFFFF, 0x646464});
  uchar palette[6 * 3];
  std::fill(std::begin(palette), std::end(palette), 0xAA);
  EXPECT_EQ(CreatePalette(img, palette, 2, kNoKey, nullptr, false), 2);
  // Boxes {0, 0, 100} (mean 33) and {255}; same chroma cell, brighter first.
  EXPECT_EQ(Entry(palette, 0), 0xFFFFFFu);
  EXPECT_EQ(Entry(palette, 1), 0x212121u);
  EXPECT_EQ(*img.At(2, 0), 0xFFFFFFu) << "the image is left alone without scratch";
}

TEST(CreatePalette, OneColourGivesOneEntryAndTheKeyItsOwn) {
  Buffer img = FromPixels(3, 2, std::vector<uint>(6, 0x00336699));
  uchar palette[256 * 3];
  EXPECT_EQ(CreatePalette(img, palette, 256, kNoKey, nullptr, false), 1);
  EXPECT_EQ(Entry(palette, 0), 0x336699u);
  EXPECT_EQ(Entry(palette, 1), 0u);
  EXPECT_EQ(CreatePalette(img, palette, 256, 0x00FF0000, nullptr, false), 2);
  EXPECT_EQ(Entry(palette, 0), 0xFF0000u) << "the key's entry comes first";
  EXPECT_EQ(Entry(palette, 1), 0x336699u);
}

TEST(CreatePalette, NeverMoreThanAskedAndTheKeyCountsAmongThem) {
  std::vector<uint> pixels;
  for (int i = 0; i < 64 * 64; ++i) pixels.push_back(static_cast<uint>(i * 2654435761u) & 0xFFFFFF);
  Buffer img = FromPixels(64, 64, pixels);
  uchar palette[256 * 3];
  const int plain = CreatePalette(img, palette, 256, kNoKey, nullptr, false);
  EXPECT_EQ(plain, 256);
  const int keyed = CreatePalette(img, palette, 256, 0x00000000, nullptr, false);
  EXPECT_EQ(keyed, 256);
  EXPECT_EQ(Entry(palette, 0), 0u);
  EXPECT_EQ(CreatePalette(img, palette, 16, kNoKey, nullptr, false), 16);
}

TEST(CreatePalette, KeyColourPixelsGetNoBox) {
  Buffer img = FromPixels(4, 1, {0x00FF00FF, 0x00FF00FF, 0x00FF00FF, 0x00102030});
  uchar palette[4 * 3];
  EXPECT_EQ(CreatePalette(img, palette, 4, 0x00FF00FF, nullptr, false), 2);
  EXPECT_EQ(Entry(palette, 0), 0xFF00FFu);
  EXPECT_EQ(Entry(palette, 1), 0x102030u);
}

TEST(CreatePalette, CompositeKeyWithDitherLeavesOnlyClearOrOpaquePixels) {
  std::vector<uint> pixels;
  for (int i = 0; i < 16 * 16; ++i)
    pixels.push_back(static_cast<uint>(i) << 24 | static_cast<uint>(i * 3) << 8);
  Buffer img = FromPixels(16, 16, pixels);
  uchar palette[256 * 3];
  const int used = CreatePalette(img, palette, 256, kCompositeKey | 0x00FFFFFF, &img, true);
  EXPECT_GE(used, 2);
  EXPECT_EQ(Entry(palette, 0), 0xFFFFFFu);
  int transparent = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint t = *img.At(x, y) >> 24;
      ASSERT_TRUE(t == 0 || t == 255) << t;
      transparent += t == 255;
    }
  EXPECT_NEAR(transparent, 128, 8) << "the diffusion keeps the average transparency";
}

TEST(CreatePalette, ScratchMemoryIsUsedAndTheImageKept) {
  Buffer img = FromPixels(2, 2, {1, 2, 3, 0x00FFFFFF});
  Buffer scratch;
  scratch.Alloc(Pair<int>(4, 4));
  uchar palette[2 * 3];
  EXPECT_EQ(CreatePalette(img, palette, 2, kNoKey, &scratch, false), 2);
  EXPECT_EQ(*img.At(1, 1), 0x00FFFFFFu);
  Buffer empty;
  EXPECT_EQ(CreatePalette(empty, palette, 2, kNoKey, nullptr, false), 0);
}

TEST(QuantizeColour, NearestEntryFirstOfEqualsWins) {
  const uchar palette[] = {10, 10, 10, 200, 0, 0, 10, 10, 10, 200, 0, 0};
  EXPECT_EQ(Quantize(0x000B0B0B, palette, 4), 0);
  EXPECT_EQ(Quantize(0x00FF0000, palette, 4), 1);
  EXPECT_EQ(Quantize(0x00FF0000, palette, 1), 0);
}

TEST(QuantizeImage, EveryPixelGetsANearestEntry) {
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {
    const int count = round == 0 ? 2 : 1 << (round + 2);
    std::vector<uchar> palette(static_cast<size_t>(count) * 3);
    for (uchar& c : palette) c = static_cast<uchar>(random());
    std::vector<uint> pixels(40 * 30);
    for (uint& p : pixels) p = random() & 0x00FFFFFF;
    Buffer img = FromPixels(40, 30, pixels);
    std::vector<uchar> indices(44 * 30);
    Quantize(img, palette.data(), count, kNoKey, false, indices.data(), 44);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const uint p = pixels[static_cast<size_t>(y) * 40 + x];
        const int got = indices[static_cast<size_t>(y) * 44 + x];
        const int want = BruteNearest(p, palette.data(), count, -1);
        ASSERT_EQ(got, want) << "round " << round << " at " << x << "," << y;
      }
  }
}

TEST(QuantizeImage, KeyPixelsGetTheKeyEntryAndOthersAvoidIt) {
  // Entry 0 is black; the key (pure green) is not in the palette, so it takes entry 0 and
  // no other pixel may use entry 0.
  const uchar palette[] = {0, 0, 0, 255, 255, 255, 100, 100, 100};
  Buffer img = FromPixels(3, 1, {0x0000FF00, 0x00010101, 0x00FEFEFE});
  uchar indices[4] = {};
  EXPECT_EQ(Quantize(img, palette, 3, 0x0000FF00, false, indices, 4), 0);
  EXPECT_EQ(indices[0], 0);
  EXPECT_EQ(indices[1], 2);
  EXPECT_EQ(indices[2], 1);
  Buffer clear = FromPixels(2, 1, {0xFF123456, 0x00FFFFFF});
  EXPECT_EQ(Quantize(clear, palette, 3, kCompositeKey | 0x00FFFFFF, false, indices, 4), 1);
  EXPECT_EQ(indices[0], 1);
}

TEST(QuantizeImage, DitherMixesNeighbouringEntries) {
  const uchar palette[] = {0, 0, 0, 255, 255, 255};
  Buffer img = FromPixels(16, 16, std::vector<uint>(256, 0x00808080));
  std::vector<uchar> indices(256);
  Quantize(img, palette, 2, kNoKey, true, indices.data(), 16);
  int white = 0;
  for (uchar i : indices) white += i;
  EXPECT_NEAR(white, 128, 10);
  Quantize(img, palette, 2, kNoKey, false, indices.data(), 16);
  white = 0;
  for (uchar i : indices) white += i;
  EXPECT_EQ(white, 256) << "without dither every pixel takes the nearest (first of equals)";
}

TEST(QuantizeImage, CompositeKeyWithDitherSpreadsTransparency) {
  const uchar palette[] = {255, 255, 255, 10, 20, 30};
  Buffer img = FromPixels(16, 16, std::vector<uint>(256, 0x800A141E));
  std::vector<uchar> indices(256);
  EXPECT_EQ(Quantize(img, palette, 2, kCompositeKey | 0x00FFFFFF, true, indices.data(), 16), 0);
  int keyed = 0;
  for (uchar i : indices) keyed += i == 0;
  EXPECT_NEAR(keyed, 128, 12) << "half transparent becomes about half key pixels";
  Quantize(img, palette, 2, kCompositeKey | 0x00FFFFFF, false, indices.data(), 16);
  for (uchar i : indices) ASSERT_EQ(i, 0) << "without dither 128 counts as transparent";
}

TEST(QuantizeImage, EqualEntriesGiveTheLowerIndex) {
  // Entries 1 and 3 are the same colour, 0 and 2 lie at equal distances from grey 0x80.
  const uchar palette[] = {0x70, 0x80, 0x80, 0x10, 0x20, 0x30, 0x90, 0x80, 0x80, 0x10, 0x20, 0x30};
  Buffer img = FromPixels(3, 1, {0x00102030, 0x00808080, 0x00112131});
  uchar indices[4] = {};
  Quantize(img, palette, 4, kNoKey, false, indices, 4);
  EXPECT_EQ(indices[0], 1);
  EXPECT_EQ(indices[1], 0);
  EXPECT_EQ(indices[2], 1);
}

TEST(QuantizeImage, WithoutIndicesThePixelsTakeThePaletteColoursAsTheIndicesSay) {
  std::mt19937 random(11);
  std::vector<uchar> palette(16 * 3);
  for (uchar& c : palette) c = static_cast<uchar>(random());
  std::vector<uint> pixels(24 * 20);
  for (uint& p : pixels) p = random();  // transparency bytes of every kind
  for (bool dither : {false, true}) {
    Buffer indexed = FromPixels(24, 20, pixels);
    std::vector<uchar> indices(24 * 20);
    Quantize(indexed, palette.data(), 16, kNoKey, dither, indices.data(), 24);
    Buffer img = FromPixels(24, 20, pixels);
    Quantize(img, palette.data(), 16, kNoKey, dither, nullptr, 0);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 24; ++x) {
        const size_t i = static_cast<size_t>(y) * 24 + x;
        ASSERT_EQ(*img.At(x, y), (pixels[i] & 0xFF000000u) | Entry(palette.data(), indices[i]))
            << dither << " at " << x << "," << y;
      }
  }
}
