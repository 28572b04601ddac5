#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ReferenceTools.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/tga/TGAFile.h"
#include "../FormatTesting.h"

using reference::Image;
using namespace std::string_literals;

namespace {

GFXFile* TgaFormat() { return GFXFile::GetDefaultFormat("x.tga"); }

// An 18-byte header.
std::string Header(int mapType, int type, int first, int length, int entryBits, int width, int height,
                   int depth, int descriptor) {
  const char h[18] = {0, char(mapType), char(type), char(first), char(first >> 8), char(length), char(length >> 8),
                      char(entryBits), 0, 0, 0, 0, char(width), char(width >> 8), char(height), char(height >> 8),
                      char(depth), char(descriptor)};
  return std::string(h, 18);
}

std::string Save(const Image& picture, const std::string& path, int bits, bool transparent = false,
                 GFXtra32* extra = nullptr) {
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = static_cast<signed char>(bits);
  params.transparent = transparent;
  EXPECT_TRUE(GFXFile::Save(image, path, extra, &params));
  return reference::ReadFile(path);
}

std::vector<uchar> Bytes(const uchar* begin, const uchar* end) { return std::vector<uchar>(begin, end); }

}  // namespace

TEST(TgaFile, RegisteredWithoutTheInterlaceOption) {
  GFXFile* f = TgaFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "TrueVision Targa");
  EXPECT_EQ(f->depths, 0x80800080u);
  EXPECT_EQ(f->defaults.bits, 32);
  EXPECT_FALSE(f->interlace);  // the writer has no interlaced layout
}

TEST(TgaFile, RunLengthPackets) {
  uchar out[600];
  std::vector<uchar> run(130, 7);
  EXPECT_EQ(Bytes(out, TGAEncodeRun(out, run.data(), 130)), (std::vector<uchar>{0xFF, 7, 0x81, 7}));
  run.push_back(9);
  EXPECT_EQ(Bytes(out, TGAEncodeRun(out, run.data(), 131)), (std::vector<uchar>{0xFF, 7, 0x02, 7, 7, 9}));
  const uchar two[2] = {4, 4};
  EXPECT_EQ(Bytes(out, TGAEncodeRun(out, two, 2)), (std::vector<uchar>{0x01, 4, 4}));
  const uint pixels[3] = {0xFF112233, 0x00112233, 0x00445566};
  EXPECT_EQ(Bytes(out, TGAEncodePixels(out, pixels, 2, RGB32RGB24s, 3, 0x00FFFFFF)),
            (std::vector<uchar>{0x81, 0x33, 0x22, 0x11}));
  EXPECT_EQ(Bytes(out, TGAEncodePixels(out, pixels, 3, RGB32RGB24s, 3, 0x00FFFFFF)),
            (std::vector<uchar>{0x81, 0x33, 0x22, 0x11, 0x00, 0x66, 0x55, 0x44}));
}

