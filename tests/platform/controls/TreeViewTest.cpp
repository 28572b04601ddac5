#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "NotifyHost.h"
#include "platform/controls/TreeView.h"

namespace {

constexpr DWORD kFullStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;

class TreeViewTest : public ::testing::Test {
protected:
  void SetUp() override { tree = host.Make(WC_TREEVIEW, kFullStyle, 300, 200); }

  HTREEITEM Add(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) {
    TVINSERTSTRUCT insert;
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  std::string Text(HTREEITEM item) {
    char buffer[64] = "?";
    TVITEM tv;
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    if (!SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv))) return "(none)";
    return buffer;
  }
  HTREEITEM Get(UINT relation, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
  }
  std::string Caret() { return Get(TVGN_CARET) ? Text(Get(TVGN_CARET)) : "(none)"; }
  bool Expanded(HTREEITEM item) { return SendMessage(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) != 0; }
  // The texts of the visible rows, top to bottom.
  std::string Rows() {
    std::string out;
    for (HTREEITEM at = Get(TVGN_ROOT); at; at = Get(TVGN_NEXTVISIBLE, at)) {
      if (!out.empty()) out += ' ';
      out += Text(at);
    }
    return out;
  }
  RECT ItemRect(HTREEITEM item, bool textOnly) {
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &item, sizeof item);  // the item goes in where the rectangle comes out
    SendMessage(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // A small tree: Fruit (Apple, Banana (Red, Yellow)), Vegetables (Carrot), Nuts.
  void Grow() {
    fruit = Add("Fruit");
    apple = Add("Apple", fruit);
    banana = Add("Banana", fruit);
    red = Add("Red", banana);
    yellow = Add("Yellow", banana);
    vegetables = Add("Vegetables");
    carrot = Add("Carrot", vegetables);
    nuts = Add("Nuts");
    host.Take();
  }

  NotifyHost host;
  HWND tree = nullptr;
  HTREEITEM fruit{}, apple{}, banana{}, red{}, yellow{}, vegetables{}, carrot{}, nuts{};
};

TEST_F(TreeViewTest, ItemsAreLinkedWhereTheInsertPlaceSays) {
  HTREEITEM b = Add("b");
  HTREEITEM d = Add("d");
  Add("a", TVI_ROOT, TVI_FIRST);
  Add("c", TVI_ROOT, b);
  Add("C2", TVI_ROOT, TVI_SORT);  // sorted in without regard to case: after "c"
  Add("e", TVI_ROOT, reinterpret_cast<HTREEITEM>(0x1234));  // not a sibling: last
  EXPECT_EQ(Rows(), "a b c C2 d e");
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(Text(Get(TVGN_NEXT, b)), "c");
  EXPECT_EQ(Text(Get(TVGN_PREVIOUS, d)), "C2");
  EXPECT_EQ(Get(TVGN_PARENT, b), nullptr);
  EXPECT_EQ(Get(TVGN_CHILD, b), nullptr);
}

TEST_F(TreeViewTest, NavigationFollowsTheTreeAndOnlyExpandedItemsAreRows) {
  Grow();
  EXPECT_EQ(Rows(), "Fruit Vegetables Nuts");
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(fruit));
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(banana));
  EXPECT_EQ(Rows(), "Fruit Apple Banana Red Yellow Vegetables Nuts");
  struct Case {
    UINT relation;
    HTREEITEM from;
    const char* expected;
  };
  const Case cases[] = {
      {TVGN_ROOT, nullptr, "Fruit"},          {TVGN_CHILD, fruit, "Apple"},       {TVGN_NEXT, apple, "Banana"},
      {TVGN_PARENT, red, "Banana"},           {TVGN_NEXTVISIBLE, yellow, "Vegetables"},
      {TVGN_PREVIOUSVISIBLE, vegetables, "Yellow"}, {TVGN_LASTVISIBLE, nullptr, "Nuts"},
      {TVGN_NEXTVISIBLE, carrot, "(none)"},   // hidden: no row to go on from
      {TVGN_CHILD, TVI_ROOT, "Fruit"},
  };
  for (const Case& c : cases) {
    HTREEITEM got = Get(c.relation, c.from);
    EXPECT_EQ(got ? Text(got) : "(none)", c.expected) << "relation " << c.relation;
  }
}

TEST_F(TreeViewTest, TextIsCutToTheCallersBufferAndStaleHandlesAreRefused) {
  HTREEITEM item = Add("Strawberry");
  char small[5] = "????";
  TVITEM tv;
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = small;
  tv.cchTextMax = sizeof small;
  ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv)));
  EXPECT_STREQ(small, "Stra");

  ASSERT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
  EXPECT_EQ(Text(item), "(none)");
  EXPECT_FALSE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
  EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)));
  EXPECT_FALSE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
  TVINSERTSTRUCT orphan;
  orphan.hParent = item;
  EXPECT_EQ(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&orphan)), 0);
}

