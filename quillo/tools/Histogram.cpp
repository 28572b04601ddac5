#include "quillo/tools/Histogram.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int GraphBottom = 127;
constexpr int ScaleBottom = 15;
constexpr std::uint32_t ChannelColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};

int BarTop(std::uint32_t count, std::uint32_t most) {
  return GraphBottom - static_cast<int>(static_cast<std::uint64_t>(count) * GraphBottom / most);
}

}  // namespace

void CountHistogram(const Buffer& picture, HistogramTables& tables) {
  for (HistogramTable& t : tables) t.fill(0);
  HistogramTable& red = tables[HistRed];
  HistogramTable& green = tables[HistGreen];
  HistogramTable& blue = tables[HistBlue];
  HistogramTable& intensity = tables[HistIntensity];
  const int w = picture.Width();
  for (int y = picture.rect.top; y <= picture.rect.bottom; ++y) {
    const std::uint32_t* p = picture.At(picture.rect.left, y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = p[x];
      const std::uint32_t r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      ++red[r];
      ++green[g];
      ++blue[b];
      ++intensity[static_cast<std::size_t>(0.3 * r + 0.59 * g + 0.11 * b + 0.5)];
    }
  }
}

ChannelStatistics HistogramStatistics(const HistogramTable& table, std::uint64_t pixelCount) {
  if (pixelCount == 0) return {};
  double sum = 0, squares = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const double n = table[i], v = static_cast<double>(i);
    sum += v * n;
    squares += n * v * v;
  }
  const double count = static_cast<double>(pixelCount);
  ChannelStatistics s;
  s.mean = sum / count;
  // Rounding can take the variance of a single value a hair below zero.
  s.deviation = std::sqrt(std::max(0.0, squares / count - s.mean * s.mean));
  return s;
}

void DrawHistogramScale(Buffer& scale, int channel) {
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i << 16 | i << 8 | i;
    if (channel == HistRed) c = i << 16;
    else if (channel == HistGreen) c = i << 8;
    else if (channel == HistBlue) c = i;
    scale.Line({scale.rect.left + static_cast<int>(i), scale.rect.top},
               {scale.rect.left + static_cast<int>(i), scale.rect.top + ScaleBottom}, c);
  }
}

void DrawHistogramGraph(Buffer& graph, const HistogramTables& tables, int channel) {
  graph.Box(graph.rect, 0xFFFFFF);
  const int left = graph.rect.left, top = graph.rect.top;
  if (channel >= HistRed && channel <= HistIntensity) {
    const HistogramTable& t = tables[static_cast<std::size_t>(channel)];
    const std::uint32_t most = std::max<std::uint32_t>(1, *std::max_element(t.begin(), t.end()));
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t n = t[static_cast<std::size_t>(i)];
      if (n != 0)
        graph.Line({left + i, top + GraphBottom}, {left + i, top + BarTop(n, most)},
                   ChannelColours[channel]);
    }
    return;
  }
  std::uint32_t most = 1;
  for (int c = HistRed; c <= HistBlue; ++c)
    most = std::max(most, *std::max_element(tables[static_cast<std::size_t>(c)].begin(),
                                            tables[static_cast<std::size_t>(c)].end()));
  for (int i = 1; i < 256; ++i) {
    for (int c = HistRed; c <= HistBlue; ++c) {
      const HistogramTable& t = tables[static_cast<std::size_t>(c)];
      const std::uint32_t a = t[static_cast<std::size_t>(i - 1)], b = t[static_cast<std::size_t>(i)];
      if (a != 0 || b != 0)
        graph.Line({left + i - 1, top + BarTop(a, most)}, {left + i, top + BarTop(b, most)}, ChannelColours[c]);
    }
  }
}