TEST(TgaFile, LoadsWhatImageMagickPillowAndNetpbmWrite) {
  REQUIRE_TOOL("convert");
  REQUIRE_TOOL("tgatoppm");
  REQUIRE_TOOL("python3");
  TempHome home;
  const std::string dir = home.Path();
  reference::WritePpm(dir + "/c.ppm", reference::Picture(37, 21, 200, 3));
  const std::string convert = reference::Find("convert");
  std::vector<std::string> files;
  struct Made {
    const char* options;
    const char* file;
  } made[] = {{"-type Palette -compress None", "im-map.tga"},     {"-type Palette -compress RLE", "im-map-rle.tga"},
              {"-type TrueColor -compress None", "im-24.tga"},    {"-type TrueColor -compress RLE", "im-24-rle.tga"},
              {"-type Grayscale -compress RLE", "im-grey.tga"},   {"-type TrueColorAlpha", "im-32.tga"},
              {"-type Grayscale -compress None", "im-grey-raw.tga"}};
  for (const Made& m : made) {
    // ImageMagick marks its rows bottom-up unless told the orientation, yet writes them top
    // first; netpbm and Pillow read such files upside down, as the format says.
    const std::string command = convert + " " + dir + "/c.ppm -orient TopLeft " + m.options + " " + dir + "/" + m.file;
    ASSERT_TRUE(reference::Run(command)) << command;
    files.push_back(dir + "/" + m.file);
  }
  ASSERT_TRUE(reference::RunPython(dir, "from PIL import Image\n"
                                        "c = Image.open('" + dir + "/c.ppm')\n"
                                        "c.save('" + dir + "/pil-24.tga')\n"
                                        "c.save('" + dir + "/pil-24-rle-top.tga', rle=True, orientation=1)\n"
                                        "c.convert('RGBA').save('" + dir + "/pil-32-rle.tga', rle=True)\n"
                                        "c.convert('P', palette=Image.ADAPTIVE).save('" + dir + "/pil-map.tga')\n"
                                        "c.convert('L').save('" + dir + "/pil-grey-top.tga', orientation=1)\n"));
  for (const char* f : {"/pil-24.tga", "/pil-24-rle-top.tga", "/pil-32-rle.tga", "/pil-map.tga", "/pil-grey-top.tga"})
    files.push_back(dir + f);
  if (!reference::Find("pamtotga").empty()) {
    for (const char* options : {"-cmap", "-rgb -norle", "-cmap16"}) {
      const std::string file = dir + "/n" + std::to_string(files.size()) + ".tga";
      ASSERT_TRUE(reference::Run(reference::Find("pamtotga") + " " + options + " " + dir + "/c.ppm > " + file));
      files.push_back(file);
    }
  }
  for (const std::string& file : files) {
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, file, nullptr, 0, &desc)) << file;
    EXPECT_EQ(desc.format, TgaFormat()) << file;
    // 5-bit channels widen by repeating their top bits here, by rounding in netpbm.
    const int tolerance = desc.bits == 16 || desc.sample_bits == 5 ? 1 : 0;
    EXPECT_EQ(reference::Compare(reference::NetpbmRead("tgatoppm", file), loaded, tolerance), "") << file;
  }
}

TEST(TgaFile, WritesWhatImageMagickPillowAndNetpbmRead) {
  REQUIRE_TOOL("convert");
  TempHome home;
  for (int bits : {8, 24, 32}) {
    const Image picture = reference::Picture(131, 17, bits == 8 ? 256 : 5000, bits);
    const std::string path = home.Path() + "/w.tga";
    const std::string bytes = Save(picture, path, bits);
    EXPECT_EQ(reference::Compare(picture, reference::MagickRead(path)), "") << bits;
    if (!reference::Find("tgatoppm").empty()) {
      EXPECT_EQ(reference::Compare(picture, reference::NetpbmRead("tgatoppm", path)), "") << bits;
    }
    if (!reference::Find("python3").empty()) {
      ASSERT_TRUE(reference::RunPython(home.Path(), "from PIL import Image\nImage.open('" + path +
                                                        "').convert('RGB').save('" + path + ".ppm')\n"));
      EXPECT_EQ(reference::Compare(picture, reference::ReadPnm(path + ".ppm")), "") << bits;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 26), std::string(8, '\0') + "TRUEVISION-XFILE."s + '\0');
    EXPECT_EQ(uchar(bytes[17]), 0x20);
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
    EXPECT_EQ(reference::Compare(picture, loaded), "") << bits;
  }
}

TEST(TgaFile, TransparentIndexWithThirtyTwoBitMap) {
  TempHome home;
  const Image picture = reference::Picture(10, 4, 16, 2);
  GFXtra32 extra;
  extra.transparent = picture.pixels[5];
  const std::string bytes = Save(picture, home.Path() + "/t.tga", 8, true, &extra);
  EXPECT_EQ(uchar(bytes[7]), 32);
  EXPECT_EQ(uchar(bytes[17]), 0x28);
  const int key = static_cast<int>(extra.transparent >> 24);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(uchar(bytes[18 + 8 + 4 * i + 3]), i == key ? 255 : 0) << i;
  GFXFileDesc desc;
  GFXtra32 got;
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, home.Path() + "/t.tga", &got, 0, &desc));
  EXPECT_TRUE(desc.transparent);
  EXPECT_EQ(got.transparent, picture.pixels[5]);
  EXPECT_EQ(reference::Compare(picture, loaded), "");
}

