#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/bmp/BmpFile.h"
#include "../FormatTesting.h"

namespace {

GFXFile* Bmp() { return GFXFile::GetDefaultFormat("x.bmp"); }

// An image of `colours` distinct colours (all colours when 0) in a pattern of w x h.
Buffer Pattern(int w, int h, int colours) {
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint k = static_cast<uint>(x * 7 + y * 13 + (x * y) % 5);
      const uint c = colours > 0 ? (k % colours) * (0xFFFFFFu / colours) : k * 2654435761u;
      *b.At(x, y) = c & 0x00FFFFFF;
    }
  return b;
}

void ExpectSamePixels(const Buffer& a, const Buffer& b, const std::string& what) {
  ASSERT_EQ(a.Width(), b.Width()) << what;
  ASSERT_EQ(a.Height(), b.Height()) << what;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      ASSERT_EQ(*a.At(x, y) & 0x00FFFFFF, *b.At(x, y) & 0x00FFFFFF) << what << " at " << x << "," << y;
}

// The pixels of any image file as the independent reader sees them.
bool ReadWithImageMagick(const std::string& path, Buffer& out) {
  const std::string command = "/usr/bin/convert '" + path + "' -depth 8 ppm:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  std::string data;
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) data.append(chunk, n);
  if (pclose(pipe) != 0) return false;
  int w = 0, h = 0, max = 0, used = 0;
  if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &w, &h, &max, &used) != 3) return false;
  const size_t start = static_cast<size_t>(used) + 1;
  if (data.size() < start + static_cast<size_t>(w) * h * 3) return false;
  out.Alloc(Pair<int>(w, h));
  const auto* p = reinterpret_cast<const uchar*>(data.data() + start);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, p += 3) *out.At(x, y) = static_cast<uint>(p[0]) << 16 | p[1] << 8 | p[2];
  return true;
}

bool HaveImageMagick() { return std::system("/usr/bin/convert -version >/dev/null 2>&1") == 0; }

bool RunImageMagick(const std::string& arguments) {
  return std::system(("/usr/bin/convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Le32(uint v) { return Bytes({int(v & 255), int(v >> 8 & 255), int(v >> 16 & 255), int(v >> 24)}); }
std::string Le16(uint v) { return Bytes({int(v & 255), int(v >> 8 & 255)}); }

// A file header and a 40-byte information header.
std::string InfoFile(int w, int h, int bits, uint compression, uint coloursUsed, uint offset,
                     const std::string& rest) {
  return "BM" + Le32(offset + static_cast<uint>(rest.size())) + Le32(0) + Le32(offset) + Le32(40) +
         Le32(static_cast<uint>(w)) + Le32(static_cast<uint>(h)) + Le16(1) + Le16(bits) + Le32(compression) +
         Le32(0) + Le32(0) + Le32(0) + Le32(coloursUsed) + Le32(0) + rest;
}

struct Depth {
  int bits;
  int colours;
  const char* name;
};
const Depth kDepths[] = {{1, 2, "a.bmp"}, {4, 16, "b.bmp"}, {8, 200, "c.bmp"},  {24, 0, "d.bmp"},
                         {32, 0, "e.bmp"}, {4, 16, "f.rle"}, {8, 256, "g.rle"}};

}  // namespace

TEST(BmpFile, EveryWritableDepthRoundTripsAndOpensInImageMagick) {
  TempHome home;
  const bool reference = HaveImageMagick();
  for (const Depth& d : kDepths) {
    Buffer image = Pattern(37, 11, d.colours);
    GFXSaveParams params;
    params.bits = static_cast<signed char>(d.bits);
    const std::string path = home.Path() + "/" + d.name;
    ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params)) << d.name;
    Buffer back;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, &desc)) << d.name;
    EXPECT_EQ(desc.format, Bmp());
    EXPECT_EQ(desc.bits, d.bits);
    ExpectSamePixels(image, back, d.name);
    if (!reference) continue;
    Buffer seen;
    ASSERT_TRUE(ReadWithImageMagick(path, seen)) << d.name;
    ExpectSamePixels(image, seen, std::string("ImageMagick reading ") + d.name);
  }
}

