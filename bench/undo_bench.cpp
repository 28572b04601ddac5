// The undo history's costs on a 4000 x 3000 picture: a whole-image step (what every stroke
// opens) against one plain copy of the image, and that step written to its swap file and read
// back against one buffered write and read of the same bytes.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "quillo/document/MaskRows.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/document/UndoSwapFile.h"
#include "quillo/base/Settings.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// The picture, and the undo folder in a folder of the benchmark's own.
struct Scene {
  Scene() {
    char pattern[] = "/tmp/undo-bench-XXXXXX";
    folder = mkdtemp(pattern);
    Settings.UndoDir = folder;
    Settings.UndoMem = 1LL << 40;
    Settings.UndoDisk = 1LL << 40;
    picture.Alloc(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) *picture.At(x, y) = static_cast<uint>(x * 2654435761u ^ y);
    picture.SetMaskRect(true, Rect(100, 100, 2100, 1600));
  }
  ~Scene() {
    picture.FreeUndo();
    picture.FreeRedo();
    RemoveUndoSwapFolder();
    rmdir(folder.c_str());
  }
  std::string folder;
  UDBuffer picture;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

std::int64_t StepBytes() { return SwapFileBytes(kWidth, kHeight) - SwapHeaderBytes; }

void BM_WholeImageStep(benchmark::State& state) {
  Scene& s = TheScene();
  Settings.UndoMem = 1LL << 40;
  for (auto _ : state) {
    s.picture.PushUndo("Pen");
    state.PauseTiming();
    s.picture.FreeUndo();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_WholeImageStep)->Unit(benchmark::kMillisecond);

// The same pixels and mask copied plainly into a new picture.
void BM_PlainCopyOfTheImage(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    auto copy = std::make_unique<UDBuffer>();
    copy->Alloc(kWidth, kHeight);
    copy->CopyFrom(s.picture);
    benchmark::DoNotOptimize(copy->pixels);
    state.PauseTiming();
    copy.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_PlainCopyOfTheImage)->Unit(benchmark::kMillisecond);

// A memory budget of 0: the step goes straight into its swap file.
void BM_WholeImageStepSwappedOut(benchmark::State& state) {
  Scene& s = TheScene();
  Settings.UndoMem = 0;
  for (auto _ : state) {
    s.picture.PushUndo("Pen");
    state.PauseTiming();
    s.picture.FreeUndo();
    state.ResumeTiming();
  }
  Settings.UndoMem = 1LL << 40;
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_WholeImageStepSwappedOut)->Unit(benchmark::kMillisecond);

// The step read back from its swap file into the picture (undo without a redo step).
void BM_WholeImageStepSwappedIn(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    state.PauseTiming();
    Settings.UndoMem = 0;
    s.picture.PushUndo("Pen");
    state.ResumeTiming();
    s.picture.Undo(UDBuffer::RedoRecord::Skip);
  }
  Settings.UndoMem = 1LL << 40;
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_WholeImageStepSwappedIn)->Unit(benchmark::kMillisecond);

// One buffered write of the same bytes: the pixels in one piece and the mask in one piece.
void BM_BufferedWriteOfTheBytes(benchmark::State& state) {
  Scene& s = TheScene();
  const std::string path = s.folder + "/plain";
  const std::size_t maskWords = static_cast<std::size_t>(MaskRowWords(kWidth)) * kHeight;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(s.picture.pixels, 4, static_cast<std::size_t>(kWidth) * kHeight, f);
    std::fwrite(s.picture.Mask.words, 4, maskWords, f);
    std::fclose(f);
    state.PauseTiming();
    unlink(path.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_BufferedWriteOfTheBytes)->Unit(benchmark::kMillisecond);

// One buffered read of them into a new picture.
void BM_BufferedReadOfTheBytes(benchmark::State& state) {
  Scene& s = TheScene();
  const std::string path = s.folder + "/plain";
  const std::size_t maskWords = static_cast<std::size_t>(MaskRowWords(kWidth)) * kHeight;
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(s.picture.pixels, 4, static_cast<std::size_t>(kWidth) * kHeight, f);
    std::fwrite(s.picture.Mask.words, 4, maskWords, f);
    std::fclose(f);
  }
  for (auto _ : state) {
    auto copy = std::make_unique<UDBuffer>();
    copy->Alloc(kWidth, kHeight);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(copy->pixels, 4, static_cast<std::size_t>(kWidth) * kHeight, f));
    benchmark::DoNotOptimize(std::fread(copy->Mask.words, 4, maskWords, f));
    std::fclose(f);
    state.PauseTiming();
    copy.reset();
    state.ResumeTiming();
  }
  unlink(path.c_str());
  state.SetBytesProcessed(state.iterations() * StepBytes());
}
BENCHMARK(BM_BufferedReadOfTheBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
