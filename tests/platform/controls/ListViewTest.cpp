#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "NotifyHost.h"
#include "platform/controls/ListView.h"

namespace {

class ListViewTest : public ::testing::Test {
protected:
  void Make(DWORD style) {
    list = host.Make(WC_LISTVIEW, style, 300, 200);
    Column("Name", 120);
    Column("Size", 60, LVCFMT_RIGHT);
  }
  void Column(const char* text, int width, int format = LVCFMT_LEFT) {
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = const_cast<char*>(text);
    c.cx = width;
    c.fmt = format;
    SendMessage(list, LVM_INSERTCOLUMN, columns++, reinterpret_cast<LPARAM>(&c));
  }
  int Add(const char* text, const char* size = "", int at = 1 << 30, LPARAM param = 0) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = at;
    item.pszText = const_cast<char*>(text);
    item.lParam = param;
    const int index = static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEM sub;
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(size);
    SendMessage(list, LVM_SETITEMTEXT, index, reinterpret_cast<LPARAM>(&sub));
    return index;
  }
  std::string Text(int index, int subItem = 0) {
    char buffer[64] = "";
    LVITEM item;
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessage(list, LVM_GETITEMTEXT, index, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  std::string Texts() {
    std::string out;
    const int count = static_cast<int>(SendMessage(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (i) out += ' ';
      out += Text(i);
    }
    return out;
  }
  // The selected items' texts, and the focused one's after a bar.
  std::string Selection() {
    std::string out;
    for (int i = -1; (i = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
      out += out.empty() ? "" : " ";
      out += Text(i);
    }
    const int focused = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    out += '|';
    if (focused >= 0) out += Text(focused);
    return out;
  }
  RECT ItemRect(int index, int part) {
    RECT r{};
    r.left = part;
    SendMessage(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  void Fill() {
    for (const char* name : {"alpha", "beta", "gamma", "delta", "epsilon"}) Add(name, "1");
    host.Take();
  }

  NotifyHost host;
  HWND list = nullptr;
  int columns = 0;
};

TEST_F(ListViewTest, ItemsAndSubItemsGoWhereTheyAreInserted) {
  Make(LVS_REPORT);
  Add("b", "2");
  Add("d", "4");
  Add("a", "1", 0);
  Add("c", "3", 2);
  Add("e", "5", -7);  // clamped to the start
  EXPECT_EQ(Texts(), "e a b c d");
  EXPECT_EQ(Text(3, 1), "3");
  EXPECT_EQ(Text(3, 5), "");  // a column never filled
  EXPECT_TRUE(SendMessage(list, LVM_DELETEITEM, 0, 0));
  EXPECT_FALSE(SendMessage(list, LVM_DELETEITEM, 10, 0));
  EXPECT_EQ(Texts(), "a b c d");
  EXPECT_EQ(host.Take().back(), LVN_DELETEITEM);
}

TEST_F(ListViewTest, SortedStylesPlaceItemsByTextWithoutRegardToCase) {
  Make(LVS_REPORT | LVS_SORTASCENDING);
  for (const char* name : {"pear", "Apple", "fig", "apple2", "Banana"}) Add(name);
  EXPECT_EQ(Texts(), "Apple apple2 Banana fig pear");
}

TEST_F(ListViewTest, FindAndNextItemSearchFromTheGivenIndex) {
  Make(LVS_REPORT);
  Fill();
  LVFINDINFO find;
  find.flags = LVFI_STRING;
  find.psz = "GAMMA";
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, -1, reinterpret_cast<LPARAM>(&find)), 2);
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 2, reinterpret_cast<LPARAM>(&find)), -1);
  find.flags = LVFI_STRING | LVFI_WRAP;
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 2, reinterpret_cast<LPARAM>(&find)), 2);
  find.flags = LVFI_STRING | LVFI_PARTIAL;
  find.psz = "de";
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, -1, reinterpret_cast<LPARAM>(&find)), 3);

  LVITEM select;
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  SendMessage(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 1);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 1, LVNI_SELECTED), 3);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 3, LVNI_SELECTED), -1);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 0, LVNI_BELOW), 1);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 0, LVNI_ABOVE), -1);
}