TEST(BmpFile, LoadsWhatImageMagickWritesInEveryVariant) {
  if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  TempHome home;
  Buffer image = Pattern(29, 9, 0);
  GFXSaveParams params;
  params.bits = 24;
  const std::string source = home.Path() + "/source.bmp";
  ASSERT_TRUE(GFXFile::Save(image, source, nullptr, &params));
  struct Variant {
    const char* options;
    const char* name;
  };
  const Variant variants[] = {
      {"", "BMP3:v24.bmp"},
      {"", "BMP:v5.bmp"},
      {"", "BMP2:core.bmp"},
      {"-type TrueColorAlpha", "BMP:v32.bmp"},
      {"-colors 2 -type Bilevel", "BMP3:v1.bmp"},
      {"-colors 16 -depth 4 -type Palette", "BMP3:v4.bmp"},
      {"-colors 100 -type Palette", "BMP3:v8.bmp"},
      {"-colors 100 -type Palette -compress RLE", "BMP3:rle8.bmp"},
      {"-colors 100 -type Palette", "BMP2:core8.bmp"},
      {"-define bmp:subtype=RGB565", "BMP:v565.bmp"},
      {"-define bmp:subtype=RGB555", "BMP:v555.bmp"},
  };
  for (const Variant& v : variants) {
    const std::string spec = v.name;
    const std::string file = home.Path() + "/" + spec.substr(spec.find(':') + 1);
    const std::string target = spec.substr(0, spec.find(':') + 1) + file;
    if (!RunImageMagick("'" + source + "' " + v.options + " '" + target + "'")) {
      ADD_FAILURE() << "ImageMagick could not write " << spec;
      continue;
    }
    Buffer expected, got;
    ASSERT_TRUE(ReadWithImageMagick(file, expected)) << spec;
    try {
      ASSERT_TRUE(GFXFile::Load(got, file, nullptr, 0, nullptr)) << spec;
    } catch (const Exception& e) {
      ADD_FAILURE() << spec << ": " << e.Message;
      continue;
    }
    ExpectSamePixels(expected, got, spec);
  }
}

TEST(BmpFile, SavingToRleWritesCompressionAndEncodedSize) {
  TempHome home;
  Buffer image = Pattern(40, 6, 3);
  GFXSaveParams params;
  params.bits = 8;
  const std::string path = home.Path() + "/x.rle";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  const std::string file = FileContents(path);
  const auto* b = reinterpret_cast<const uchar*>(file.data());
  EXPECT_EQ(GetLE32(b + 30), 1u) << "compression RLE8";
  const uint offset = GetLE32(b + 10);
  EXPECT_EQ(GetLE32(b + 34), file.size() - offset) << "image size is the encoded length";
  EXPECT_EQ(GetLE32(b + 2), file.size());
  EXPECT_EQ(file.substr(file.size() - 2), Bytes({0, 1}));
}

TEST(BmpFile, RleEncodersFollowTheFormat) {
  uchar out[2 * 300 + 8];
  const uchar five[] = {1, 2, 3, 4, 5};
  int n = BMPEncodeRLE4(five, out, 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), Bytes({0, 5, 0x12, 0x34, 0x50, 0, 0, 0}))
      << "a literal of five pixels: three data bytes and one pad byte";
  const uchar runs[] = {7, 7, 7, 7, 9, 1, 2, 3, 3};
  n = BMPEncodeRLE8(runs, out, 9);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n),
            Bytes({4, 7, 0, 3, 9, 1, 2, 0, 2, 3, 0, 0}));
  const uchar pair[] = {5, 6};
  n = BMPEncodeRLE8(pair, out, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), Bytes({1, 5, 1, 6, 0, 0}));
  const uchar alternating[] = {1, 2, 1, 2, 1, 2, 1};
  n = BMPEncodeRLE4(alternating, out, 7);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), Bytes({7, 0x12, 0, 0}));
  std::vector<uchar> ramp(300);
  for (int i = 0; i < 300; ++i) ramp[i] = static_cast<uchar>(i * 7 % 256);
  n = BMPEncodeRLE8(ramp.data(), out, 300);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 255) << "a literal reaching 255 bytes is written at once";
  EXPECT_LE(n, 2 * 300 + 8);
}

