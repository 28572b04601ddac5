#include "vorlen/formats/ico/IcoFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/png/Checksum.h"
#include "tests/vorlen/BufferFixtures.h"
#include "../FormatTesting.h"

namespace {

using Bytes = std::vector<uchar>;

void Le16(Bytes& b, uint v) { b.push_back(uchar(v)), b.push_back(uchar(v >> 8)); }
void Le32(Bytes& b, uint v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }

// One icon image: colours 0xAARRGGBB (AA = the 32-bit alpha byte), top row first, and a mask.
struct IconSpec {
  int width, height, bits;
  std::vector<uint> colours;
  std::vector<int> mask;  // 1 = transparent
};

// The DIB of an image: header, colour table (its distinct colours), rows bottom-up, mask.
Bytes Dib(const IconSpec& s) {
  std::vector<uint> table;
  if (s.bits <= 8)
    for (uint c : s.colours)
      if (std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
  Bytes b;
  Le32(b, 40), Le32(b, uint(s.width)), Le32(b, uint(2 * s.height)), Le16(b, 1), Le16(b, uint(s.bits));
  for (int i = 0; i < 6; ++i) Le32(b, 0);
  if (s.bits <= 8) {
    table.resize(size_t(1) << s.bits, 0);
    for (uint c : table) Le32(b, c & 0x00FFFFFF);
  }
  const size_t stride = ((size_t(s.width) * s.bits + 31) / 32) * 4, maskStride = ((size_t(s.width) + 31) / 32) * 4;
  for (int y = s.height - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < s.width; ++x) {
      const uint c = s.colours[size_t(y * s.width + x)];
      const uint index = uint(std::find(table.begin(), table.end(), c) - table.begin());
      switch (s.bits) {
        case 1: row[size_t(x) / 8] |= uchar(index << (7 - x % 8)); break;
        case 4: row[size_t(x) / 2] |= uchar(index << (x % 2 ? 0 : 4)); break;
        case 8: row[size_t(x)] = uchar(index); break;
        default:
          for (int k = 0; k < s.bits / 8; ++k) row[size_t(x) * size_t(s.bits / 8) + size_t(k)] = uchar(c >> (8 * k));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  for (int y = s.height - 1; y >= 0; --y) {
    Bytes row(maskStride, 0);
    for (int x = 0; x < s.width; ++x)
      if (s.mask[size_t(y * s.width + x)]) row[size_t(x) / 8] |= uchar(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

Bytes Icon(const std::vector<Bytes>& images, const std::vector<std::pair<int, int>>& sizes) {
  Bytes b;
  Le16(b, 0), Le16(b, 1), Le16(b, uint(images.size()));
  uint offset = uint(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    b.push_back(uchar(sizes[i].first)), b.push_back(uchar(sizes[i].second)), b.push_back(0), b.push_back(0);
    Le16(b, 1), Le16(b, 0), Le32(b, uint(images[i].size())), Le32(b, offset);
    offset += uint(images[i].size());
  }
  for (const Bytes& image : images) b.insert(b.end(), image.begin(), image.end());
  return b;
}

class IcoFileTest : public ::testing::Test {
protected:
  std::string Write(const Bytes& bytes, const char* name = "i.ico") {
    const std::string path = home_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  TempHome home_;
};

// A 5 x 3 picture whose masked pixels hold black, in as many colours as the depth holds.
IconSpec Picture(int bits) {
  const std::vector<uint> colours2 = {0xFFFFFF, 0xFFFFFF, 0x000000};
  const std::vector<uint> many = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x123456, 0xFEDCBA};
  const std::vector<uint>& palette = bits == 1 ? colours2 : many;
  IconSpec s{5, 3, bits, {}, {}};
  for (int i = 0; i < 15; ++i) {
    const bool masked = i % 4 == 3;
    s.mask.push_back(masked);
    s.colours.push_back(masked ? 0 : palette[size_t(i) % palette.size()]);
  }
  return s;
}

TEST_F(IcoFileTest, EveryDepthLoadsWithItsMask) {
  for (int bits : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(bits);
    const IconSpec spec = Picture(bits);
    const std::string path = Write(Icon({Dib(spec)}, {{5, 3}}));
    for (bool alpha : {false, true}) {
      AlphaMode mode(alpha);
      Buffer b;
      GFXFileDesc desc;
      ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, &desc));
      ASSERT_EQ(b.Width(), 5);
      ASSERT_EQ(b.Height(), 3);
      std::vector<uint> expected;
      for (size_t i = 0; i < 15; ++i)
        expected.push_back(spec.mask[i] && alpha ? 0xFF000000u : spec.colours[i]);
      EXPECT_EQ(Pixels(b), expected) << "alpha " << alpha;
    }
  }
}

TEST_F(IcoFileTest, AlphaIconsBlendOverBlackOrKeepTheirTransparency) {
  IconSpec spec{2, 2, 32, {0xFF102030, 0x80FF0000, 0x00FFFFFF, 0x01000000}, {0, 0, 1, 1}};
  const std::string path = Write(Icon({Dib(spec)}, {{2, 2}}));
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{0x102030, 0x800000, 0x000000, 0x000000}));
  AlphaMode mode(true);
  Buffer c;
  ASSERT_TRUE(GFXFile::Load(c, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(c), (std::vector<uint>{0x00102030, 0x7FFF0000, 0xFFFFFFFF, 0xFE000000}));
}

TEST_F(IcoFileTest, TheLargestDeepestImageIsThePicture) {
  IconSpec small{2, 2, 8, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}, {0, 0, 0, 0}};
  IconSpec big4{4, 4, 4, std::vector<uint>(16, 0x00FF00), std::vector<int>(16, 0)};
  IconSpec big24{4, 4, 24, std::vector<uint>(16, 0x0000FF), std::vector<int>(16, 0)};
  const std::string path = Write(Icon({Dib(small), Dib(big4), Dib(big24), Dib(big4)}, {{2, 2}, {4, 4}, {4, 4}, {4, 4}}));
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, GFXFile::GetDefaultFormat("a.ico"));
  EXPECT_EQ(desc.width, 4);
  EXPECT_EQ(desc.height, 4);
  EXPECT_TRUE(desc.colour);
  EXPECT_TRUE(desc.palette);
  EXPECT_EQ(desc.bits, 8);
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), std::vector<uint>(16, 0x0000FF));
}