TEST_F(ListViewTest, StateChangesAskTheParentAndAVetoHolds) {
  Make(LVS_REPORT);
  Fill();
  LVITEM select;
  select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ASSERT_TRUE(SendMessage(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select)));
  EXPECT_EQ(host.Take(), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}));
  EXPECT_EQ(Selection(), "gamma|gamma");
  host.Answer(LVN_ITEMCHANGING, TRUE);
  EXPECT_FALSE(SendMessage(list, LVM_SETITEMSTATE, 4, reinterpret_cast<LPARAM>(&select)));
  EXPECT_EQ(Selection(), "gamma|gamma");
  host.Answer(LVN_ITEMCHANGING, FALSE);
  // -1 reaches every item; the count of selected items follows.
  select.stateMask = LVIS_SELECTED;
  SendMessage(list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 5);
  SendMessage(list, LVM_DELETEITEM, 0, 0);
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 4);
}

TEST_F(ListViewTest, KeysAndClicksSelectAsInAnExplorerList) {
  Make(LVS_REPORT | LVS_SHOWSELALWAYS);
  Fill();
  const RECT first = ItemRect(0, LVIR_LABEL);
  const int row = static_cast<int>(first.bottom - first.top);
  auto click = [&](int index) {
    POINT p = host.At(first.left + 5, first.top + index * row + row / 2);
    host.ui.Click(p.x, p.y);
  };
  struct Step {
    std::function<void()> act;
    const char* selection;
  };
  const Step steps[] = {
      {[&] { click(1); }, "beta|beta"},
      {[&] { host.ui.Press(VK_DOWN); }, "gamma|gamma"},
      {[&] { host.ui.KeyDown(VK_SHIFT); host.ui.Press(VK_DOWN); host.ui.Press(VK_DOWN); host.ui.KeyUp(VK_SHIFT); },
       "gamma delta epsilon|epsilon"},
      {[&] { host.ui.KeyDown(VK_CONTROL); click(0); host.ui.KeyUp(VK_CONTROL); }, "alpha gamma delta epsilon|alpha"},
      {[&] { host.ui.KeyDown(VK_CONTROL); click(3); host.ui.KeyUp(VK_CONTROL); }, "alpha gamma epsilon|delta"},
      {[&] { host.ui.KeyDown(VK_SHIFT); click(1); host.ui.KeyUp(VK_SHIFT); }, "beta gamma delta|beta"},
      {[&] { host.ui.Press(VK_END); }, "epsilon|epsilon"},
      {[&] { host.ui.Press(VK_HOME); }, "alpha|alpha"},
      {[&] { host.ui.Type("d"); }, "delta|delta"},
      {[&] { POINT p = host.At(first.left + 5, first.top + 6 * row); host.ui.Click(p.x, p.y); }, "|delta"},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(Selection(), steps[i].selection) << "step " << i;
  }
}

TEST_F(ListViewTest, ASingleSelectionListKeepsOneItem) {
  Make(LVS_REPORT | LVS_SINGLESEL);
  Fill();
  LVITEM select;
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  SendMessage(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  host.ui.KeyDown(VK_SHIFT);
  host.ui.Press(VK_DOWN);
  host.ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

TEST_F(ListViewTest, TheHeaderReportsColumnClicksAndItsDividersSizeColumns) {
  Make(LVS_REPORT);
  Fill();
  std::vector<int> clicked;
  host.OnNotify([&](const NMHDR& h, LRESULT&) {
    if (h.code == LVN_COLUMNCLICK) clicked.push_back(reinterpret_cast<const NMLISTVIEW&>(h).iSubItem);
  });
  POINT size = host.At(150, 8);
  host.ui.Click(size.x, size.y);
  EXPECT_EQ(clicked, std::vector<int>{1});
  // Pressing and leaving the column before the release clicks nothing.
  host.ui.Drag(host.At(40, 8), host.At(40, 100));
  EXPECT_EQ(clicked, std::vector<int>{1});

  host.ui.Drag(host.At(120, 8), host.At(160, 8));
  EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 160);
  EXPECT_EQ(clicked, std::vector<int>{1});

  SendMessage(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0));
  const int fitted = static_cast<int>(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0));
  EXPECT_GT(fitted, static_cast<int>(SendMessage(list, LVM_GETSTRINGWIDTH, 0, reinterpret_cast<LPARAM>("epsilon"))));
  EXPECT_LT(fitted, 100);
}

