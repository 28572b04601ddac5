// Opening a 12-megapixel photo: GFXFile::Load alone against loading it and painting it once
// through the image view at the zoom that fits it on the screen (1/4: a 1000 x 750 view), on
// the headless desktop. The goal: the two together take at most 1.5 times the load alone.
// The view paints as the document window's does (transparency over the checkerboard, the
// library scaling), and as a plain view whose zoom GDI stretches; the paint alone is
// measured too. Last, the whole road a user takes: the program's main window started, and the
// photo opened into a new document window, fitted and painted, then closed again.

#include <benchmark/benchmark.h>

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

enum ViewKind { kDocumentView = 0, kStretchedView = 1 };
const char* kViewNames[] = {"document view (checkerboard, library scaling)", "plain view (GDI stretch)"};

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
  view->SetAlpha(kind == kDocumentView);
  TBuffer::StretchPatch = kind == kDocumentView;
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

}  // namespace

BENCHMARK(BM_OpenInDocumentWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndPaint)->Arg(kDocumentView)->Arg(kStretchedView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOnly)->Arg(kDocumentView)->Arg(kStretchedView)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
