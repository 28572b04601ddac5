// A list view of 100,000 items: filled, scrolled to its end (painted there), every item
// selected; and the same list filled through the framework's TListView.

#include <benchmark/benchmark.h>

#include <string>

#include "BenchDesktop.h"
#include "platform/controls/ListView.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ListView.h"

namespace {

constexpr int kItems = 100000;

HWND MakeList(HWND& parent) {
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BenchParent";
  RegisterClass(&wc);
  parent = CreateWindowEx(0, "BenchParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 640, 480, parent, nullptr,
                             nullptr, nullptr);
  const char* titles[] = {"Name", "Size", "Type"};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMN column;
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(titles[c]);
    column.cx = 150;
    SendMessage(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
  return list;
}

void Fill(HWND list) {
  std::string text;
  for (int i = 0; i < kItems; ++i) {
    text = "file";
    text += std::to_string(i);
    text += ".png";
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = text.data();
    SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    std::string size = std::to_string(i * 7 % 100000);
    LVITEM sub;
    sub.iSubItem = 1;
    sub.pszText = size.data();
    SendMessage(list, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&sub));
  }
}

void BM_ListViewFill(benchmark::State& state) {
  FreshDesktop();
  for (auto _ : state) {
    HWND parent;
    HWND list = MakeList(parent);
    Fill(list);
    RunQueue();
    state.PauseTiming();
    DestroyWindow(parent);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListViewFill)->Unit(benchmark::kMillisecond);

void BM_ListViewScrollToEnd(benchmark::State& state) {
  FreshDesktop();
  HWND parent;
  HWND list = MakeList(parent);
  Fill(list);
  RunQueue();
  for (auto _ : state) {
    SendMessage(list, LVM_ENSUREVISIBLE, kItems - 1, FALSE);
    RunQueue();
    SendMessage(list, LVM_ENSUREVISIBLE, 0, FALSE);
    RunQueue();
  }
  DestroyWindow(parent);
}
BENCHMARK(BM_ListViewScrollToEnd)->Unit(benchmark::kMillisecond);

void BM_ListViewSelectAll(benchmark::State& state) {
  FreshDesktop();
  HWND parent;
  HWND list = MakeList(parent);
  Fill(list);
  RunQueue();
  for (auto _ : state) {
    LVITEM select;
    select.stateMask = LVIS_SELECTED;
    select.state = LVIS_SELECTED;
    SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&select));
    RunQueue();
    select.state = 0;
    SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&select));
    RunQueue();
  }
  DestroyWindow(parent);
}
BENCHMARK(BM_ListViewSelectAll)->Unit(benchmark::kMillisecond);

void BM_TListViewFill(benchmark::State& state) {
  FreshDesktop();
  for (auto _ : state) {
    auto* form = NewComponent<TForm>(Application());
    form->SetBounds(0, 0, 640, 480);
    auto* view = NewComponent<TListView>(form);
    view->SetParent(form);
    view->SetAlign(alClient);
    view->SetViewStyle(vsReport);
    view->GetColumns()->Add()->SetCaption("Name");
    form->Show();
    view->GetItems()->BeginUpdate();
    for (int i = 0; i < kItems; ++i) {
      std::string caption = "file";
      caption += std::to_string(i);
      view->GetItems()->Add()->SetCaption(caption);
    }
    view->GetItems()->EndUpdate();
    RunQueue();
    state.PauseTiming();
    FreeObject(form);
    RunQueue();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TListViewFill)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
