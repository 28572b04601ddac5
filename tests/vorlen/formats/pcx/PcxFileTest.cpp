#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../ReferenceTools.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/StreamBuf.h"
#include "vorlen/formats/pcx/PCXFile.h"
#include "../FormatTesting.h"

using reference::Image;
using namespace std::string_literals;

namespace {

GFXFile* PcxFormat() { return GFXFile::GetDefaultFormat("x.pcx"); }

// A 128-byte header: 1 or 8 bits a plane, planes, bytes per line, size.
std::string Header(int bits, int planes, int bytesPerLine, int width, int height) {
  std::string h(128, '\0');
  h[0] = 10, h[1] = 5, h[2] = 1, h[3] = char(bits);
  h[8] = char((width - 1) & 0xFF), h[9] = char((width - 1) >> 8);
  h[10] = char((height - 1) & 0xFF), h[11] = char((height - 1) >> 8);
  h[65] = char(planes);
  h[66] = char(bytesPerLine & 0xFF), h[67] = char(bytesPerLine >> 8);
  h[68] = 1;
  return h;
}

std::string Save(const Image& picture, const std::string& path, int bits, GFXtra32* extra = nullptr) {
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = static_cast<signed char>(bits);
  if (!GFXFile::Save(image, path, extra, &params)) return "";
  return reference::ReadFile(path);
}

}  // namespace

TEST(PcxFile, RegisteredWithItsDefaults) {
  GFXFile* f = PcxFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "PC PaintBrush PCX");
  EXPECT_EQ(f->depths, 0x00800089u);
  EXPECT_EQ(f->defaults.bits, 24);
  EXPECT_FALSE(f->interlace);
}

TEST(PcxFile, RunLengthCodeOfTheFormat) {
  struct Case {
    std::vector<uchar> in;
    std::vector<uchar> out;
  } cases[] = {
      {{200}, {0xC1, 0xC8}},
      {std::vector<uchar>(130, 5), {0xFF, 5, 0xFF, 5, 0xC4, 5}},
      {{1, 1, 2, 3, 3, 3}, {1, 1, 2, 0xC3, 3}},
      {std::vector<uchar>(63, 192), {0xFF, 192}},
  };
  for (const Case& c : cases) {
    std::vector<uchar> out(2 * c.in.size());
    out.resize(PCXEncodeRow(out.data(), c.in.data(), static_cast<int>(c.in.size()), 1));
    EXPECT_EQ(out, c.out);
  }
  // Every other byte, as the writer takes the channels of pixel words.
  const uchar words[8] = {1, 9, 1, 9, 1, 9, 2, 9};
  uchar out[8];
  ASSERT_EQ(PCXEncodeRow(out, words, 4, 2), 3);
  EXPECT_EQ(std::vector<uchar>(out, out + 3), (std::vector<uchar>{0xC3, 1, 2}));
}

TEST(PcxFile, LoadsWhatImageMagickAndPillowWrite) {
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("pcxtoppm");
  TempHome home;
  const std::string dir = home.Path();
  reference::WritePpm(dir + "/c.ppm", reference::Picture(37, 21, 200, 3));
  Image mono = reference::Picture(37, 21, 2, 3);
  for (uint& px : mono.pixels) px = px ? 0xFFFFFF : 0;
  reference::WritePpm(dir + "/m.ppm", mono);
  const std::string convert = reference::Find("convert");
  std::vector<std::string> files;
  struct Made {
    const char* source;
    const char* options;
    const char* file;
  } made[] = {{"c.ppm", "-type Palette", "im8.pcx"},
              {"c.ppm", "-type TrueColor", "im24.pcx"},
              {"m.ppm", "-monochrome", "im1.pcx"}};
  for (const Made& m : made) {
    const std::string command = convert + " " + dir + "/" + m.source + " " + m.options + " " + dir + "/" + m.file;
    ASSERT_TRUE(reference::Run(command)) << command;
    files.push_back(dir + "/" + m.file);
  }
  if (!reference::Find("python3").empty()) {
    ASSERT_TRUE(reference::RunPython(dir, "from PIL import Image\n"
                                          "c = Image.open('" + dir + "/c.ppm')\n"
                                          "c.save('" + dir + "/pil24.pcx')\n"
                                          "c.convert('P', palette=Image.ADAPTIVE).save('" + dir + "/pil8.pcx')\n"
                                          "c.convert('L').save('" + dir + "/pilL.pcx')\n"
                                          "Image.open('" + dir + "/m.ppm').convert('1').save('" + dir + "/pil1.pcx')\n"));
    for (const char* f : {"/pil24.pcx", "/pil8.pcx", "/pilL.pcx", "/pil1.pcx"}) files.push_back(dir + f);
  }
  for (const std::string& file : files) {
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, file, nullptr, 0, &desc)) << file;
    EXPECT_EQ(desc.format, PcxFormat());
    EXPECT_EQ(reference::Compare(reference::NetpbmRead("pcxtoppm", file), loaded), "") << file;
  }
}