TEST_F(TreeViewTest, AProgramsExpandTellsTheParentOnlyTheFirstTime) {
  Grow();
  const auto expand = [&](UINT action, HTREEITEM item) {
    return SendMessage(tree, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item));
  };
  EXPECT_TRUE(expand(TVE_EXPAND, fruit));
  EXPECT_EQ(host.Take(), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
  EXPECT_TRUE(expand(TVE_COLLAPSE, fruit));
  EXPECT_TRUE(expand(TVE_TOGGLE, fruit));
  EXPECT_TRUE(Expanded(fruit));
  EXPECT_TRUE(host.Take().empty());
  EXPECT_FALSE(expand(TVE_EXPAND, nuts));  // nothing to expand

  // The user's expand always asks, and a parent can refuse it.
  host.Answer(TVN_ITEMEXPANDING, TRUE);
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(vegetables));
  host.Take();
  host.ui.Press(VK_RIGHT);
  EXPECT_FALSE(Expanded(vegetables));
  EXPECT_EQ(host.Take(), (std::vector<UINT>{TVN_KEYDOWN, TVN_ITEMEXPANDING}));
}

TEST_F(TreeViewTest, SelectionAsksFirstAndAVetoKeepsTheOldItem) {
  Grow();
  ASSERT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(red)));
  EXPECT_EQ(Caret(), "Red");
  EXPECT_TRUE(Expanded(fruit) && Expanded(banana));  // a hidden item is brought into view
  std::vector<UINT> codes = host.Take();
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes.back(), TVN_SELCHANGED);

  host.Answer(TVN_SELCHANGING, TRUE);
  EXPECT_FALSE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(nuts)));
  EXPECT_EQ(Caret(), "Red");
  host.Answer(TVN_SELCHANGING, FALSE);

  // Collapsing the branch that holds the caret moves it to the collapsed item.
  SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(fruit));
  EXPECT_EQ(Caret(), "Fruit");
}

TEST_F(TreeViewTest, KeysWalkExpandAndCollapseAsInAnExplorerTree) {
  Grow();
  struct Step {
    int key;
    const char* caret;
    const char* rows;
  };
  const Step steps[] = {
      {VK_DOWN, "Fruit", "Fruit Vegetables Nuts"},
      {VK_RIGHT, "Fruit", "Fruit Apple Banana Vegetables Nuts"},
      {VK_RIGHT, "Apple", "Fruit Apple Banana Vegetables Nuts"},
      {VK_DOWN, "Banana", "Fruit Apple Banana Vegetables Nuts"},
      {VK_MULTIPLY, "Banana", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_END, "Nuts", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_UP, "Vegetables", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_PRIOR, "Fruit", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_NEXT, "Nuts", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_HOME, "Fruit", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_LEFT, "Fruit", "Fruit Vegetables Nuts"},
      {VK_ADD, "Fruit", "Fruit Apple Banana Red Yellow Vegetables Nuts"},
      {VK_SUBTRACT, "Fruit", "Fruit Vegetables Nuts"},
  };
  for (const Step& s : steps) {
    host.ui.Press(s.key);
    EXPECT_EQ(Caret(), s.caret) << "after key " << s.key;
    EXPECT_EQ(Rows(), s.rows) << "after key " << s.key;
  }
  // From a child, Left goes to the parent.
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(yellow));
  host.ui.Press(VK_LEFT);
  EXPECT_EQ(Caret(), "Banana");
}

TEST_F(TreeViewTest, TypingSelectsTheNextRowWithThatBeginning) {
  Grow();
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(vegetables));
  host.ui.Type("n");
  EXPECT_EQ(Caret(), "Nuts");
  host.ui.Advance(2000);
  host.ui.Type("ca");
  EXPECT_EQ(Caret(), "Carrot");
  host.ui.Advance(2000);
  host.ui.Type("v");
  EXPECT_EQ(Caret(), "Vegetables");
}

