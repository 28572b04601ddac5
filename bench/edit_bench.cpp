// The edit control's costs as a user meets them: 10,000 characters typed into a multi-line
// edit through WM_CHAR, each painted before the next (with word wrap and without), and
// typing in the middle of a long text.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/Edit.h"
#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"

namespace {

HWND FreshEdit(DWORD style, const std::string& text) {
  DesktopConfig config;
  RestartDesktop(config, "headless");
  SetManualClock(true);
  WNDCLASS cls{};
  cls.lpfnWndProc = &DefWindowProc;
  cls.lpszClassName = "EditBenchFrame";
  RegisterClass(&cls);
  HWND frame = CreateWindowEx(0, "EditBenchFrame", "", WS_POPUP | WS_VISIBLE, 20, 20, 640, 480, nullptr, nullptr,
                              nullptr, nullptr);
  HWND edit = CreateWindowEx(WS_EX_CLIENTEDGE, kEditClassName, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 600,
                             440, frame, nullptr, nullptr, nullptr);
  SetFocus(edit);
  const int end = static_cast<int>(text.size());
  SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
  UpdateWindow(edit);
  return edit;
}

// Words of a few letters, a line break now and then: what a user types into a memo.
char Typed(int i) {
  if (i % 397 == 396) return '\r';
  return i % 6 == 5 ? ' ' : static_cast<char>('a' + i % 26);
}

void TypeCharacters(benchmark::State& state, DWORD style) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    HWND edit = FreshEdit(style, "");
    state.ResumeTiming();
    for (int i = 0; i < count; ++i) {
      SendMessage(edit, WM_CHAR, static_cast<unsigned char>(Typed(i)), 1);
      UpdateWindow(edit);
    }
    benchmark::DoNotOptimize(GetWindowTextLength(edit));
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_TypeIntoWrappingMemo(benchmark::State& state) {
  TypeCharacters(state, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL);
}
BENCHMARK(BM_TypeIntoWrappingMemo)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TypeIntoMemoWithoutWrap(benchmark::State& state) {
  TypeCharacters(state, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL);
}
BENCHMARK(BM_TypeIntoMemoWithoutWrap)->Arg(10000)->Unit(benchmark::kMillisecond);

// 1,000 characters typed at the middle of a wrapped text of 200,000.
void BM_TypeInTheMiddleOfALongText(benchmark::State& state) {
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) text += Typed(i) == '\r' ? std::string("\r\n") : std::string(1, Typed(i));
  for (auto _ : state) {
    state.PauseTiming();
    HWND edit = FreshEdit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, text);
    SendMessage(edit, EM_SETSEL, 100000, 100000);
    UpdateWindow(edit);
    state.ResumeTiming();
    for (int i = 0; i < 1000; ++i) {
      SendMessage(edit, WM_CHAR, static_cast<unsigned char>(Typed(i)), 1);
      UpdateWindow(edit);
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TypeInTheMiddleOfALongText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
