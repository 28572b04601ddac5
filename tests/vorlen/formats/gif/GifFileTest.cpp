#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "../PeakMemory.h"
#include "../ReferenceTools.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/gif/GIFFile.h"
#include "../FormatTesting.h"

using reference::Image;
using namespace std::string_literals;

namespace {

GFXFile* GifFormat() { return GFXFile::GetDefaultFormat("x.gif"); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A GIF made of bytes: header with a global table, optional extension bytes, and images.
struct GifBuilder {
  std::string bytes;
  GifBuilder(int w, int h, std::vector<uint> table, int background = 0) {
    bytes = "GIF89a";
    int bits = 1;
    while ((1u << bits) < table.size()) ++bits;
    Add16(w), Add16(h);
    bytes += char(0x80 | 0x70 | (bits - 1));
    bytes += char(background);
    bytes += char(0);
    table.resize(size_t(1) << bits);
    for (uint c : table) bytes += char(c >> 16), bytes += char(c >> 8), bytes += char(c);
  }
  void Add16(int v) { bytes += char(v & 0xFF), bytes += char(v >> 8); }
  void Control(int disposal, int transparent) {
    bytes += "\x21\xF9\x04";
    bytes += char((disposal << 2) | (transparent >= 0 ? 1 : 0));
    bytes += std::string(2, '\0');
    bytes += char(transparent >= 0 ? transparent : 0);
    bytes += '\0';
  }
  // An image of 8-bit indices, coded with minimum code size 8 and a clear code before every
  // index, so that each code is one index (simple and valid).
  void Image(int left, int top, int w, int h, const std::vector<int>& indices) {
    bytes += ',';
    Add16(left), Add16(top), Add16(w), Add16(h);
    bytes += char(0);
    bytes += char(8);
    std::string data;
    unsigned long long acc = 0;
    int count = 0;
    auto put = [&](int code) {
      acc |= static_cast<unsigned long long>(code) << count;
      count += 9;
      while (count >= 8) data += char(acc & 0xFF), acc >>= 8, count -= 8;
    };
    for (int index : indices) put(256), put(index);
    put(257);
    if (count > 0) data += char(acc & 0xFF);
    for (size_t i = 0; i < data.size(); i += 255) {
      const size_t n = std::min<size_t>(255, data.size() - i);
      bytes += char(n);
      bytes += data.substr(i, n);
    }
    bytes += '\0';
  }
  // A comment extension of `length` bytes.
  void Comment(size_t length) {
    bytes += "\x21\xFE";
    for (; length > 0; length -= std::min<size_t>(length, 255)) {
      const size_t n = std::min<size_t>(length, 255);
      bytes += char(n);
      bytes += std::string(n, 'c');
    }
    bytes += '\0';
  }
  std::string Done() const { return bytes + ";"; }
};

// Loads bytes through the GIF codec; answers the error message ("" when it loaded).
std::string LoadBytes(const std::string& bytes, Buffer& dst) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  try {
    GifFormat()->Load(dst, &stream, 0, nullptr, nullptr);
  } catch (const Exception& e) {
    return e.Message;
  }
  return "";
}

}  // namespace

TEST(GifFile, RegisteredWithItsDefaults) {
  GFXFile* f = GifFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "CompuServe GIF");
  EXPECT_EQ(f->depths, 0xFFu);
  EXPECT_TRUE(f->interlace);
  EXPECT_EQ(f->defaults.bits, -1);
}

TEST(GifFile, LoadsWhatImageMagickWrites) {
  REQUIRE_TOOL("convert");
  TempHome home;
  struct Case {
    int colours;
    const char* options;
  } cases[] = {{2, ""}, {4, "-interlace GIF"}, {16, ""}, {200, "-interlace GIF"}, {256, ""}};
  for (const Case& c : cases) {
    const Image picture = reference::Picture(53, 37, c.colours, c.colours);
    const std::string ppm = home.Path() + "/in.ppm", gif = home.Path() + "/m.gif";
    reference::WritePpm(ppm, picture);
    ASSERT_TRUE(reference::Run(reference::Find("convert") + " " + ppm + " " + c.options + " " + gif));
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, gif, nullptr, 0, &desc)) << c.colours;
    EXPECT_EQ(desc.format, GifFormat());
    EXPECT_EQ(desc.interlaced, std::string(c.options).size() > 0);
    EXPECT_EQ(reference::Compare(reference::MagickRead(gif), loaded), "") << c.colours << " " << c.options;
    EXPECT_EQ(reference::Compare(picture, loaded), "") << c.colours << " " << c.options;
  }
}

