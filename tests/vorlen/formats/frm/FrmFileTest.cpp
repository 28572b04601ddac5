#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempHome.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/frm/FrmFile.h"
#include "../FormatTesting.h"

namespace {

GFXFile* Frm() { return GFXFile::GetDefaultFormat("x.frm"); }

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Header(int version, int w, int h) {
  return Bytes({'F', 'R', 'M', version, w & 0xFF, w >> 8, h & 0xFF, h >> 8});
}

void Fill(Buffer& b, int w, int h, uint seed) {
  b.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b.At(x, y) = seed * 2654435761u + static_cast<uint>(y * 977 + x * 131);
}

}  // namespace

TEST(FrmFile, VersionFourKeepsEveryWordOutsideAlphaMode) {
  TempHome home;
  Buffer image;
  Fill(image, 7, 5, 3);
  GFXtra32 extra{-3, 9, 0x11223344, 0x55667788};
  const std::string path = home.Path() + "/a.frm";
  ASSERT_TRUE(GFXFile::Save(image, path, &extra, nullptr));
  Buffer back;
  GFXtra32 got;
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Load(back, path, &got, 0, &desc));
  EXPECT_EQ(desc.format, Frm());
  EXPECT_EQ(desc.bits, 32);
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(*back.At(x, y), *image.At(x, y)) << x << "," << y;
  EXPECT_EQ(got.x, -3);
  EXPECT_EQ(got.y, 9);
  EXPECT_EQ(got.background, 0x11223344u);
  EXPECT_EQ(got.transparent, 0x55667788u);
}

TEST(FrmFile, VersionFiveKeepsTransparencyOnlyInAlphaMode) {
  TempHome home;
  const std::string path = home.Path() + "/t.frm";
  Buffer image;
  image.Alloc(Pair<int>(2, 1));
  *image.At(0, 0) = 0x80FF0000;
  *image.At(1, 0) = 0xFF00FF00;
  {
    AlphaMode on(true);
    ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
    Buffer back;
    GFXFile::Load(back, path, nullptr, 0, nullptr);
    EXPECT_EQ(*back.At(0, 0), 0x80FF0000u);
    EXPECT_EQ(*back.At(1, 0), 0xFF00FF00u);
  }
  Buffer opaque;
  GFXFile::Load(opaque, path, nullptr, 0, nullptr);
  EXPECT_EQ(*opaque.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(*opaque.At(1, 0), 0x0000FF00u);
}

TEST(FrmFile, TwentyFourBitsWritesVersionThreeWithRgbTrailer) {
  TempHome home;
  Buffer image;
  image.Alloc(Pair<int>(2, 1));
  *image.At(0, 0) = 0x7F102030;
  *image.At(1, 0) = 0x00A0B0C0;
  GFXSaveParams params;
  params.bits = 24;
  GFXtra32 extra{1, 2, 0x00010203, 0x00040506};
  const std::string path = home.Path() + "/c.frm";
  ASSERT_TRUE(GFXFile::Save(image, path, &extra, &params));
  TMemoryStream file;
  file.LoadFromFile(path);
  const std::string expected = Header(3, 2, 1) + Bytes({0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0}) +
                               Bytes({1, 0, 2, 0, 1, 2, 3, 4, 5, 6});
  ASSERT_EQ(file.Size(), static_cast<std::int64_t>(expected.size()));
  EXPECT_EQ(std::string(static_cast<char*>(file.Memory()), expected.size()), expected);
  Buffer back;
  GFXtra32 got;
  GFXFile::Load(back, path, &got, 0, nullptr);
  EXPECT_EQ(*back.At(0, 0), 0x00102030u);
  EXPECT_EQ(got.background, 0x00010203u);
  EXPECT_EQ(got.transparent, 0x00040506u);
}

TEST(FrmFile, ReadsTheOlderVersionsAndTheirTrailers) {
  struct Case {
    int version;
    std::string pixels;
    std::string trailer;
    uint pixel;
    uint background;
  };
  const Case cases[] = {
      // 12-bit 0x0BGR: blue 0xA, green 0x5, red 0xF.
      {0, Bytes({0x5F, 0x0A}), Bytes({0, 0, 0, 0, 0x21, 0x03, 0, 0}), 0x00FF55AA, 0x00112233},
      // 15-bit: red 31, green 0, blue 1.
      {1, Bytes({0x01, 0x7C}), Bytes({0, 0, 0, 0, 0x00, 0x7C, 0, 0}), 0x00FF0008, 0x00FF0000},
      // R, G, B, X: X becomes the top byte, kept outside alpha mode.
      {2, Bytes({0x10, 0x20, 0x30, 0x40}), Bytes({0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0}),
       0x40102030, 0x04010203},
  };
  TempHome home;
  for (const Case& c : cases) {
    const std::string path =
        home.WriteFile("v" + std::to_string(c.version) + ".frm", Header(c.version, 1, 1) + c.pixels + c.trailer);
    Buffer back;
    GFXtra32 extra;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(back, path, &extra, 0, &desc)) << c.version;
    EXPECT_EQ(*back.At(0, 0), c.pixel) << c.version;
    EXPECT_EQ(extra.background, c.background) << c.version;
  }
}

