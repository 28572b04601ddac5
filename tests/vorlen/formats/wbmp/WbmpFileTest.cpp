#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ReferenceTools.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/wbmp/WBMPFile.h"
#include "../FormatTesting.h"

using reference::Image;
using namespace std::string_literals;

namespace {

GFXFile* WbmpFormat() { return GFXFile::GetDefaultFormat("x.wbmp"); }

Image BlackAndWhite(int width, int height, unsigned seed) {
  Image picture = reference::Picture(width, height, 2, seed);
  for (uint& px : picture.pixels) px = px ? 0xFFFFFF : 0;
  return picture;
}

std::string SaveBlackAndWhite(const Image& picture, const std::string& path) {
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = 1;
  EXPECT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  return reference::ReadFile(path);
}

std::string Int(uint value) {
  TMemoryStream stream;
  WBMPWriteInt(&stream, value, false);
  return std::string(static_cast<const char*>(stream.Memory()), stream.Size());
}

int stepsLeft = 0;
bool StopAfterSteps(int) { return stepsLeft-- > 0; }

}  // namespace

TEST(WbmpFile, RegisteredLastWithItsDefaults) {
  GFXFile* f = WbmpFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "WAP Bitmap");
  EXPECT_EQ(f->next, nullptr);
  EXPECT_EQ(f->defaults.bits, 1);
}

TEST(WbmpFile, MultiByteIntegers) {
  EXPECT_EQ(Int(300), "\x82\x2C"s);
  EXPECT_EQ(Int(127), "\x7F"s);
  EXPECT_EQ(Int(128), "\x81\x00"s);
  EXPECT_EQ(Int(0), "\x00"s);
  TMemoryStream stream;
  stream.Write("\x82\x2C", 2);
  stream.Seek(0, soFromBeginning);
  EXPECT_EQ(WBMPReadInt(&stream, 4096), 300u);
}

TEST(WbmpFile, LoadsWhatImageMagickAndNetpbmWrite) {
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("pbmtowbmp");
  TempHome home;
  const Image picture = BlackAndWhite(29, 11, 3);
  const std::string ppm = home.Path() + "/in.ppm";
  reference::WritePpm(ppm, picture);
  const std::string im = home.Path() + "/im.wbmp", pbm = home.Path() + "/n.wbmp";
  ASSERT_TRUE(reference::Run(reference::Find("convert") + " " + ppm + " " + im));
  ASSERT_TRUE(reference::Run(reference::Find("convert") + " " + ppm + " pbm:- | " + reference::Find("pbmtowbmp") +
                             " > " + pbm));
  for (const std::string& path : {im, pbm}) {
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, &desc)) << path;
    EXPECT_EQ(desc.format, WbmpFormat());
    EXPECT_EQ(desc.bits, 1);
    EXPECT_EQ(reference::Compare(picture, loaded), "") << path;
  }
}

TEST(WbmpFile, WritesWhatImageMagickAndNetpbmRead) {
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("wbmptopbm");
  TempHome home;
  for (int width : {1, 8, 13, 64}) {
    const Image picture = BlackAndWhite(width, 7, width);
    const std::string path = home.Path() + "/w.wbmp";
    SaveBlackAndWhite(picture, path);
    EXPECT_EQ(reference::Compare(picture, reference::MagickRead(path)), "") << width;
    EXPECT_EQ(reference::Compare(picture, reference::NetpbmRead("wbmptopbm", path)), "") << width;
  }
}

TEST(WbmpFile, WhiteIsOneWhateverThePaletteOrder) {
  TempHome home;
  Image picture;
  picture.width = 1;
  picture.height = 2;
  picture.pixels = {0xFFFFFF, 0x000000};
  const std::string bytes = SaveBlackAndWhite(picture, home.Path() + "/o.wbmp");
  EXPECT_EQ(bytes, "\x00\x00\x01\x02\x80\x00"s);
  // A caller's palette of (white, black) gives the same bits.
  Buffer image;
  reference::ToBuffer(picture, image);
  uchar palette[6] = {255, 255, 255, 0, 0, 0};
  GFXSaveParams params;
  params.bits = 1;
  params.colours = -2;
  params.palette = palette;
  ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/p.wbmp", nullptr, &params));
  EXPECT_EQ(reference::ReadFile(home.Path() + "/p.wbmp"), bytes);
}

TEST(WbmpFile, SidesUpTo4096) {
  TempHome home;
  const std::string rows(512 * 2, '\xFF');
  const std::string ok = home.WriteFile("ok.wbmp", "\x00\x00"s + "\xA0\x00"s + "\x02"s + rows);
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, ok, nullptr, 0, nullptr));
  EXPECT_EQ(loaded.Width(), 4096);
  const std::string wide = home.WriteFile("wide.wbmp", "\x00\x00"s + "\xA0\x01"s + "\x02"s + rows + "xx");
  GFXFileDesc desc;
  EXPECT_FALSE(GFXFile::Test(wide, &desc));
  Buffer b;
  EXPECT_THROW(GFXFile::Load(b, wide, nullptr, 0, nullptr), EInvalidImage);

  // What the reader refuses is not written.
  Buffer big;
  big.Alloc(Pair<int>(4097, 1));
  GFXSaveParams params;
  params.bits = 1;
  EXPECT_THROW(GFXFile::Save(big, home.Path() + "/big.wbmp", nullptr, &params), EInvalidImage);
}

TEST(WbmpFile, StoppedLoadLeavesTheRestBlack) {
  TempHome home;
  const std::string path = home.WriteFile("s.wbmp", "\x00\x00\x04\x03"s + "\xF0\xF0\xF0"s);
  stepsLeft = 0;
  GFXFile::SetProgFunc(nullptr, StopAfterSteps, nullptr);
  // A target that held another picture: what the stopped load did not reach is cleared.
  Buffer loaded;
  loaded.Alloc(Pair<int>(4, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) *loaded.At(x, y) = 0x12345678;
  const bool done = GFXFile::Load(loaded, path, nullptr, 0, nullptr);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_FALSE(done);
  EXPECT_EQ(*loaded.At(0, 0), 0xFFFFFFu);
  for (int y = 1; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(*loaded.At(x, y), 0u);
}

TEST(WbmpFile, MalformedAndDamagedFiles) {
  TempHome home;
  for (const std::string& data : {"\x01\x00\x01\x01\x00"s, "\x00\x80\x01\x01\x00"s, "\x00\x00\x00\x01\x00"s}) {
    const std::string path = home.WriteFile("bad.wbmp", data);
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage);
  }
  const std::string bytes = SaveBlackAndWhite(BlackAndWhite(21, 13, 9), home.Path() + "/s.wbmp");
  const int loaded = reference::LoadDamaged(bytes, home.Path() + "/d.wbmp", 3);
  EXPECT_EQ(loaded, 0);
}

TEST(WbmpFile, SizesTheRowsCannotFillAreRefusedBeforeAllocating) {
  // The largest side the format allows, from a few bytes.
  ExpectRefusedUnallocated(WbmpFormat(), "\x00\x00"s + Int(4096) + Int(4096) + std::string(64, '\xFF'));
  // One byte short of its rows.
  ExpectRefusedUnallocated(WbmpFormat(), "\x00\x00"s + Int(9) + Int(3) + std::string(5, '\xFF'));
}