TEST_F(ListViewTest, SortItemsOrdersByTheCallersComparison) {
  Make(LVS_REPORT);
  Add("one", "", 99, 1);
  Add("three", "", 99, 3);
  Add("two", "", 99, 2);
  LVITEM focus;
  focus.stateMask = focus.state = LVIS_FOCUSED;
  SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
  const PFNLVCOMPARE descending = [](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); };
  SendMessage(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(descending));
  EXPECT_EQ(Texts(), "three two one");
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);  // the focus goes with its item
}

TEST_F(ListViewTest, HitTestsAndRectanglesAgreeInEveryView) {
  struct Case {
    DWORD view;
    const char* name;
  };
  for (const Case& c : {Case{LVS_REPORT, "report"}, Case{LVS_LIST, "list"}, Case{LVS_SMALLICON, "small icons"},
                        Case{LVS_ICON, "icons"}}) {
    NotifyHost own;
    HWND view = own.Make(WC_LISTVIEW, c.view, 300, 200);
    LVCOLUMN column;
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessage(view, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 40; ++i) {
      std::string text = "item ";
      text += std::to_string(i);
      LVITEM item;
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<char*>(text.c_str());
      SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (int i : {0, 1, 5}) {
      RECT label{};
      label.left = LVIR_LABEL;
      ASSERT_TRUE(SendMessage(view, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&label))) << c.name;
      LVHITTESTINFO hit;
      hit.pt = POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
      EXPECT_EQ(SendMessage(view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), i) << c.name;
      EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL) << c.name;
    }
    // The last item comes into view when asked.
    SendMessage(view, LVM_ENSUREVISIBLE, 39, FALSE);
    RECT last{};
    last.left = LVIR_BOUNDS;
    SendMessage(view, LVM_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&last));
    EXPECT_GE(last.top, 0) << c.name;
    EXPECT_LE(last.bottom, 200) << c.name;
    EXPECT_LE(last.right, 300) << c.name;
    EXPECT_GE(SendMessage(view, LVM_GETTOPINDEX, 0, 0), 1) << c.name;
  }
}

TEST_F(ListViewTest, DeleteAllTellsEachItemUnlessTheParentDeclines) {
  Make(LVS_REPORT);
  Fill();
  SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
  std::vector<UINT> codes = host.Take();
  EXPECT_EQ(codes.front(), LVN_DELETEALLITEMS);
  EXPECT_EQ(codes.size(), 6u);
  Fill();
  host.Answer(LVN_DELETEALLITEMS, TRUE);
  SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(host.Take(), std::vector<UINT>{LVN_DELETEALLITEMS});
  EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, LabelsAreEditedInPlace) {
  Make(LVS_REPORT | LVS_EDITLABELS);
  Fill();
  host.Answer(LVN_ENDLABELEDIT, TRUE);
  HWND edit = reinterpret_cast<HWND>(SendMessage(list, LVM_EDITLABEL, 2, 0));
  ASSERT_NE(edit, nullptr);
  host.ui.Type("zeta");
  host.ui.Press(VK_RETURN);
  EXPECT_EQ(Text(2), "zeta");
}

TEST_F(ListViewTest, SelectedRowsArePaintedInTheHighlightColour) {
  Make(LVS_REPORT | LVS_SHOWSELALWAYS);
  Fill();
  SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  LVITEM select;
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  host.ui.RunUntilIdle();
  const auto colour = [](int index) {
    const COLORREF c = GetSysColor(index);
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  };
  const RECT selected = ItemRect(1, LVIR_BOUNDS);
  const RECT plain = ItemRect(2, LVIR_BOUNDS);
  // In the second column, where full-row selection reaches.
  POINT inSelected = host.At(125, selected.top + 1);
  POINT inPlain = host.At(125, plain.top + 1);
  EXPECT_EQ(host.ui.Pixel(inSelected.x, inSelected.y), colour(COLOR_HIGHLIGHT));
  EXPECT_EQ(host.ui.Pixel(inPlain.x, inPlain.y), colour(COLOR_WINDOW));
  // The header is a row of raised buttons above the items.
  POINT header = host.At(60, 3);
  EXPECT_EQ(host.ui.Pixel(header.x, header.y), colour(COLOR_BTNFACE));
  EXPECT_GT(selected.top, 10);
}

}  // namespace
