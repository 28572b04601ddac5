// Opening a 12-megapixel photo: GFXFile::Load alone against loading it and painting it once
// through the image view at the zoom that fits it on the screen (1/4: a 1000 x 750 view), on
// the headless desktop. The goal: the two together take at most 1.5 times the load alone.
// The view paints as the document window's does (transparency over the checkerboard, the
// library scaling), and as a plain view whose zoom GDI stretches; the paint alone is
// measured too, also with gamma correction on. Last, the whole road a user takes: the
// program's main window started, and the photo opened into a new document window, fitted
// and painted, then closed again.
//
// A view scrolled to the middle of the photo at zoom 1/4, 1, 2, 4 and 7, seen through a window
// of 1000 x 700: a repaint of the whole view against a repaint of the visible rectangle
// alone. The goal: the whole view within 2 times the visible rectangle at every zoom.

#include <benchmark/benchmark.h>

#include <chrono>

#include "BenchDesktop.h"
#include "BenchProgram.h"
#include "FileBench.h"
#include "SyntheticPhoto.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/shell/MainForm.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kZoomDenominator = 4;

// A camera-like file: baseline, quality 90, 4:2:0, written once by libjpeg-turbo.
const std::string& PhotoFile() {
  static const std::string path = [] {
    const reference::Image photo{kWidth, kHeight, bench_photo::Make(kWidth, kHeight)};
    std::string p = bench_files::Scratch().File("photo.jpg");
    bench_files::WriteFile(p, reference::Encode(photo, {90, false, false, 2, 2, 0, 0}));
    return p;
  }();
  return path;
}

enum ViewKind { kDocumentView = 0, kStretchedView = 1, kGammaView = 2 };
const char* kViewNames[] = {"document view (checkerboard, library scaling)", "plain view (GDI stretch)",
                            "document view with gamma correction (1.8)"};

// A form with a view at the fitting zoom on a desktop large enough to show all of it.
TBuffer* MakeView(ViewKind kind) {
  DesktopConfig config;
  config.width = 1600;
  config.height = 1000;
  RestartDesktop(config, "headless");
  SetManualClock(true);
  auto* form = NewComponent<TForm>(Application());
  form->SetBounds(0, 0, kWidth / kZoomDenominator + 40, kHeight / kZoomDenominator + 60);
  auto* view = NewComponent<TBuffer>(form);
  view->SetBounds(0, 0, kWidth / kZoomDenominator, kHeight / kZoomDenominator);
  view->SetParent(form);
  view->SetAlpha(kind != kStretchedView);
  TBuffer::StretchPatch = kind != kStretchedView;
  TBuffer::GlobalICM = TBuffer::GlobalGammaCorr = kind == kGammaView;
  if (kind == kGammaView) TBuffer::GlobalGammaRed = TBuffer::GlobalGammaGreen = TBuffer::GlobalGammaBlue = 117965;
  view->SetZoom(1 | kZoomDenominator << 16);
  form->Show();
  RunQueue();
  return view;
}

void Paint(TBuffer* view, Buffer* image) {
  view->SetBuffer(image);
  view->Invalidate();
  RunQueue();
}

void BM_Load(benchmark::State& state) {
  const std::string& path = PhotoFile();
  for (auto _ : state) {
    Buffer image;
    benchmark::DoNotOptimize(GFXFile::Load(image, path, nullptr, 0, nullptr));
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_LoadAndPaint(benchmark::State& state) {
  const std::string& path = PhotoFile();
  const auto kind = static_cast<ViewKind>(state.range(0));
  state.SetLabel(kViewNames[kind]);
  TBuffer* view = MakeView(kind);
  for (auto _ : state) {
    Buffer image;
    benchmark::DoNotOptimize(GFXFile::Load(image, path, nullptr, 0, nullptr));
    Paint(view, &image);
    view->SetBuffer(nullptr);  // the image goes; the view must not keep it
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  ResetApplication();
  TBuffer::StretchPatch = 0;
}

void BM_PaintOnly(benchmark::State& state) {
  const auto kind = static_cast<ViewKind>(state.range(0));
  state.SetLabel(kViewNames[kind]);
  Buffer image;
  GFXFile::Load(image, PhotoFile(), nullptr, 0, nullptr);
  TBuffer* view = MakeView(kind);
  for (auto _ : state) {
    Paint(view, &image);
    view->SetBuffer(nullptr);
  }
  ResetApplication();
  TBuffer::StretchPatch = 0;
  TBuffer::GlobalICM = TBuffer::GlobalGammaCorr = 0;
}

void BM_OpenInDocumentWindow(benchmark::State& state) {
  const std::string& path = PhotoFile();
  StartBenchProgram();
  for (auto _ : state) {
    if (LoadImageFile(nullptr, path.c_str(), 0, false) != 0) {
      state.SkipWithError("the photo did not open");
      break;
    }
    RunQueue();
    state.PauseTiming();
    ImageForm->Close();
    RunQueue();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  ResetApplication();
}

// Seconds of one repaint of the rectangle (the whole view when null).
double TimedRepaint(TBuffer* view, const RECT* area) {
  const auto start = std::chrono::steady_clock::now();
  InvalidateRect(view->GetHandle(), area, FALSE);
  RunQueue();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WholeViewAgainstVisiblePart(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), d = static_cast<int>(state.range(1));
  state.SetLabel("zoom " + std::to_string(n) + "/" + std::to_string(d));
  Buffer image;
  GFXFile::Load(image, PhotoFile(), nullptr, 0, nullptr);
  DesktopConfig config;
  config.width = 1280;
  config.height = 800;
  RestartDesktop(config, "headless");
  SetManualClock(true);
  auto* form = NewComponent<TForm>(Application());
  form->SetBounds(0, 0, 1000, 700);
  auto* view = NewComponent<TBuffer>(form);
  const int width = static_cast<int>(static_cast<long long>(kWidth) * n / d);
  const int height = static_cast<int>(static_cast<long long>(kHeight) * n / d);
  view->SetBounds(std::min(0, 500 - width / 2), std::min(0, 350 - height / 2), width, height);
  view->SetParent(form);
  view->SetAlpha(true);
  TBuffer::StretchPatch = 1;
  view->SetZoom(n | d << 16);
  view->SetBuffer(&image);
  form->Show();
  RunQueue();
  const RECT client = form->GetClientRect();
  POINT corner{0, 0};
  MapWindowPoints(form->GetHandle(), view->GetHandle(), &corner, 1);
  const RECT visible{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
  double whole = 0, part = 0;
  for (auto _ : state) {
    whole += TimedRepaint(view, nullptr);
    part += TimedRepaint(view, &visible);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["whole_ms"] = whole / runs * 1000;
  state.counters["visible_ms"] = part / runs * 1000;
  state.counters["ratio"] = part > 0 ? whole / part : 0;
  view->SetBuffer(nullptr);
  ResetApplication();
  TBuffer::StretchPatch = 0;
}

}  // namespace

BENCHMARK(BM_WholeViewAgainstVisiblePart)
    ->Args({1, 4})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({4, 1})
    ->Args({7, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenInDocumentWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndPaint)->Arg(kDocumentView)->Arg(kStretchedView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOnly)->Arg(kDocumentView)->Arg(kStretchedView)->Arg(kGammaView)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
