// Looking for a window's messages, or a range of messages, while many others wait.

#include <benchmark/benchmark.h>

#include "BenchDesktop.h"
#include "platform/user/User.h"

namespace {

HWND HiddenWindow() {
  WNDCLASS wc{};
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = "QueueBench";
  RegisterClass(&wc);
  return CreateWindowEx(0, "QueueBench", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// Messages for one window fill the queue; the loop peeks for another window's, or for keys.
template <bool byRange>
void BM_PeekPastWaitingMessages(benchmark::State& state) {
  FreshDesktop();
  HWND busy = HiddenWindow(), idle = HiddenWindow();
  for (int i = 0; i < state.range(0); ++i) PostMessage(busy, WM_APP, static_cast<WPARAM>(i), 0);
  MSG msg;
  for (auto _ : state) {
    BOOL found = byRange ? PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)
                         : PeekMessage(&msg, idle, 0, 0, PM_NOREMOVE);
    benchmark::DoNotOptimize(found);
  }
  DestroyWindow(idle);
  DestroyWindow(busy);
  RunQueue();
}
BENCHMARK_TEMPLATE(BM_PeekPastWaitingMessages, false)->Arg(100)->Arg(9999)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_PeekPastWaitingMessages, true)->Arg(100)->Arg(9999)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
