// The framework's tree and list views: their models outlive the window, events follow the
// user's clicks and keys, and a re-made window shows what the old one did.

#include "VclFixture.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/TreeView.h"

namespace {

class TreeListViewTest : public VclTest {
protected:
  TForm* MakeForm() {
    auto* form = NewComponent<TForm>(Application());
    form->SetBounds(50, 50, 400, 300);
    return form;
  }
};

std::string Path(TTreeNode* node) {
  std::string out;
  for (TTreeNode* at = node; at; at = at->GetParent()) out = at->GetText() + (out.empty() ? "" : "/") + out;
  return out;
}

TEST_F(TreeListViewTest, TreeNodesBuiltBeforeTheWindowAreShownAndKeepTheirStateWhenItIsRemade) {
  TForm* form = MakeForm();
  auto* tree = NewComponent<TTreeView>(form);
  tree->SetParent(form);
  tree->SetBounds(10, 10, 200, 200);
  TTreeNodes* items = tree->GetItems();
  TTreeNode* fruit = items->Add(nullptr, "Fruit");
  TTreeNode* apple = items->AddChild(fruit, "Apple");
  items->AddChild(fruit, "Pear");
  TTreeNode* first = items->AddFirst(fruit, "Bread");
  items->Insert(fruit, "Cheese");
  fruit->Expand(false);
  EXPECT_EQ(items->Count(), 5);
  EXPECT_EQ(items->Item(0), first);
  EXPECT_EQ(Path(items->Item(3)), "Fruit/Apple");
  EXPECT_EQ(apple->Level(), 1);
  EXPECT_EQ(fruit->Index(), 2);

  form->Show();
  ui.RunUntilIdle();
  HWND window = tree->GetHandle();
  EXPECT_EQ(SendMessage(window, TVM_GETCOUNT, 0, 0), 5);
  EXPECT_NE(SendMessage(window, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(fruit->ItemId()), TVIS_EXPANDED), 0);

  std::vector<std::string> changes;
  tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node ? node->GetText() : "(none)"); };
  apple->SetSelected(true);
  EXPECT_EQ(tree->GetSelected(), apple);
  EXPECT_EQ(changes, std::vector<std::string>{"Apple"});

  // A new window is filled from the nodes, with the selection and expansion they had.
  tree->RecreateWnd();
  ui.RunUntilIdle();
  EXPECT_EQ(SendMessage(tree->GetHandle(), TVM_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(tree->GetSelected(), apple);
  EXPECT_TRUE(fruit->GetExpanded());
  EXPECT_EQ(items->GetNode(reinterpret_cast<HTREEITEM>(
                SendMessage(tree->GetHandle(), TVM_GETNEXTITEM, TVGN_CARET, 0))),
            apple);

  // Deleting the selected node's branch selects the branch's neighbour, as the control does.
  fruit->Delete();
  ASSERT_NE(tree->GetSelected(), nullptr);
  EXPECT_EQ(tree->GetSelected()->GetText(), "Cheese");
  EXPECT_EQ(items->Count(), 2);
  EXPECT_EQ(SendMessage(tree->GetHandle(), TVM_GETCOUNT, 0, 0), 2);
}

TEST_F(TreeListViewTest, TreeEventsCanRefuseAndEditingGoesThroughOnEdited) {
  TForm* form = MakeForm();
  auto* tree = NewComponent<TTreeView>(form);
  tree->SetParent(form);
  tree->SetBounds(10, 10, 200, 200);
  TTreeNode* root = tree->GetItems()->Add(nullptr, "Root");
  TTreeNode* leaf = tree->GetItems()->AddChild(root, "Leaf");
  form->Show();
  tree->SetFocus();
  ui.RunUntilIdle();

  bool allowExpand = false;
  tree->OnExpanding = [&](TObject*, TTreeNode*, bool& allow) { allow = allowExpand; };
  root->SetSelected(true);
  ui.Press(VK_RIGHT);
  EXPECT_FALSE(root->GetExpanded());
  allowExpand = true;
  ui.Press(VK_RIGHT);
  EXPECT_TRUE(root->GetExpanded());

  tree->OnChanging = [&](TObject*, TTreeNode* node, bool& allow) { allow = node != leaf; };
  ui.Press(VK_DOWN);
  EXPECT_EQ(tree->GetSelected(), root);
  tree->OnChanging = nullptr;

  tree->OnEdited = [](TObject*, TTreeNode*, AnsiString& text) {
    AnsiString wrapped(1, '[');
    wrapped += text;
    wrapped += ']';
    text = wrapped;
  };
  ASSERT_TRUE(root->EditText());
  ui.Type("Top");
  ui.Press(VK_RETURN);
  EXPECT_EQ(root->GetText(), "[Top]");
}

TEST_F(TreeListViewTest, ListItemsAndColumnsReachTheWindowAndSelectionEventsFollowClicks) {
  TForm* form = MakeForm();
  auto* list = NewComponent<TListView>(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 300, 200);
  list->SetViewStyle(vsReport);
  list->SetMultiSelect(true);
  list->SetRowSelect(true);
  TListColumn* name = list->GetColumns()->Add();
  name->SetCaption("Name");
  name->SetWidth(120);
  TListColumn* size = list->GetColumns()->Add();
  size->SetCaption("Size");
  size->SetAlignment(taRightJustify);
  for (const char* text : {"gamma", "alpha", "beta"}) {
    TListItem* item = list->GetItems()->Add();
    item->SetCaption(text);
    item->GetSubItems()->Add(std::to_string(std::strlen(text)));
  }
  list->GetItems()->Item(2)->SetSelected(true);  // before the window: kept in the model
  form->Show();
  list->SetFocus();
  ui.RunUntilIdle();
  HWND window = list->GetHandle();
  EXPECT_EQ(SendMessage(window, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(list->GetSelected()->GetCaption(), "beta");

  char text[16] = "";
  LVITEM sub;
  sub.iSubItem = 1;
  sub.pszText = text;
  sub.cchTextMax = sizeof text;
  SendMessage(window, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&sub));
  EXPECT_STREQ(text, "5");

  std::vector<std::string> selected;
  list->OnSelectItem = [&](TObject*, TListItem* item, bool on) {
    std::string entry = on ? "+" : "-";
    selected.push_back(entry + item->GetCaption());
  };
  RECT first{};
  first.left = LVIR_BOUNDS;
  SendMessage(window, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  ClickOn(list, 30, first.top + 3);
  EXPECT_EQ(list->GetSelected() ? list->GetSelected()->GetCaption() : "-", "gamma");
  EXPECT_EQ(selected, (std::vector<std::string>{"-beta", "+gamma"}));
  list->SelectAll();
  EXPECT_EQ(list->GetSelCount(), 3);

  std::vector<std::string> clicked;
  list->OnColumnClick = [&](TObject*, TListColumn* column) { clicked.push_back(column->GetCaption()); };
  ClickOn(list, 150, 5);
  EXPECT_EQ(clicked, std::vector<std::string>{"Size"});

  // Sorting keeps each item's selection; a re-made window keeps both.
  list->GetItems()->Item(1)->SetSelected(false);  // alpha
  list->AlphaSort();
  EXPECT_EQ(list->GetItems()->Item(0)->GetCaption(), "alpha");
  EXPECT_FALSE(list->GetItems()->Item(0)->GetSelected());
  EXPECT_TRUE(list->GetItems()->Item(1)->GetSelected());
  list->RecreateWnd();
  ui.RunUntilIdle();
  EXPECT_EQ(list->GetSelCount(), 2);
  EXPECT_EQ(SendMessage(list->GetHandle(), LVM_GETCOLUMNWIDTH, 0, 0), 120);

  list->GetItems()->Delete(0);
  EXPECT_EQ(SendMessage(list->GetHandle(), LVM_GETITEMCOUNT, 0, 0), 2);
  list->GetItems()->Clear();
  EXPECT_EQ(SendMessage(list->GetHandle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

}  // namespace
