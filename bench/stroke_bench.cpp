// A freehand stroke as a user paints it: the program started on the headless desktop, a
// 4000 x 3000 picture in a document window, the continuous pen with a 25-pixel round brush,
// and a stroke of 1000 points sent to the image view as mouse messages (press, 998 moves,
// release), each followed by the view's repaint, at zoom 1 and at the zoom that fits the
// picture on the screen. The goal: under 16 ms a mouse event.
// Beside it, the stamp of the strokes (PutBrush) against the library's compositing copy of
// the brush into the picture, which it should match within 1.5 times.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "BenchProgram.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kPoints = 1000;
constexpr int kBrushSize = 25;

enum ZoomKind { kZoomOne = 0, kZoomFitting = 1 };
const char* kZoomNames[] = {"zoom 1", "fitting zoom"};

// A freehand path over the part of the view the window shows: a wavy spiral of kPoints
// points a few pixels apart, in view coordinates.
std::vector<POINT> StrokePath(const TImageForm* window) {
  const int left = -window->ShowBuf->GetLeft() > 0 ? -window->ShowBuf->GetLeft() : 0;
  const int top = -window->ShowBuf->GetTop() > 0 ? -window->ShowBuf->GetTop() : 0;
  const int w = std::min(window->MaxSize->GetClientWidth(), window->ShowBuf->GetWidth());
  const int h = std::min(window->MaxSize->GetClientHeight(), window->ShowBuf->GetHeight());
  std::vector<POINT> path;
  for (int i = 0; i < kPoints; ++i) {
    const double t = i / double(kPoints);
    const double r = 0.45 * (0.3 + 0.7 * t);
    const double a = t * 6 * 3.14159265;
    path.push_back({left + static_cast<int>(w * (0.5 + r * std::cos(a) + 0.02 * std::sin(40 * t))),
                    top + static_cast<int>(h * (0.5 + r * std::sin(a)))});
  }
  return path;
}

void Send(HWND view, UINT message, WPARAM keys, const POINT& p) {
  SendMessage(view, message, keys, MAKELPARAM(p.x, p.y));
  RunQueue();  // the view repaints what the event changed
}

// The program started with a picture in a document window at the benchmark's zoom and the
// continuous pen chosen with the round brush.
struct PenSetting {
  TMainForm* form;
  TImageForm* window;
};

PenSetting StartWithThePen(benchmark::State& state) {
  const auto zoom = static_cast<ZoomKind>(state.range(0));
  state.SetLabel(kZoomNames[zoom]);
  TMainForm* form = StartBenchProgram();
  TImageForm* window = CreateDocumentWindow(kWidth, kHeight, "");
  RunQueue();
  if (zoom == kZoomOne) {
    form->Zoom->SetPosition(1);
    ApplyZoom();
  } else {
    FitWindowToImage(window, FitZoom::Fitting);
  }
  RunQueue();
  MakeFactoryBrush(FactoryShape::Round, kBrushSize, 100, 0);
  UpdateBrushShape(false);
  SelectTool(&PenContTool, true, -1);
  return {form, window};
}

void BM_StrokeThroughTheHandlers(benchmark::State& state) {
  TImageForm* const window = StartWithThePen(state).window;
  const std::vector<POINT> path = StrokePath(window);
  const HWND view = window->ShowBuf->GetHandle();
  for (auto _ : state) {
    Send(view, WM_MOUSEMOVE, 0, path[0]);
    Send(view, WM_LBUTTONDOWN, MK_LBUTTON, path[0]);
    for (int i = 1; i + 1 < kPoints; ++i) Send(view, WM_MOUSEMOVE, MK_LBUTTON, path[static_cast<std::size_t>(i)]);
    Send(view, WM_LBUTTONUP, 0, path.back());
    state.PauseTiming();
    // The stroke is in the picture where it began.
    const Pair<int> start = ViewToImagePoint(path[0].x, path[0].y, window->Zoom);
    if ((*window->Picture.At(start.x, start.y) & 0xFFFFFF) != 0) {
      state.SkipWithError("the stroke did not paint");
      break;
    }
    window->Picture.FreeUndo();  // each stroke's step would otherwise pile up
    state.ResumeTiming();
  }
  // The time one mouse event takes, with the repaint it causes.
  state.counters["per_event"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPoints,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["zoom"] = window->Zoom;
  ResetApplication();
}

// The release alone: the stroke's end commits its undo step and repaints what it changed.
// The goal is one frame, 16 ms, at either zoom; Undo and Redo of the stroke beside it.
void BM_PenRelease(benchmark::State& state) {
  const auto [form, window] = StartWithThePen(state);
  const std::vector<POINT> path = StrokePath(window);
  const HWND view = window->ShowBuf->GetHandle();
  double release = 0, undo = 0, redo = 0;
  for (auto _ : state) {
    Send(view, WM_MOUSEMOVE, 0, path[0]);
    Send(view, WM_LBUTTONDOWN, MK_LBUTTON, path[0]);
    for (int i = 1; i + 1 < kPoints; ++i) Send(view, WM_MOUSEMOVE, MK_LBUTTON, path[static_cast<std::size_t>(i)]);
    auto t0 = std::chrono::steady_clock::now();
    Send(view, WM_LBUTTONUP, 0, path.back());
    auto t1 = std::chrono::steady_clock::now();
    form->Undo1Click(form);
    RunQueue();
    auto t2 = std::chrono::steady_clock::now();
    form->Redo1Click(form);
    RunQueue();
    auto t3 = std::chrono::steady_clock::now();
    release += std::chrono::duration<double, std::milli>(t1 - t0).count();
    undo += std::chrono::duration<double, std::milli>(t2 - t1).count();
    redo += std::chrono::duration<double, std::milli>(t3 - t2).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    window->Picture.FreeUndo();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["release_ms"] = release / n;
  state.counters["undo_ms"] = undo / n;
  state.counters["redo_ms"] = redo / n;
  state.counters["goal_ms"] = 16;
  ResetApplication();
}

// The stamp against the compositing copy it is made of, at the same corners of a picture.
void StampSetUp(UDBuffer& picture) {
  picture.Alloc(kWidth, kHeight);
  picture.Box(picture.rect, 0x00FFFFFF);
  CurrentPicture = &picture;
  DrawView.AllocFrom(picture, picture.rect, true);
  MakeFactoryBrush(FactoryShape::Round, kBrushSize, 50, 0x203040);
  UpdateBrushShapeWith(0x203040, 0xFFFFFF, false);
}

void BM_PutBrush(benchmark::State& state) {
  UDBuffer picture;
  StampSetUp(picture);
  int i = 0;
  for (auto _ : state) {
    PutBrush(100 + (i * 7) % 3800, 100 + (i * 13) % 2800);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  CurrentPicture = nullptr;
  DrawView.Free();
}

void BM_CompositingCopy(benchmark::State& state) {
  UDBuffer picture;
  StampSetUp(picture);
  const Pair<int> hot = HotSpotOffset(BrushShape.Width(), BrushShape.Height(), HandleCentre);
  int i = 0;
  for (auto _ : state) {
    picture.Copy(BrushShape, {100 + (i * 7) % 3800 - hot.x, 100 + (i * 13) % 2800 - hot.y}, Buffer::kComposite);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  CurrentPicture = nullptr;
  DrawView.Free();
}

}  // namespace

BENCHMARK(BM_StrokeThroughTheHandlers)->Arg(kZoomOne)->Arg(kZoomFitting)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PenRelease)->Arg(kZoomOne)->Arg(kZoomFitting)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PutBrush);
BENCHMARK(BM_CompositingCopy);

BENCHMARK_MAIN();
