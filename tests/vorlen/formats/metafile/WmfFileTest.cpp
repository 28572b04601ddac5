#include "vorlen/formats/metafile/WmfFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "MetafileBuilders.h"
#include "support/TempHome.h"
#include "tests/vorlen/formats/PeakMemory.h"
#include "vorlen/formats/GFXFile.h"

namespace {

using namespace metafile_test;

constexpr uint kRed = 0x000000FF, kGreen = 0x0000FF00, kBlue = 0x00FF0000;  // framework colours

class WmfFileTest : public ::testing::Test {
protected:
  std::string Write(const Bytes& bytes, const std::string& name) {
    const std::string path = home_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  TempHome home_;
};

// A hand-made Windows metafile: 200 x 100 units at 192 units an inch, so 100 x 50 pixels.
Bytes ShapesWmf() {
  WmfBuilder w;
  w.Record(0x020B, {0, 0});                    // window origin
  w.Record(0x020C, {100, 200});                // window extent (y, x)
  w.Record(0x02FC, {0, int(kRed & 0xFFFF), int(kRed >> 16), 0});   // solid red brush: slot 0
  w.Record(0x02FA, {5, 0, 0, 0, 0});           // null pen: slot 1
  w.Record(0x012D, {0});
  w.Record(0x012D, {1});
  w.Record(0x041B, {80, 80, 20, 20});          // rectangle 20,20 - 80,80 (bottom, right, top, left)
  w.Record(0x02FC, {0, int(kBlue & 0xFFFF), int(kBlue >> 16), 0});  // slot 2
  w.Record(0x012D, {2});
  w.Record(0x0324, {3, 120, 20, 180, 20, 150, 80});  // a triangle
  w.Record(0x01F0, {0});                       // delete the red brush (not selected)
  return w.Finish(200, 100, 192);
}

// A hand-made enhanced metafile: 120 x 60 pixels, drawn at half scale through the viewport.
Bytes ShapesEmf() {
  EmfBuilder e;
  e.Record(17, {8});                            // MM_ANISOTROPIC
  e.Record(9, {200, 200});                      // window extent
  e.Record(11, {100, 100});                     // viewport extent: half size
  e.Record(39, {1, 0, int(kGreen), 0});         // green brush in slot 1
  e.Record(37, {1});
  e.Record(37, {int(0x80000008)});              // the stock null pen
  e.Record(43, {20, 20, 100, 100});             // rectangle: pixels 10,10 - 50,50
  e.Record(39, {2, 0, int(kBlue), 0});
  e.Record(37, {2});
  e.Points16(86, {{120, 20}, {220, 20}, {170, 100}});  // a triangle: pixels 60,10 - 110,10 - 85,50
  e.Record(40, {1});
  return e.Finish(120, 60);
}

uint At(const Buffer& b, int x, int y) { return *b.At(x, y); }

TEST_F(WmfFileTest, AHandMadeWindowsMetafileLoadsWithItsPicture) {
  const std::string path = Write(ShapesWmf(), "shapes.wmf");
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, GFXFile::GetDefaultFormat("a.wmf"));
  EXPECT_EQ(desc.width, 100);
  EXPECT_EQ(desc.height, 50);
  EXPECT_EQ(desc.bits, 24);
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  ASSERT_EQ(b.Width(), 100);
  ASSERT_EQ(b.Height(), 50);
  EXPECT_EQ(At(b, 25, 25), 0xFF0000u);  // inside the rectangle (10,10 - 40,40 in pixels)
  EXPECT_EQ(At(b, 12, 12), 0xFF0000u);
  EXPECT_EQ(At(b, 45, 25), 0u);         // right of it
  EXPECT_EQ(At(b, 5, 5), 0u);
  EXPECT_EQ(At(b, 75, 15), 0x0000FFu);  // inside the triangle (60,10 - 90,10 - 75,40)
  EXPECT_EQ(At(b, 75, 35), 0x0000FFu);
  EXPECT_EQ(At(b, 62, 35), 0u);         // beside its slanted edge
  EXPECT_EQ(At(b, 95, 45), 0u);
}

TEST_F(WmfFileTest, AHandMadeEnhancedMetafileLoadsWithItsPicture) {
  // Named .wmf: the probes do not care which kind an extension names.
  const std::string path = Write(ShapesEmf(), "shapes.wmf");
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, GFXFile::GetDefaultFormat("a.wmf"));
  EXPECT_EQ(desc.width, 120);
  EXPECT_EQ(desc.height, 60);
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  EXPECT_EQ(At(b, 30, 30), 0x00FF00u);
  EXPECT_EQ(At(b, 11, 48), 0x00FF00u);
  EXPECT_EQ(At(b, 55, 30), 0u);
  EXPECT_EQ(At(b, 85, 20), 0x0000FFu);
  EXPECT_EQ(At(b, 85, 45), 0x0000FFu);
  EXPECT_EQ(At(b, 65, 40), 0u);
  EXPECT_EQ(At(b, 5, 55), 0u);
}

