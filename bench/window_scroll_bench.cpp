// Scrolling a window's client area on the desktop, against copying the same area with BitBlt.

#include <benchmark/benchmark.h>

#include "BenchDesktop.h"
#include "platform/user/User.h"

namespace {

constexpr int kWidth = 1000, kHeight = 700, kRows = 3;

HWND ScrolledWindow() {
  WNDCLASS wc{};
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = "ScrollBench";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "ScrollBench", "", WS_POPUP | WS_VISIBLE, 100, 50, kWidth, kHeight, nullptr, nullptr,
                          nullptr, nullptr);
  RunQueue();
  return w;
}

void BM_ScrollWindowExThreeRows(benchmark::State& state) {
  FreshDesktop();
  HWND w = ScrolledWindow();
  int dy = kRows;
  for (auto _ : state) {
    ScrollWindowEx(w, 0, dy, nullptr, nullptr, nullptr, nullptr, 0);
    dy = -dy;
  }
  DestroyWindow(w);
}
BENCHMARK(BM_ScrollWindowExThreeRows)->Unit(benchmark::kMicrosecond);

// The same rows moved by a plain copy on the window's context: what scrolling should cost.
void BM_BitBltThreeRowsDown(benchmark::State& state) {
  FreshDesktop();
  HWND w = ScrolledWindow();
  HDC dc = GetDC(w);
  for (auto _ : state) BitBlt(dc, 0, kRows, kWidth, kHeight - kRows, dc, 0, 0, SRCCOPY);
  ReleaseDC(w, dc);
  DestroyWindow(w);
}
BENCHMARK(BM_BitBltThreeRowsDown)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
