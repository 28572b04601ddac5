// A scanner's bitmap becomes a picture only when its block holds what its header says; its
// resolution comes from the pixels per metre.

#include <gtest/gtest.h>

#include "DibBuilder.h"
#include "quillo/files/ScannedPicture.h"

namespace {

std::vector<std::uint8_t> GreyScan(int width, int height, std::uint32_t pixelsPerMetre) {
  DibSpec s;
  s.width = width;
  s.height = height;
  s.bits = 8;
  s.used = 256;
  for (std::uint32_t i = 0; i < 256; ++i) s.table.push_back(i * 0x010101u);
  const int stride = (width + 3) & ~3;
  for (int y = 0; y < std::abs(height); ++y)
    for (int x = 0; x < stride; ++x) s.rows.push_back(static_cast<std::uint8_t>(x < width ? 10 * x + y : 0));
  std::vector<std::uint8_t> dib = BuildDib(s);
  PutLe(dib, 24, pixelsPerMetre, 4);
  return dib;
}

TEST(ScannedPicture, AGreyScanBecomesItsPictureAtItsResolution) {
  const std::vector<std::uint8_t> dib = GreyScan(5, 3, 11811);
  Buffer picture;
  int resolution = 0;
  ASSERT_TRUE(PictureFromScan(dib.data(), dib.size(), picture, resolution));
  EXPECT_EQ(resolution, 300);
  ASSERT_EQ(picture.Width(), 5);
  ASSERT_EQ(picture.Height(), 3);
  // Stored bottom row first: the picture's top row is the last one stored.
  EXPECT_EQ(*picture.At(picture.rect.left + 2, picture.rect.top) & 0xFFFFFF, (10u * 2 + 2) * 0x010101u);
  picture.Free();
}

TEST(ScannedPicture, WithoutPixelsPerMetreTheResolutionIs200) {
  const std::vector<std::uint8_t> dib = GreyScan(4, 2, 0);
  Buffer picture;
  int resolution = 0;
  ASSERT_TRUE(PictureFromScan(dib.data(), dib.size(), picture, resolution));
  EXPECT_EQ(resolution, 200);
  picture.Free();
}

TEST(ScannedPicture, DamagedScansAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> dib;
  };
  std::vector<std::uint8_t> core = GreyScan(4, 2, 0);
  PutLe(core, 0, 12, 4);
  std::vector<std::uint8_t> tall = GreyScan(4, 2, 0);
  PutLe(tall, 8, 0x7FFFFFFF, 4);
  std::vector<std::uint8_t> negative = GreyScan(4, 2, 0);
  PutLe(negative, 8, static_cast<std::uint32_t>(-100), 4);
  std::vector<std::uint8_t> cut = GreyScan(4, 2, 0);
  cut.resize(cut.size() - 3);
  const Case cases[] = {{"core header", core}, {"taller than its block", tall}, {"top-down beyond its block", negative},
                        {"rows cut short", cut}, {"header only", std::vector<std::uint8_t>(cut.begin(), cut.begin() + 20)}};
  for (const Case& c : cases) {
    Buffer picture;
    int resolution = -1;
    EXPECT_FALSE(PictureFromScan(c.dib.data(), c.dib.size(), picture, resolution)) << c.what;
    EXPECT_TRUE(picture.Empty()) << c.what;
    EXPECT_EQ(resolution, -1) << c.what;
  }
  Buffer picture;
  int resolution = -1;
  EXPECT_FALSE(PictureFromScan(nullptr, 0, picture, resolution));
}

}  // namespace
