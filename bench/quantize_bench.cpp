// Colour reduction of a photo-sized picture: building a 256-colour palette and mapping the
// pixels to it, with and without error diffusion; and an 8-bit bitmap saved and loaded.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SyntheticPhoto.h"
#include "vorlen/color/Quantize.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

Buffer Photo() {
  const std::vector<uint32_t> px = bench_photo::Make(kWidth, kHeight);
  Buffer b;
  b.Alloc(Pair<int>(kWidth, kHeight));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) *b.At(x, y) = px[size_t(y) * kWidth + x];
  return b;
}

void BM_CreatePalette256(benchmark::State& state) {
  Buffer photo = Photo();
  uchar palette[768];
  for (auto _ : state) benchmark::DoNotOptimize(CreatePalette(photo, palette, 256, kNoKey, nullptr, false));
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CreatePalette256)->Unit(benchmark::kMillisecond);

void BM_Quantize(benchmark::State& state) {
  Buffer photo = Photo();
  uchar palette[768];
  const int count = CreatePalette(photo, palette, 256, kNoKey, nullptr, false);
  std::vector<uchar> indices(size_t(kWidth) * kHeight);
  for (auto _ : state)
    benchmark::DoNotOptimize(Quantize(photo, palette, count, kNoKey, state.range(0) != 0, indices.data(), kWidth));
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Quantize)->Arg(0)->Arg(1)->ArgName("dither")->Unit(benchmark::kMillisecond);

void BM_BitmapSaveLoad(benchmark::State& state) {
  Buffer photo = Photo();
  const std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/quillo-bench.bmp";
  GFXSaveParams params;
  params.bits = static_cast<signed char>(state.range(0));
  for (auto _ : state) {
    GFXFile::Save(photo, path, nullptr, &params);
    Buffer back;
    GFXFile::Load(back, path, nullptr, 0, nullptr);
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BitmapSaveLoad)->Arg(8)->Arg(24)->ArgName("bits")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