TEST_F(WmfFileTest, MetafilesWrittenHerePlayBackWithTheSamePixels) {
  Buffer image;
  image.Alloc(Pair<int>(13, 7));
  std::mt19937 random(1);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) *image.At(x, y) = random() & 0x00FFFFFF;
  for (const char* name : {"x.emf", "x.wmf"}) {
    SCOPED_TRACE(name);
    const std::string path = home_.Path() + "/" + name;
    ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
    const Bytes bytes = Read(path);
    const bool enhanced = std::string(name) == "x.emf";
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(bytes[40] == ' ' && bytes[41] == 'E' && bytes[42] == 'M' && bytes[43] == 'F', enhanced);
    EXPECT_EQ(bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A, !enhanced);
    Buffer back;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, &desc));
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(*back.At(x, y), *image.At(x, y)) << x << "," << y;
  }
}

TEST_F(WmfFileTest, AViewOfAWiderBufferKeepsItsStride) {
  Buffer image;
  image.Alloc(Pair<int>(6, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) *image.At(x, y) = uint(0x010203 * (y * 6 + x + 1));
  // Saved from a view inside a wider buffer, loaded into a view of another one.
  Buffer wide;
  wide.Alloc(Pair<int>(20, 10));
  for (int i = 0; i < 200; ++i) wide.pixels[i] = 0x00ABCDEF;
  wide.Copy(image, Pair<int>(3, 2), Buffer::kPlain);
  Buffer source(wide, Rect(3, 2, 8, 5), false);
  const std::string path = home_.Path() + "/v.emf";
  ASSERT_TRUE(GFXFile::Save(source, path, nullptr, nullptr));
  Buffer target;
  target.Alloc(Pair<int>(20, 10));
  for (int i = 0; i < 200; ++i) target.pixels[i] = 0x00777777;
  Buffer view(target, Rect(0, 0, 7, 7), true);
  ASSERT_TRUE(GFXFile::Load(view, path, nullptr, 0, nullptr));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const uint expected = x < 6 && y < 4 ? *image.At(x, y) : 0x00777777u;
      ASSERT_EQ(*target.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(WmfFileTest, UnsupportedRecordsAreAClearError) {
  WmfBuilder w;
  w.Record(0x020C, {10, 10});
  w.Record(0x0419, {0, 0, 5, 5});  // a flood fill
  EmfBuilder e;
  e.Record(66, {});                  // a path widened
  for (const auto& [bytes, name] : {std::pair{w.Finish(10, 10, 96), "fill.wmf"}, std::pair{e.Finish(10, 10), "widen.emf"}}) {
    const std::string path = Write(bytes, name);
    GFXFileDesc desc;
    EXPECT_FALSE(GFXFile::Test(path, &desc)) << name;
    Buffer b;
    try {
      GFXFile::Load(b, path, nullptr, 0, nullptr);
      ADD_FAILURE() << name;
    } catch (const EInvalidImage& error) {
      EXPECT_EQ(error.Message, "100");
    }
  }
}

// A Windows metafile's new object takes the lowest free slot of its table: one freed by a
// deletion before any past the end.
TEST_F(WmfFileTest, ANewObjectTakesTheLowestFreeSlot) {
  WmfBuilder w;
  w.Record(0x020B, {0, 0});
  w.Record(0x020C, {10, 30});
  w.Record(0x02FA, {5, 0, 0, 0, 0});                                // null pen: slot 0
  w.Record(0x012D, {0});
  for (uint colour : {kRed, kGreen, kRed})                         // slots 1, 2, 3
    w.Record(0x02FC, {0, int(colour & 0xFFFF), int(colour >> 16), 0});
  w.Record(0x01F0, {1});                                            // free slot 1, then slot 3
  w.Record(0x01F0, {3});
  w.Record(0x02FC, {0, int(kBlue & 0xFFFF), int(kBlue >> 16), 0});  // takes slot 1
  w.Record(0x012D, {1});
  w.Record(0x041B, {10, 10, 0, 0});
  w.Record(0x012D, {2});
  w.Record(0x041B, {10, 20, 0, 10});
  w.Record(0x02FC, {0, 0x7F7F, 0x7F, 0});                          // takes slot 3
  w.Record(0x012D, {3});
  w.Record(0x041B, {10, 30, 0, 20});
  const std::string path = Write(w.Finish(30, 10, 96), "slots.wmf");
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  // The buffer holds 0x00RRGGBB: blue, green, grey.
  EXPECT_EQ((std::vector<uint>{At(b, 5, 5), At(b, 15, 5), At(b, 25, 5)}), (std::vector<uint>{0x0000FF, 0x00FF00, 0x7F7F7F}));
}

// A picture is played into a bitmap of its size, so a frame of a few bytes may not ask for
// more than 2^26 pixels (nor a side over 16384): such a file is refused without taking
// the memory it claims, and saving an image that large is refused too.
TEST_F(WmfFileTest, AFrameLargerThanAnyPictureIsRefusedBeforeAllocation) {
  WmfBuilder extent;
  extent.Record(0x020C, {16000, 16000});  // the window extent sizes a plain Windows metafile
  Bytes plain = extent.Finish(1, 1, 96);
  plain.erase(plain.begin(), plain.begin() + 22);  // without the placeable header
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"huge.emf", EmfBuilder().Finish(16384, 16384)},
      {"wide.emf", EmfBuilder().Finish(16384, 8000)},
      {"huge.wmf", WmfBuilder().Finish(16000, 16000, 96)},
      {"plain.wmf", plain},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.file, c.name);
    GFXFileDesc desc;
    EXPECT_FALSE(GFXFile::Test(path, &desc)) << c.name;
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage) << c.name;
    EXPECT_LT(PeakMemoryGrowthKiB([&] {
                Buffer dst;
                GFXFile::Load(dst, path, nullptr, 0, nullptr);
              }),
              kSmallGrowthKiB)
        << c.name;
  }
  const std::string fits = Write(EmfBuilder().Finish(16384, 64), "fits.emf");
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(fits, &desc));
  EXPECT_EQ(desc.width, 16384);
  EXPECT_EQ(desc.height, 64);
  Buffer image;
  image.Alloc(Pair<int>(9000, 8000));
  EXPECT_THROW(GFXFile::Save(image, home_.Path() + "/big.emf", nullptr, nullptr), EInvalidImage);
}

