// The solid fill's click on a 4000 x 3000 picture in a document window, as the mouse handler
// runs it: the undo step opened, the area grown into a mask, painted, and the step narrowed.
// Three pictures: one colour; a maze of one-pixel walls whose one corridor winds through every
// other row; a one-pixel checkerboard filled through diagonal neighbours. Each click is timed
// in turn with a plain scanline flood fill written here that only finds the area (a byte
// mask over the same colour test); the goal: the whole click within 1.3 times of it.
// Beside them, the library's fill by single pixels alone and the scanline fill alone.

#include <benchmark/benchmark.h>

#include <vector>

#include "BenchProgram.h"
#include "PairedRatio.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr std::uint32_t kOpen = 0xFFFFFF, kWall = 0x000000;

enum PictureKind { kOneColour = 0, kMaze = 1, kCheckerboard = 2 };
const char* kPictureNames[] = {"one colour", "maze", "checkerboard, eight neighbours"};

void Draw(Buffer& picture, PictureKind kind) {
  for (int y = 0; y < kHeight; ++y) {
    std::uint32_t* row = picture.At(picture.rect.left, picture.rect.top + y);
    for (int x = 0; x < kWidth; ++x) {
      bool wall = false;
      if (kind == kMaze) wall = y % 2 == 1 && x != (y % 4 == 1 ? kWidth - 1 : 0);
      if (kind == kCheckerboard) wall = (x + y) % 2 == 1;
      row[x] = wall ? kWall : kOpen;
    }
  }
}

// The fills' colour test, as the benchmark's own: inside the picture and the same word.
const Buffer* Tested = nullptr;
bool SameAsSeed(int x, int y) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return false;
  return PixelDistance(*Tested->At(x, y), kOpen) <= 0;
}

// A plain scanline flood fill: each run widened left and right, the rows above and below
// scanned along it.
void ScanlineFill(std::vector<std::uint8_t>& mask, int sx, int sy, bool diagonal) {
  std::vector<std::pair<int, int>> stack{{sx, sy}};
  const auto at = [&mask](int x, int y) -> std::uint8_t& { return mask[static_cast<std::size_t>(y) * kWidth + x]; };
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (at(x, y) || !SameAsSeed(x, y)) continue;
    int left = x, right = x;
    while (left > 0 && !at(left - 1, y) && SameAsSeed(left - 1, y)) --left;
    while (right < kWidth - 1 && !at(right + 1, y) && SameAsSeed(right + 1, y)) ++right;
    for (int i = left; i <= right; ++i) at(i, y) = 1;
    for (const int ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= kHeight) continue;
      const int from = diagonal ? std::max(left - 1, 0) : left;
      const int to = diagonal ? std::min(right + 1, kWidth - 1) : right;
      bool inRun = false;
      for (int i = from; i <= to; ++i) {
        const bool open = !at(i, ny) && SameAsSeed(i, ny);
        if (open && !inRun) stack.emplace_back(i, ny);
        inRun = open;
      }
    }
  }
}

void MaskSetUp(Buffer& picture, PictureKind kind) {
  picture.Alloc(Pair<int>(kWidth, kHeight));
  Draw(picture, kind);
  Tested = &picture;
}

void BM_SolidFillClick(benchmark::State& state) {
  const auto kind = static_cast<PictureKind>(state.range(0));
  state.SetLabel(kPictureNames[kind]);
  TMainForm* form = StartBenchProgram();
  form->DrawCol->SetColor(clBlack);
  TImageForm* window = CreateDocumentWindow(kWidth, kHeight, "");
  RunQueue();
  SelectTool(&FillSolidTool, true, -1);
  SetOptionValue(0, 0);
  SetOptionValue(2, kind == kCheckerboard ? 1 : 0);
  UDBuffer& picture = window->Picture;
  MousePoint = {0, 0};
  MouseShift = TShiftState();
  Buffer referencePicture;
  MaskSetUp(referencePicture, kind);
  std::vector<std::uint8_t> referenceMask(static_cast<std::size_t>(kWidth) * kHeight);
  bool filled = true;
  bench_ratio::PairedPrepared(
      state, 1.3,
      [&] {
        picture.FreeUndo();
        Draw(picture, kind);
      },
      [&] {
        // The press opens the tool's step as the view's mouse handler does.
        if (FillSolidTool.KeepsRowsForUndo()) picture.PushDeferredUndo(FillSolidTool.Key);
        else picture.PushUndo(FillSolidTool.Key);
        FillSolidTool.AddPoint();
        filled = filled && *picture.At(0, 0) != kOpen;
      },
      [&] {
        std::fill(referenceMask.begin(), referenceMask.end(), 0);
        ScanlineFill(referenceMask, 0, 0, kind == kCheckerboard);
        benchmark::DoNotOptimize(referenceMask.data());
      });
  if (!filled) state.SkipWithError("the click did not fill");
  ResetApplication();
}

void BM_FillMask(benchmark::State& state) {
  const auto kind = static_cast<PictureKind>(state.range(0));
  state.SetLabel(kPictureNames[kind]);
  Buffer picture;
  MaskSetUp(picture, kind);
  BitBuffer mask;
  mask.Alloc(kWidth, kHeight);
  for (auto _ : state) benchmark::DoNotOptimize(mask.Fill(0, 0, SameAsSeed, kind == kCheckerboard));
}

void BM_ScanlineReference(benchmark::State& state) {
  const auto kind = static_cast<PictureKind>(state.range(0));
  state.SetLabel(kPictureNames[kind]);
  Buffer picture;
  MaskSetUp(picture, kind);
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    std::fill(mask.begin(), mask.end(), 0);
    ScanlineFill(mask, 0, 0, kind == kCheckerboard);
    benchmark::DoNotOptimize(mask.data());
  }
}

}  // namespace

BENCHMARK(BM_SolidFillClick)->DenseRange(kOneColour, kCheckerboard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FillMask)->DenseRange(kOneColour, kCheckerboard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanlineReference)->DenseRange(kOneColour, kCheckerboard)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