TEST(GifFile, LoadsWhatPillowAndNetpbmWrite) {
  REQUIRE_TOOL("python3");
  REQUIRE_TOOL("ppmtogif");
  TempHome home;
  const Image picture = reference::Picture(41, 29, 100, 5);
  const std::string ppm = home.Path() + "/in.ppm";
  reference::WritePpm(ppm, picture);
  const std::string pil = home.Path() + "/p.gif", netpbm = home.Path() + "/n.gif";
  ASSERT_TRUE(reference::Run(reference::Find("python3") +
                             " -c \"from PIL import Image; Image.open('" + ppm +
                             "').convert('P', palette=Image.ADAPTIVE, colors=256).save('" + pil +
                             "', interlace=True)\""));
  ASSERT_TRUE(reference::Run(reference::Find("ppmtogif") + " -interlace " + ppm + " > " + netpbm));
  for (const std::string& path : {pil, netpbm}) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    EXPECT_EQ(reference::Compare(reference::MagickRead(path), loaded), "") << path;
  }
}

TEST(GifFile, WritesWhatImageMagickAndPillowRead) {
  REQUIRE_TOOL("convert");
  TempHome home;
  struct Case {
    int bits;
    bool interlaced;
    bool transparent;
  } cases[] = {{1, false, false}, {2, true, false}, {4, false, true}, {7, true, false}, {8, false, false},
               {8, true, true}};
  for (const Case& c : cases) {
    const Image picture = reference::Picture(67, 45, 1 << c.bits, c.bits * 3 + 1);
    Buffer image;
    reference::ToBuffer(picture, image);
    GFXSaveParams params;
    params.bits = static_cast<signed char>(c.bits);
    params.interlaced = c.interlaced;
    params.transparent = c.transparent;
    GFXtra32 extra;
    extra.transparent = picture.pixels[0];
    const std::string path = home.Path() + "/w.gif";
    ASSERT_TRUE(GFXFile::Save(image, path, &extra, &params));
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.substr(0, 6), c.transparent ? "GIF89a" : "GIF87a");
    EXPECT_EQ(bytes[bytes.size() - 1], ';');
    // ImageMagick shows transparent pixels as their palette colour in an RGB dump.
    EXPECT_EQ(reference::Compare(picture, reference::MagickRead(path)), "") << c.bits;
    const std::string check = home.Path() + "/pil.ppm";
    if (!reference::Find("python3").empty()) {
      ASSERT_TRUE(reference::Run(reference::Find("python3") + " -c \"from PIL import Image; Image.open('" + path +
                                 "').convert('RGB').save('" + check + "')\""));
      EXPECT_EQ(reference::Compare(picture, reference::ReadPnm(check)), "") << c.bits;
    }
  }
}

TEST(GifFile, OneBitImagesUseMinimumCodeSizeTwo) {
  TempHome home;
  Buffer image;
  reference::ToBuffer(reference::Picture(9, 3, 2, 1), image);
  GFXSaveParams params;
  params.bits = 1;
  const std::string path = home.Path() + "/b.gif";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  const std::string bytes = ReadAll(path);
  // header 13, table 6, descriptor 10, then the minimum code size
  EXPECT_EQ(bytes[13 + 6 + 10], 2);
  EXPECT_EQ(static_cast<uchar>(bytes[10]), 0xF0);
}

