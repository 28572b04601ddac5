// The window scroll bars of the controls that scroll: each bar comes when the content passes
// the view and goes when it fits (an edit's stays, disabled), its range, page and position
// follow the view through keys, the wheel and messages, and dragging its thumb scrolls the
// content, past 65535 rows too.

#include <gtest/gtest.h>

#include <string>

#include "NotifyHost.h"
#include "WindowBars.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"

namespace {

// Drags a bar's thumb along its track by a number of pixels (the far end when large).
void DragThumb(NotifyHost& host, HWND window, int bar, int along) {
  ThumbSpot spot = FindThumb(window, bar);
  ASSERT_GT(spot.track, 0) << "no thumb";
  host.ui.Drag(spot.centre, spot.Moved(along), 6);
}

// ---- list box ----

LRESULT AddString(HWND list, const char* text) {
  return SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

TEST(ListBoxScrollBar, ComesWithItemsGoesWithoutAndTheThumbScrolls) {
  NotifyHost host;
  HWND list = host.Make(kListBoxClass, WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 150, 100);
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{}) << "empty";
  for (int i = 0; i < 3; ++i) AddString(list, "few");
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{}) << "all fit";
  for (int i = 0; i < 37; ++i) AddString(list, "many");
  RECT c;
  GetClientRect(list, &c);
  const int page = static_cast<int>(c.bottom / SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(page, 0);
  ASSERT_LT(page, 40);
  EXPECT_EQ(ReadBar(list, SB_VERT), (BarView{true, true, 39, page, 0}));
  // Keys and the wheel move the thumb with the top row.
  SendMessage(list, LB_SETCURSEL, 0, 0);
  host.ui.Press(VK_END);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 40 - page);
  POINT p = host.At(10, 10);
  host.ui.Wheel(p.x, p.y, WHEEL_DELTA);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, SendMessage(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 40 - page - 3);
  // The thumb dragged to the top shows the first row, to the bottom the last page.
  DragThumb(host, list, SB_VERT, -1000);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  DragThumb(host, list, SB_VERT, 1000);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 40 - page);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 40 - page);
  // Emptied, the bar goes; refilled, it comes back.
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{});
  for (int i = 0; i < 40; ++i) AddString(list, "again");
  EXPECT_EQ(ReadBar(list, SB_VERT), (BarView{true, true, 39, page, 0}));
}

TEST(ListBoxScrollBar, ADraggedThumbReachesRowsPastSixteenBits) {
  NotifyHost host;
  HWND list = host.Make(kListBoxClass, WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 150, 100);
  constexpr int kRows = 70000;
  SendMessage(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kRows; ++i) AddString(list, "row");
  SendMessage(list, WM_SETREDRAW, TRUE, 0);
  const int page = ReadBar(list, SB_VERT).page;
  ASSERT_EQ(ReadBar(list, SB_VERT), (BarView{true, true, kRows - 1, page, 0}));
  DragThumb(host, list, SB_VERT, 1000);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), kRows - page);
  // A little way back from the bottom: still past 65535.
  DragThumb(host, list, SB_VERT, -FindThumb(list, SB_VERT).track / 20);
  const LRESULT top = SendMessage(list, LB_GETTOPINDEX, 0, 0);
  EXPECT_GT(top, 65535);
  EXPECT_LT(top, kRows - page);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, top);
  // A program's own thumb message still goes where its 16 bits say.
  SendMessage(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40000), 0);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 40000);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 40000);
}

// ---- tree view ----

HTREEITEM AddNode(HWND tree, const char* text, HTREEITEM parent = TVI_ROOT) {
  TVINSERTSTRUCT insert;
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The row shown at the top.
int TopRow(HWND tree) {
  auto next = [tree](UINT relation, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
  };
  HTREEITEM top = next(TVGN_FIRSTVISIBLE, nullptr);
  int row = 0;
  for (HTREEITEM at = next(TVGN_ROOT, nullptr); at && at != top; at = next(TVGN_NEXTVISIBLE, at)) ++row;
  return row;
}

TEST(TreeViewScrollBar, FollowsTheRowsShownKeysWheelAndThumb) {
  NotifyHost host;
  HWND tree = host.Make(WC_TREEVIEW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 200, 120);
  HTREEITEM folder = AddNode(tree, "folder");
  for (int i = 0; i < 30; ++i) AddNode(tree, "leaf", folder);
  AddNode(tree, "last");
  EXPECT_EQ(ReadBar(tree, SB_VERT), BarView{}) << "two rows fit";
  // Expanded, 32 rows pass the view.
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
  const int page = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
  ASSERT_GT(page, 1);
  EXPECT_EQ(ReadBar(tree, SB_VERT), (BarView{true, true, 31, page, 0}));
  // The visible count did not change when the bar came: the bar takes width, not height.
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
  host.ui.Press(VK_END);
  EXPECT_EQ(ReadBar(tree, SB_VERT).pos, 32 - page);
  EXPECT_EQ(TopRow(tree), 32 - page);
  POINT p = host.At(20, 20);
  host.ui.Wheel(p.x, p.y, WHEEL_DELTA);
  EXPECT_EQ(ReadBar(tree, SB_VERT).pos, 32 - page - 3);
  EXPECT_EQ(TopRow(tree), 32 - page - 3);
  DragThumb(host, tree, SB_VERT, -1000);
  EXPECT_EQ(TopRow(tree), 0);
  EXPECT_EQ(ReadBar(tree, SB_VERT).pos, 0);
  DragThumb(host, tree, SB_VERT, 1000);
  EXPECT_EQ(TopRow(tree), 32 - page);
  SendMessage(tree, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4), 0);
  EXPECT_EQ(TopRow(tree), 4);
  EXPECT_EQ(ReadBar(tree, SB_VERT).pos, 4);
  // Collapsed again, everything fits: the bar goes and the view is back at the top.
  SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(folder));
  EXPECT_EQ(ReadBar(tree, SB_VERT), BarView{});
  EXPECT_EQ(TopRow(tree), 0);
}

