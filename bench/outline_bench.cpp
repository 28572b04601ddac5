// The selection outline on a 4000 x 3000 mask, for one large region (everything but a
// rectangular hole) and for noise (some 10^5 small regions): tracing the mask, scaling the
// outline to the view (zoom 2 and 1/2), and one tick of the marching painter, alone over the
// outline and through the program (a document window of that size at zoom 1 and 1/4, the
// pixels set on its view). The goal: one tick under 1 ms for the large region.
//
// The tracer fills each traced contour into its work mask by parity, toggling every row a
// vertical edge crosses from the contour's own leftmost column, not from the selection's left
// edge: the same mask, without the cost of regions x width that makes noise slow. The noise
// trace here shows that cost is gone.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "BenchProgram.h"
#include "OutlineShapes.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/SelectionOutline.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
const BitBuffer& MaskOf(Shape shape) {
  static BitBuffer masks[2];
  BitBuffer& mask = masks[shape];
  if (mask.words == nullptr) {
    mask.Alloc(kWidth, kHeight);
    DrawShape(mask, shape);
  }
  return mask;
}

const std::uint8_t* OutlineOf(Shape shape) {
  static std::unique_ptr<std::uint8_t[]> outlines[2];
  if (!outlines[shape]) outlines[shape] = outline::TraceOutline(MaskOf(shape), Rect(0, 0, kWidth - 1, kHeight - 1));
  return outlines[shape].get();
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
BENCHMARK(BM_Trace)->Arg(kLargeRegion)->Arg(kNoise)->Unit(benchmark::kMillisecond);

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
    ->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_TickWalk)->Arg(kLargeRegion)->Arg(kNoise)->Unit(benchmark::kMicrosecond);

// One tick as the activity timer gives it: the picture's outline painted onto its document
// window's view on the desktop.
void BM_TickOnTheView(benchmark::State& state) {
  const Shape shape = static_cast<Shape>(state.range(0));
  benchmark::DoNotOptimize(StartBenchProgram());
  TImageForm* window = CreateDocumentWindow(kWidth, kHeight, "");
  UDBuffer& picture = window->Picture;
  picture.Mask.Copy(const_cast<BitBuffer&>(MaskOf(shape)), 0, 0, BitBuffer::kCopy);
  picture.UpdateSelectionBounds();
  picture.BuildSelectionOutline(false);
  SetZoomFactor(state.range(1) == 1 ? 1.0 : 0.25);
  ApplyZoom();
  // The top-left corner in sight: the image's edges run through the visible part.
  window->MaxSize->GetHorzScrollBar()->SetPosition(0);
  window->MaxSize->GetVertScrollBar()->SetPosition(0);
  RunQueue();
  for (auto _ : state) picture.PaintSelectionOutline(true);
  state.SetLabel(std::string(kShapeNames[shape]) + ", zoom " + std::to_string(window->Zoom).substr(0, 4) + ", " +
                 std::to_string(window->MaxSize->GetClientWidth()) + " x " +
                 std::to_string(window->MaxSize->GetClientHeight()) + " visible");
  // The program's windows go while the desktop is there, not at the process's end.
  ResetApplication();
}
BENCHMARK(BM_TickOnTheView)->Args({kLargeRegion, 1})->Args({kLargeRegion, 4})->Args({kNoise, 1})->Args({kNoise, 4})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