TEST(BmpFile, HandMadeLayoutsDecode) {
  TempHome home;
  struct Case {
    const char* name;
    std::string file;
    std::vector<uint> pixels;  // top row first
  };
  const Case cases[] = {
      {"topdown.bmp",
       InfoFile(1, -2, 24, 0, 0, 54, Bytes({1, 2, 3, 0, 4, 5, 6, 0})),
       {0x030201, 0x060504}},
      {"core24.bmp",
       "BM" + Le32(0) + Le32(0) + Le32(26) + Le32(12) + Le16(1) + Le16(1) + Le16(1) + Le16(24) +
           Bytes({0x10, 0x20, 0x30, 0}),
       {0x302010}},
      {"core8.bmp",
       [] {
         std::string table;
         for (int i = 0; i < 256; ++i) table += Bytes({i, 255 - i, 7});
         return "BM" + Le32(0) + Le32(0) + Le32(26 + 768) + Le32(12) + Le16(2) + Le16(1) + Le16(1) +
                Le16(8) + table + Bytes({3, 250, 0, 0});
       }(),
       {0x07FC03, 0x0705FA}},
      {"rle4.bmp",
       InfoFile(6, 2, 4, 2, 2, 62,
                Le32(0x000000FF) + Le32(0x0000FF00) + Bytes({6, 0x01, 0, 0, 0, 3, 0x10, 0x10, 0, 1})),
       {0x00FF00, 0x0000FF, 0x00FF00, 0, 0, 0, 0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00}},
      {"bitfields16.bmp",
       InfoFile(1, 1, 16, 3, 0, 66, Le32(0xF800) + Le32(0x07E0) + Le32(0x001F) + Bytes({0xE0, 0x07, 0, 0})),
       {0x00FF00}},
  };
  for (const Case& c : cases) {
    const std::string path = home.WriteFile(c.name, c.file);
    Buffer got;
    try {
      ASSERT_TRUE(GFXFile::Load(got, path, nullptr, 0, nullptr)) << c.name;
    } catch (const Exception& e) {
      FAIL() << c.name << ": " << e.Message;
    }
    const int w = got.Width();
    ASSERT_EQ(static_cast<size_t>(w * got.Height()), c.pixels.size()) << c.name;
    for (size_t i = 0; i < c.pixels.size(); ++i)
      EXPECT_EQ(*got.At(static_cast<int>(i) % w, static_cast<int>(i) / w), c.pixels[i]) << c.name << " " << i;
  }
}

