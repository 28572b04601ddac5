// TListBox and TComboBox: string lists bound to their windows, kept across re-creation,
// selection properties, events from the windows' notifications, owner drawing through the
// canvas, and the published properties.

#include <gtest/gtest.h>

#include "VclFixture.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/TypInfo.h"

namespace {

// "prefix" followed by n (built without literal + string, which GCC 12 warns about at -O3).
std::string Numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

class ListControlsTest : public VclTest {
protected:
  TForm* form = nullptr;
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(40, 40, 400, 320);
  }
  template <class T>
  T* Make(TRect bounds) {
    auto* c = NewComponent<T>(form);
    c->SetBoundsRect(bounds);
    c->SetParent(form);
    return c;
  }
  static std::vector<std::string> Lines(TStrings* s) {
    std::vector<std::string> out;
    for (int i = 0; i < s->Count(); ++i) out.push_back(s->Get(i));
    return out;
  }
};

TObject* Tag(std::uintptr_t n) { return reinterpret_cast<TObject*>(n); }

TEST_F(ListControlsTest, ItemsAreTheWindowsItemsWithTheirObjects) {
  // Lines added before the list box has a parent wait for its window.
  auto* list = NewComponent<TListBox>(form);
  list->GetItems()->AddObject("two", Tag(2));
  list->GetItems()->AddObject("one", Tag(1));
  EXPECT_FALSE(list->HandleAllocated());
  list->SetBoundsRect(Bounds(10, 10, 120, 100));
  list->SetParent(form);
  form->Show();
  ui.RunUntilIdle();
  ASSERT_TRUE(list->HandleAllocated());
  HWND h = list->GetHandle();
  EXPECT_EQ(SendMessage(h, LB_GETCOUNT, 0, 0), 2);
  TStrings* items = list->GetItems();
  items->Insert(1, "between");
  items->Add("three");
  EXPECT_EQ(Lines(items), (std::vector<std::string>{"two", "between", "one", "three"}));
  EXPECT_EQ(items->GetObject(2), Tag(1));
  EXPECT_EQ(SendMessage(h, LB_GETITEMDATA, 0, 0), 2);
  items->Put(0, "TWO");
  EXPECT_EQ(items->Get(0), "TWO");
  EXPECT_EQ(items->GetObject(0), Tag(2));
  EXPECT_EQ(items->IndexOf("one"), 2);
  EXPECT_EQ(items->IndexOf("ONE"), 2);
  items->Delete(1);
  EXPECT_EQ(items->Count(), 3);
  try {
    items->Get(5);
    FAIL() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (5)");
  }
  EXPECT_THROW(items->GetObject(-1), EStringListError);
  items->SetText("a\r\nb\r\nc\r\n");
  EXPECT_EQ(Lines(items), (std::vector<std::string>{"a", "b", "c"}));
  items->Clear();
  EXPECT_EQ(SendMessage(h, LB_GETCOUNT, 0, 0), 0);
}

// A list updated while its form is hidden and then hidden itself stays hidden when the form
// shows; one updated while hidden on a showing form stays hidden too.
TEST_F(ListControlsTest, UpdatingTheItemsNeverShowsAHiddenList) {
  auto* combo = Make<TComboBox>(Bounds(10, 10, 120, 21));
  auto* list = Make<TListBox>(Bounds(10, 40, 120, 80));
  for (TStrings* items : {combo->GetItems(), list->GetItems()}) {
    items->BeginUpdate();
    items->Add("one");
    items->EndUpdate();
  }
  combo->SetVisible(false);
  list->SetVisible(false);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(combo->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(list->GetHandle()));
  for (TStrings* items : {combo->GetItems(), list->GetItems()}) {
    items->BeginUpdate();
    items->Add("two");
    items->EndUpdate();
  }
  EXPECT_FALSE(IsWindowVisible(combo->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(list->GetHandle()));
  combo->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(combo->GetHandle()));
  EXPECT_EQ(combo->GetItems()->Count(), 2);
}

