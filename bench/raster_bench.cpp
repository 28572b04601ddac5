// Copying, compositing, scaling, transforming and mask filling on a 4000 x 3000 image,
// against memcpy of the same bytes. Rates count target pixels; the summary at the end gives
// each in megapixels per second and as a share of memcpy's rate.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/transform/Matrix2D.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr long kPixels = long(kWidth) * kHeight;

Buffer MakeImage(int width, int height, uint (*pixel)(int x, int y)) {
  Buffer b;
  b.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *b.At(x, y) = pixel(x, y);
  return b;
}

uint Photo(int x, int y) { return uint((x * 7 + y * 3) & 0xFF) << 16 | uint((x ^ y) & 0xFF) << 8 | uint((x * y) & 0xFF); }
// Every transparency from opaque to fully transparent, changing from pixel to pixel.
uint Transparent(int x, int y) { return uint((x * 5 + y * 11) & 0xFF) << 24 | Photo(x, y); }
// A brush: opaque in the middle, fully transparent around it, a soft edge between.
uint Brush(int x, int y) {
  const double r = std::hypot(x - kWidth / 2.0, y - kHeight / 2.0) / (kHeight / 2.0);
  const int t = r < 0.8 ? 0 : r > 0.9 ? 255 : int((r - 0.8) * 2550);
  return uint(t) << 24 | Photo(x, y);
}

struct Images {
  Buffer photo = MakeImage(kWidth, kHeight, Photo);
  Buffer transparent = MakeImage(kWidth, kHeight, Transparent);
  Buffer brush = MakeImage(kWidth, kHeight, Brush);
  Buffer target = MakeImage(kWidth, kHeight, Photo);
};

Images& TheImages() {
  static Images images;
  return images;
}

void CountPixels(benchmark::State& state, long pixelsPerRun) {
  state.SetItemsProcessed(state.iterations() * pixelsPerRun);
}

void BM_Memcpy(benchmark::State& state) {
  Images& im = TheImages();
  for (auto _ : state) {
    std::memcpy(im.target.pixels, im.photo.pixels, size_t(kPixels) * sizeof(uint));
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);
}

void BM_CopyPlain(benchmark::State& state) {
  Images& im = TheImages();
  for (auto _ : state) {
    im.target.Copy(im.photo, Pair<int>(0, 0), Buffer::kPlain);
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);
}

void BM_CopyKeyed(benchmark::State& state) {
  Images& im = TheImages();
  for (auto _ : state) {
    im.target.Copy(im.photo, Pair<int>(0, 0), 0x00FF00FF);
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);
}

void CompositeFrom(benchmark::State& state, const Buffer& source) {
  Images& im = TheImages();
  Buffer fresh = MakeImage(kWidth, kHeight, Photo);
  for (auto _ : state) {
    im.target.Copy(source, Pair<int>(0, 0), Buffer::kComposite);
    benchmark::ClobberMemory();
    state.PauseTiming();
    im.target.Copy(fresh, Pair<int>(0, 0), Buffer::kPlain);  // the same work every run
    state.ResumeTiming();
  }
  CountPixels(state, kPixels);
}

void BM_CompositeEveryTransparency(benchmark::State& state) { CompositeFrom(state, TheImages().transparent); }
void BM_CompositeBrush(benchmark::State& state) { CompositeFrom(state, TheImages().brush); }

// state.range(0): 1 down by 3, 2 up by 2; range(1): the filter.
void BM_Scale(benchmark::State& state) {
  Images& im = TheImages();
  const bool up = state.range(0) == 2;
  const Pair<int> size = up ? Pair<int>(kWidth * 2, kHeight * 2) : Pair<int>(kWidth / 3, kHeight / 3);
  Buffer target;
  target.Alloc(size);
  target.Box(target.rect, 0);  // its pages are in place before the clock runs
  for (auto _ : state) {
    target.Scale(im.photo, size, Pair<int>(0, 0), Buffer::kPlain, int(state.range(1)));
    benchmark::ClobberMemory();
  }
  CountPixels(state, long(size.x) * size.y);
}

void BM_XFormLinRotate30(benchmark::State& state) {
  Images& im = TheImages();
  const double angle = 30.0 * 3.14159265358979323846 / 180.0;
  const Matrix2D m{std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle)};
  Buffer target;
  const int w = int(kWidth * m.a + kHeight * m.b) + 2, h = int(kWidth * m.b + kHeight * m.a) + 2;
  target.Alloc(Pair<int>(w, h));
  target.Box(target.rect, 0);
  for (auto _ : state) {
    target.XFormLin(im.photo, m, Pair<int>(int(kHeight * m.b) + 1, 0), Buffer::kPlain, int(state.range(0)));
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);  // every source pixel lands once, rotated
}

// A large region: everything but a grid of small holes.
bool InLargeRegion(int x, int y) { return (x % 97) > 3 || (y % 89) > 3; }

void BM_BitBufferFill(benchmark::State& state) {
  BitBuffer mask;
  mask.Alloc(kWidth, kHeight);
  for (auto _ : state) {
    benchmark::DoNotOptimize(mask.Fill(kWidth / 2, kHeight / 2, InLargeRegion, state.range(0) != 0));
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);
}

// A comb: one-pixel teeth joined along the bottom row, the worst case for a fill that scans
// back up each time the region turns upwards.
bool InComb(int x, int y) { return y == kHeight - 1 || x % 2 == 0; }

void BM_BitBufferFillComb(benchmark::State& state) {
  BitBuffer mask;
  mask.Alloc(kWidth, kHeight);
  for (auto _ : state) {
    benchmark::DoNotOptimize(mask.Fill(0, kHeight - 1, InComb, false));
    benchmark::ClobberMemory();
  }
  CountPixels(state, kPixels);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyKeyed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompositeEveryTransparency)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompositeBrush)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scale)->ArgNames({"up", "filter"})->Args({1, 0})->Args({1, 1})->Args({2, 0})->Args({2, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XFormLinRotate30)->ArgName("filter")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitBufferFill)->ArgName("diagonal")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitBufferFillComb)->Unit(benchmark::kMillisecond);

// Prints the usual table, then megapixels per second and the share of memcpy's rate.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto items = run.counters.find("items_per_second");
      if (items != run.counters.end()) rates_.push_back({run.benchmark_name(), items->second.value / 1e6});
    }
  }
  void PrintSummary() const {
    double memcpyRate = 0;
    for (const auto& [name, rate] : rates_)
      if (name.rfind("BM_Memcpy", 0) == 0) memcpyRate = rate;
    std::printf("\n%-40s %12s %10s\n", "benchmark", "Mpixel/s", "of memcpy");
    for (const auto& [name, rate] : rates_)
      std::printf("%-40s %12.1f %9.1f%%\n", name.c_str(), rate, memcpyRate > 0 ? 100.0 * rate / memcpyRate : 0.0);
  }

private:
  std::vector<std::pair<std::string, double>> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
