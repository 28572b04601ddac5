// A filter plug-in run on a 4000 x 3000 picture: the tile walker (64-pixel tiles with a border,
// dummy planes) inverting the whole picture in the helper process, the run as a whole (goal:
// 0.4 s, printed beside it) and its parts apart: the helper's start (a run whose entry is
// missing starts the helper, loads the plug-in and ends), the picture's copy into the shared
// block (into the block a run before kept, and into a fresh one as the first run makes it)
// and the result's copy back.

#include <benchmark/benchmark.h>

#include "quillo/base/ProgramFolder.h"
#include "quillo/plugins/FilterPluginRun.h"
#include "quillo/plugins/FilterSharedPictures.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct Scene {
  Scene() {
    SetProgramFolder(QUILLO_BIN_DIR);
    picture.Alloc(Pair<int>(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) *picture.At(x, y) = static_cast<uint>(x * 2654435761u ^ y);
  }
  Buffer picture;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

FilterRunOptions Options(const char* entry) {
  FilterRunOptions options;
  options.identifier = AnsiString(QUILLO_BENCH_PLUGIN) + "#" + entry;
  return options;
}

constexpr double kWholeRunGoalSeconds = 0.4;

void BM_WholeRun(benchmark::State& state) {
  Scene& scene = TheScene();
  state.counters["goal_s"] = kWholeRunGoalSeconds;
  for (auto _ : state) {
    FilterSharedPictures shared;
    shared.Create(scene.picture, nullptr);
    const FilterChildResult result = RunAdobePlugin(shared, Options("TileEntry"));
    if (result.outcome != FilterOutcome::Done) state.SkipWithError("the tile walker did not finish");
    shared.CopyResult(scene.picture, Rect(0, 0, kWidth - 1, kHeight - 1));
  }
}
BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HelperStart(benchmark::State& state) {
  Scene& scene = TheScene();
  FilterSharedPictures shared;
  shared.Create(scene.picture, nullptr);
  for (auto _ : state) {
    const FilterChildResult result = RunAdobePlugin(shared, Options("NoSuchEntry"));
    if (result.failure != FilterFailure::Load) state.SkipWithError("the helper did not start");
  }
}
BENCHMARK(BM_HelperStart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyIn(benchmark::State& state) {
  Scene& scene = TheScene();
  for (auto _ : state) {
    FilterSharedPictures shared;
    shared.Create(scene.picture, nullptr);
    benchmark::DoNotOptimize(shared.Descriptor());
  }
}
BENCHMARK(BM_CopyIn)->Unit(benchmark::kMillisecond);

void BM_CopyInFirstRun(benchmark::State& state) {
  Scene& scene = TheScene();
  for (auto _ : state) {
    state.PauseTiming();
    FilterSharedPictures::ReleaseKeptBlock();
    state.ResumeTiming();
    FilterSharedPictures shared;
    shared.Create(scene.picture, nullptr);
    benchmark::DoNotOptimize(shared.Descriptor());
  }
}
BENCHMARK(BM_CopyInFirstRun)->Unit(benchmark::kMillisecond);

void BM_CopyOut(benchmark::State& state) {
  Scene& scene = TheScene();
  FilterSharedPictures shared;
  shared.Create(scene.picture, nullptr);
  for (auto _ : state) shared.CopyResult(scene.picture, Rect(0, 0, kWidth - 1, kHeight - 1));
}
BENCHMARK(BM_CopyOut)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