TEST_F(ListControlsTest, ReCreatingTheWindowKeepsItemsObjectsAndTheChosenItem) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 100));
  form->Show();
  for (const char* t : {"pear", "apple", "fig"}) list->GetItems()->AddObject(t, Tag(t[0]));
  list->SetItemIndex(1);
  HWND before = list->GetHandle();
  list->SetSorted(true);  // needs a new window
  EXPECT_NE(list->GetHandle(), before);
  EXPECT_EQ(Lines(list->GetItems()), (std::vector<std::string>{"apple", "fig", "pear"}));
  EXPECT_EQ(list->GetItems()->GetObject(2), Tag('p'));
  EXPECT_EQ(list->GetItemIndex(), 1);  // restored by index, as the framework does
  list->GetItems()->Add("banana");
  EXPECT_EQ(list->GetItems()->IndexOf("banana"), 1);
}

TEST_F(ListControlsTest, MultiSelectShowsSelectedAndCountsAndClicksFireOnClick) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 150));
  list->SetMultiSelect(true);
  for (int i = 0; i < 8; ++i) list->GetItems()->Add(Numbered("item ", i));
  int clicks = 0, doubles = 0;
  list->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, list);
    ++clicks;
  };
  list->OnDblClick = [&](TObject*) { ++doubles; };
  form->Show();
  ui.RunUntilIdle();
  list->SetSelected(2, true);
  list->SetSelected(5, true);
  EXPECT_TRUE(list->GetSelected(5));
  EXPECT_FALSE(list->GetSelected(4));
  EXPECT_EQ(list->GetSelCount(), 2);
  EXPECT_THROW(list->GetSelected(20), EListError);
  list->SelectAll();
  EXPECT_EQ(list->GetSelCount(), 8);
  TRect r = list->ItemRect(3);
  ClickOn(list, 10, r.top + 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->GetSelCount(), 1);  // extended selection: a plain click chooses one
  EXPECT_EQ(list->GetItemIndex(), 3);
  POINT p = At(list, 10, r.top + 2);
  ui.DoubleClick(p.x, p.y);
  EXPECT_EQ(doubles, 1);
}

TEST_F(ListControlsTest, TopIndexAndIntegralHeightKeepTheirValuesAcrossWindows) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 100));
  for (int i = 0; i < 40; ++i) list->GetItems()->Add(Numbered("item ", i));
  form->Show();
  list->SetTopIndex(20);
  EXPECT_EQ(list->GetTopIndex(), 20);
  list->SetIntegralHeight(true);  // a new window: whole rows only
  EXPECT_EQ(list->GetTopIndex(), 20);
  EXPECT_EQ(list->GetClientHeight() % list->GetItemHeight(), 0);
  EXPECT_LE(list->GetHeight(), 100);
}

TEST_F(ListControlsTest, ItemAtPosAndItemRectCoverThePlacesPastTheEnd) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 150));
  for (int i = 0; i < 3; ++i) list->GetItems()->Add(Numbered("item ", i));
  form->Show();
  TRect last = list->ItemRect(2);
  TRect past = list->ItemRect(3);
  EXPECT_EQ(past.top, last.bottom);
  EXPECT_EQ(past.Height(), last.Height());
  EXPECT_EQ(list->ItemRect(4).Width(), 0);
  EXPECT_EQ(list->ItemAtPos(TPoint(5, last.top + 1), true), 2);
  EXPECT_EQ(list->ItemAtPos(TPoint(5, last.bottom + 3), true), -1);
  EXPECT_EQ(list->ItemAtPos(TPoint(5, last.bottom + 3), false), 3);
  EXPECT_EQ(list->ItemAtPos(TPoint(-3, 5), false), -1);
}

