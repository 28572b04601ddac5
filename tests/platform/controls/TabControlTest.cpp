// The tab control: its messages and what the parent hears (a table of steps on one control),
// its layout (rows, fixed widths, the display area), the mouse and the keys through the UI
// driver, and the look of the selected tab.

#include <gtest/gtest.h>

#include <string>

#include "NotifyParent.h"
#include "platform/controls/TabControl.h"
#include "platform/host/KeyCodes.h"
#include "support/UiDriver.h"

namespace {

class TabControlTest : public ::testing::Test {
protected:
  UiDriver ui;
  NotifyParent parent{400, 300};

  HWND Make(DWORD style = 0, int width = 300, int height = 200) {
    HWND tab = parent.Child(WC_TABCONTROL, style, 10, 10, width, height);
    SendMessage(tab, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return tab;
  }
  static LRESULT Insert(HWND tab, int at, const char* text, LPARAM param = 0, int image = -1) {
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
    item.pszText = const_cast<LPSTR>(text);
    item.lParam = param;
    item.iImage = image;
    return SendMessage(tab, TCM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  }
  static RECT ItemRect(HWND tab, int i) {
    RECT r{};
    SendMessage(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  static std::string Text(HWND tab, int i, int size = 64) {
    char buffer[64] = "untouched";
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = size;
    if (!SendMessage(tab, TCM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) return "<none>";
    return buffer;
  }
};

TEST_F(TabControlTest, MessagesAnswerAndNotifyAsWindowsDoes) {
  HWND tab = Make();
  bool veto = false;
  parent.answer = [&](const NMHDR& h) -> LRESULT { return h.code == TCN_SELCHANGING && veto; };
  struct Step {
    const char* what;
    std::function<LRESULT()> send;
    LRESULT result;
    int cursel;
    int count;
    std::vector<UINT> notes;
    bool vetoing = false;
  };
  auto msg = [tab](UINT m, WPARAM w, LPARAM l = 0) { return [=] { return SendMessage(tab, m, w, l); }; };
  const Step steps[] = {
      {"the first tab is selected as it comes", [&] { return Insert(tab, 0, "One"); }, 0, 0, 1, {}},
      {"an index past the end appends", [&] { return Insert(tab, 7, "Two"); }, 1, 0, 2, {}},
      {"inserting before the selection moves it on", [&] { return Insert(tab, 0, "Zero"); }, 0, 1, 3, {}},
      {"TCM_SETCURSEL answers the old selection and tells no one", msg(TCM_SETCURSEL, 2), 1, 2, 3, {}},
      {"TCM_SETCURSEL out of range fails", msg(TCM_SETCURSEL, 5), -1, 2, 3, {}},
      {"deleting before the selection moves it back", msg(TCM_DELETEITEM, 0), TRUE, 1, 2, {}},
      {"deleting a tab that is not there fails", msg(TCM_DELETEITEM, 9), FALSE, 1, 2, {}},
      {"TCM_SETCURFOCUS asks the parent and selects", msg(TCM_SETCURFOCUS, 0), 0, 0, 2,
       {TCN_SELCHANGING, TCN_SELCHANGE}},
      {"a parent that answers TRUE keeps the old tab", msg(TCM_SETCURFOCUS, 1), 0, 0, 2, {TCN_SELCHANGING}, true},
      {"TCM_GETITEMCOUNT", msg(TCM_GETITEMCOUNT, 0), 2, 0, 2, {}},
      {"TCM_SETCURSEL -1 leaves no tab selected", msg(TCM_SETCURSEL, static_cast<WPARAM>(-1)), 0, -1, 2, {}},
      {"a tab added then selects nothing", [&] { return Insert(tab, 2, "Three"); }, 2, -1, 3, {}},
      {"and deleting it neither", msg(TCM_DELETEITEM, 2), TRUE, -1, 2, {}},
      {"selected again", msg(TCM_SETCURSEL, 0), -1, 0, 2, {}},
      {"deleting the selected tab leaves none selected", msg(TCM_DELETEITEM, 0), TRUE, -1, 1, {}},
      {"TCM_DELETEALLITEMS", msg(TCM_DELETEALLITEMS, 0), TRUE, -1, 0, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    veto = step.vetoing;
    parent.notes.clear();
    EXPECT_EQ(step.send(), step.result);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), step.cursel);
    EXPECT_EQ(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), step.count);
    EXPECT_EQ(parent.Codes(), step.notes);
  }
}

TEST_F(TabControlTest, ItemsKeepTheirTextParamImageAndState) {
  HWND tab = Make();
  Insert(tab, 0, "Palette", 77, 3);
  EXPECT_EQ(Text(tab, 0), "Palette");
  EXPECT_EQ(Text(tab, 0, 4), "Pal");  // cut to the buffer, with its terminator
  EXPECT_EQ(Text(tab, 1), "<none>");
  TCITEM item;
  item.mask = TCIF_PARAM | TCIF_IMAGE | TCIF_STATE;
  item.dwStateMask = TCIS_HIGHLIGHTED;
  ASSERT_TRUE(SendMessage(tab, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.lParam, 77);
  EXPECT_EQ(item.iImage, 3);
  EXPECT_EQ(item.dwState, 0u);
  TCITEM change;
  change.mask = TCIF_TEXT | TCIF_STATE;
  change.pszText = const_cast<LPSTR>("Brush");
  change.dwState = TCIS_HIGHLIGHTED;
  change.dwStateMask = TCIS_HIGHLIGHTED;
  EXPECT_TRUE(SendMessage(tab, TCM_SETITEM, 0, reinterpret_cast<LPARAM>(&change)));
  EXPECT_EQ(Text(tab, 0), "Brush");
  ASSERT_TRUE(SendMessage(tab, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.dwState, TCIS_HIGHLIGHTED);
  EXPECT_EQ(item.lParam, 77);  // untouched by a mask without TCIF_PARAM
  EXPECT_FALSE(SendMessage(tab, TCM_SETITEM, 4, reinterpret_cast<LPARAM>(&change)));
}

TEST_F(TabControlTest, ItemRectsHitTestsAndTheDisplayAreaAgree) {
  HWND tab = Make();
  for (const char* t : {"One", "Two", "Three"}) Insert(tab, 99, t);
  RECT a = ItemRect(tab, 0), b = ItemRect(tab, 1), c = ItemRect(tab, 2);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.right, b.left);
  EXPECT_EQ(b.right, c.left);
  EXPECT_GT(c.right - c.left, a.right - a.left);  // a longer text makes a wider tab
  for (int i = 0; i < 3; ++i) {
    RECT r = ItemRect(tab, i);
    TCHITTESTINFO hit;
    hit.pt = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(SendMessage(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), i);
    EXPECT_EQ(hit.flags, TCHT_ONITEMLABEL);
  }
  // More padding makes every tab wider by twice the change.
  SendMessage(tab, TCM_SETPADDING, 0, MAKELPARAM(10, 3));
  EXPECT_EQ(ItemRect(tab, 0).right - ItemRect(tab, 0).left, a.right - a.left + 8);
  SendMessage(tab, TCM_SETPADDING, 0, MAKELPARAM(6, 3));
  TCHITTESTINFO below;
  below.pt = POINT{20, 150};
  EXPECT_EQ(SendMessage(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&below)), -1);
  EXPECT_EQ(below.flags, TCHT_NOWHERE);

  // The display area lies below the tabs inside the frame, and TRUE gives the window back.
  RECT display{0, 0, 300, 200};
  SendMessage(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_GT(display.top, a.bottom);
  EXPECT_GT(display.left, 0);
  EXPECT_LT(display.right, 300);
  EXPECT_LT(display.bottom, 200);
  SendMessage(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(display.left, 0);
  EXPECT_EQ(display.top, 0);
  EXPECT_EQ(display.right, 300);
  EXPECT_EQ(display.bottom, 200);
}

TEST_F(TabControlTest, StylesShapeTheRows) {
  struct Case {
    const char* what;
    DWORD style;
    int rows;
  };
  const Case cases[] = {
      {"single line keeps one row", 0, 1},
      {"multi-line wraps at the width", TCS_MULTILINE, 3},
      {"buttons wrap as well", TCS_MULTILINE | TCS_BUTTONS, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND tab = Make(c.style, 200, 200);
    SendMessage(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(80, 20));
    SetWindowLongPtr(tab, GWL_STYLE, GetWindowLongPtr(tab, GWL_STYLE) | TCS_FIXEDWIDTH);
    SendMessage(tab, WM_SIZE, 0, 0);
    for (int i = 0; i < 5; ++i) Insert(tab, i, "Tab");
    EXPECT_EQ(SendMessage(tab, TCM_GETROWCOUNT, 0, 0), c.rows);
    RECT r = ItemRect(tab, 1);
    EXPECT_EQ(r.bottom - r.top, 20);
    if (c.rows == 1) {
      EXPECT_EQ(r.right - r.left, 80);
    }
    DestroyWindow(tab);
  }
}

TEST_F(TabControlTest, TheSelectedRowMovesNextToTheDisplayArea) {
  HWND tab = Make(TCS_MULTILINE | TCS_FIXEDWIDTH, 200, 200);
  SendMessage(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(80, 20));
  for (int i = 0; i < 5; ++i) Insert(tab, i, "Tab");
  // Selected tab 0 is in the first row: that row lies lowest, over the frame.
  EXPECT_GT(ItemRect(tab, 0).top, ItemRect(tab, 4).top);
  SendMessage(tab, TCM_SETCURSEL, 4, 0);
  EXPECT_GT(ItemRect(tab, 4).top, ItemRect(tab, 0).top);
  // Full rows are stretched to the width unless ragged.
  RECT r0 = ItemRect(tab, 0), r1 = ItemRect(tab, 1);
  EXPECT_GT(r1.right - r0.left, 160);
}

TEST_F(TabControlTest, AClickSelectsAndTheParentMayRefuse) {
  HWND tab = Make();
  for (const char* t : {"One", "Two", "Three"}) Insert(tab, 99, t);
  ui.RunUntilIdle();
  RECT two = ItemRect(tab, 1);
  POINT p = UiDriver::At(tab, (two.left + two.right) / 2, (two.top + two.bottom) / 2);
  ui.Click(p.x, p.y);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(GetFocus(), tab);
  EXPECT_EQ(parent.TakeCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, NM_CLICK}));

  parent.answer = [](const NMHDR& h) -> LRESULT { return h.code == TCN_SELCHANGING; };
  RECT three = ItemRect(tab, 2);
  p = UiDriver::At(tab, (three.left + three.right) / 2, (three.top + three.bottom) / 2);
  ui.Click(p.x, p.y);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(parent.TakeCodes(), (std::vector<UINT>{TCN_SELCHANGING, NM_CLICK}));
}

TEST_F(TabControlTest, FocusNeverLeavesTheFocusWhereItWas) {
  HWND tab = Make(TCS_FOCUSNEVER);
  Insert(tab, 0, "One");
  Insert(tab, 1, "Two");
  SetFocus(parent.Window());
  ui.RunUntilIdle();
  RECT two = ItemRect(tab, 1);
  POINT p = UiDriver::At(tab, two.left + 5, two.top + 5);
  ui.Click(p.x, p.y);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_NE(GetFocus(), tab);
}

TEST_F(TabControlTest, ArrowKeysMoveTheSelection) {
  HWND tab = Make();
  for (const char* t : {"One", "Two", "Three"}) Insert(tab, 99, t);
  SetFocus(tab);
  ui.RunUntilIdle();
  struct Case {
    int key;
    int selected;
    std::vector<UINT> notes;
  };
  const Case cases[] = {
      {VK_RIGHT, 1, {TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}},
      {VK_RIGHT, 2, {TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}},
      {VK_RIGHT, 2, {TCN_KEYDOWN}},  // the last tab stays
      {VK_HOME, 0, {TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE}},
      {VK_LEFT, 0, {TCN_KEYDOWN}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    parent.notes.clear();
    ui.Press(c.key);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), c.selected);
    EXPECT_EQ(parent.Codes(), c.notes);
  }
  EXPECT_EQ(SendMessage(tab, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(TabControlTest, OwnerDrawnTabsAskTheParent) {
  HWND tab = Make(TCS_OWNERDRAWFIXED);
  Insert(tab, 0, "One", 11);
  Insert(tab, 1, "Two", 22);
  parent.drawn.clear();
  UpdateWindow(tab);
  InvalidateRect(tab, nullptr, TRUE);
  ui.RunUntilIdle();
  ASSERT_GE(parent.drawn.size(), 2u);
  const DRAWITEMSTRUCT& first = parent.drawn[parent.drawn.size() - 2];
  const DRAWITEMSTRUCT& last = parent.drawn.back();
  EXPECT_EQ(first.CtlType, ODT_TAB);
  // The unselected tab is drawn first, the selected one last and marked.
  EXPECT_EQ(first.itemID, 1u);
  EXPECT_EQ(first.itemData, 22u);
  EXPECT_EQ(first.itemState & ODS_SELECTED, 0u);
  EXPECT_EQ(last.itemID, 0u);
  EXPECT_EQ(last.itemState & ODS_SELECTED, static_cast<UINT>(ODS_SELECTED));
  EXPECT_EQ(last.hwndItem, tab);
}

TEST_F(TabControlTest, TheSelectedTabStandsRaisedOverTheFrame) {
  HWND tab = Make();
  for (const char* t : {"One", "Two", "Three"}) Insert(tab, 99, t);
  SendMessage(tab, TCM_SETCURSEL, 1, 0);
  InvalidateRect(tab, nullptr, TRUE);
  ui.RunUntilIdle();
  const std::uint32_t face = 0xC0C0C0, white = 0xFFFFFF;
  RECT one = ItemRect(tab, 0), two = ItemRect(tab, 1);
  auto at = [&](int x, int y) {
    POINT p = UiDriver::At(tab, x, y);
    return ui.Pixel(p.x, p.y);
  };
  int midOne = (one.left + one.right) / 2, midTwo = (two.left + two.right) / 2;
  // An unselected tab's top edge is light at its own top; above it is the face.
  EXPECT_EQ(at(midOne, one.top), white);
  EXPECT_EQ(at(midOne, one.top - 1), face);
  // The selected one's edge is two pixels higher.
  EXPECT_EQ(at(midTwo, two.top - 2), white);
  // The frame's light top line runs under the unselected tab and is open under the selected one.
  EXPECT_EQ(at(midOne, one.bottom), white);
  EXPECT_EQ(at(midTwo, two.bottom), face);
}

TEST_F(TabControlTest, ALongSingleRowScrollsWithItsArrows) {
  HWND tab = Make(TCS_FIXEDWIDTH, 300, 120);
  SendMessage(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(80, 20));
  for (int i = 0; i < 8; ++i) Insert(tab, i, "Tab");
  ui.RunUntilIdle();
  RECT client;
  GetClientRect(tab, &client);
  const int arrowsLeft = client.right - 32;
  EXPECT_EQ(ItemRect(tab, 0).left, 2);
  // Selecting a tab out of sight brings it in, short of the arrows.
  SendMessage(tab, TCM_SETCURSEL, 6, 0);
  EXPECT_LE(ItemRect(tab, 6).right, arrowsLeft);
  EXPECT_LT(ItemRect(tab, 0).left, 0);
  // The left arrow scrolls back by one tab, without selecting.
  int before = ItemRect(tab, 6).left;
  POINT back = UiDriver::At(tab, arrowsLeft + 8, 10);
  ui.Click(back.x, back.y);
  EXPECT_EQ(ItemRect(tab, 6).left, before + 80);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 6);
  EXPECT_TRUE(parent.notes.empty() || parent.notes.back().code != TCN_SELCHANGE);
  // A point on the arrows is on no tab.
  TCHITTESTINFO hit;
  hit.pt = POINT{arrowsLeft + 20, 10};
  EXPECT_EQ(SendMessage(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
  // Scrolling stops at the first tab.
  for (int i = 0; i < 10; ++i) {
    ui.Advance(1000);
    ui.Click(back.x, back.y);
  }
  EXPECT_EQ(ItemRect(tab, 0).left, 2);
}

TEST_F(TabControlTest, TabsShowTheirImagesFromTheImageList) {
  HIMAGELIST images = ImageList_Create(8, 8, ILC_COLOR32, 2, 1);
  HDC screen = GetDC(nullptr);
  HBITMAP strip = CreateCompatibleBitmap(screen, 16, 8);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip);
  RECT first{0, 0, 8, 8}, second{8, 0, 16, 8};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &first, red);
  FillRect(dc, &second, blue);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
  DeleteObject(blue);
  ASSERT_EQ(ImageList_Add(images, strip, nullptr), 0);
  DeleteObject(strip);

  HWND tab = Make();
  Insert(tab, 0, "One", 0, 1);
  Insert(tab, 1, "Two", 0, -1);
  RECT plain = ItemRect(tab, 1);
  EXPECT_EQ(SendMessage(tab, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)), 0);
  EXPECT_EQ(SendMessage(tab, TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(images));
  RECT withImage = ItemRect(tab, 0);
  EXPECT_GE(withImage.right - withImage.left, plain.right - plain.left + 8);  // room for the image
  InvalidateRect(tab, nullptr, TRUE);
  ui.RunUntilIdle();
  int blues = 0;
  for (int x = withImage.left; x < withImage.right; ++x)
    for (int y = withImage.top; y < withImage.bottom; ++y) {
      POINT p = UiDriver::At(tab, x, y);
      blues += ui.Pixel(p.x, p.y) == 0x0000FF;
    }
  EXPECT_EQ(blues, 64);  // image 1, whole
  TCHITTESTINFO hit;
  hit.pt = POINT{withImage.left + 8, (withImage.top + withImage.bottom) / 2};
  EXPECT_EQ(SendMessage(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
  EXPECT_EQ(hit.flags, TCHT_ONITEMICON);
  DestroyWindow(tab);
  ImageList_Destroy(images);
}

TEST_F(TabControlTest, HotTrackingLightsTheTabUnderTheMouseUntilItLeaves) {
  HWND tab = Make(TCS_HOTTRACK);
  Insert(tab, 0, "One");
  Insert(tab, 1, "Two");
  ui.RunUntilIdle();
  RECT two = ItemRect(tab, 1);
  auto highlighted = [&] {
    int n = 0;
    for (int x = two.left; x < two.right; ++x)
      for (int y = two.top; y < two.bottom; ++y) {
        POINT p = UiDriver::At(tab, x, y);
        n += ui.Pixel(p.x, p.y) == 0x000080;  // the highlight colour
      }
    return n;
  };
  EXPECT_EQ(highlighted(), 0);
  POINT on = UiDriver::At(tab, two.left + 4, two.top + 4);
  ui.MoveTo(on.x, on.y);
  EXPECT_GT(highlighted(), 0);
  POINT away = UiDriver::At(tab, 0, 150);
  ui.MoveTo(away.x + 350, away.y);  // outside the control
  EXPECT_EQ(highlighted(), 0);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);  // hovering selects nothing
}

TEST_F(TabControlTest, AParentThatDestroysTheControlWhileAskedDoesNoHarm) {
  for (UINT code : {TCN_SELCHANGING, TCN_SELCHANGE, TCN_KEYDOWN}) {
    SCOPED_TRACE(static_cast<int>(code));
    HWND tab = Make();
    Insert(tab, 0, "One");
    Insert(tab, 1, "Two");
    ui.RunUntilIdle();
    parent.answer = [&](const NMHDR& h) -> LRESULT {
      if (h.code == code && IsWindow(h.hwndFrom)) DestroyWindow(h.hwndFrom);
      return 0;
    };
    SetFocus(tab);
    ui.Press(VK_RIGHT);
    EXPECT_FALSE(IsWindow(tab));
    parent.answer = nullptr;
  }
}

}  // namespace