TEST(GifFile, TransparentSaveWritesControlExtensionWithItsOwnIndices) {
  TempHome home;
  Image picture = reference::Picture(8, 8, 4, 2);
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = 2;
  params.transparent = true;
  GFXtra32 extra;
  const uint key = picture.pixels[5];
  ASSERT_NE(key, picture.pixels[0]);
  extra.transparent = key;
  extra.background = picture.pixels[0];
  const std::string path = home.Path() + "/t.gif";
  ASSERT_TRUE(GFXFile::Save(image, path, &extra, &params));
  const std::string bytes = ReadAll(path);
  const size_t control = 13 + 12;
  ASSERT_EQ(bytes.substr(control, 4), std::string("\x21\xF9\x04\x01", 4));
  const uchar transparentIndex = static_cast<uchar>(bytes[control + 6]);
  const uchar backgroundIndex = static_cast<uchar>(bytes[11]);
  EXPECT_EQ(transparentIndex, extra.transparent >> 24);
  EXPECT_EQ(backgroundIndex, extra.background >> 24);
  EXPECT_NE(transparentIndex, backgroundIndex);
  EXPECT_EQ(bytes[control + 8], ',');

  // Loading gives back the transparent colour and, in alpha mode, transparent pixels.
  GFXFileDesc desc;
  GFXtra32 got;
  Buffer loaded;
  {
    AlphaMode on(true);
    ASSERT_TRUE(GFXFile::Load(loaded, path, &got, 0, &desc));
  }
  EXPECT_TRUE(desc.transparent);
  EXPECT_EQ(got.transparent, key);
  EXPECT_EQ(got.background, picture.pixels[0]);
  for (int i = 0; i < 64; ++i) {
    const uint px = *loaded.At(i % 8, i / 8);
    if (picture.pixels[i] == key) {
      EXPECT_EQ(px >> 24, 0xFFu) << i;
    } else {
      EXPECT_EQ(px, picture.pixels[i]) << i;
    }
  }
}

TEST(GifFile, AnimationFramesComposeByDisposal) {
  TempHome home;
  const std::vector<uint> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  GifBuilder gif(4, 2, table, 3);
  gif.Control(1, -1);
  gif.Image(0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1});  // red everywhere, kept
  gif.Control(2, -1);
  gif.Image(1, 0, 2, 1, {2, 2});                    // green, then back to the background
  gif.Control(0, 0);
  gif.Image(0, 1, 2, 1, {0, 2});                    // index 0 transparent: red shows through
  gif.Control(3, -1);
  gif.Image(3, 0, 1, 1, {2});                       // drawn, then restored to what was before
  gif.Image(2, 1, 1, 1, {0});
  const std::string path = home.WriteFile("a.gif", gif.Done());

  struct Case {
    int image;
    std::vector<uint> expected;
  } cases[] = {
      {0, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
      {1, {0xFF0000, 0x00FF00, 0x00FF00, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}},
      {2, {0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000, 0x00FF00, 0xFF0000, 0xFF0000}},
      {4, {0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000, 0x00FF00, 0x000000, 0xFF0000}},
  };
  for (const Case& c : cases) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, c.image, nullptr));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(*loaded.At(i % 4, i / 4), c.expected[i]) << c.image << " " << i;
  }
  Buffer loaded;
  EXPECT_THROW(GFXFile::Load(loaded, path, nullptr, 5, nullptr), EInvalidImage);

  // ImageMagick leaves disposed areas transparent without a defined colour: compare the
  // frames before any disposal.
  if (!reference::Find("convert").empty()) {
    for (int frame = 0; frame < 2; ++frame) {
      Buffer mine;
      GFXFile::Load(mine, path, nullptr, frame, nullptr);
      EXPECT_EQ(reference::Compare(reference::MagickRead(path, frame, true), mine), "") << frame;
    }
  }
}

TEST(GifFile, SurplusDataOfAnEarlierImageIsPassedOver) {
  TempHome home;
  GifBuilder gif(2, 1, {0x000000, 0xFFFFFF});
  gif.Image(0, 0, 2, 1, {1, 1});
  gif.bytes.pop_back();  // the terminator: more data sub-blocks follow the end code
  gif.bytes += "\x03" "abc" "\x01" "z"s + '\0';
  gif.Image(0, 0, 1, 1, {0});
  const std::string path = home.WriteFile("s.gif", gif.Done());
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 1, nullptr));
  EXPECT_EQ(*loaded.At(0, 0), 0u);
  EXPECT_EQ(*loaded.At(1, 0), 0xFFFFFFu);
}

