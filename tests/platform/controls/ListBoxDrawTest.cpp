// How a list box looks and what it asks its owner when the owner draws: selected rows in the
// highlight colour, the focus rectangle, owner-draw messages only for the rows in view,
// items measured one by one, columns and tab stops.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "platform/controls/ListBox.h"
#include "support/UiDriver.h"

namespace {

// "prefix" followed by n (built without literal + string, which GCC 12 warns about at -O3).
std::string Numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

constexpr int kId = 9;

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

RECT ItemRect(HWND list, int index) {
  RECT r{};
  SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

// How many pixels of a row of the item's rectangle differ from a colour.
int CountNot(UiDriver& ui, HWND list, const RECT& r, int y, std::uint32_t colour) {
  int n = 0;
  for (int x = r.left; x < r.right; ++x) {
    POINT p = UiDriver::At(list, x, y);
    if (ui.Pixel(p.x, p.y) != colour) ++n;
  }
  return n;
}

TEST(ListBoxLook, SelectedRowIsHighlightedAndTheFocusedOneDotted) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 10, 150, 100, kId);
  for (const char* t : {"alpha", "beta", "gamma"}) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessage(list, LB_SETCURSEL, 1, 0);
  ui.RunUntilIdle();
  std::uint32_t window = Rgb(GetSysColor(COLOR_WINDOW)), highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));
  RECT selected = ItemRect(list, 1), plain = ItemRect(list, 2);
  // The selected row: highlight from edge to edge, with text in another colour inside it.
  POINT right = UiDriver::At(list, selected.right - 3, selected.top + 1);
  EXPECT_EQ(ui.Pixel(right.x, right.y), highlight);
  int textPixels = 0;
  for (int y = selected.top; y < selected.bottom; ++y) textPixels += CountNot(ui, list, selected, y, highlight);
  EXPECT_GT(textPixels, 10);
  // An unselected row: window colour with text, no highlight.
  POINT plainRight = UiDriver::At(list, plain.right - 3, plain.top + 1);
  EXPECT_EQ(ui.Pixel(plainRight.x, plainRight.y), window);
  // Below the last row: the window colour only.
  RECT empty{0, plain.bottom + 2, plain.right, plain.bottom + 3};
  EXPECT_EQ(CountNot(ui, list, empty, empty.top, window), 0);

  // Focused: the dotted rectangle goes round the selected row (alternate pixels of its edge).
  SetFocus(list);
  ui.RunUntilIdle();
  int changed = 0;
  for (int x = selected.left; x < selected.left + 20; ++x) {
    POINT p = UiDriver::At(list, x, selected.top);
    if (ui.Pixel(p.x, p.y) != highlight) ++changed;
  }
  EXPECT_GE(changed, 8);
  EXPECT_LE(changed, 12);
  SetFocus(host.window);
  ui.RunUntilIdle();
  POINT edge = UiDriver::At(list, selected.left + 1, selected.top);
  EXPECT_EQ(ui.Pixel(edge.x, edge.y), highlight);

  // Disabled: grey text on the window colour.
  EnableWindow(list, FALSE);
  ui.RunUntilIdle();
  std::set<std::uint32_t> colours;
  for (int y = plain.top; y < plain.bottom; ++y)
    for (int x = plain.left; x < plain.left + 40; ++x) {
      POINT p = UiDriver::At(list, x, y);
      colours.insert(ui.Pixel(p.x, p.y));
    }
  EXPECT_TRUE(colours.count(window));
}

struct OwnerLog {
  std::vector<int> drawn;
  std::vector<ULONG_PTR> deleted;
  int measured = 0;
  int compared = 0;
};

void AnswerOwnerDraw(ControlHost& host, OwnerLog& log) {
  host.OnMessage([&log](UINT m, WPARAM, LPARAM l, LRESULT& result) {
    switch (m) {
      case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        ++log.measured;
        // Item data 1..: rows grow with their data.
        mis->itemHeight = static_cast<UINT>(10 + 5 * (mis->itemData % 4));
        result = TRUE;
        return true;
      }
      case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        log.drawn.push_back(static_cast<int>(dis->itemID));
        FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_INFOBK));
        result = TRUE;
        return true;
      }
      case WM_DELETEITEM:
        log.deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(l)->itemData);
        result = TRUE;
        return true;
      case WM_COMPAREITEM: {
        auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(l);
        ++log.compared;
        result = cis->itemData1 < cis->itemData2 ? -1 : cis->itemData1 > cis->itemData2 ? 1 : 0;
        return true;
      }
    }
    return false;
  });
}

