// Writing: every writable depth, interlaced or not, read back by libpng without warnings
// and by our own reader; transparency and background chunks; filter choice.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "PngSamples.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/formats/png/PngFilter.h"

using namespace pngtest;

namespace {

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A palette of `count` distinct colours and an image that uses each of them.
struct PaletteImage {
  Bytes palette;
  Buffer image;
  PaletteImage(int count, int w, int h) {
    for (int i = 0; i < count; ++i) {
      palette.push_back(static_cast<unsigned char>(i * 53));
      palette.push_back(static_cast<unsigned char>(255 - i * 7));
      palette.push_back(static_cast<unsigned char>(i * 131 + 9));
    }
    image.Alloc(Pair<int>(w, h));
    unsigned seed = 4;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int i = static_cast<int>(Lcg(seed) >> 24) % count;
        *image.At(x, y) = uint(palette[3 * i]) << 16 | uint(palette[3 * i + 1]) << 8 | palette[3 * i + 2];
      }
  }
};

void Photo(Buffer& b, int w, int h, bool withAlpha) {
  b.Alloc(Pair<int>(w, h));
  unsigned seed = 8;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint t = withAlpha ? (Lcg(seed) >> 24) << 24 : 0;
      *b.At(x, y) = t | uint((x * 5 + y) & 0xFF) << 16 | uint((y * 9) & 0xFF) << 8 | ((x * y + (Lcg(seed) >> 28)) & 0xFF);
    }
}

void ExpectLibpngReads(const Bytes& file, const Buffer& source, bool alphaMode) {
  const libpng::Result ref = libpng::Read(file);
  EXPECT_EQ(ref.warnings, 0);
  ASSERT_EQ(ref.width, source.Width());
  ASSERT_EQ(ref.height, source.Height());
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      const uint32_t got = ref.rgba[static_cast<size_t>(y) * ref.width + x];
      const uint want = *source.At(x, y);
      ASSERT_EQ(got & 0xFFFFFF, want & 0xFFFFFF) << x << "," << y;
      if (alphaMode) {
        ASSERT_EQ(got >> 24, 255 - (want >> 24)) << x << "," << y;
      }
    }
}

void ExpectWeRead(const Bytes& file, const Buffer& source, uint topMask) {
  Buffer back;
  ASSERT_TRUE(Load(file, back));
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) ASSERT_EQ(*back.At(x, y), *source.At(x, y) & topMask);
}

}  // namespace

TEST(PngWrite, PaletteDepthsRoundTripThroughLibpng) {
  for (int bits : {1, 2, 4, 8})
    for (bool interlaced : {false, true}) {
      SCOPED_TRACE(std::to_string(bits) + (interlaced ? " interlaced" : ""));
      TempHome home;
      PaletteImage p(1 << bits, 29, 19);
      GFXSaveParams params;
      params.bits = static_cast<signed char>(bits);
      params.interlaced = interlaced;
      params.colours = static_cast<short>(-(1 << bits));
      params.palette = p.palette.data();
      const std::string path = home.Path() + "/p.png";
      ASSERT_TRUE(GFXFile::Save(p.image, path, nullptr, &params));
      const Bytes file = ReadFile(path);
      ExpectLibpngReads(file, p.image, false);
      ExpectWeRead(file, p.image, 0xFFFFFF);
      GFXFileDesc desc;
      EXPECT_EQ(Probe(file, &desc), 1);
      EXPECT_EQ(desc.bits, bits);
      EXPECT_EQ(desc.interlaced, false);  // the probe does not look that far
    }
}

TEST(PngWrite, TrueColourRoundTripsThroughLibpng) {
  for (int bits : {24, 32})
    for (bool interlaced : {false, true})
      for (bool alphaMode : {false, true}) {
        SCOPED_TRACE(std::to_string(bits) + (interlaced ? " interlaced" : "") + (alphaMode ? " alpha" : ""));
        TempHome home;
        AlphaMode mode(alphaMode);
        Buffer image;
        Photo(image, 53, 31, bits == 32 && alphaMode);
        GFXSaveParams params;
        params.bits = static_cast<signed char>(bits);
        params.interlaced = interlaced;
        const std::string path = home.Path() + "/t.png";
        ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
        const Bytes file = ReadFile(path);
        ExpectLibpngReads(file, image, bits == 32 && alphaMode);
        ExpectWeRead(file, image, bits == 32 && alphaMode ? 0xFFFFFFFF : 0xFFFFFF);
      }
}

TEST(PngWrite, ThirtyTwoBitsWithoutAlphaModeAreOpaque) {
  TempHome home;
  Buffer image;
  Photo(image, 8, 8, true);
  GFXSaveParams params;
  params.bits = 32;
  const std::string path = home.Path() + "/o.png";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  for (uint32_t v : libpng::Read(ReadFile(path)).rgba) EXPECT_EQ(v >> 24, 255u);
}