TEST(GifFile, ProbeCountsImagesAndNotesDepths) {
  TempHome home;
  GifBuilder gif(3, 1, {0, 0xFFFFFF});
  gif.Image(0, 0, 3, 1, {0, 1, 0});
  const std::string good = home.WriteFile("g.gif", gif.Done());
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(good, &desc));
  EXPECT_EQ(desc.format, GifFormat());
  EXPECT_EQ(desc.width, 3);
  EXPECT_EQ(desc.bits, 1);
  EXPECT_EQ(desc.sample_bits, 8);
  EXPECT_EQ(desc.supported, 1);
  const std::string none = home.WriteFile("n.gif", gif.bytes.substr(0, 19) + ";");
  ASSERT_TRUE(GFXFile::Test(none, &desc));
  EXPECT_EQ(desc.supported, 0);
}

TEST(GifFile, MalformedFilesRaiseInvalidImage) {
  TempHome home;
  GifBuilder base(2, 1, {0, 0xFFFFFF});
  const std::string header = base.bytes;
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"code size too large", header + ",\0\0\0\0\x02\0\x01\0\0\x0C\x01\x00\0;"s},
      {"code size below table", header + ",\0\0\0\0\x02\0\x01\0\x82"s + std::string(24, 0) + "\x02\x01\x00\0;"s},
      {"zero-length data", header + ",\0\0\0\0\x02\0\x01\0\0\x02\0;"s},
      {"stray block", header + "X;"},
      {"trailer before image", header + ";"},
      {"first code not a root", header + ",\0\0\0\0\x02\0\x01\0\0\x02\x01\x34\0;"s},
  };
  for (const Case& c : cases) {
    const std::string path = home.Path() + "/bad.gif";
    WriteAll(path, c.data);
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage) << c.what;
  }
}

TEST(GifFile, TruncatedAndDamagedFilesFailCleanly) {
  TempHome home;
  Buffer image;
  reference::ToBuffer(reference::Picture(30, 20, 64, 9), image);
  GFXSaveParams params;
  params.bits = 6;
  params.interlaced = true;
  const std::string path = home.Path() + "/s.gif";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  const std::string bytes = ReadAll(path);
  const std::string cut = home.Path() + "/cut.gif";
  for (size_t n = 6; n < bytes.size() - 1; n += 7) {
    WriteAll(cut, bytes.substr(0, n));
    Buffer b;
    try {
      GFXFile::Load(b, cut, nullptr, 0, nullptr);
      ADD_FAILURE() << "loaded a file cut at " << n;
    } catch (const EInvalidImage&) {
    } catch (const EReadError&) {
    }
  }
  for (size_t i = 13; i < bytes.size(); i += 3) {
    std::string damaged = bytes;
    damaged[i] = static_cast<char>(damaged[i] ^ (0x5A + i));
    WriteAll(cut, damaged);
    Buffer b;
    try {
      GFXFile::Load(b, cut, nullptr, 0, nullptr);
    } catch (const EInvalidImage&) {
    } catch (const EReadError&) {
    }
  }
}

TEST(GifFile, LongImagesClearTheTableAndRoundTrip) {
  TempHome home;
  const Image picture = reference::Picture(400, 300, 256, 77);
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = 8;
  const std::string path = home.Path() + "/l.gif";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
  EXPECT_EQ(reference::Compare(picture, loaded), "");
}

TEST(GifFile, LoadIntoSmallerTargetClips) {
  TempHome home;
  const Image picture = reference::Picture(20, 16, 16, 4);
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  params.bits = 4;
  params.interlaced = true;
  const std::string path = home.Path() + "/c.gif";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &params));
  Buffer small;
  small.Alloc(Pair<int>(7, 5));
  ASSERT_TRUE(GFXFile::Load(small, path, nullptr, 0, nullptr));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(*small.At(x, y), picture.At(x, y)) << x << "," << y;
}

TEST(GifFile, SizesBeyondSixteenBitsAreRefusedBeforeWriting) {
  TempHome home;
  Buffer image;
  image.Alloc(Pair<int>(65536, 1));
  for (int x = 0; x < 65536; ++x) *image.At(x, 0) = 0;
  GFXSaveParams params;
  params.bits = 1;
  const std::string path = home.Path() + "/big.gif";
  EXPECT_THROW(GFXFile::Save(image, path, nullptr, &params), EInvalidImage);
  EXPECT_FALSE(std::ifstream(path).good());
}