TEST_F(IcoFileTest, ProbeLeavesTheStreamWhereItWas) {
  const Bytes icon = Icon({Dib(Picture(8))}, {{5, 3}});
  TMemoryStream stream;
  stream.WriteBuffer("xy", 2);
  stream.WriteBuffer(icon.data(), int(icon.size()));
  stream.SetPosition(2);
  GFXFileDesc desc;
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.ico")->Test(&stream, &desc), 1);
  EXPECT_EQ(stream.Position(), 2);
  stream.SetPosition(0);
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.ico")->Test(&stream, &desc), 0);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.ico")->Test(nullptr, &desc), 0);
}

TEST_F(IcoFileTest, SavingIsRefusedBeforeAnyFileIsMade) {
  Buffer b;
  b.Alloc(Pair<int>(2, 2));
  const std::string path = home_.Path() + "/out.ico";
  EXPECT_THROW(GFXFile::Save(b, path, nullptr, nullptr), EInvalidImage);
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(IcoFileTest, DamagedIconsFailCleanly) {
  Bytes png = Icon({Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0}}, {{16, 16}});
  Bytes outside = Icon({Dib(Picture(4))}, {{5, 3}});
  outside[6 + 12] = 0xF0;  // the image's offset points past the end
  Bytes noMask = Icon({Dib(Picture(8))}, {{5, 3}});
  noMask.resize(noMask.size() - 12);  // 8 bits may not leave the mask out
  for (const Bytes& bad : {png, outside, noMask, Bytes{0, 0, 1, 0, 0, 0}, Bytes{0, 0, 2, 0, 1, 0}}) {
    const std::string path = Write(bad);
    Buffer b;
    try {
      GFXFile::Load(b, path, nullptr, 0, nullptr);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidImage& e) {
      EXPECT_EQ(e.Message, "100");
    }
  }
  const Bytes good = Icon({Dib(Picture(4)), Dib(Picture(32))}, {{5, 3}, {5, 3}});
  std::mt19937 random(3);
  for (size_t cut = 0; cut < good.size(); cut += 5) {
    Buffer b;
    try {
      GFXFile::Load(b, Write(Bytes(good.begin(), good.begin() + long(cut))), nullptr, 0, nullptr);
    } catch (const Exception&) {
    }
  }
  for (int round = 0; round < 300; ++round) {
    Bytes bad = good;
    for (int n = 0; n < 2; ++n) bad[random() % bad.size()] = uchar(random());
    Buffer b;
    try {
      GFXFile::Load(b, Write(bad), nullptr, 0, nullptr);
    } catch (const Exception&) {
    }
  }
}

}  // namespace