TEST_F(ListControlsTest, OwnerDrawnListMeasuresEachItemAndDrawsOnItsCanvas) {
  auto* list = Make<TListBox>(Bounds(10, 10, 140, 150));
  list->SetStyle(lbOwnerDrawVariable);
  std::vector<int> measured;
  list->OnMeasureItem = [&](TWinControl* control, int index, int& height) {
    EXPECT_EQ(control, list);
    measured.push_back(index);
    height = index == 1 ? 30 : 12;
  };
  std::vector<std::pair<int, bool>> drawn;
  list->OnDrawItem = [&](TWinControl*, int index, const TRect& rect, TOwnerDrawState state) {
    drawn.push_back({index, state.Contains(odSelected)});
    list->GetCanvas()->GetBrush()->SetColor(state.Contains(odSelected) ? clRed : clYellow);
    list->GetCanvas()->FillRect(rect);
  };
  form->Show();
  for (const char* t : {"a", "b", "c"}) list->GetItems()->Add(t);
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2}));
  list->SetItemIndex(1);
  ui.RunUntilIdle();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::pair<int, bool>{1, true}), drawn.end());
  TRect second = list->ItemRect(1);
  EXPECT_EQ(second.Height(), 30);
  EXPECT_EQ(PixelOf(list, 60, second.top + 15), Rgb(clRed));
  EXPECT_EQ(PixelOf(list, 60, 5), Rgb(clYellow));
}

TEST_F(ListControlsTest, TheWindowsPaintInTheControlsColours) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 100));
  auto* combo = Make<TComboBox>(Bounds(150, 10, 120, 21));
  combo->SetStyle(csDropDownList);
  list->GetItems()->Add("text");
  list->SetColor(clYellow);
  combo->SetColor(clAqua);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(list, 60, 60), Rgb(clYellow));
  EXPECT_EQ(PixelOf(list, list->GetClientWidth() - 3, 3), Rgb(clYellow));
  EXPECT_EQ(PixelOf(combo, 40, combo->GetClientHeight() / 2), Rgb(clAqua));
}

TEST_F(ListControlsTest, KeysInAFormMoveTheChoiceAndColumnsShareTheWidth) {
  auto* combo = Make<TComboBox>(Bounds(10, 10, 120, 21));
  auto* list = Make<TListBox>(Bounds(10, 50, 122, 60));
  list->SetColumns(2);
  for (int i = 0; i < 12; ++i) list->GetItems()->Add(Numbered("c", i));
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  ui.RunUntilIdle();
  combo->SetFocus();
  ui.Press(VK_TAB);
  EXPECT_TRUE(list->Focused());
  ui.Press(VK_DOWN);
  ui.Press(VK_DOWN);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 2);
  // Two columns over the client width: (width + columns - 3) div columns each.
  int rows = list->GetClientHeight() / list->GetItemHeight();
  EXPECT_EQ(list->ItemRect(rows).left, (122 + 2 - 3) / 2);
  ui.Press(VK_RIGHT);
  EXPECT_EQ(list->GetItemIndex(), 1 + rows);
}

TEST_F(ListControlsTest, TheWindowsUseTheControlsFont) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 100));
  auto* combo = Make<TComboBox>(Bounds(150, 10, 120, 21));
  list->GetItems()->Add("text");
  form->Show();
  int rowBefore = list->GetItemHeight(), comboBefore = combo->GetHeight();
  list->GetFont()->SetSize(20);
  combo->GetFont()->SetSize(20);
  EXPECT_GT(list->GetItemHeight(), rowBefore + 8);
  EXPECT_GT(combo->GetHeight(), comboBefore + 8);  // the field grows with its font
  HWND h = list->GetHandle();
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0)), list->GetFont()->GetHandle());
}

// A descendant sees the list messages its strings send, as one that keeps a horizontal
// extent must.
class TCountingListBox : public TListBox {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCountingListBox(TComponent* owner) : TListBox(owner) {}
  int Adds = 0;
  int Deletes = 0;

protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == LB_ADDSTRING) ++Adds;
    if (m.Msg == LB_DELETESTRING) ++Deletes;
    TListBox::WndProc(m);
  }
};
QUILLO_DEFINE_CLASS(TCountingListBox, TListBox)

TEST_F(ListControlsTest, ADescendantSeesTheListMessagesOfItsItems) {
  auto* list = Make<TCountingListBox>(Bounds(10, 10, 120, 100));
  list->GetItems()->Add("x");
  list->GetItems()->Add("y");
  list->GetItems()->Delete(0);
  EXPECT_EQ(list->Adds, 2);
  EXPECT_EQ(list->Deletes, 1);
}

