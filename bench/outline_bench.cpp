// The selection outline on a 4000 x 3000 mask (12 MP; 8000 x 6000 for 48 MP where named), for
// one large region (everything but a rectangular hole), noise (some 10^5 small regions) and a
// thresholded photo: tracing the mask, scaling the outline to the view (zoom 2 and 1/2), one
// tick of the marching painter alone over the outline and through the program (a document
// window of that size at zoom 1 and 1/4, the pixels set on its view), and the outline rebuilt
// and Edit/Invert Selection through the program.
//
// Goals, printed beside each figure ("ms" against "goal_ms"): one tick at zoom 1 within 4 ms
// whatever the picture's size, for the painter reads only the bands of the view outline the
// screen shows (the walk over the whole outline, "whole_walk_ms", is the reference measured in
// the same run); the outline rebuilt and Invert Selection within 60 ms at 12 MP.
//
// The tracer fills each traced contour into its work mask by parity, toggling every row a
// vertical edge crosses from the contour's own leftmost column, not from the selection's left
// edge: the same mask, without the cost of regions x width that makes noise slow. The noise
// trace here shows that cost is gone.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "BenchProgram.h"
#include "OutlineShapes.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/OutlineBands.h"
#include "quillo/document/SelectionOutline.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/shell/MainForm.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr double kTickGoalMs = 4, kRebuildGoalMs = 60;

int WidthOf(int megapixels) { return megapixels == 48 ? 8000 : kWidth; }
int HeightOf(int megapixels) { return megapixels == 48 ? 6000 : kHeight; }

const BitBuffer& MaskOf(Shape shape, int megapixels = 12) {
  static std::map<std::pair<int, int>, BitBuffer> masks;
  BitBuffer& mask = masks[{shape, megapixels}];
  if (mask.words == nullptr) {
    mask.Alloc(WidthOf(megapixels), HeightOf(megapixels));
    DrawShape(mask, shape);
  }
  return mask;
}