// A 12-bit code yields at most 4091 indices, so the bytes of the images' data describe at
// most 8182 pixels every 3 bytes: a larger screen is refused before anything is allocated, a
// screen at the bound is allocated. Comments and trailing bytes describe no pixels. Each file
// holds one 1 x 1 image of 4 data bytes (room for 10909 pixels).
TEST(GifFile, ScreensTheImageDataCannotFillAreRefusedBeforeAllocation) {
  struct Case {
    int width;
    int height;
    size_t commentBytes;
    size_t trailingBytes;
    bool allocated;
  } cases[] = {{10909, 1, 0, 0, true},       {10910, 1, 0, 0, false},  {5454, 2, 0, 0, true},
               {5455, 2, 0, 0, false},       {10910, 1, 60000, 0, false}, {10910, 1, 0, 60000, false},
               {23000, 23000, 200000, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " with a comment of "
                                    << c.commentBytes << " and " << c.trailingBytes << " bytes after");
    GifBuilder file(c.width, c.height, {0, 0xFFFFFF});
    file.Comment(c.commentBytes);
    file.Image(0, 0, 1, 1, {1});
    Buffer dst;
    EXPECT_EQ(LoadBytes(file.Done() + std::string(c.trailingBytes, ';'), dst), c.allocated ? "" : "100");
    EXPECT_EQ(!dst.Empty(), c.allocated);
  }
  // A screen without an image has nothing to fill it.
  Buffer dst;
  EXPECT_EQ(LoadBytes(GifBuilder(1, 1, {0, 0xFFFFFF}).Done(), dst), "100");
  EXPECT_TRUE(dst.Empty());
}

// A well-formed file of a few bytes whose screen is 23000 x 23000 and whose one image is a
// single pixel: refused, and the load takes no memory worth measuring.
TEST(GifFile, ATinyFileClaimingAHugeScreenTakesNoMemory) {
  GifBuilder tiny(23000, 23000, {0, 0xFFFFFF});
  tiny.Image(0, 0, 1, 1, {1});
  const std::string bytes = tiny.Done();
  ASSERT_LT(bytes.size(), 100u);
  Buffer dst;
  EXPECT_EQ(LoadBytes(bytes, dst), "100");
  EXPECT_TRUE(dst.Empty());
  EXPECT_LT(PeakMemoryGrowthKiB([&] {
              Buffer b;
              LoadBytes(bytes, b);
            }),
            kSmallGrowthKiB);
  // The measure itself sees a block of that size being used.
  EXPECT_GE(PeakMemoryGrowthKiB([] { std::vector<char> block(kSmallGrowthKiB * 1024L, 1); }), kSmallGrowthKiB);
}

// Files compressed as far as their encoders go still load: a single colour over 2000 x 2000
// pixels from ImageMagick and from this codec's own writer (both clear the table when full).
TEST(GifFile, HighlyCompressedSingleColourImagesLoad) {
  REQUIRE_TOOL("convert");
  TempHome home;
  const std::string magick = home.Path() + "/m.gif", ours = home.Path() + "/o.gif";
  ASSERT_TRUE(reference::Run(reference::Find("convert") + " -size 2000x2000 xc:#336699 " + magick));
  Buffer plain;
  plain.Alloc(Pair<int>(2000, 2000));
  std::fill_n(plain.pixels, 2000 * 2000, 0x336699u);
  GFXSaveParams params;
  params.bits = 1;
  ASSERT_TRUE(GFXFile::Save(plain, ours, nullptr, &params));
  for (const std::string& path : {magick, ours}) {
    EXPECT_LT(ReadAll(path).size(), 2000u * 2000 / 1000) << path;  // over 1000 pixels a byte
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    ASSERT_EQ(loaded.Width(), 2000);
    ASSERT_EQ(loaded.Height(), 2000);
    EXPECT_EQ(std::count(loaded.pixels, loaded.pixels + 2000 * 2000, 0x336699u), 2000 * 2000) << path;
  }
}