TEST_F(ListControlsTest, PublishedPropertiesReachTheListBoxAndComboBox) {
  auto* list = Make<TListBox>(Bounds(10, 10, 120, 100));
  auto* combo = Make<TComboBox>(Bounds(150, 10, 120, 21));
  SetEnumProp(list, "Style", "lbOwnerDrawFixed");
  EXPECT_EQ(list->GetStyle(), lbOwnerDrawFixed);
  SetOrdProp(list, "Sorted", 1);
  EXPECT_TRUE(list->GetSorted());
  EXPECT_EQ(GetObjectProp(list, "Items"), list->GetItems());
  EXPECT_EQ(GetPropValue(list, "MultiSelect"), "False");
  SetEnumProp(combo, "Style", "csDropDownList");
  EXPECT_EQ(combo->GetStyle(), csDropDownList);
  SetOrdProp(combo, "DropDownCount", 12);
  EXPECT_EQ(combo->GetDropDownCount(), 12);
  EXPECT_EQ(GetObjectProp(combo, "Items"), combo->GetItems());
}

TEST_F(ListControlsTest, ComboBoxChoosesByMouseAndFiresItsEventsInOrder) {
  auto* combo = Make<TComboBox>(Bounds(10, 10, 150, 21));
  combo->SetStyle(csDropDownList);
  for (const char* t : {"red", "green", "blue"}) combo->GetItems()->Add(t);
  combo->SetDropDownCount(2);
  std::vector<std::string> events;
  combo->OnDropDown = [&](TObject*) { events.push_back("dropdown"); };
  combo->OnCloseUp = [&](TObject*) { events.push_back("closeup"); };
  combo->OnSelect = [&](TObject*) { events.push_back("select " + combo->GetText()); };
  combo->OnChange = [&](TObject*) { events.push_back("change"); };
  combo->OnClick = [&](TObject*) { events.push_back("click"); };
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(combo->GetHeight(), static_cast<int>(SendMessage(combo->GetHandle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 6);
  ClickOn(combo, 20, 8);
  EXPECT_TRUE(combo->GetDroppedDown());
  HWND list = combo->ListHandle();
  ASSERT_TRUE(list);
  RECT c;
  GetClientRect(list, &c);
  EXPECT_EQ(c.bottom, 2 * SendMessage(list, LB_GETITEMHEIGHT, 0, 0));  // DropDownCount rows
  RECT item;
  SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  POINT p = UiDriver::At(list, 10, item.top + 2);
  ui.Click(p.x, p.y);
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "green");
  EXPECT_EQ(events, (std::vector<std::string>{"dropdown", "closeup", "click", "select green"}));
  // Without OnSelect, a choice is a change.
  combo->OnSelect = nullptr;
  events.clear();
  SetFocus(combo->GetHandle());
  ui.Press(VK_DOWN);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
  EXPECT_EQ(combo->GetText(), "blue");
  // Setting the text of a drop-down list chooses the item with that text.
  combo->SetText("red");
  EXPECT_EQ(combo->GetItemIndex(), 0);
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->GetDroppedDown());
  combo->SetDroppedDown(false);
  EXPECT_FALSE(combo->GetDroppedDown());
}

TEST_F(ListControlsTest, ComboBoxKeepsItemsAndChoiceWhenItsStyleChanges) {
  auto* combo = Make<TComboBox>(Bounds(10, 10, 150, 21));
  combo->SetStyle(csDropDownList);
  combo->GetItems()->AddObject("one", Tag(1));
  combo->GetItems()->AddObject("two", Tag(2));
  combo->SetItemIndex(1);
  form->Show();
  combo->SetStyle(csOwnerDrawFixed);
  EXPECT_EQ(Lines(combo->GetItems()), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(combo->GetItems()->GetObject(1), Tag(2));
  EXPECT_EQ(combo->GetItemIndex(), 1);
  std::vector<std::pair<int, bool>> drawn;
  combo->OnDrawItem = [&](TWinControl*, int index, const TRect& rect, TOwnerDrawState state) {
    drawn.push_back({index, state.Contains(odComboBoxEdit)});
    combo->GetCanvas()->FillRect(rect);
  };
  combo->Invalidate();
  ui.RunUntilIdle();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::pair<int, bool>{1, true}), drawn.end());
  combo->SetSorted(true);
  combo->GetItems()->Add("a first");
  EXPECT_EQ(combo->GetItems()->Get(0), "a first");
}

}  // namespace
