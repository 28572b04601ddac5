// The blend modes by which a component's colour meets the image before the effect.

#include <gtest/gtest.h>

#include "quillo/plugins/ComponentBlend.h"

namespace {

TEST(ComponentBlendTest, EachModeOnOneChannel) {
  const int expected[] = {100, 150, 78, 222, 156, 128, 189, 255, 115, 100, 200, 100};
  for (int item = 0; item < BlendModeCount; ++item) EXPECT_EQ(BlendChannel(item, 200, 100), expected[item]) << item;
}

TEST(ComponentBlendTest, ThePixelKeepsTheDestinationsTopByte) {
  const std::uint32_t b = 0x00C8C8C8, s = 0x00646464;
  EXPECT_EQ(BlendPixel(1, b, s, 0x7F000000u), 0x7F969696u);
  EXPECT_EQ(BlendPixel(0, b, s | 0xAB000000u, 0x05000000u), 0x05646464u);
  // Items beyond the list replace.
  EXPECT_EQ(BlendPixel(12, b, s, 0x00FFFFFFu), 0x00646464u);
  EXPECT_EQ(BlendPixel(200, b, s, 0x00FFFFFFu), 0x00646464u);
}

TEST(ComponentBlendTest, EdgeValues) {
  EXPECT_EQ(BlendChannel(7, 10, 255), 255);
  EXPECT_EQ(BlendChannel(8, 10, 0), 0);
  // White multiplied by white stays white.
  EXPECT_EQ(BlendChannel(2, 255, 255), 255);
  EXPECT_EQ(BlendChannel(11, 10, 250), 240);
}

}  // namespace