TEST(BmpFile, HostileHeadersFailCleanly) {
  TempHome home;
  std::string table256;
  for (int i = 0; i < 256; ++i) table256 += Le32(static_cast<uint>(i));
  struct Case {
    const char* name;
    std::string file;
    bool readError;  // else EInvalidImage
  };
  const Case cases[] = {
      {"compression9.bmp", InfoFile(1, 1, 24, 9, 0, 54, Le32(0)), false},
      {"rle-with-24.bmp", InfoFile(1, 1, 24, 1, 0, 54, Le32(0)), false},
      {"planes.bmp", [] { std::string f = InfoFile(1, 1, 24, 0, 0, 54, Le32(0)); f[26] = 2; return f; }(), false},
      {"header20.bmp", "BM" + Le32(0) + Le32(0) + Le32(34) + Le32(20) + std::string(16, '\0'), false},
      {"offset-inside-header.bmp", InfoFile(1, 1, 24, 0, 0, 20, Le32(0)), false},
      {"colours-used-huge.bmp", InfoFile(2, 1, 8, 0, 0xFFFFFFFF, 54 + 1024, table256 + Bytes({5, 255, 0, 0})), false},
      {"offset-far.bmp", InfoFile(1, 1, 24, 0, 0, 0x7FFFFFF0, Le32(0)), true},
      {"short-rows.bmp", InfoFile(100, 100, 24, 0, 0, 54, std::string(100, '\1')), false},
      {"rle-no-end.bmp", InfoFile(4, 4, 8, 1, 0, 54 + 1024, table256 + Bytes({4, 1})), true},
      {"rle-topdown.bmp", InfoFile(4, -4, 8, 1, 0, 54 + 1024, table256 + Bytes({0, 1})), false},
      {"width-negative.bmp", InfoFile(-5, 1, 24, 0, 0, 54, Le32(0)), false},
      {"huge.bmp", InfoFile(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 0, 54, Le32(0)), false},
  };
  for (const Case& c : cases) {
    const std::string path = home.WriteFile(c.name, c.file);
    Buffer got;
    if (std::string(c.name) == "colours-used-huge.bmp") {
      // Clamped to the 256 entries the depth holds: it loads.
      ASSERT_TRUE(GFXFile::Load(got, path, nullptr, 0, nullptr));
      EXPECT_EQ(*got.At(0, 0), 5u);
      EXPECT_EQ(*got.At(1, 0), 255u);
      continue;
    }
    if (c.readError)
      EXPECT_THROW(GFXFile::Load(got, path, nullptr, 0, nullptr), EReadError) << c.name;
    else
      EXPECT_THROW(GFXFile::Load(got, path, nullptr, 0, nullptr), EInvalidImage) << c.name;
  }
}

TEST(BmpFile, RleMovesOutsideTheImageAreClipped) {
  TempHome home;
  std::string table;
  for (int i = 0; i < 256; ++i) table += Le32(static_cast<uint>(i));
  // Run past the row's end, a delta far right and up beyond the top, nothing after.
  const std::string codes = Bytes({200, 9, 0, 0, 0, 2, 250, 0, 3, 4, 0, 2, 0, 200});
  const std::string path = home.WriteFile("wild.bmp", InfoFile(3, 3, 8, 1, 0, 54 + 1024, table + codes));
  Buffer got;
  ASSERT_TRUE(GFXFile::Load(got, path, nullptr, 0, nullptr));
  EXPECT_EQ(*got.At(0, 2), 9u);
  EXPECT_EQ(*got.At(2, 2), 9u);
  EXPECT_EQ(*got.At(0, 0), 0u);
}

