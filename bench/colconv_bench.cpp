// Row conversions over a 4000 x 3000 image, against the plain loop a codec would otherwise
// write.

#include <benchmark/benchmark.h>

#include <vector>

#include "vorlen/core/Colconv.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct Image {
  std::vector<uchar> bytes24 = std::vector<uchar>(size_t(kWidth) * 3 * kHeight);
  std::vector<uchar> indices = std::vector<uchar>(size_t(kWidth) * kHeight);
  std::vector<uint> pixels = std::vector<uint>(size_t(kWidth) * kHeight);
  uint palette[256];

  Image() {
    for (size_t i = 0; i < bytes24.size(); ++i) bytes24[i] = static_cast<uchar>(i * 131 + (i >> 9));
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uchar>(i * 17 + (i >> 11));
    for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint>(i * 0x010203);
  }
};

Image& TheImage() {
  static Image image;
  return image;
}

void SetRate(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
  state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * kWidth * kHeight / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_RGB24RGB32s(benchmark::State& state) {
  Image& image = TheImage();
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y)
      RGB24RGB32s(&image.bytes24[size_t(y) * kWidth * 3], &image.pixels[size_t(y) * kWidth], kWidth);
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

void BM_RGB24RGB32_PlainLoop(benchmark::State& state) {
  Image& image = TheImage();
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      const uchar* s = &image.bytes24[size_t(y) * kWidth * 3];
      uint* d = &image.pixels[size_t(y) * kWidth];
      for (int x = 0; x < kWidth; ++x)
        d[x] = uint(s[3 * x + 2]) << 16 | uint(s[3 * x + 1]) << 8 | s[3 * x];
    }
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

void BM_LUTsd(benchmark::State& state) {
  Image& image = TheImage();
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y)
      LUTsd(&image.indices[size_t(y) * kWidth], &image.pixels[size_t(y) * kWidth], kWidth, image.palette);
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

void BM_LUT_PlainLoop(benchmark::State& state) {
  Image& image = TheImage();
  for (auto _ : state) {
    for (size_t i = 0; i < image.indices.size(); ++i) image.pixels[i] = image.palette[image.indices[i]];
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

}  // namespace

BENCHMARK(BM_RGB24RGB32s)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RGB24RGB32_PlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LUTsd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LUT_PlainLoop)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
