// The waits a user meets on a large picture, each through the program as a user causes it and
// each against its budget: a click answers within 100 ms, a drag frame within 16 ms.
//   - the pen's press on the picture, which opens the stroke's undo step (12 and 48 MP);
//   - Edit/Undo and Edit/Redo of a whole-image step (12 MP);
//   - Edit/Invert Selection (12 MP);
//   - the selection outline rebuilt after the mask changed (12 MP);
//   - one tick of the marching outline with the whole picture in sight (12 and 48 MP).
// Each figure is the mean wall time of one wait with the repaint it causes; "of_budget" is
// that time over the budget (above 1: missed).

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "BenchProgram.h"
#include "OutlineShapes.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr double kClickMs = 100;
constexpr double kFrameMs = 16;

enum Size { k12MP = 12, k48MP = 48 };

int WidthOf(int megapixels) { return megapixels == k48MP ? 8000 : 4000; }
int HeightOf(int megapixels) { return megapixels == k48MP ? 6000 : 3000; }

// Times the body of one wait; the rest of the loop (setting it up again) is not counted.
class WaitTimer {
public:
  explicit WaitTimer(benchmark::State& state) : state_(state) {}
  template <typename Fn>
  void Time(Fn&& wait) {
    const auto start = std::chrono::steady_clock::now();
    wait();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state_.SetIterationTime(seconds);
    total_ += seconds;
    ++count_;
  }
  // The mean wait against its budget.
  void Report(double budgetMs, const std::string& label) {
    const double meanMs = count_ > 0 ? total_ * 1000 / count_ : 0;
    state_.counters["ms"] = meanMs;
    state_.counters["budget_ms"] = budgetMs;
    state_.counters["of_budget"] = meanMs / budgetMs;
    state_.SetLabel(label + (meanMs <= budgetMs ? ": within budget" : ": over budget"));
  }

private:
  benchmark::State& state_;
  double total_ = 0;
  long count_ = 0;
};

// The program with one document of the size, filled with a pattern, at the zoom that fits it.
struct Program {
  explicit Program(int megapixels) {
    form = StartBenchProgram();
    Settings.UndoMem = 1LL << 40;
    Settings.UndoDisk = 1LL << 40;
    window = CreateDocumentWindow(WidthOf(megapixels), HeightOf(megapixels), "");
    UDBuffer& p = window->Picture;
    for (int y = 0; y < p.Height(); ++y) {
      uint* row = p.At(0, y);
      for (int x = 0; x < p.Width(); ++x) row[x] = static_cast<uint>(x * 2654435761u ^ y) & 0xFFFFFF;
    }
    FitWindowToImage(window, FitZoom::Fitting);
    RunQueue();
  }
  ~Program() {
    window->Picture.FreeUndo();
    window->Picture.FreeRedo();
    ResetApplication();
  }
  // The shape selected, its outline traced.
  void Select(Shape shape) {
    UDBuffer& p = window->Picture;
    DrawShape(p.Mask, shape);
    p.RebuildSelectionOutline();
    RunQueue();
  }
  TMainForm* form;
  TImageForm* window;
};

void Send(HWND view, UINT message, WPARAM keys, POINT p) {
  SendMessage(view, message, keys, MAKELPARAM(p.x, p.y));
  RunQueue();
}

void BM_PenPress(benchmark::State& state) {
  Program program(static_cast<int>(state.range(0)));
  MakeFactoryBrush(FactoryShape::Round, 25, 100, 0);
  UpdateBrushShape(false);
  SelectTool(&PenContTool, true, -1);
  const HWND view = program.window->ShowBuf->GetHandle();
  const POINT at{program.window->ShowBuf->GetWidth() / 2, program.window->ShowBuf->GetHeight() / 2};
  WaitTimer timer(state);
  for (auto _ : state) {
    Send(view, WM_MOUSEMOVE, 0, at);
    timer.Time([&] { Send(view, WM_LBUTTONDOWN, MK_LBUTTON, at); });
    Send(view, WM_LBUTTONUP, 0, at);
    if (program.window->Picture.UndoChain == nullptr) {
      state.SkipWithError("the press opened no undo step");
      break;
    }
    program.window->Picture.FreeUndo();
  }
  timer.Report(kClickMs, "pen press, " + std::to_string(state.range(0)) + " MP");
}
BENCHMARK(BM_PenPress)->Arg(k12MP)->Arg(k48MP)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

// A whole-image step (as Edit/Invert Selection makes), undone and redone from the Edit menu.
void BM_UndoRedoWholeImage(benchmark::State& state) {
  Program program(k12MP);
  const bool redo = state.range(0) != 0;
  program.window->Picture.PushUndo("InvSel");
  WaitTimer timer(state);
  for (auto _ : state) {
    if (redo) {
      program.form->Undo1Click(nullptr);
      RunQueue();
      timer.Time([&] {
        program.form->Redo1Click(nullptr);
        RunQueue();
      });
    } else {
      timer.Time([&] {
        program.form->Undo1Click(nullptr);
        RunQueue();
      });
      program.form->Redo1Click(nullptr);
      RunQueue();
    }
    if (program.window->Picture.UndoChain == nullptr || program.window->Picture.RedoChain != nullptr) {
      state.SkipWithError("the step did not go back and forth");
      break;
    }
  }
  timer.Report(kClickMs, redo ? "Redo, 12 MP" : "Undo, 12 MP");
}
BENCHMARK(BM_UndoRedoWholeImage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_InvertSelection(benchmark::State& state) {
  Program program(k12MP);
  program.Select(kLargeRegion);
  WaitTimer timer(state);
  for (auto _ : state) {
    timer.Time([&] {
      program.form->InvertSel1Click(nullptr);
      RunQueue();
    });
    program.window->Picture.FreeUndo();
  }
  timer.Report(kClickMs, "Invert Selection, 12 MP");
}
BENCHMARK(BM_InvertSelection)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_OutlineRebuild(benchmark::State& state) {
  Program program(k12MP);
  const auto shape = static_cast<Shape>(state.range(0));
  program.Select(shape);
  WaitTimer timer(state);
  for (auto _ : state) {
    timer.Time([&] {
      program.window->Picture.RebuildSelectionOutline();
      RunQueue();
    });
  }
  timer.Report(kClickMs, std::string("outline rebuilt, 12 MP, ") + kShapeNames[shape]);
}
BENCHMARK(BM_OutlineRebuild)->Arg(kLargeRegion)->Arg(kNoise)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_OutlineTick(benchmark::State& state) {
  Program program(static_cast<int>(state.range(0)));
  const auto shape = static_cast<Shape>(state.range(1));
  program.Select(shape);
  WaitTimer timer(state);
  for (auto _ : state) timer.Time([&] { program.window->Picture.PaintSelectionOutline(true); });
  timer.Report(kFrameMs, "marching outline tick, " + std::to_string(state.range(0)) + " MP, " + kShapeNames[shape] +
                             ", zoom " + std::to_string(program.window->Zoom).substr(0, 5));
}
BENCHMARK(BM_OutlineTick)
    ->Args({k12MP, kLargeRegion})
    ->Args({k12MP, kNoise})
    ->Args({k48MP, kLargeRegion})
    ->Args({k48MP, kNoise})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