TEST(PcxFile, WritesWhatImageMagickPillowAndNetpbmRead) {
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("pcxtoppm");
  TempHome home;
  for (int bits : {1, 4, 8, 24}) {
    Image picture = reference::Picture(45, 19, bits == 24 ? 3000 : 1 << bits, bits);
    const std::string path = home.Path() + "/w.pcx";
    ASSERT_FALSE(Save(picture, path, bits).empty());
    EXPECT_EQ(reference::Compare(picture, reference::NetpbmRead("pcxtoppm", path)), "") << bits;
    // ImageMagick and Pillow take a one-bit file for black and white whatever its palette.
    if (bits > 1) {
      EXPECT_EQ(reference::Compare(picture, reference::MagickRead(path)), "") << bits;
    }
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, &desc));
    EXPECT_EQ(desc.bits, bits);
    EXPECT_EQ(reference::Compare(picture, loaded), "") << bits;
  }
  if (!reference::Find("python3").empty()) {
    Image mono = reference::Picture(45, 19, 2, 1);
    for (uint& px : mono.pixels) px = px ? 0xFFFFFF : 0;
    const std::string path = home.Path() + "/m.pcx";
    ASSERT_FALSE(Save(mono, path, 1).empty());
    ASSERT_TRUE(reference::RunPython(home.Path(), "from PIL import Image\nImage.open('" + path +
                                                      "').convert('RGB').save('" + path + ".ppm')\n"));
    EXPECT_EQ(reference::Compare(mono, reference::ReadPnm(path + ".ppm")), "");
  }
}

TEST(PcxFile, MonochromeWithBlankPaletteIsBlackAndWhite) {
  TempHome home;
  // One row of 8 pixels: 10100000, the header palette left blank.
  const std::string path = home.WriteFile("m.pcx", Header(1, 1, 2, 8, 1) + "\xA0\x00"s);
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
  EXPECT_EQ(*loaded.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(*loaded.At(1, 0), 0u);
  EXPECT_EQ(*loaded.At(2, 0), 0xFFFFFFu);
}

TEST(PcxFile, PositionTravelsInTheHeader) {
  TempHome home;
  GFXtra32 extra;
  extra.x = 10;
  extra.y = 3;
  const std::string bytes = Save(reference::Picture(5, 4, 16, 1), home.Path() + "/p.pcx", 4, &extra);
  ASSERT_GT(bytes.size(), 128u);
  EXPECT_EQ(uchar(bytes[4]), 10);
  EXPECT_EQ(uchar(bytes[8]), 14);
  EXPECT_EQ(uchar(bytes[10]), 6);
  GFXtra32 got;
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, home.Path() + "/p.pcx", &got, 0, nullptr));
  EXPECT_EQ(got.x, 10);
  EXPECT_EQ(got.y, 3);
  EXPECT_EQ(loaded.Width(), 5);
}

TEST(PcxFile, SizesTheFieldsCannotHoldAreRefused) {
  TempHome home;
  Buffer wide;
  wide.Alloc(Pair<int>(65536, 1));
  GFXSaveParams params;
  params.bits = 24;
  EXPECT_THROW(GFXFile::Save(wide, home.Path() + "/w.pcx", nullptr, &params), EInvalidImage);
  Buffer small;
  small.Alloc(Pair<int>(100, 2));
  GFXtra32 extra;
  extra.x = 32767;
  EXPECT_NO_THROW(GFXFile::Save(small, home.Path() + "/ok.pcx", &extra, &params));
  extra.x = -1;  // the header's fields hold no negative position
  EXPECT_THROW(GFXFile::Save(small, home.Path() + "/n.pcx", &extra, &params), EInvalidImage);
}

