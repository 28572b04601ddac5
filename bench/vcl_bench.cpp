// The framework's costs: a form of 500 controls made, shown, painted and freed; a million
// posted messages dispatched; a full repaint of an 800 x 600 form of custom-drawn controls.

#include <benchmark/benchmark.h>

#include "BenchDesktop.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/GraphicControl.h"

namespace {

class TCell : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCell(TComponent* owner) : TCustomControl(owner) {}

protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(GetColor());
    c->GetPen()->SetColor(clBlack);
    c->Rectangle(GetClientRect());
    c->MoveTo(0, 0);
    c->LineTo(GetWidth(), GetHeight());
  }
};
QUILLO_DEFINE_CLASS(TCell, TCustomControl)

class TMark : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMark(TComponent* owner) : TGraphicControl(owner) {}

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(GetClientRect());
  }
};
QUILLO_DEFINE_CLASS(TMark, TGraphicControl)

// 500 controls: a grid of windowed and windowless cells, 25 x 20 on an 800 x 600 client.
TForm* MakeGridForm(int width, int height, int columns, int rows) {
  auto* form = NewComponent<TForm>(Application());
  form->SetBorderStyle(bsSingle);
  form->SetClientWidth(width);
  form->SetClientHeight(height);
  int w = width / columns, h = height / rows;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < columns; ++x) {
      TControl* c = ((x + y) % 2) ? static_cast<TControl*>(NewComponent<TCell>(form))
                                  : static_cast<TControl*>(NewComponent<TMark>(form));
      c->SetBounds(x * w, y * h, w, h);
      c->SetColor(static_cast<TColor>(((x * 10) << 16) | ((y * 12) << 8) | 0x80));
      c->SetParent(form);
    }
  return form;
}

void BM_FormOf500Controls(benchmark::State& state) {
  FreshDesktop();
  for (auto _ : state) {
    TForm* form = MakeGridForm(800, 600, 25, 20);
    form->Show();
    RunQueue();
    FreeObject(form);
    RunQueue();
  }
  ResetApplication();
}
BENCHMARK(BM_FormOf500Controls)->Unit(benchmark::kMillisecond);

void BM_DispatchMillionPostedMessages(benchmark::State& state) {
  FreshDesktop();
  auto* form = NewComponent<TForm>(Application());
  long seen = 0;
  form->WindowProc = [&, form](TMessage& m) {
    if (m.Msg == WM_USER + 1) ++seen;
    else form->WndProc(m);
  };
  HWND h = form->GetHandle();
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) {
      PostMessage(h, WM_USER + 1, 0, 0);
      // The queue is drained as it fills, as a program's loop keeps up with its posts.
      if ((i & 1023) == 1023) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      }
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }
  benchmark::DoNotOptimize(seen);
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * 1000000);
  ResetApplication();
}
BENCHMARK(BM_DispatchMillionPostedMessages)->Unit(benchmark::kMillisecond);

void BM_RepaintForm800x600(benchmark::State& state) {
  FreshDesktop();
  TForm* form = MakeGridForm(800, 600, 20, 15);
  form->Show();
  RunQueue();
  for (auto _ : state) {
    RedrawWindow(form->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    RunQueue();
  }
  ResetApplication();
}
BENCHMARK(BM_RepaintForm800x600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