TEST(BmpFile, ProbeMatrixAndDescriptor) {
  TempHome home;
  Buffer image = Pattern(5, 3, 4);
  GFXSaveParams params;
  params.bits = 8;
  const std::string bmp = home.Path() + "/p.bmp";
  ASSERT_TRUE(GFXFile::Save(image, bmp, nullptr, &params));
  const std::string frm = home.Path() + "/p.frm";
  ASSERT_TRUE(GFXFile::Save(image, frm, nullptr, nullptr));
  TFileStream bmpStream(bmp, fmOpenRead);
  TFileStream frmStream(frm, fmOpenRead);
  GFXFile* frmFormat = GFXFile::GetDefaultFormat("x.frm");
  GFXFileDesc desc;
  uchar palette[768];
  desc.palette_data = palette;
  EXPECT_EQ(Bmp()->Test(&frmStream, &desc), 0);
  EXPECT_EQ(frmFormat->Test(&bmpStream, &desc), 0);
  EXPECT_EQ(Bmp()->Test(&bmpStream, nullptr), -1) << "without a descriptor only the signature counts";
  EXPECT_EQ(Bmp()->Test(&bmpStream, &desc), 1);
  EXPECT_EQ(bmpStream.Position(), 0);
  EXPECT_EQ(desc.width, 5);
  EXPECT_EQ(desc.height, 3);
  EXPECT_TRUE(desc.palette);
  EXPECT_EQ(desc.bits, 8);
  EXPECT_EQ(desc.palette_data, palette) << "probes never clear it";
  Buffer back;
  GFXFileDesc loaded;
  loaded.palette_data = palette;
  std::fill_n(palette, 768, uchar{0x55});
  ASSERT_TRUE(GFXFile::Load(back, bmp, nullptr, 0, &loaded));
  ExpectSamePixels(image, back, "four colours survive an 8-bit save");
  // The palette the load reports is the file's: every pixel's colour is one of its entries.
  for (int y = 0; y < back.Height(); ++y)
    for (int x = 0; x < back.Width(); ++x) {
      const uint colour = *back.At(x, y) & 0x00FFFFFF;
      bool listed = false;
      for (int i = 0; i < 256 && !listed; ++i)
        listed = (static_cast<uint>(palette[3 * i]) << 16 | palette[3 * i + 1] << 8 | palette[3 * i + 2]) == colour;
      EXPECT_TRUE(listed) << std::hex << colour << " at " << std::dec << x << "," << y;
    }
  GFXSaveParams again;
  again = loaded;
  EXPECT_EQ(again.bits, 8);
  const std::string disguised = home.WriteFile("bitmap.frm", FileContents(bmp));
  Buffer viaProbe;
  ASSERT_TRUE(GFXFile::Load(viaProbe, disguised, nullptr, 0, &loaded));
  EXPECT_EQ(loaded.format, Bmp());
}

TEST(BmpFile, IndexedSaveBuildsThePaletteTheDepthHolds) {
  TempHome home;
  Buffer image = Pattern(30, 30, 0);
  GFXSaveParams params;
  params.bits = 4;
  const std::string path = home.Path() + "/q.bmp";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  const std::string file = FileContents(path);
  EXPECT_EQ(GetLE32(reinterpret_cast<const uchar*>(file.data()) + 46), 16u) << "colours used";
  GFXSaveParams automatic;  // bits 0: the format's default, 32 for bitmaps
  automatic.bits = -1;
  Buffer few = Pattern(8, 8, 3);
  const std::string small = home.Path() + "/auto.bmp";
  ASSERT_TRUE(GFXFile::Save(few, small, nullptr, &automatic));
  GFXFileDesc desc;
  GFXFile::Test(small, &desc);
  EXPECT_EQ(desc.bits, 4) << "the smallest indexed depth that holds three colours";
  Buffer back;
  GFXFile::Load(back, small, nullptr, 0, nullptr);
  ExpectSamePixels(few, back, "auto");
}

TEST(BmpFile, AlphaModeKeepsTransparencyInThirtyTwoBits) {
  TempHome home;
  Buffer image;
  image.Alloc(Pair<int>(2, 1));
  *image.At(0, 0) = 0x80112233;
  *image.At(1, 0) = 0x00445566;
  const std::string path = home.Path() + "/alpha.bmp";
  GFXFile::SetAlpha(true);
  const bool saved = GFXFile::Save(image, path, nullptr, nullptr);
  Buffer back;
  GFXFile::Load(back, path, nullptr, 0, nullptr);
  GFXFile::SetAlpha(false);
  ASSERT_TRUE(saved);
  EXPECT_EQ(GetLE32(reinterpret_cast<const uchar*>(FileContents(path).data()) + 14), 108u);
  EXPECT_EQ(*back.At(0, 0), 0x80112233u);
  Buffer opaque;
  GFXFile::Load(opaque, path, nullptr, 0, nullptr);
  EXPECT_EQ(*opaque.At(0, 0), 0x00112233u);
}

