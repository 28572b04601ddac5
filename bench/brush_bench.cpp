// Turning a 1000 x 1000 brush by 30 degrees. TransformBrush against a plain inverse-mapping
// loop with the same 2 x 2 supersampling written here; the rotate tool's whole commit (the
// brush's undo step, the turn, the crop, the stamped shape) against the same loop in turns
// (goal: within 1.5 times), once as the allocator serves it and once with every block fresh
// pages first touched (no huge pages, no block kept for reuse: a machine where first touching
// memory is slow pays most there), each with the megabytes first touched a commit; the
// feedback drawn into a picture, and a whole feedback frame of the rotate tool in the program
// (the pointer moved round the centre: the old feedback taken away, the new one drawn and the
// view repainted; goal: 16 ms a frame).

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "BenchProgram.h"
#include "PairedRatio.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTools.h"
#include "quillo/tools/BrushTransforms.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr int kSide = 1000;
constexpr double kAngle = std::numbers::pi / 6;

// A round opaque brush with a soft ring, outside in the corners.
void MakeBrush(UDBuffer& brush) {
  brush.Alloc(kSide, kSide);
  const double r = kSide / 2.0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - r, y + 0.5 - r);
      std::uint32_t& p = *brush.At(x, y);
      if (d > r) p = BrushOutside;
      else if (d > r - 20) p = static_cast<std::uint32_t>((d - (r - 20)) * 12) << 24 | 0x3366CC;
      else p = static_cast<std::uint32_t>(x * 7 ^ y * 13) & 0xFFFFFF;
    }
}

// The loop to compare with: every target pixel's four samples mapped back into the source,
// averaged channel by channel with their transparency.
void PlainInverseLoop(const std::vector<std::uint32_t>& src, int sw, int sh, std::vector<std::uint32_t>& dst, int dw,
                      int dh, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      unsigned sums[4] = {0, 0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        const double X = x + 0.25 + 0.5 * (k & 1) - dw / 2.0, Y = y + 0.25 + 0.5 * (k >> 1) - dh / 2.0;
        const double sx = sw / 2.0 + c * X - s * Y, sy = sh / 2.0 + s * X + c * Y;
        std::uint32_t p = BrushOutside;
        if (sx >= 0 && sy >= 0 && sx < sw && sy < sh) p = src[static_cast<std::size_t>(sy) * sw + static_cast<std::size_t>(sx)];
        const unsigned alpha = 255 - (p >> 24);
        sums[3] += p >> 24;
        for (int ch = 0; ch < 3; ++ch) sums[ch] += alpha * (p >> (8 * ch) & 0xFF);
      }
      const unsigned opacity = 4 * 255 - sums[3];
      std::uint32_t out = (sums[3] + 2) / 4 << 24;
      if (opacity)
        for (int ch = 0; ch < 3; ++ch) out |= (sums[ch] + opacity / 2) / opacity << (8 * ch);
      dst[static_cast<std::size_t>(y) * dw + x] = out;
    }
}

void BM_PlainInverseLoop(benchmark::State& state) {
  UDBuffer brush;
  MakeBrush(brush);
  std::vector<std::uint32_t> src(brush.pixels, brush.pixels + static_cast<std::size_t>(kSide) * kSide);
  const Pair<int> size = RotatedSize(kSide, kSide, kAngle);
  std::vector<std::uint32_t> dst(static_cast<std::size_t>(size.x) * size.y);
  for (auto _ : state) {
    PlainInverseLoop(src, kSide, kSide, dst, size.x, size.y, kAngle);
    benchmark::DoNotOptimize(dst.data());
  }
}
BENCHMARK(BM_PlainInverseLoop)->Unit(benchmark::kMillisecond);

// The brush as it was before the last iteration turned it, its history empty.
void RestoreBrush(const UDBuffer& original) {
  Brush.Alloc(kSide, kSide);
  Brush.Copy(original, {0, 0}, Buffer::kPlain);
  while (Brush.UndoChain) Brush.DropUndoStep();
}

void BM_TransformBrush(benchmark::State& state) {
  UDBuffer original;
  MakeBrush(original);
  for (auto _ : state) {
    state.PauseTiming();
    RestoreBrush(original);
    state.ResumeTiming();
    TransformBrush(static_cast<float>(kAngle));
    benchmark::DoNotOptimize(Brush.pixels);
  }
}
BENCHMARK(BM_TransformBrush)->Unit(benchmark::kMillisecond);