TEST(TgaFile, PixelOrdersAndClipping) {
  TempHome home;
  // 3 x 2 grey pixels 1..6 as they appear on screen, stored in each of the four orders.
  const std::string topLeft = "\x01\x02\x03\x04\x05\x06"s;
  struct Case {
    int descriptor;
    std::string pixels;
  } cases[] = {{0x20, topLeft},
               {0x00, "\x04\x05\x06\x01\x02\x03"s},
               {0x30, "\x03\x02\x01\x06\x05\x04"s},
               {0x10, "\x06\x05\x04\x03\x02\x01"s}};
  for (const Case& c : cases) {
    for (bool rle : {false, true}) {
      std::string data = c.pixels;
      if (rle) data = "\x05"s + c.pixels;  // one raw packet that crosses the row
      const std::string path = home.WriteFile("o.tga", Header(0, rle ? 11 : 3, 0, 0, 0, 3, 2, 8, c.descriptor) + data);
      Buffer loaded;
      ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
      for (int i = 0; i < 6; ++i) EXPECT_EQ(*loaded.At(i % 3, i / 3), 0x010101u * (i + 1)) << c.descriptor << " " << i;
      Buffer small;
      small.Alloc(Pair<int>(2, 1));
      ASSERT_TRUE(GFXFile::Load(small, path, nullptr, 0, nullptr));
      EXPECT_EQ(*small.At(0, 0), 0x010101u) << c.descriptor;
      EXPECT_EQ(*small.At(1, 0), 0x020202u) << c.descriptor;
    }
  }
}

TEST(TgaFile, SixteenBitMapMarksTransparentEntries) {
  TempHome home;
  // Entries: red opaque, green with the attribute bit, blue with the attribute bit.
  const std::string map = "\x00\x7C\xE0\x83\x1F\x80"s;
  const std::string path = home.WriteFile("m.tga", Header(1, 1, 0, 3, 16, 3, 1, 8, 0x20) + map + "\x00\x01\x02"s);
  GFXFileDesc desc;
  GFXtra32 extra;
  Buffer plain;
  ASSERT_TRUE(GFXFile::Load(plain, path, &extra, 0, &desc));
  EXPECT_TRUE(desc.transparent);
  EXPECT_EQ(extra.transparent, 0x00FF00u);
  EXPECT_EQ(*plain.At(1, 0), 0x00FF00u);
  EXPECT_EQ(*plain.At(2, 0), 0x0000FFu);
  AlphaMode on(true);
  GFXFileDesc desc2;
  Buffer keyed;
  ASSERT_TRUE(GFXFile::Load(keyed, path, &extra, 0, &desc2));
  EXPECT_EQ(*keyed.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(*keyed.At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(*keyed.At(2, 0), 0xFF0000FFu);
}

TEST(TgaFile, SixteenBitPixelsAreOpaqueUnlessAlphaModeReadsTheirAttributeBit) {
  TempHome home;
  // Red with the attribute bit, then white without it; 15-bit pixels never carry it.
  const std::string pixels = "\x00\xFC\xFF\x7F"s;
  const std::string p16 = home.WriteFile("p16.tga", Header(0, 2, 0, 0, 0, 2, 1, 16, 0x20) + pixels);
  const std::string p15 = home.WriteFile("p15.tga", Header(0, 2, 0, 0, 0, 2, 1, 15, 0x20) + pixels);
  for (bool alpha : {false, true}) {
    AlphaMode mode(alpha);
    Buffer b16, b15;
    ASSERT_TRUE(GFXFile::Load(b16, p16, nullptr, 0, nullptr));
    ASSERT_TRUE(GFXFile::Load(b15, p15, nullptr, 0, nullptr));
    EXPECT_EQ(*b16.At(0, 0), alpha ? 0xFFFF0000u : 0x00FF0000u);
    EXPECT_EQ(*b16.At(1, 0), 0x00FFFFFFu);
    EXPECT_EQ(*b15.At(0, 0), 0x00FF0000u);
  }
}

TEST(TgaFile, HeadersThatDoNotLoad) {
  TempHome home;
  struct Case {
    const char* what;
    std::string data;
    int probe;
  } cases[] = {
      {"map past 256", Header(1, 1, 250, 10, 24, 1, 1, 8, 0) + std::string(31, '\0'), 0},
      {"interleaved", Header(0, 3, 0, 0, 0, 1, 1, 8, 0x40) + "\x01"s, -1},
      {"depth 12", Header(0, 2, 0, 0, 0, 1, 1, 12, 0) + "\x01\x02"s, 0},
      {"type 4", Header(0, 4, 0, 0, 0, 1, 1, 8, 0) + "\x01"s, 0},
  };
  for (const Case& c : cases) {
    const std::string path = home.WriteFile("bad.tga", c.data);
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage) << c.what;
  }
  // A file recognised by its footer alone probes as this format and does not load.
  const std::string footer = std::string(8, '\0') + "TRUEVISION-XFILE."s + '\0';
  const std::string path = home.WriteFile("f.tga", Header(0, 7, 0, 0, 0, 1, 1, 8, 0) + std::string(30, 'x') + footer);
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, TgaFormat());
  EXPECT_EQ(desc.supported, 0);
  Buffer b;
  EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage);
}