TEST(FrmFile, ProbeAnswersVersionsAndRestoresThePosition) {
  FRMFile& frm = *static_cast<FRMFile*>(Frm());
  TMemoryStream s;
  const std::string six = Header(6, 3, 4);
  s.WriteBuffer(six.data(), static_cast<int>(six.size()));
  s.SetPosition(0);
  GFXFileDesc desc;
  EXPECT_EQ(frm.Test(&s, &desc), -1);
  EXPECT_EQ(desc.supported, 0);
  EXPECT_EQ(desc.width, 3);
  EXPECT_EQ(s.Position(), 0);
  Buffer dst;
  EXPECT_THROW(frm.Load(dst, &s, 0, nullptr, nullptr), EInvalidImage);
  EXPECT_EQ(frm.Test(nullptr, &desc), 0);
  TMemoryStream shortFile;
  shortFile.WriteBuffer("FR", 2);
  shortFile.SetPosition(0);
  EXPECT_EQ(frm.Test(&shortFile, &desc), 0);
  EXPECT_EQ(shortFile.Position(), 0);
  TMemoryStream one;
  const std::string v1 = Header(1, 2, 2).substr(0, 6);
  one.WriteBuffer(v1.data(), 6);
  one.SetPosition(0);
  EXPECT_EQ(frm.Test(&one, &desc), 1) << "a short size ends the probe with what it found";
  EXPECT_EQ(desc.bits, 16);
  EXPECT_EQ(desc.sample_bits, 5);
}

TEST(FrmFile, EmptyImageSavesAsEightBytesPlusTrailer) {
  TempHome home;
  Buffer empty;
  GFXtra32 extra{};
  const std::string path = home.Path() + "/e.frm";
  ASSERT_TRUE(GFXFile::Save(empty, path, &extra, nullptr));
  TMemoryStream file;
  file.LoadFromFile(path);
  EXPECT_EQ(file.Size(), 8 + 12);
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, nullptr));
  EXPECT_TRUE(back.Empty());
}

TEST(FrmFile, SmallerTargetTakesTheTopLeftAndStillFindsTheTrailer) {
  TempHome home;
  Buffer image;
  Fill(image, 6, 4, 9);
  GFXtra32 extra{5, 6, 0x00ABCDEF, 0x00123456};
  const std::string path = home.Path() + "/s.frm";
  GFXFile::Save(image, path, &extra, nullptr);
  Buffer small;
  small.Alloc(Pair<int>(3, 2));
  GFXtra32 got;
  ASSERT_TRUE(GFXFile::Load(small, path, &got, 0, nullptr));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(*small.At(x, y), *image.At(x, y));
  EXPECT_EQ(got.x, 5);
  EXPECT_EQ(got.transparent, 0x00123456u);
}

TEST(FrmFile, TruncatedPixelsAreRefusedAndMissingTrailerIsFine) {
  TempHome home;
  const std::string cut = home.WriteFile("cut.frm", Header(4, 2, 2) + std::string(15, '\x01'));
  Buffer dst;
  EXPECT_THROW(GFXFile::Load(dst, cut, nullptr, 0, nullptr), EInvalidImage);
  EXPECT_EQ(dst.pixels, nullptr);
  const std::string bare = home.WriteFile("bare.frm", Header(4, 1, 1) + std::string(4, '\x02'));
  Buffer one;
  GFXtra32 extra{7, 7, 7, 7};
  ASSERT_TRUE(GFXFile::Load(one, bare, &extra, 0, nullptr));
  EXPECT_EQ(*one.At(0, 0), 0x02020202u);
  EXPECT_EQ(extra.x, 7) << "without a trailer the extra data is left alone";
}

TEST(FrmFile, SizeBeyondSixteenBitsIsRefusedAndTheOldFileKept) {
  TempHome home;
  const std::string path = home.WriteFile("keep.frm", "old contents");
  Buffer wide;
  wide.Alloc(Pair<int>(65536, 1));
  ASSERT_NE(wide.pixels, nullptr);
  EXPECT_THROW(GFXFile::Save(wide, path, nullptr, nullptr), EInvalidImage);
  TMemoryStream file;
  file.LoadFromFile(path);
  EXPECT_EQ(std::string(static_cast<char*>(file.Memory()), 12), "old contents");
}

TEST(FrmFile, SizesTheFileCannotFillAreRefusedBeforeAllocating) {
  for (int version = 0; version < frm::kFirstUnknownVersion; ++version) {
    SCOPED_TRACE(version);
    ExpectRefusedUnallocated(Frm(), Header(version, 23000, 23000) + std::string(73, '\x7F'));
  }
  // A smaller target does not make a short file acceptable.
  TMemoryStream stream;
  const std::string cut = Header(3, 1000, 1000) + std::string(3000, '\x01');
  stream.WriteBuffer(cut.data(), static_cast<int>(cut.size()));
  stream.SetPosition(0);
  Buffer small;
  small.Alloc(Pair<int>(2, 2));
  EXPECT_THROW(Frm()->Load(small, &stream, 0, nullptr, nullptr), EInvalidImage);
}