TEST(TreeViewScrollBar, NoScrollStyleShowsNoBar) {
  NotifyHost host;
  HWND tree = host.Make(WC_TREEVIEW, TVS_NOSCROLL, 200, 60);
  for (int i = 0; i < 20; ++i) AddNode(tree, "row");
  EXPECT_EQ(ReadBar(tree, SB_VERT), BarView{});
  SendMessage(tree, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(TopRow(tree), 0);  // it still scrolls by message
}

// ---- list view ----

void AddColumn(HWND list, int width) {
  LVCOLUMN c;
  c.mask = LVCF_TEXT | LVCF_WIDTH;
  c.pszText = const_cast<char*>("column");
  c.cx = width;
  SendMessage(list, LVM_INSERTCOLUMN, 1 << 20, reinterpret_cast<LPARAM>(&c));
}

void AddItems(HWND list, int count) {
  for (int i = 0; i < count; ++i) {
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = 1 << 30;
    item.pszText = const_cast<char*>("item");
    SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
}

int TopIndex(HWND list) { return static_cast<int>(SendMessage(list, LVM_GETTOPINDEX, 0, 0)); }

// The report's left edge: the first column's left in client coordinates.
int ReportLeft(HWND list) {
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r.left;
}

TEST(ListViewScrollBar, ReportScrollsRowsDownAndPixelsAcross) {
  NotifyHost host;
  HWND list = host.Make(WC_LISTVIEW, LVS_REPORT, 250, 150);
  AddColumn(list, 100);
  AddItems(list, 2);
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{});
  EXPECT_EQ(ReadBar(list, SB_HORZ), BarView{});
  // Wider columns than the view: the sideways bar counts pixels.
  AddColumn(list, 300);
  RECT c;
  GetClientRect(list, &c);
  EXPECT_EQ(ReadBar(list, SB_HORZ), (BarView{true, true, 399, static_cast<int>(c.right), 0}));
  // More rows than the view: the bar counts rows, its page the whole rows shown.
  AddItems(list, 48);
  const int page = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
  GetClientRect(list, &c);
  EXPECT_EQ(ReadBar(list, SB_VERT), (BarView{true, true, 49, page, 0}));
  EXPECT_EQ(ReadBar(list, SB_HORZ).page, c.right) << "the vertical bar narrowed the page";
  // Keys and the wheel.
  host.ui.Press(VK_END);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 50 - page);
  EXPECT_EQ(TopIndex(list), 50 - page);
  POINT p = host.At(20, 40);
  host.ui.Wheel(p.x, p.y, WHEEL_DELTA);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, 50 - page - 3);
  EXPECT_EQ(TopIndex(list), 50 - page - 3);
  host.ui.Press(VK_RIGHT);
  EXPECT_EQ(ReadBar(list, SB_HORZ).pos, -ReportLeft(list));
  EXPECT_GT(ReadBar(list, SB_HORZ).pos, 0);
  // The thumbs.
  DragThumb(host, list, SB_VERT, -1000);
  EXPECT_EQ(TopIndex(list), 0);
  DragThumb(host, list, SB_HORZ, 1000);
  EXPECT_EQ(ReadBar(list, SB_HORZ).pos, 400 - c.right);
  EXPECT_EQ(ReportLeft(list), c.right - 400);
  SendMessage(list, WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(ReportLeft(list), 0);
  EXPECT_EQ(ReadBar(list, SB_HORZ).pos, 0);
  // Columns narrowed to fit and rows deleted: both bars go.
  SendMessage(list, LVM_SETCOLUMNWIDTH, 1, 50);
  EXPECT_EQ(ReadBar(list, SB_HORZ), BarView{});
  SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{});
}