TEST(BmpFile, BitmapFromStreamDecodesAHeaderInMemory) {
  std::string info = Le32(40) + Le32(2) + Le32(1) + Le16(1) + Le16(8) + Le32(0) + Le32(0) + Le32(0) +
                     Le32(0) + Le32(2) + Le32(0) + Le32(0x00FF0000) + Le32(0x000000FF);
  TMemoryStream pixels;
  const std::string row = Bytes({1, 0, 0, 0});
  pixels.WriteBuffer(row.data(), 4);
  pixels.SetPosition(0);
  Buffer dst;
  GFXFileDesc desc;
  uchar palette[768];
  desc.palette_data = palette;
  ASSERT_TRUE(BitmapFromStream(dst, reinterpret_cast<const BITMAPINFO*>(info.data()), &pixels, &desc));
  EXPECT_EQ(*dst.At(0, 0), 0x000000FFu);
  EXPECT_EQ(*dst.At(1, 0), 0x00FF0000u);
  EXPECT_EQ(palette[0], 255);
  EXPECT_EQ(palette[5], 255);
  EXPECT_EQ(palette[6], 0) << "the rest is cleared";
}

TEST(BmpFile, StoppedLoadAnswersZero) {
  TempHome home;
  Buffer image = Pattern(4, 4, 0);
  const std::string path = home.Path() + "/s.bmp";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
  GFXFile::SetProgFunc(nullptr, [](int) { return false; }, nullptr);
  Buffer back;
  const bool done = GFXFile::Load(back, path, nullptr, 0, nullptr);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_FALSE(done);
}

TEST(BmpFile, TrueColourFileClearsTheWantedPalette) {
  TempHome home;
  Buffer image = Pattern(3, 2, 0);
  GFXSaveParams params;
  params.bits = 24;
  const std::string path = home.Path() + "/t.bmp";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  uchar palette[768];
  std::fill(std::begin(palette), std::end(palette), 0x5A);
  GFXFileDesc desc;
  desc.palette_data = palette;
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, &desc));
  EXPECT_EQ(palette[0], 0);
  EXPECT_EQ(palette[767], 0);
}

TEST(BmpFile, EmptyImageWithAHugeRowAllocatesNothing) {
  TempHome home;
  const std::string path = home.WriteFile("flat.bmp", InfoFile(0x56000009, 0, 32, 0, 0, 54, ""));
  Buffer got;
  ASSERT_TRUE(GFXFile::Load(got, path, nullptr, 0, nullptr));
  EXPECT_TRUE(got.Empty());
}

TEST(BmpFile, SixteenBitAlphaBitMakesPixelsTransparentInAlphaMode) {
  TempHome home;
  // A 108-byte header with 5-5-5 masks and alpha mask 0x8000: one pixel with the bit set.
  std::string v4 = Le32(108) + Le32(2) + Le32(1) + Le16(1) + Le16(16) + Le32(3) + Le32(4) + Le32(0) +
                   Le32(0) + Le32(0) + Le32(0) + Le32(0x7C00) + Le32(0x03E0) + Le32(0x001F) +
                   Le32(0x8000) + std::string(108 - 56, '\0');
  const std::string file = "BM" + Le32(14 + 108 + 4) + Le32(0) + Le32(14 + 108) + v4 +
                           Bytes({0x00, 0xFC, 0x1F, 0x00});
  const std::string path = home.WriteFile("argb.bmp", file);
  GFXFile::SetAlpha(true);
  Buffer alpha;
  const bool loaded = GFXFile::Load(alpha, path, nullptr, 0, nullptr);
  GFXFile::SetAlpha(false);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*alpha.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(*alpha.At(1, 0), 0x000000FFu);
  Buffer opaque;
  ASSERT_TRUE(GFXFile::Load(opaque, path, nullptr, 0, nullptr));
  EXPECT_EQ(*opaque.At(0, 0), 0x00FF0000u);
}