TEST(PcxFile, MalformedHeadersAndRows) {
  TempHome home;
  const std::string palette = "\x0C"s + std::string(768, '\x40');
  std::string noEncoding = Header(8, 3, 2, 2, 1) + std::string(6, '\1');
  noEncoding[2] = 0;
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      // Lines shorter than the width needs.
      {"1-bit line too short", Header(1, 1, 1, 9, 1) + "\xFF\xFF"s},
      {"8-bit line too short", Header(8, 1, 3, 4, 1) + "\x01\x02\x03"s + palette},
      {"24-bit line too short", Header(8, 3, 1, 2, 1) + "\x01\x02\x03"s},
      {"run past the row", Header(8, 3, 2, 2, 1) + "\xC7\x01"s},
      {"palette marker", Header(8, 1, 2, 2, 1) + "\x01\x02"s + "\x0B"s + std::string(768, '\0')},
      {"encoding", noEncoding},
      {"four 8-bit planes", Header(8, 4, 2, 2, 1) + std::string(8, '\1')},
  };
  for (const Case& c : cases) {
    const std::string path = home.WriteFile("bad.pcx", c.data);
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage) << c.what;
  }
  // The probe accepts a file whose palette marker is wrong; only the load refuses it.
  const std::string path = home.WriteFile("m.pcx", cases[4].data);
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.supported, 1);
}

TEST(PcxFile, TruncatedAndDamagedFilesFailCleanly) {
  TempHome home;
  for (int bits : {1, 4, 8, 24}) {
    const std::string bytes =
        Save(reference::Picture(23, 9, bits == 24 ? 500 : 1 << bits, 7), home.Path() + "/s.pcx", bits);
    reference::LoadDamaged(bytes, home.Path() + "/d.pcx", 5);
  }
}

TEST(PcxFile, SizesTheDataCannotFillAreRefusedBeforeAllocating) {
  // 23000 x 23000 from a few full runs: a run codes at most 63 bytes of a row.
  const std::string runs = std::string(8, '\xFF');
  const std::string palette = "\x0C"s + std::string(768, '\x40');
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"24-bit", Header(8, 3, 23000, 23000, 23000) + runs},
      {"8-bit with its palette", Header(8, 1, 23000, 23000, 23000) + runs + palette},
      {"1-bit", Header(1, 1, 2875, 23000, 23000) + runs},
      {"1-bit in four planes", Header(1, 4, 2875, 23000, 23000) + runs},
      // The palette at the end describes no rows.
      {"8-bit palette only", Header(8, 1, 40, 40, 40) + palette},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefusedUnallocated(PcxFormat(), c.data);
  }
}

TEST(PcxFile, LargeSingleColourFilesAtTheHighestCompressionLoad) {
  TempHome home;
  const std::string dir = home.Path();
  Image plain{3000, 2000, std::vector<uint>(3000 * 2000, 0x3366CC)};
  std::vector<std::pair<std::string, int>> files;  // path, colour depth
  for (int bits : {1, 8, 24}) {
    const std::string path = dir + "/our" + std::to_string(bits) + ".pcx";
    Image picture = plain;
    if (bits == 1) std::fill(picture.pixels.begin(), picture.pixels.end(), 0xFFFFFF);
    ASSERT_FALSE(Save(picture, path, bits).empty()) << bits;
    files.push_back({path, bits});
  }
  if (!reference::Find("convert").empty()) {
    ASSERT_TRUE(reference::Run(reference::Find("convert") + " -size 3000x2000 xc:#3366CC " + dir + "/im.pcx"));
    files.push_back({dir + "/im.pcx", 24});
  }
  if (!reference::Find("ppmtopcx").empty()) {
    reference::WritePpm(dir + "/plain.ppm", plain);
    ASSERT_TRUE(reference::Run(reference::Find("ppmtopcx") + " -24bit " + dir + "/plain.ppm > " + dir + "/nb.pcx"));
    files.push_back({dir + "/nb.pcx", 24});
  }
  for (const auto& [path, bits] : files) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    Image expected = plain;
    if (bits == 1) std::fill(expected.pixels.begin(), expected.pixels.end(), 0xFFFFFF);
    EXPECT_EQ(reference::Compare(expected, loaded), "") << path;
  }
}