// The rotate tool's feedback: the stamped brush turned and composited into a picture.
void BM_RotateFeedback(benchmark::State& state) {
  UDBuffer shape, picture;
  MakeBrush(shape);
  picture.Alloc(1600, 1200);
  picture.Box(picture.rect, 0xFFFFFF);
  const Pair<int> size = RotatedSize(kSide, kSide, kAngle);
  double angle = kAngle;
  for (auto _ : state) {
    DrawRotated(picture, shape, angle, {800 - size.x / 2, 600 - size.y / 2}, size);
    angle += 0.001;
    benchmark::DoNotOptimize(picture.pixels);
  }
  state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["goal_ms"] = 16;
}
BENCHMARK(BM_RotateFeedback)->Unit(benchmark::kMillisecond);

void Send(HWND view, UINT message, WPARAM keys, const POINT& p) {
  SendMessage(view, message, keys, MAKELPARAM(p.x, p.y));
  RunQueue();  // the view repaints what the event changed
}

// The rotate tool in the program at zoom 1 on a 1600 x 1200 picture: after the first click on
// the brush's centre, each iteration moves the pointer on round it, one feedback frame.
void BM_RotateFeedbackFrame(benchmark::State& state) {
  TMainForm* form = StartBenchProgram();
  TImageForm* window = CreateDocumentWindow(1600, 1200, "");
  RunQueue();
  form->Zoom->SetPosition(1);
  ApplyZoom();
  RunQueue();
  MakeBrush(Brush);
  BrushMode = BrushModePaint;
  UseCustomBrushShape();
  SelectTool(&RotateBrushTool, true, -1);
  const HWND view = window->ShowBuf->GetHandle();
  const POINT centre{std::min(window->MaxSize->GetClientWidth(), window->ShowBuf->GetWidth()) / 2,
                     std::min(window->MaxSize->GetClientHeight(), window->ShowBuf->GetHeight()) / 2};
  Send(view, WM_MOUSEMOVE, 0, centre);
  Send(view, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  Send(view, WM_LBUTTONUP, 0, centre);
  double angle = 0;
  for (auto _ : state) {
    angle += 0.05;
    const POINT p{centre.x + static_cast<int>(100 * std::cos(angle)), centre.y - static_cast<int>(100 * std::sin(angle))};
    Send(view, WM_MOUSEMOVE, 0, p);
  }
  if (ToolPhase != 1 || CurrentTool != &RotateBrushTool) state.SkipWithError("the rotate tool did not take the first click");
  state.counters["goal_ms"] = 16;
  SelectTool(&PenContTool, true, -1);
  RunQueue();
  ResetApplication();
}
BENCHMARK(BM_RotateFeedbackFrame)->Unit(benchmark::kMillisecond);

// From now on every block of 64 KB or more is pages of its own, first touched where it is
// first written and given back when freed, and no page is a huge one: what a commit pays
// for fresh memory then shows in its time and in the page faults it takes.
void FreshPagesFromNowOn() {
  mallopt(M_MMAP_THRESHOLD, 64 * 1024);
  prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
}

// The free memory that blocks of the heap made before still hold goes back to the system, so
// that a block reusing it touches fresh pages too.
void ReleaseFreeHeap() { malloc_trim(0); }

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// The rotate tool's commit (the second click's work, from the undo step to the stamped
// shape) against the plain loop writing its result into memory it already has. range(0): 1
// when every block is fresh pages (registered last: the setting holds for the rest of the
// run).
void BM_RotateCommit(benchmark::State& state) {
  const bool freshPages = state.range(0) != 0;
  if (freshPages) FreshPagesFromNowOn();
  ApplyUndoDefaults();
  Settings.OptimBrush = true;
  UDBuffer original;
  MakeBrush(original);
  std::vector<std::uint32_t> src(original.pixels, original.pixels + static_cast<std::size_t>(kSide) * kSide);
  const Pair<int> size = RotatedSize(kSide, kSide, kAngle);
  std::vector<std::uint32_t> dst(static_cast<std::size_t>(size.x) * size.y);
  // One commit first, so that the pictures it keeps are there as in a session.
  RestoreBrush(original);
  RotateBrushTool.CommitTurn(kAngle);
  long faults = 0;
  bench_ratio::PairedPrepared(
      state, 1.5,
      [&] {
        RestoreBrush(original);
        if (freshPages) ReleaseFreeHeap();
      },
      [&] {
        const long before = MinorFaults();
        RotateBrushTool.CommitTurn(kAngle);
        faults += MinorFaults() - before;
        benchmark::DoNotOptimize(BrushShape.pixels);
      },
      [&] {
        PlainInverseLoop(src, kSide, kSide, dst, size.x, size.y, kAngle);
        benchmark::DoNotOptimize(dst.data());
      });
  state.counters["fresh_MB"] = static_cast<double>(faults) * 4096 / (1 << 20) / static_cast<double>(state.iterations());
  while (Brush.UndoChain) Brush.DropUndoStep();
  Settings.OptimBrush = false;
}
BENCHMARK(BM_RotateCommit)->ArgName("fresh_pages")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