const std::uint8_t* OutlineOf(Shape shape, int megapixels = 12) {
  static std::map<std::pair<int, int>, std::unique_ptr<std::uint8_t[]>> outlines;
  auto& outline = outlines[{shape, megapixels}];
  if (!outline)
    outline = outline::TraceOutline(MaskOf(shape, megapixels),
                                    Rect(0, 0, WidthOf(megapixels) - 1, HeightOf(megapixels) - 1));
  return outline.get();
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_Trace(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  const BitBuffer& mask = MaskOf(shape);
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto block = outline::TraceOutline(mask, Rect(0, 0, kWidth - 1, kHeight - 1));
    bytes = outline::OutlineBytes(block.get());
    benchmark::DoNotOptimize(block.get());
  }
  state.SetLabel(kShapeNames[shape]);
  state.counters["outline bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Trace)->Arg(kLargeRegion)->Arg(kNoise)->Arg(kPhoto)->Unit(benchmark::kMillisecond);

void BM_Scale(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  const float zoom = state.range(1) == 2 ? 2.0f : 0.5f;
  const std::uint8_t* traced = OutlineOf(shape);
  for (auto _ : state) {
    auto block = outline::ScaleOutline(traced, zoom);
    benchmark::DoNotOptimize(block.get());
  }
  state.SetLabel(std::string(kShapeNames[shape]) + (zoom == 2.0f ? ", zoom 2" : ", zoom 1/2"));
}
BENCHMARK(BM_Scale)->Args({kLargeRegion, 2})->Args({kLargeRegion, -2})->Args({kNoise, 2})->Args({kNoise, -2})
    ->Args({kPhoto, 2})->Args({kPhoto, -2})->Unit(benchmark::kMillisecond);

// The painter's walk over the outline at zoom 1 with the top-left 1200 x 800 pixels visible,
// the pixels counted instead of set.
void BM_TickWalk(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  const std::uint8_t* traced = OutlineOf(shape);
  const Rect visible(0, 0, 1199, 799);
  long pixels = 0;
  int phase = 0;
  for (auto _ : state) {
    phase = (phase + 1) % 12;
    outline::PaintDashes(traced, phase, visible, [&pixels](int, int, bool) { ++pixels; });
  }
  benchmark::DoNotOptimize(pixels);
  state.SetLabel(kShapeNames[shape]);
  state.counters["pixels per tick"] = static_cast<double>(pixels) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TickWalk)->Arg(kLargeRegion)->Arg(kNoise)->Arg(kPhoto)->Unit(benchmark::kMicrosecond);

// The painter by bands at zoom 1 with 1200 x 800 pixels in the middle of the picture visible,
// the pixels counted, against the walk over the whole outline in the same run.
void BM_TickBanded(benchmark::State& state) {
  const int megapixels = static_cast<int>(state.range(0));
  const Shape shape = static_cast<Shape>(state.range(1));
  const std::uint8_t* traced = OutlineOf(shape, megapixels);
  outline::OutlineBands bands;
  bands.Build(traced);
  const int left = WidthOf(megapixels) / 2 - 600, top = HeightOf(megapixels) / 2 - 400;
  const Rect visible(left, top, left + 1199, top + 799);
  long banded = 0, whole = 0;
  double bandedMs = 0, wholeMs = 0;
  int phase = 0;
  for (auto _ : state) {
    phase = (phase + 1) % 12;
    auto start = std::chrono::steady_clock::now();
    outline::PaintDashesNear(bands, phase, visible, [&banded](int, int, bool) { ++banded; });
    bandedMs += MsSince(start);
    start = std::chrono::steady_clock::now();
    outline::PaintDashes(traced, phase, visible, [&whole](int, int, bool) { ++whole; });
    wholeMs += MsSince(start);
  }
  if (banded != whole) state.SkipWithError("the banded painter and the whole walk drew different pixels");
  const auto n = static_cast<double>(state.iterations());
  state.counters["ms"] = bandedMs / n;
  state.counters["goal_ms"] = kTickGoalMs;
  state.counters["whole_walk_ms"] = wholeMs / n;
  state.SetLabel(std::to_string(megapixels) + " MP, " + kShapeNames[shape] +
                 (bandedMs / n <= kTickGoalMs ? ": within goal" : ": over goal"));
}
BENCHMARK(BM_TickBanded)
    ->Args({12, kNoise})->Args({12, kPhoto})->Args({48, kNoise})->Args({48, kPhoto})
    ->Unit(benchmark::kMillisecond);

// The program with a document window of the size, the shape selected and its outline traced
// and scaled at the zoom, the top-left corner in sight (the image's edges run through the
// visible part).
struct Program {
  Program(int megapixels, Shape shape, double zoom) {
    form = StartBenchProgram();
    Settings.UndoMem = 1LL << 40;  // the undo step of Invert Selection stays in memory
    Settings.UndoDisk = 1LL << 40;
    window = CreateDocumentWindow(WidthOf(megapixels), HeightOf(megapixels), "");
    UDBuffer& picture = window->Picture;
    picture.Mask.Copy(const_cast<BitBuffer&>(MaskOf(shape, megapixels)), 0, 0, BitBuffer::kCopy);
    picture.UpdateSelectionBounds();
    picture.BuildSelectionOutline(false);
    SetZoomFactor(zoom);
    ApplyZoom();
    window->MaxSize->GetHorzScrollBar()->SetPosition(0);
    window->MaxSize->GetVertScrollBar()->SetPosition(0);
    RunQueue();
  }
  // The program's windows go while the desktop is there, not at the process's end.
  ~Program() {
    window->Picture.FreeUndo();
    ResetApplication();
  }
  TMainForm* form;
  TImageForm* window;
};

void ReportAgainst(benchmark::State& state, double ms, double goalMs, const std::string& label) {
  state.counters["ms"] = ms;
  state.counters["goal_ms"] = goalMs;
  state.SetLabel(label + (ms <= goalMs ? ": within goal" : ": over goal"));
}

// One tick as the activity timer gives it: the picture's outline painted onto its document
// window's view on the desktop.
void BM_TickOnTheView(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  const int megapixels = static_cast<int>(state.range(2));
  Program program(megapixels, shape, state.range(1) == 1 ? 1.0 : 0.25);
  UDBuffer& picture = program.window->Picture;
  double ms = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    picture.PaintSelectionOutline(true);
    ms += MsSince(start);
  }
  TImageForm* window = program.window;
  ReportAgainst(state, ms / static_cast<double>(state.iterations()), kTickGoalMs,
                std::to_string(megapixels) + " MP, " + kShapeNames[shape] + ", zoom " +
                    std::to_string(window->Zoom).substr(0, 4) + ", " + std::to_string(window->MaxSize->GetClientWidth()) +
                    " x " + std::to_string(window->MaxSize->GetClientHeight()) + " visible");
}
BENCHMARK(BM_TickOnTheView)
    ->Args({kLargeRegion, 1, 12})->Args({kLargeRegion, 4, 12})->Args({kNoise, 1, 12})->Args({kNoise, 4, 12})
    ->Args({kPhoto, 1, 12})->Args({kNoise, 1, 48})->Args({kPhoto, 1, 48})
    ->Unit(benchmark::kMicrosecond);

// The outline rebuilt after the mask changed (bounds, tracing, scaling to the view, the
// painter's index), and Edit/Invert Selection (the undo step, the mask inverted, the outline
// rebuilt), each with the repaint it causes, at zoom 1/4.
void BM_RebuildOnTheView(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  const bool invert = state.range(1) != 0;
  Program program(12, shape, 0.25);
  UDBuffer& picture = program.window->Picture;
  double ms = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (invert) program.form->InvertSel1Click(nullptr);
    else picture.RebuildSelectionOutline();
    RunQueue();
    ms += MsSince(start);
    state.PauseTiming();
    picture.FreeUndo();
    state.ResumeTiming();
  }
  ReportAgainst(state, ms / static_cast<double>(state.iterations()), kRebuildGoalMs,
                std::string(invert ? "Invert Selection" : "outline rebuilt") + ", 12 MP, " + kShapeNames[shape]);
}
BENCHMARK(BM_RebuildOnTheView)
    ->Args({kNoise, 0})->Args({kPhoto, 0})->Args({kNoise, 1})->Args({kPhoto, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