namespace {

// A PNG file of the pixels (0xTTRRGGBB, TT the transparency), written by the PNG codec.
Bytes PngOf(const std::string& folder, int width, int height, const std::vector<uint>& pixels) {
  AlphaMode mode(true);
  Buffer image;
  image.Alloc(Pair<int>(width, height));
  for (int i = 0; i < width * height; ++i) image.pixels[i] = pixels[size_t(i)];
  const std::string path = folder + "/image.png";
  EXPECT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST_F(IcoFileTest, ImagesStoredAsPngAreRead) {
  const std::vector<uint> pixels = {0x00102030, 0x7FFF0000, 0xFF00FF00, 0x000000FF, 0x40808080, 0xFFFFFFFF};
  const std::string path = Write(Icon({PngOf(home_.Path(), 3, 2, pixels)}, {{3, 2}}));
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.width, 3);
  EXPECT_EQ(desc.height, 2);
  Buffer over;
  ASSERT_TRUE(GFXFile::Load(over, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(over), (std::vector<uint>{0x102030, 0x800000, 0x000000, 0x0000FF, 0x606060, 0x000000}));
  AlphaMode mode(true);
  Buffer kept;
  ASSERT_TRUE(GFXFile::Load(kept, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(kept), pixels);
}

TEST_F(IcoFileTest, APngImageIsThePictureWhenItIsTheLargest) {
  IconSpec small{2, 2, 32, std::vector<uint>(4, 0xFFFF0000), std::vector<int>(4, 0)};
  IconSpec large{8, 8, 8, std::vector<uint>(64, 0x00FF00), std::vector<int>(64, 0)};
  const Bytes png = PngOf(home_.Path(), 4, 4, std::vector<uint>(16, 0x000000FF));
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, Write(Icon({Dib(small), png}, {{2, 2}, {4, 4}})), nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), std::vector<uint>(16, 0x0000FF));
  Buffer d;
  ASSERT_TRUE(GFXFile::Load(d, Write(Icon({png, Dib(large)}, {{4, 4}, {8, 8}})), nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(d), std::vector<uint>(64, 0x00FF00));
  // A damaged PNG image is a clear error, not a picture.
  Bytes broken = png;
  broken[broken.size() - 20] ^= 0xFF;
  try {
    Buffer c;
    GFXFile::Load(c, Write(Icon({Dib(small), broken}, {{2, 2}, {4, 4}})), nullptr, 0, nullptr);
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidImage& e) {
    EXPECT_EQ(e.Message, "100");
  }
}

// A PNG image whose header claims `side` x `side` pixels while its data holds one.
Bytes PngClaiming(const std::string& folder, uint side) {
  Bytes png = PngOf(folder, 1, 1, {0x00336699});
  for (int i = 0; i < 4; ++i) png[16 + i] = png[20 + i] = uchar(side >> (24 - 8 * i));
  const uint crc = PNGCrc32(0, &png[12], 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = uchar(crc >> (24 - 8 * i));
  return png;
}

TEST_F(IcoFileTest, PngImagesTheirDataCannotFillAreNeverDecoded) {
  const Bytes hostile = PngClaiming(home_.Path(), 4096);
  ASSERT_LT(hostile.size(), 200u);
  const Bytes alone = Icon({hostile}, {{0, 0}});
  ExpectRefusedUnallocated(GFXFile::GetDefaultFormat("x.ico"), std::string(alone.begin(), alone.end()));
  // Beside a bitmap image, the PNG image that cannot be what it claims is passed over.
  IconSpec small{2, 2, 32, std::vector<uint>(4, 0xFFFF0000), std::vector<int>(4, 0)};
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, Write(Icon({Dib(small), hostile}, {{2, 2}, {0, 0}})), nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), std::vector<uint>(4, 0xFF0000));
  // A large single-colour PNG image, compressed as far as it goes, is read.
  const Bytes plain = PngOf(home_.Path(), 2048, 1024, std::vector<uint>(2048 * 1024, 0x00336699));
  Buffer big;
  ASSERT_TRUE(GFXFile::Load(big, Write(Icon({plain}, {{0, 0}})), nullptr, 0, nullptr));
  ASSERT_EQ(big.Width(), 2048);
  EXPECT_EQ(*big.At(2047, 1023), 0x336699u);
}

}  // namespace