TEST(ListBoxOwnerDraw, VariableRowsAreMeasuredOnceAndOnlyRowsInViewAreDrawn) {
  UiDriver ui;
  ControlHost host;
  OwnerLog log;
  AnswerOwnerDraw(host, log);
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | WS_VSCROLL, 10, 10, 150, 100, kId);
  for (ULONG_PTR data = 0; data < 1000; ++data) SendMessage(list, LB_ADDSTRING, 0, static_cast<LPARAM>(data));
  EXPECT_EQ(log.measured, 1000);
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 1, 0), 15);
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 3, 0), 25);
  // Without strings, the text of an item is its data.
  ULONG_PTR data = 0;
  EXPECT_EQ(SendMessage(list, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(&data)), static_cast<LRESULT>(sizeof data));
  EXPECT_EQ(data, 5u);
  EXPECT_EQ(SendMessage(list, LB_FINDSTRING, static_cast<WPARAM>(-1), 7), 7);
  // Rows stack by their own heights: 10, 15, 20, 25, 10...
  RECT r = ItemRect(list, 3);
  EXPECT_EQ(r.top, 45);
  EXPECT_EQ(r.bottom, 70);
  EXPECT_EQ(SendMessage(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 50)), 3);
  log.drawn.clear();
  InvalidateRect(list, nullptr, TRUE);
  ui.RunUntilIdle();
  // 10+15+20+25+10+15 = 95 < 100: the seventh row shows in part.
  EXPECT_EQ(log.drawn, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  SendMessage(list, LB_SETTOPINDEX, 990, 0);
  log.drawn.clear();
  ui.RunUntilIdle();
  EXPECT_LE(log.drawn.size(), 8u);
  EXPECT_GE(*std::min_element(log.drawn.begin(), log.drawn.end()), 990);

  SendMessage(list, LB_DELETESTRING, 2, 0);
  EXPECT_EQ(log.deleted, (std::vector<ULONG_PTR>{2}));
  DestroyWindow(list);
  EXPECT_EQ(log.deleted.size(), 1000u);
}

TEST(ListBoxOwnerDraw, SortedListsWithoutStringsAskTheOwnerToCompare) {
  UiDriver ui;
  ControlHost host;
  OwnerLog log;
  AnswerOwnerDraw(host, log);
  HWND list = host.Child(kListBoxClass, LBS_OWNERDRAWFIXED | LBS_SORT, 10, 10, 150, 100, kId);
  for (ULONG_PTR d : {50u, 10u, 30u, 20u, 40u}) SendMessage(list, LB_ADDSTRING, 0, static_cast<LPARAM>(d));
  EXPECT_GT(log.compared, 0);
  std::vector<LRESULT> order;
  for (int i = 0; i < 5; ++i) order.push_back(SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
  EXPECT_EQ(order, (std::vector<LRESULT>{10, 20, 30, 40, 50}));
  // Fixed rows take the height the owner gave at creation.
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 10);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(log.deleted.size(), 5u);
}

TEST(ListBoxLayout, ColumnsFillTopToBottomThenLeftToRight) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_MULTICOLUMN | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 10, 10, 200,
                         66, kId);
  for (int i = 0; i < 30; ++i)
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((Numbered("c", i)).c_str()));
  EXPECT_EQ(SendMessage(list, LB_SETCOLUMNWIDTH, 50, 0), LB_OKAY);
  int h = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  RECT c;
  GetClientRect(list, &c);
  int rows = c.bottom / h;
  RECT r = ItemRect(list, rows + 1);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, h);
  EXPECT_EQ(SendMessage(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(120, 2)), 2 * rows);
  SetFocus(list);
  SendMessage(list, LB_SETCURSEL, 0, 0);
  ui.Press(VK_RIGHT);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), rows);
  ui.Press(VK_END);
  // The last column comes into view: the top index is the first item of a column.
  LRESULT top = SendMessage(list, LB_GETTOPINDEX, 0, 0);
  EXPECT_GT(top, 0);
  EXPECT_EQ(top % rows, 0);
}

TEST(ListBoxLayout, TabStopsPlaceTheTextAfterEachTab) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, 10, 10, 250, 60, kId);
  SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a\tb"));
  int stop[] = {120};  // dialog units: 30 average characters
  EXPECT_EQ(SendMessage(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stop)), TRUE);
  ui.RunUntilIdle();
  RECT r = ItemRect(list, 0);
  std::uint32_t window = Rgb(GetSysColor(COLOR_WINDOW));
  // Ink left of the first character's cell, none in the gap, ink again from the stop on.
  std::vector<int> inkColumns;
  for (int x = 0; x < r.right; ++x)
    for (int y = r.top; y < r.bottom; ++y) {
      POINT p = UiDriver::At(list, x, y);
      if (ui.Pixel(p.x, p.y) != window) {
        inkColumns.push_back(x);
        break;
      }
    }
  ASSERT_FALSE(inkColumns.empty());
  EXPECT_LT(inkColumns.front(), 12);
  auto gap = std::adjacent_find(inkColumns.begin(), inkColumns.end(), [](int a, int b) { return b - a > 20; });
  ASSERT_NE(gap, inkColumns.end());
  EXPECT_GE(*(gap + 1), 40);
}

}  // namespace
