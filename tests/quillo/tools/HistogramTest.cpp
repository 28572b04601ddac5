// The histogram's counts, statistics and pictures: a white picture, two values, the "All"
// polylines and the largest count reaching the top row.

#include <gtest/gtest.h>

#include "quillo/tools/Histogram.h"

namespace {

Buffer Picture(int w, int h, std::uint32_t colour) {
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  b.Box(b.rect, colour);
  return b;
}

TEST(HistogramTest, AWhitePictureIsOneFullBarAtTheTop) {
  Buffer picture = Picture(8, 5, 0x7FFFFFFF);  // the transparency byte is not counted
  HistogramTables t;
  CountHistogram(picture, t);
  for (int c = HistRed; c <= HistIntensity; ++c) {
    EXPECT_EQ(t[static_cast<std::size_t>(c)][255], 40u) << c;
    EXPECT_EQ(t[static_cast<std::size_t>(c)][254], 0u) << c;
  }
  const ChannelStatistics s = HistogramStatistics(t[HistRed], 40);
  EXPECT_DOUBLE_EQ(s.mean, 255.0);
  EXPECT_DOUBLE_EQ(s.deviation, 0.0);

  Buffer graph = Picture(256, 128, 0);
  DrawHistogramGraph(graph, t, HistRed);
  for (int y = 0; y < 128; ++y) EXPECT_EQ(*graph.At(255, y), 0xFF0000u) << y;
  EXPECT_EQ(*graph.At(254, 127), 0xFFFFFFu);
}

TEST(HistogramTest, TwoRedValuesGiveTheirMeanAndDeviation) {
  Buffer picture = Picture(4, 1, 0);
  *picture.At(2, 0) = 0xFF0000;
  *picture.At(3, 0) = 0xFF0000;
  HistogramTables t;
  CountHistogram(picture, t);
  const ChannelStatistics s = HistogramStatistics(t[HistRed], 4);
  EXPECT_DOUBLE_EQ(s.mean, 127.5);
  EXPECT_DOUBLE_EQ(s.deviation, 127.5);
  // Intensity: trunc(0.3 * 255 + 0.5) = 77.
  EXPECT_EQ(t[HistIntensity][77], 2u);
  EXPECT_EQ(t[HistIntensity][0], 2u);
}

TEST(HistogramTest, TheLargestCountReachesRowZeroAndTheOthersScale) {
  HistogramTables t{};
  t[HistGreen][10] = 254;
  t[HistGreen][20] = 127;
  Buffer graph = Picture(256, 128, 0);
  DrawHistogramGraph(graph, t, HistGreen);
  EXPECT_EQ(*graph.At(10, 0), 0x00FF00u);
  // 127 - 127 * 127 / 254 = 64 is the bar's top.
  EXPECT_EQ(*graph.At(20, 64), 0x00FF00u);
  EXPECT_EQ(*graph.At(20, 63), 0xFFFFFFu);
}

TEST(HistogramTest, AllDrawsThreePolylinesOnOneScale) {
  HistogramTables t{};
  t[HistRed][100] = 10;
  t[HistBlue][200] = 5;
  t[HistIntensity][50] = 1000;  // not shown, and no part of the scale
  Buffer graph = Picture(256, 128, 0);
  DrawHistogramGraph(graph, t, HistAll);
  EXPECT_EQ(*graph.At(100, 0), 0xFF0000u);
  EXPECT_EQ(*graph.At(99, 127), 0xFF0000u);
  EXPECT_EQ(*graph.At(101, 127), 0xFF0000u);
  EXPECT_EQ(*graph.At(200, 64), 0x0000FFu);
  EXPECT_EQ(*graph.At(50, 127), 0xFFFFFFu);

  Buffer scale = Picture(256, 16, 0);
  DrawHistogramScale(scale, HistAll);
  EXPECT_EQ(*scale.At(128, 7), 0x808080u);
  DrawHistogramScale(scale, HistBlue);
  EXPECT_EQ(*scale.At(200, 15), 200u);
}

}  // namespace