TEST(TgaFile, SizesBeyondSixteenBitsAreRefused) {
  TempHome home;
  Buffer tall;
  tall.Alloc(Pair<int>(1, 65536));
  GFXSaveParams params;
  params.bits = 24;
  EXPECT_THROW(GFXFile::Save(tall, home.Path() + "/t.tga", nullptr, &params), EInvalidImage);
}

TEST(TgaFile, TruncatedAndDamagedFilesFailCleanly) {
  TempHome home;
  for (int bits : {8, 24, 32}) {
    const std::string bytes = Save(reference::Picture(23, 9, bits == 8 ? 256 : 700, 7), home.Path() + "/s.tga", bits);
    reference::LoadDamaged(bytes, home.Path() + "/d.tga", 5);
  }
}

TEST(TgaFile, SizesTheDataCannotFillAreRefusedBeforeAllocating) {
  // 23000 x 23000 from a few packets: a run packet codes at most 128 pixels.
  std::string runs24, runs8;
  for (int i = 0; i < 16; ++i) runs24 += "\xFF\x10\x20\x30"s, runs8 += "\xFF\x7F"s;
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"raw true colour", Header(0, 2, 0, 0, 0, 23000, 23000, 24, 0x20) + std::string(64, '\x10')},
      {"raw grey", Header(0, 3, 0, 0, 0, 23000, 23000, 8, 0) + std::string(64, '\x10')},
      {"run-length true colour", Header(0, 10, 0, 0, 0, 23000, 23000, 24, 0) + runs24},
      {"run-length 16 bits", Header(0, 10, 0, 0, 0, 23000, 23000, 16, 0) + runs8},
      {"run-length grey", Header(0, 11, 0, 0, 0, 23000, 23000, 8, 0) + runs8},
      // The colour map is read before the pixels and counts for none of them.
      {"run-length mapped", Header(1, 9, 0, 256, 24, 23000, 23000, 8, 0) + std::string(768, '\0') + runs8},
      {"map past the end", Header(1, 2, 0, 65535, 32, 1, 1, 24, 0) + std::string(64, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefusedUnallocated(TgaFormat(), c.data);
  }
}

TEST(TgaFile, LargeSingleColourFilesAtTheHighestCompressionLoad) {
  TempHome home;
  const std::string dir = home.Path();
  const Image plain{3000, 2000, std::vector<uint>(3000 * 2000, 0x3366CC)};
  std::vector<std::string> files;
  for (int bits : {8, 24, 32}) {
    files.push_back(dir + "/our" + std::to_string(bits) + ".tga");
    Save(plain, files.back(), bits);
  }
  if (!reference::Find("convert").empty()) {
    files.push_back(dir + "/im.tga");
    ASSERT_TRUE(reference::Run(reference::Find("convert") + " -size 3000x2000 xc:#3366CC -compress RLE " + files.back()));
  }
  if (!reference::Find("pamtotga").empty()) {
    reference::WritePpm(dir + "/plain.ppm", plain);
    files.push_back(dir + "/nb.tga");
    ASSERT_TRUE(reference::Run(reference::Find("pamtotga") + " -rgb " + dir + "/plain.ppm > " + files.back()));
  }
  for (const std::string& path : files) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    EXPECT_EQ(reference::Compare(plain, loaded), "") << path;
  }
}
