// A list box of 100,000 items: filled in order and sorted, scrolled to the end (by message
// and by the End key) with the paint that follows, every item selected in an extended
// selection list; and a combo box of 100,000 items filled and dropped.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ListBox.h"

namespace {

constexpr int kItems = 100000;

void FreshDesktop() {
  DesktopConfig config;
  config.width = 1280;
  config.height = 800;
  RestartDesktop(config, "headless");
  SetManualClock(true);
}

void RunQueue() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  FlushDesktop();
}

HWND MakeHost() {
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = "ListsBenchHost";
  RegisterClass(&wc);
  return CreateWindowEx(0, "ListsBenchHost", "Lists", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 400, nullptr,
                        nullptr, nullptr, nullptr);
}

HWND MakeList(DWORD style) {
  static HWND host = nullptr;
  if (!IsWindow(host)) host = MakeHost();
  return CreateWindowEx(WS_EX_CLIENTEDGE, kListBoxClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | style,
                        10, 10, 250, 300, host, nullptr, nullptr, nullptr);
}

std::vector<std::string> Words() {
  std::vector<std::string> words;
  words.reserve(kItems);
  std::uint32_t seed = 12345;
  for (int i = 0; i < kItems; ++i) {
    seed = seed * 1664525u + 1013904223u;
    std::string w("item ");
    w += std::to_string(seed % 1000000);
    w += ' ';
    w += std::to_string(i);
    words.push_back(std::move(w));
  }
  return words;
}

void Fill(HWND list, const std::vector<std::string>& words) {
  SendMessage(list, WM_SETREDRAW, FALSE, 0);
  for (const std::string& w : words) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  SendMessage(list, WM_SETREDRAW, TRUE, 0);
}

void BM_ListFill(benchmark::State& state) {
  FreshDesktop();
  std::vector<std::string> words = Words();
  DWORD style = state.range(0) ? LBS_SORT : 0;
  for (auto _ : state) {
    HWND list = MakeList(style);
    Fill(list, words);
    RunQueue();
    state.PauseTiming();
    DestroyWindow(list);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * kItems);
  state.SetLabel(state.range(0) ? "sorted" : "in order");
}
BENCHMARK(BM_ListFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ListScrollToEnd(benchmark::State& state) {
  FreshDesktop();
  HWND list = MakeList(LBS_EXTENDEDSEL);
  Fill(list, Words());
  RunQueue();
  SetFocus(list);
  for (auto _ : state) {
    if (state.range(0)) {
      SendMessage(list, WM_KEYDOWN, VK_END, 0);
      RunQueue();
      SendMessage(list, WM_KEYDOWN, VK_HOME, 0);
    } else {
      SendMessage(list, LB_SETTOPINDEX, kItems - 1, 0);
      RunQueue();
      SendMessage(list, LB_SETTOPINDEX, 0, 0);
    }
    RunQueue();
  }
  state.SetLabel(state.range(0) ? "End key and back, with paints" : "LB_SETTOPINDEX and back, with paints");
}
BENCHMARK(BM_ListScrollToEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ListSelectAll(benchmark::State& state) {
  FreshDesktop();
  HWND list = MakeList(LBS_EXTENDEDSEL);
  Fill(list, Words());
  RunQueue();
  SetFocus(list);
  for (auto _ : state) {
    if (state.range(0)) {
      SendMessage(list, LB_SELITEMRANGEEX, 0, kItems - 1);
    } else {
      SendMessage(list, LB_SETSEL, TRUE, -1);
    }
    RunQueue();
    benchmark::DoNotOptimize(SendMessage(list, LB_GETSELCOUNT, 0, 0));
    state.PauseTiming();
    SendMessage(list, LB_SETSEL, FALSE, -1);
    RunQueue();
    state.ResumeTiming();
  }
  state.SetLabel(state.range(0) ? "LB_SELITEMRANGEEX 0..n-1" : "LB_SETSEL -1");
}
BENCHMARK(BM_ListSelectAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ListPaint(benchmark::State& state) {
  FreshDesktop();
  HWND list = MakeList(LBS_EXTENDEDSEL);
  Fill(list, Words());
  SendMessage(list, LB_SETSEL, TRUE, -1);
  SendMessage(list, LB_SETTOPINDEX, kItems / 2, 0);
  RunQueue();
  for (auto _ : state) {
    InvalidateRect(list, nullptr, TRUE);
    RunQueue();
  }
}
BENCHMARK(BM_ListPaint)->Unit(benchmark::kMicrosecond);

void BM_ComboFillAndDrop(benchmark::State& state) {
  FreshDesktop();
  std::vector<std::string> words = Words();
  HWND parent = MakeHost();
  for (auto _ : state) {
    HWND combo = CreateWindowEx(0, kComboBoxClass, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL,
                                10, 10, 200, 300, parent, nullptr, nullptr, nullptr);
    for (const std::string& w : words) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    SendMessage(combo, CB_SETCURSEL, kItems - 1, 0);
    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RunQueue();
    SendMessage(combo, CB_SHOWDROPDOWN, FALSE, 0);
    state.PauseTiming();
    DestroyWindow(combo);
    RunQueue();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * kItems);
}
BENCHMARK(BM_ComboFillAndDrop)->Unit(benchmark::kMillisecond);

// The framework's list box filled through its Items, inside BeginUpdate/EndUpdate.
void BM_TListBoxItems(benchmark::State& state) {
  FreshDesktop();
  std::vector<std::string> words = Words();
  for (auto _ : state) {
    auto* form = NewComponent<TForm>(Application());
    auto* list = NewComponent<TListBox>(form);
    list->SetBounds(10, 10, 200, 300);
    list->SetParent(form);
    list->SetSorted(state.range(0) != 0);
    form->Show();
    TStrings* items = list->GetItems();
    items->BeginUpdate();
    for (const std::string& w : words) items->Add(w);
    items->EndUpdate();
    list->SetItemIndex(kItems - 1);
    RunQueue();
    state.PauseTiming();
    FreeObject(form);
    RunQueue();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * kItems);
  state.SetLabel(state.range(0) ? "sorted" : "in order");
  ResetApplication();
}
BENCHMARK(BM_TListBoxItems)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