TEST(ListViewScrollBar, ListViewScrollsColumnsAcross) {
  NotifyHost host;
  HWND list = host.Make(WC_LISTVIEW, LVS_LIST, 250, 100);
  AddItems(list, 3);
  EXPECT_EQ(ReadBar(list, SB_HORZ), BarView{});
  AddItems(list, 97);
  EXPECT_EQ(ReadBar(list, SB_VERT), BarView{}) << "a list view never scrolls down";
  const BarView bar = ReadBar(list, SB_HORZ);
  ASSERT_TRUE(bar.shown);
  const int perColumn = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0)) / bar.page;
  const int columns = (100 + perColumn - 1) / perColumn;
  EXPECT_EQ(bar, (BarView{true, true, columns - 1, bar.page, 0}));
  host.ui.Press(VK_END);
  EXPECT_EQ(ReadBar(list, SB_HORZ).pos, columns - bar.page);
  EXPECT_EQ(TopIndex(list), (columns - bar.page) * perColumn);
  DragThumb(host, list, SB_HORZ, -1000);
  EXPECT_EQ(TopIndex(list), 0);
  EXPECT_EQ(ReadBar(list, SB_HORZ).pos, 0);
}

TEST(ListViewScrollBar, ADraggedThumbReachesRowsPastSixteenBits) {
  NotifyHost host;
  HWND list = host.Make(WC_LISTVIEW, LVS_REPORT | LVS_NOCOLUMNHEADER, 150, 100);
  AddColumn(list, 100);
  constexpr int kRows = 70000;
  AddItems(list, kRows);
  const int page = ReadBar(list, SB_VERT).page;
  DragThumb(host, list, SB_VERT, 1000);
  EXPECT_EQ(TopIndex(list), kRows - page);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, kRows - page);
  DragThumb(host, list, SB_VERT, -FindThumb(list, SB_VERT).track / 20);
  const int top = TopIndex(list);
  EXPECT_GT(top, 65535);
  EXPECT_LT(top, kRows - page);
  EXPECT_EQ(ReadBar(list, SB_VERT).pos, top);
  SendMessage(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40000), 0);
  EXPECT_EQ(TopIndex(list), 40000);
}

// ---- edit ----

std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += i ? "\r\nline" : "line";
  return text;
}

int FirstLine(HWND edit) { return static_cast<int>(SendMessage(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }

TEST(EditScrollBar, StaysDisabledUntilTheTextPassesTheView) {
  NotifyHost host;
  HWND edit = host.Make("EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, 200, 100);
  EXPECT_EQ(ReadBar(edit, SB_VERT), (BarView{true, false, 0, 1, 0}));
  EXPECT_TRUE(ReadBar(edit, SB_HORZ).shown);
  EXPECT_FALSE(ReadBar(edit, SB_HORZ).enabled);
  SetWindowText(edit, Lines(40).c_str());
  const BarView v = ReadBar(edit, SB_VERT);
  EXPECT_EQ(v, (BarView{true, true, 39, v.page, 0}));
  ASSERT_GT(v.page, 1);
  ASSERT_LT(v.page, 40);
  // Keys and the wheel.
  host.ui.KeyDown(VK_CONTROL);
  host.ui.Press(VK_END);
  host.ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(FirstLine(edit), 40 - v.page);
  EXPECT_EQ(ReadBar(edit, SB_VERT).pos, 40 - v.page);
  POINT p = host.At(20, 20);
  host.ui.Wheel(p.x, p.y, -WHEEL_DELTA);
  EXPECT_EQ(FirstLine(edit), 40 - v.page) << "the wheel stops at the bar's end";
  host.ui.Wheel(p.x, p.y, WHEEL_DELTA);
  EXPECT_EQ(FirstLine(edit), 40 - v.page - 3);
  EXPECT_EQ(ReadBar(edit, SB_VERT).pos, 40 - v.page - 3);
  // The thumb.
  DragThumb(host, edit, SB_VERT, -1000);
  EXPECT_EQ(FirstLine(edit), 0);
  DragThumb(host, edit, SB_VERT, 1000);
  EXPECT_EQ(FirstLine(edit), 40 - v.page);
  SendMessage(edit, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
  EXPECT_EQ(FirstLine(edit), 5);
  EXPECT_EQ(ReadBar(edit, SB_VERT).pos, 5);
  // A long line passes the width: the sideways bar is enabled; short text disables both again.
  SetWindowText(edit, std::string(200, 'w').c_str());
  EXPECT_TRUE(ReadBar(edit, SB_HORZ).enabled);
  EXPECT_EQ(ReadBar(edit, SB_VERT), (BarView{true, false, 0, 1, 0}));
  SetWindowText(edit, "short");
  EXPECT_TRUE(ReadBar(edit, SB_HORZ).shown);
  EXPECT_FALSE(ReadBar(edit, SB_HORZ).enabled);
}

}  // namespace