TEST_F(WmfFileTest, DamagedMetafilesFailCleanly) {
  Buffer image;
  image.Alloc(Pair<int>(5, 3));
  for (int i = 0; i < 15; ++i) image.pixels[i] = uint(i * 0x111111);
  ASSERT_TRUE(GFXFile::Save(image, home_.Path() + "/s.emf", nullptr, nullptr));
  ASSERT_TRUE(GFXFile::Save(image, home_.Path() + "/s.wmf", nullptr, nullptr));
  const std::vector<Bytes> samples = {ShapesWmf(), ShapesEmf(), Read(home_.Path() + "/s.emf"), Read(home_.Path() + "/s.wmf")};
  std::mt19937 random(9);
  for (const Bytes& sample : samples) {
    for (size_t cut = 0; cut < sample.size(); cut += 7) {
      Buffer b;
      try {
        GFXFile::Load(b, Write(Bytes(sample.begin(), sample.begin() + long(cut)), "cut.wmf"), nullptr, 0, nullptr);
      } catch (const Exception&) {
      }
    }
    for (int round = 0; round < 300; ++round) {
      Bytes bad = sample;
      for (int n = 0; n < 3; ++n) bad[random() % bad.size()] = uchar(random());
      Buffer b;
      GFXFileDesc desc;
      try {
        const std::string path = Write(bad, "bad.emf");
        if (GFXFile::Test(path, &desc) && desc.width * desc.height <= 1 << 20)
          GFXFile::Load(b, path, nullptr, 0, nullptr);
      } catch (const Exception&) {
      }
    }
  }
}

}  // namespace
