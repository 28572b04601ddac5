#pragma once
// The histogram of a picture: how many pixels have each value of red, green, blue and
// intensity (0.3 R + 0.59 G + 0.11 B, rounded; the transparency byte is not counted), the
// mean and deviation of a channel, and the pictures the Histogram sheet shows: the colour
// scale under the graph and the graph itself.

#include <array>
#include <cstdint>

#include "vorlen/core/Buffer.h"

enum HistogramChannel { HistRed = 0, HistGreen = 1, HistBlue = 2, HistIntensity = 3, HistAll = 4 };

using HistogramTable = std::array<std::uint32_t, 256>;
// Red, green, blue, intensity.
using HistogramTables = std::array<HistogramTable, 4>;

// Clears the tables and counts every pixel of the picture.
void CountHistogram(const Buffer& picture, HistogramTables& tables);

struct ChannelStatistics {
  double mean = 0;
  double deviation = 0;
};
// Over pixelCount pixels (none: both 0).
ChannelStatistics HistogramStatistics(const HistogramTable& table, std::uint64_t pixelCount);

// The scale (256 x 16): column i in the channel's shade of value i (grey for intensity and
// "All").
void DrawHistogramScale(Buffer& scale, int channel);
// The graph (256 x 128, filled white first): one channel's bars scaled to its largest count,
// or for "All" the red, green and blue counts as three polylines on one scale.
void DrawHistogramGraph(Buffer& graph, const HistogramTables& tables, int channel);