TEST(PngWrite, TransparentColourAndBackgroundOfRgbFiles) {
  TempHome home;
  Buffer image;
  Photo(image, 16, 16, false);
  *image.At(3, 3) = 0x102030;
  GFXSaveParams params;
  params.bits = 24;
  params.transparent = true;
  GFXtra32 extra;
  extra.transparent = 0x102030;
  extra.background = 0xA0B0C0;
  const std::string path = home.Path() + "/k.png";
  ASSERT_TRUE(GFXFile::Save(image, path, &extra, &params));
  const Bytes file = ReadFile(path);
  const libpng::Result ref = libpng::Read(file);
  EXPECT_EQ(ref.warnings, 0);
  ASSERT_TRUE(ref.hasTrns);
  EXPECT_EQ(ref.trnsColour.red, 0x10);
  EXPECT_EQ(ref.trnsColour.green, 0x20);
  EXPECT_EQ(ref.trnsColour.blue, 0x30);
  ASSERT_TRUE(ref.hasBackground);
  EXPECT_EQ(ref.background.red, 0xA0);
  EXPECT_EQ(ref.background.blue, 0xC0);
  EXPECT_EQ(ref.rgba[3 * 16 + 3] >> 24, 0u);  // the key colour is transparent
  Buffer back;
  GFXtra32 got;
  GFXFileDesc desc;
  ASSERT_TRUE(Load(file, back, &got, &desc));
  EXPECT_TRUE(desc.transparent);
  EXPECT_EQ(got.transparent, 0x102030u);
  EXPECT_EQ(got.background, 0xA0B0C0u);
  EXPECT_EQ(*back.At(3, 3), 0xFF102030u);
}

TEST(PngWrite, TransparentPaletteEntryIsTheOnlyTransparentOne) {
  TempHome home;
  PaletteImage p(16, 12, 12);
  GFXSaveParams params;
  params.bits = 4;
  params.colours = -16;
  params.palette = p.palette.data();
  params.transparent = true;
  GFXtra32 extra;
  extra.transparent = uint(p.palette[15]) << 16 | uint(p.palette[16]) << 8 | p.palette[17];  // entry 5
  extra.background = uint(p.palette[6]) << 16 | uint(p.palette[7]) << 8 | p.palette[8];      // entry 2
  const std::string path = home.Path() + "/t.png";
  ASSERT_TRUE(GFXFile::Save(p.image, path, &extra, &params));
  const libpng::Result ref = libpng::Read(ReadFile(path));
  EXPECT_EQ(ref.warnings, 0);
  EXPECT_EQ(ref.trnsAlpha, (Bytes{255, 255, 255, 255, 255, 0}));
  EXPECT_EQ(ref.background.index, 2);
  AlphaMode mode(true);
  Buffer back;
  GFXtra32 got;
  ASSERT_TRUE(Load(ReadFile(path), back, &got));
  EXPECT_EQ(got.transparent, extra.transparent & 0xFFFFFF);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(*back.At(x, y) >> 24, (*p.image.At(x, y) & 0xFFFFFF) == got.transparent ? 255u : 0u);
}

TEST(PngWrite, EmptyBufferWritesChunksWithoutImageData) {
  TMemoryStream s;
  Buffer empty;
  GFXSaveParams params;
  params.bits = 24;
  ASSERT_TRUE(Png()->Save(empty, &s, &params, nullptr));
  const Bytes file = Contents(s);
  // Signature, IHDR (25), tEXt (29), IEND (12).
  EXPECT_EQ(file.size(), 8u + 25 + 29 + 12);
  EXPECT_EQ(std::string(file.end() - 8, file.end() - 4), "IEND");
}

TEST(PngWrite, ProgressHookStopsSavingAndTheFileIsNotLeft) {
  TempHome home;
  Buffer image;
  Photo(image, 10, 40, false);
  GFXSaveParams params;
  params.bits = 24;
  GFXFile::SetProgFunc(nullptr, [](int percent) { return percent < 50; }, nullptr);
  const std::string path = home.Path() + "/s.png";
  const bool written = GFXFile::Save(image, path, nullptr, &params);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_FALSE(written);
  EXPECT_TRUE(ReadFile(path).empty());
}

TEST(PngFilter, ChoiceFollowsTheSpreadOfDifferences) {
  const uchar zero[12] = {};
  EXPECT_EQ(PNGChooseFilter(zero, zero, 3, 12), png::kFilterNone);  // all alike: the first
  const uchar flat[6] = {9, 9, 9, 9, 9, 9};
  EXPECT_EQ(PNGChooseFilter(flat, flat, 3, 6), png::kFilterUp);  // as spread as None, more zeros
  const uchar above[6] = {1, 200, 7, 90, 33, 250};
  EXPECT_EQ(PNGChooseFilter(above, above, 3, 6), png::kFilterUp);
  const uchar ramp[12] = {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40};
  EXPECT_EQ(PNGChooseFilter(ramp, zero, 3, 12), png::kFilterSub);
  EXPECT_EQ(PNGChooseFilter(above, zero, 1, 6), png::kFilterNone);  // palette rows
  for (int f : {png::kFilterNone, png::kFilterSub, png::kFilterUp}) {
    uchar out[6];
    PngApplyFilter(f, above, flat, 3, 6, out);
    PngUnfilter(f, out, flat, 3, 6);
    EXPECT_EQ(0, std::memcmp(out, above, 6)) << f;
  }
}