TEST(BmpFile, BitmapFromStreamReadsTheThreeByteTableForm) {
  // The 36-byte form: width, height, planes and bits in information-header places, a table
  // of 3-byte entries B, G, R at offset 36.
  std::string info = Le32(36) + Le32(1) + Le32(1) + Le16(1) + Le16(1) + std::string(20, '\0') +
                     Bytes({0x01, 0x02, 0x03, 0x0A, 0x0B, 0x0C});
  TMemoryStream pixels;
  const std::string row = Bytes({0x80, 0, 0, 0});
  pixels.WriteBuffer(row.data(), 4);
  pixels.SetPosition(0);
  Buffer dst;
  ASSERT_TRUE(BitmapFromStream(dst, reinterpret_cast<const BITMAPINFO*>(info.data()), &pixels, nullptr));
  EXPECT_EQ(*dst.At(0, 0), 0x000C0B0Au);
}

TEST(BmpFile, ReservedTableByteIsTransparencyOnlyInAlphaMode) {
  TempHome home;
  const std::string path =
      home.WriteFile("reserved.bmp", InfoFile(1, 1, 8, 0, 1, 58, Bytes({0x30, 0x20, 0x10, 0xFF, 0, 0, 0, 0})));
  Buffer opaque;
  ASSERT_TRUE(GFXFile::Load(opaque, path, nullptr, 0, nullptr));
  EXPECT_EQ(*opaque.At(0, 0), 0x00102030u) << "outside alpha mode every pixel is opaque";
  GFXFile::SetAlpha(true);
  Buffer kept;
  const bool loaded = GFXFile::Load(kept, path, nullptr, 0, nullptr);
  GFXFile::SetAlpha(false);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*kept.At(0, 0), 0xFF102030u);
}

TEST(BmpFile, SizesTheDataCannotFillAreRefusedBeforeAllocating) {
  std::string table;
  for (int i = 0; i < 256; ++i) table += Le32(static_cast<uint>(i));
  // A run codes at most 255 pixels; end-of-line, move and end-of-bitmap codes describe none.
  std::string runs;
  for (int i = 0; i < 16; ++i) runs += Bytes({255, 7});
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"24 bits", InfoFile(23000, 23000, 24, 0, 0, 54, std::string(64, '\1'))},
      {"8 bits top-down", InfoFile(23000, -23000, 8, 0, 0, 54 + 1024, table + std::string(64, '\1'))},
      {"run-length 8 bits", InfoFile(23000, 23000, 8, 1, 0, 54 + 1024, table + runs + Bytes({0, 1}))},
      {"run-length 4 bits", InfoFile(23000, 23000, 4, 2, 16, 54 + 64, table.substr(0, 64) + runs + Bytes({0, 1}))},
      {"end of bitmap at once", InfoFile(23000, 23000, 8, 1, 0, 54 + 1024, table + Bytes({0, 1}))},
      {"moves only", InfoFile(23000, 23000, 8, 1, 0, 54 + 1024, table + Bytes({0, 2, 255, 255, 0, 2, 255, 255, 0, 1}))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefusedUnallocated(Bmp(), c.data);
  }
}

TEST(BmpFile, LargeSingleColourRunLengthFilesLoad) {
  TempHome home;
  Buffer plain;
  plain.Alloc(Pair<int>(3000, 2000));
  for (int y = 0; y < 2000; ++y) std::fill_n(plain.At(0, y), 3000, 0x3366CCu);
  std::vector<std::string> files;
  for (int bits : {4, 8}) {
    GFXSaveParams params;
    params.bits = static_cast<signed char>(bits);
    files.push_back(home.Path() + "/our" + std::to_string(bits) + ".rle");
    ASSERT_TRUE(GFXFile::Save(plain, files.back(), nullptr, &params));
  }
  if (HaveImageMagick()) {
    files.push_back(home.Path() + "/im.bmp");
    ASSERT_TRUE(RunImageMagick("-size 3000x2000 xc:#3366CC -type Palette -compress RLE BMP3:" + files.back()));
  }
  for (const std::string& path : files) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    ExpectSamePixels(plain, loaded, path);
  }
}
