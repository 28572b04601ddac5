// The image browser's page of 60 thumbnails of 1600 x 1200 JPEGs, as the fill makes them cell
// by cell (the timer's waits left out): with a cold cache (every image decoded, scaled and
// stored) against decoding and scaling the same files in a plain loop, and with a warm cache
// (no image decoded at all). Goals: cold within 1.3x of the plain loop; warm far below both.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FileBench.h"
#include "PhotoFiles.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ThumbCache.h"
#include "quillo/files/Thumbnails.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kPhotos = 60;
constexpr int kWidth = 1600, kHeight = 1200;

const std::string& PhotoFolder() {
  static const std::string folder = [] {
    const std::string path = bench_files::Scratch().File("browsed");
    bench_photo::WriteJpegFolder(path, kPhotos, kWidth, kHeight);
    return path + "/";
  }();
  return folder;
}

std::vector<AnsiString> Photos() {
  std::vector<AnsiString> files;
  for (int i = 0; i < kPhotos; ++i) files.push_back(PhotoFolder() + "photo" + std::to_string(i) + ".jpg");
  return files;
}

void PlainDecodeAndScale(benchmark::State& state) {
  const std::vector<AnsiString> files = Photos();
  for (auto _ : state) {
    for (const AnsiString& file : files) {
      UDBuffer image, thumb;
      GFXFile::Load(image, file, nullptr, 0, nullptr);
      thumb.ScaleToFit(image, 120, 90, true, false);
      benchmark::DoNotOptimize(thumb.pixels);
    }
  }
}

// Every cell as the browser fills it: the cache opened on the folder, each thumbnail made.
int FillPage(const std::vector<AnsiString>& files) {
  ThumbCache& cache = TheThumbCache();
  cache.Open(PhotoFolder());
  int fromCache = 0;
  for (const AnsiString& file : files) {
    UDBuffer thumb;
    ThumbnailInfo info;
    MakeThumbnail(file, thumb, &cache, info);
    fromCache += info.fromCache ? 1 : 0;
  }
  cache.Close();
  return fromCache;
}

void ColdCache(benchmark::State& state) {
  const std::vector<AnsiString> files = Photos();
  for (auto _ : state) {
    state.PauseTiming();
    std::remove((PhotoFolder() + ThumbCache::kFileName).c_str());
    state.ResumeTiming();
    if (FillPage(files) != 0) state.SkipWithError("a cold page found cached thumbnails");
  }
}

void WarmCache(benchmark::State& state) {
  const std::vector<AnsiString> files = Photos();
  FillPage(files);
  for (auto _ : state) {
    if (FillPage(files) != kPhotos) state.SkipWithError("a warm page decoded an image");
  }
}

}  // namespace

BENCHMARK(PlainDecodeAndScale)->Unit(benchmark::kMillisecond);
BENCHMARK(ColdCache)->Unit(benchmark::kMillisecond);
BENCHMARK(WarmCache)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
