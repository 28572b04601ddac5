// TPageControl, TTabSheet and TTabControl: pages as children shown one at a time, tabs
// clicked and turned by Ctrl+Tab, OnChanging refusing, tabs hidden and moved, the published
// properties, and a tab list that survives a new window.

#include "VclFixture.h"

#include "platform/controls/TabControl.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Form.h"

namespace {

class PageControlTest : public VclTest {
protected:
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    pages = NewComponent<TPageControl>(form);
    pages->SetName("Pages");
    pages->SetBounds(10, 10, 300, 200);
    pages->SetParent(form);
    for (const char* caption : {"General", "Colours", "Files"}) {
      TTabSheet* sheet = NewComponent<TTabSheet>(form);
      sheet->SetCaption(caption);
      sheet->SetPageControl(pages);
      auto* field = NewComponent<TSwatch>(form);
      field->SetParent(sheet);
      field->SetBounds(10, 10, 60, 20);
      field->SetTabStop(true);
      sheets.push_back(sheet);
      fields.push_back(field);
    }
    pages->OnChanging = [this](TObject*, bool& allow) {
      log.push_back("changing");
      allow = !refuse;
    };
    pages->OnChange = [this](TObject*) { log.push_back("change"); };
    form->Show();
    ui.RunUntilIdle();
  }
  std::string TabText(int i) {
    char text[32] = "";
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(pages->GetHandle(), TCM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  int TabCount() { return static_cast<int>(SendMessage(pages->GetHandle(), TCM_GETITEMCOUNT, 0, 0)); }
  void ClickTab(int i) {
    TRect r = pages->TabRect(i);
    ClickOn(pages, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void CtrlTab(bool shift = false) {
    ui.KeyDown(VK_CONTROL);
    if (shift) ui.KeyDown(VK_SHIFT);
    ui.Press(VK_TAB);
    if (shift) ui.KeyUp(VK_SHIFT);
    ui.KeyUp(VK_CONTROL);
  }

  TForm* form = nullptr;
  TPageControl* pages = nullptr;
  std::vector<TTabSheet*> sheets;
  std::vector<TSwatch*> fields;
  bool refuse = false;
};

TEST_F(PageControlTest, PagesAreTabsAndTheFirstIsShown) {
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->Pages(1), sheets[1]);
  EXPECT_THROW(pages->Pages(3), EListError);
  EXPECT_EQ(TabCount(), 3);
  EXPECT_EQ(TabText(2), "Files");
  EXPECT_EQ(pages->GetActivePage(), sheets[0]);
  EXPECT_EQ(pages->GetActivePageIndex(), 0);
  EXPECT_TRUE(sheets[0]->Showing());
  EXPECT_FALSE(sheets[1]->Showing());
  // The page fills the display area inside the frame.
  EXPECT_EQ(sheets[0]->GetBoundsRect(), pages->GetDisplayRect());
  EXPECT_GT(sheets[0]->GetTop(), pages->TabRect(0).bottom);
}

TEST_F(PageControlTest, ATabClickedChangesThePageUnlessRefused) {
  ClickTab(1);
  EXPECT_EQ(pages->GetActivePage(), sheets[1]);
  EXPECT_TRUE(sheets[1]->Showing());
  EXPECT_FALSE(sheets[0]->Showing());
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
  log.clear();
  refuse = true;
  ClickTab(2);
  EXPECT_EQ(pages->GetActivePage(), sheets[1]);
  EXPECT_EQ(pages->GetTabIndex(), 1);
  EXPECT_EQ(log, std::vector<std::string>{"changing"});
}

TEST_F(PageControlTest, CtrlTabTurnsThePagesWhileTheFocusIsInside) {
  fields[0]->SetFocus();
  ui.RunUntilIdle();
  struct Step {
    bool shift;
    bool refusing;
    int page;
  };
  const Step steps[] = {
      {false, false, 1}, {false, false, 2}, {false, false, 0},  // round the end
      {true, false, 2},  {true, true, 2},                       // OnChanging keeps the page
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.page);
    refuse = s.refusing;
    CtrlTab(s.shift);
    EXPECT_EQ(pages->GetActivePageIndex(), s.page);
    EXPECT_TRUE(sheets[static_cast<size_t>(s.page)]->Showing());
  }
  // The focus left the page that went out of sight.
  HWND focus = GetFocus();
  EXPECT_TRUE(focus == pages->GetHandle() || IsChild(sheets[2]->GetHandle(), focus));
}

TEST_F(PageControlTest, CtrlTabOutsideThePageControlLeavesItAlone) {
  auto* outside = NewComponent<TSwatch>(form);
  outside->SetParent(form);
  outside->SetBounds(320, 10, 50, 20);
  outside->SetTabStop(true);
  outside->SetFocus();
  ui.RunUntilIdle();
  CtrlTab();
  EXPECT_EQ(pages->GetActivePageIndex(), 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(PageControlTest, ArrowKeysOnTheTabsChangeThePage) {
  pages->SetFocus();
  ui.RunUntilIdle();
  ui.Press(VK_RIGHT);
  EXPECT_EQ(pages->GetActivePage(), sheets[1]);
  ui.Press(VK_LEFT);
  EXPECT_EQ(pages->GetActivePage(), sheets[0]);
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change", "changing", "change"}));
}

TEST_F(PageControlTest, HiddenTabsMovedPagesAndCaptions) {
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(TabCount(), 2);
  EXPECT_EQ(TabText(1), "Files");
  EXPECT_EQ(sheets[1]->GetTabIndex(), -1);
  EXPECT_EQ(sheets[2]->GetTabIndex(), 1);
  EXPECT_EQ(pages->FindNextPage(sheets[0], true, true), sheets[2]);
  EXPECT_EQ(pages->FindNextPage(sheets[0], true, false), sheets[1]);

  sheets[2]->SetPageIndex(0);
  EXPECT_EQ(pages->Pages(0), sheets[2]);
  EXPECT_EQ(TabText(0), "Files");
  EXPECT_EQ(pages->GetTabIndex(), 1);  // the active page keeps its tab selected where it went

  sheets[0]->SetCaption("Main");
  EXPECT_EQ(TabText(1), "Main");

}

TEST_F(PageControlTest, APageWithoutATabCanBeActive) {
  // As a tool window starts: one tab shows, the active page's tab does not.
  sheets[0]->SetTabVisible(false);
  sheets[1]->SetTabVisible(false);
  pages->SetActivePage(sheets[1]);
  EXPECT_EQ(pages->GetActivePage(), sheets[1]);
  EXPECT_TRUE(sheets[1]->Showing());
  EXPECT_EQ(pages->GetTabIndex(), -1);
  EXPECT_EQ(TabCount(), 1);
  // Another page's tab coming or going leaves it active.
  sheets[0]->SetTabVisible(true);
  EXPECT_EQ(pages->GetActivePage(), sheets[1]);
  EXPECT_EQ(pages->GetTabIndex(), -1);
  // Its own tab shown again is selected.
  sheets[1]->SetTabVisible(true);
  EXPECT_EQ(pages->GetTabIndex(), 1);
}

TEST_F(PageControlTest, HidingTheActiveTabActivatesThePageInItsPlace) {
  struct Case {
    int active;
    int next;  // -1: none
  };
  const Case cases[] = {{0, 1}, {2, 1}};  // the one after it, or before it when it was last
  for (const Case& c : cases) {
    SCOPED_TRACE(c.active);
    for (TTabSheet* sheet : sheets) sheet->SetTabVisible(true);
    pages->SetActivePage(sheets[static_cast<size_t>(c.active)]);
    sheets[static_cast<size_t>(c.active)]->SetTabVisible(false);
    EXPECT_EQ(pages->GetActivePage(), sheets[static_cast<size_t>(c.next)]);
    EXPECT_FALSE(sheets[static_cast<size_t>(c.active)]->Showing());
  }
  for (TTabSheet* sheet : sheets) sheet->SetTabVisible(false);
  EXPECT_EQ(pages->GetActivePage(), nullptr);
}

TEST_F(PageControlTest, FreeingTheActivePageShowsAnother) {
  pages->SetActivePage(sheets[1]);
  FreeObject(sheets[1]);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(TabCount(), 2);
  ASSERT_NE(pages->GetActivePage(), nullptr);
  EXPECT_TRUE(pages->GetActivePage()->Showing());
}

TEST_F(PageControlTest, PropertiesThroughTheTablesAndANewWindow) {
  pages->SetActivePage(sheets[2]);
  SetEnumProp(pages, "TabPosition", "tpBottom");
  SetOrdProp(pages, "MultiLine", 1);
  EXPECT_EQ(GetEnumProp(pages, "TabPosition"), "tpBottom");
  EXPECT_TRUE(GetWindowLongPtr(pages->GetHandle(), GWL_STYLE) & TCS_MULTILINE);
  // The new window has the same tabs and the same page selected, the tabs now below.
  EXPECT_EQ(TabCount(), 3);
  EXPECT_EQ(pages->GetTabIndex(), 2);
  EXPECT_GT(pages->TabRect(0).top, pages->GetDisplayRect().bottom);
  EXPECT_EQ(GetObjectProp(pages, "ActivePage"), sheets[2]);
  SetObjectProp(pages, "ActivePage", sheets[0]);
  EXPECT_EQ(pages->GetActivePage(), sheets[0]);
  EXPECT_EQ(GetStrProp(sheets[1], "Caption"), "Colours");
  EXPECT_EQ(GetOrdProp(sheets[1], "PageIndex"), 1);
  SetOrdProp(sheets[1], "TabVisible", 0);
  EXPECT_EQ(TabCount(), 2);
}

class TabControlFrameworkTest : public VclTest {};

TEST_F(TabControlFrameworkTest, TabsIndexAndEventsSurviveANewWindow) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 400, 300);
  auto* tabs = NewComponent<TTabControl>(form);
  tabs->SetParent(form);
  tabs->SetBounds(10, 10, 300, 150);
  tabs->GetTabs()->Add("One");
  tabs->GetTabs()->Add("Two");
  tabs->GetTabs()->Add("Three");
  EXPECT_EQ(tabs->GetTabIndex(), 0);
  form->Show();
  ui.RunUntilIdle();
  int changes = 0;
  tabs->OnChange = [&](TObject*) { ++changes; };
  TRect r = tabs->TabRect(2);
  ClickOn(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_EQ(tabs->GetTabIndex(), 2);
  EXPECT_EQ(changes, 1);
  tabs->SetTabIndex(1);  // set in code: no event
  EXPECT_EQ(changes, 1);
  tabs->SetStyle(tsButtons);
  EXPECT_TRUE(GetWindowLongPtr(tabs->GetHandle(), GWL_STYLE) & TCS_BUTTONS);
  EXPECT_EQ(SendMessage(tabs->GetHandle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(tabs->GetTabIndex(), 1);
  EXPECT_EQ(GetObjectProp(tabs, "Tabs"), tabs->GetTabs());
  // Deleting tabs keeps an index that still names one.
  tabs->GetTabs()->Delete(2);
  EXPECT_EQ(tabs->GetTabIndex(), 1);
  EXPECT_EQ(tabs->IndexOfTabAt(tabs->TabRect(0).left + 2, tabs->TabRect(0).top + 2), 0);
}

TEST_F(TabControlFrameworkTest, OwnerDrawnTabsPaintThroughOnDrawTab) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 400, 300);
  auto* tabs = NewComponent<TTabControl>(form);
  tabs->SetParent(form);
  tabs->SetBounds(10, 10, 300, 150);
  tabs->SetOwnerDraw(true);
  tabs->GetTabs()->Add("One");
  tabs->GetTabs()->Add("Two");
  std::vector<std::pair<int, bool>> drawn;
  tabs->OnDrawTab = [&](TCustomTabControl* control, int index, const TRect& r, bool active) {
    drawn.emplace_back(index, active);
    control->GetCanvas()->GetBrush()->SetColor(active ? clAqua : clOlive);
    control->GetCanvas()->FillRect(r);
  };
  form->Show();
  ui.RunUntilIdle();
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn[drawn.size() - 2], std::make_pair(1, false));
  EXPECT_EQ(drawn.back(), std::make_pair(0, true));
  TRect two = tabs->TabRect(1);
  EXPECT_EQ(PixelOf(tabs, (two.left + two.right) / 2, (two.top + two.bottom) / 2), Rgb(clOlive));
}

}  // namespace
