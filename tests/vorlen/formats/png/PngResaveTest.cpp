// A file saves again with the settings it was loaded with, whatever its sample depth.

#include <gtest/gtest.h>

#include <fstream>

#include "PngSamples.h"
#include "support/TempHome.h"

using namespace pngtest;

TEST(PngResave, SixteenBitFilesSaveAgainWithTheirOwnSettings) {
  const struct {
    int colourType;
    int expectedBits;
  } cases[] = {{PNG_COLOR_TYPE_RGB, 24}, {PNG_COLOR_TYPE_RGB_ALPHA, 32}};
  for (const auto& c : cases) {
    TempHome home;
    const Bytes file = libpng::Write(MakeImage(c.colourType, 16, false, 9, 5));
    const std::string path = home.Path() + "/deep.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    AlphaMode alpha(true);
    Buffer image;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(image, path, nullptr, 0, &desc));
    GFXSaveParams params;
    params = desc;
    EXPECT_EQ(params.bits, c.expectedBits);
    ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/again.png", nullptr, &params));

    Buffer back;
    ASSERT_TRUE(GFXFile::Load(back, home.Path() + "/again.png", nullptr, 0, nullptr));
    ASSERT_EQ(back.rect, image.rect);
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) ASSERT_EQ(*back.At(x, y), *image.At(x, y)) << x << "," << y;
  }
}