TEST_F(TreeViewTest, TheMouseTogglesOnTheButtonAndSelectsOnTheLabel) {
  Grow();
  const int height = static_cast<int>(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0));
  const RECT label = ItemRect(fruit, true);
  const int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
  // The button sits in the column left of the label.
  TVHITTESTINFO hit;
  hit.pt = POINT{label.left - indent / 2, height / 2};
  SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.flags, TVHT_ONITEMBUTTON);
  EXPECT_EQ(hit.hItem, fruit);

  POINT button = host.At(hit.pt.x, hit.pt.y);
  host.ui.Click(button.x, button.y);
  EXPECT_TRUE(Expanded(fruit));
  EXPECT_EQ(Caret(), "(none)");  // the button does not select
  host.ui.Click(button.x, button.y);
  EXPECT_FALSE(Expanded(fruit));

  POINT onLabel = host.At(label.left + 3, height + height / 2);  // second row: Vegetables
  host.ui.Click(onLabel.x, onLabel.y);
  EXPECT_EQ(Caret(), "Vegetables");
  host.ui.DoubleClick(onLabel.x, onLabel.y);
  EXPECT_TRUE(Expanded(vegetables));

  // Nowhere below the rows; the right of a row is not its label.
  hit.pt = POINT{5, 150};
  SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.flags, TVHT_NOWHERE);
  hit.pt = POINT{280, height / 2};
  SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.flags, TVHT_ONITEMRIGHT);
}

TEST_F(TreeViewTest, LabelsAreEditedInPlaceAndTheParentDecides) {
  Grow();
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(nuts));
  host.Answer(TVN_ENDLABELEDIT, TRUE);
  host.ui.Press(VK_F2);
  HWND edit = reinterpret_cast<HWND>(SendMessage(tree, TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetFocus(), edit);
  host.ui.Type("Seeds");
  host.ui.Press(VK_RETURN);
  EXPECT_EQ(Text(nuts), "Seeds");
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(GetFocus(), tree);

  // Esc cancels; a parent that answers FALSE keeps the old text.
  host.ui.Press(VK_F2);
  host.ui.Type("Pips");
  host.ui.Press(VK_ESCAPE);
  EXPECT_EQ(Text(nuts), "Seeds");
  host.Answer(TVN_ENDLABELEDIT, FALSE);
  SendMessage(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(nuts));
  host.ui.Type("Pips");
  host.ui.Press(VK_RETURN);
  EXPECT_EQ(Text(nuts), "Seeds");

  // A parent can refuse to let an edit begin.
  host.Answer(TVN_BEGINLABELEDIT, TRUE);
  EXPECT_EQ(SendMessage(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(nuts)), 0);
}

TEST_F(TreeViewTest, DeletingTellsOfEveryItemAndMovesTheSelectionOn) {
  Grow();
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(banana));
  std::vector<HTREEITEM> told;
  host.OnNotify([&](const NMHDR& h, LRESULT&) {
    if (h.code == TVN_DELETEITEM) told.push_back(reinterpret_cast<const NMTREEVIEW&>(h).itemOld.hItem);
  });
  ASSERT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(fruit)));
  EXPECT_EQ(told, (std::vector<HTREEITEM>{fruit, apple, banana, red, yellow}));
  EXPECT_EQ(Caret(), "Vegetables");
  EXPECT_EQ(Rows(), "Vegetables Nuts");

  told.clear();
  DestroyWindow(tree);
  EXPECT_EQ(told.size(), 3u);  // Vegetables, Carrot, Nuts
}

TEST_F(TreeViewTest, DeepAndWideTreesAreBuiltWalkedAndFreedWithoutRecursion) {
  constexpr int kDepth = 50000;
  HTREEITEM at = TVI_ROOT;
  HTREEITEM top = nullptr;
  for (int i = 0; i < kDepth; ++i) {
    at = Add("x", at);
    if (!top) top = at;
  }
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(at));  // expands the whole chain
  EXPECT_EQ(Text(Get(TVGN_LASTVISIBLE)), "x");
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), kDepth);
  host.ui.RunUntilIdle();
  ASSERT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(top)));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewTest, TheSelectedLabelIsPaintedInTheHighlightColour) {
  Grow();
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(vegetables));
  host.ui.RunUntilIdle();
  const RECT selected = ItemRect(vegetables, true);
  const RECT plain = ItemRect(nuts, true);
  const auto colour = [](int index) {
    const COLORREF c = GetSysColor(index);
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  };
  POINT inSelected = host.At(selected.right - 2, selected.top + 2);
  POINT inPlain = host.At(plain.right - 2, plain.top + 2);
  EXPECT_EQ(host.ui.Pixel(inSelected.x, inSelected.y), colour(COLOR_HIGHLIGHT));
  EXPECT_EQ(host.ui.Pixel(inPlain.x, inPlain.y), colour(COLOR_WINDOW));

  // Without the focus, a tree that shows its selection always greys it.
  SetFocus(host.window);
  host.ui.RunUntilIdle();
  EXPECT_EQ(host.ui.Pixel(inSelected.x, inSelected.y), colour(COLOR_BTNFACE));
}

}  // namespace
