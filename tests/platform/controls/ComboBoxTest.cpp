// The COMBOBOX class: CB_ messages in, answers and CBN_ notifications out; the drop-down list
// opened by click, F4 and Alt+Down, chosen by click and Enter, cancelled by Esc and by a
// click elsewhere; the look of the field and its button.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "support/UiDriver.h"

namespace {

constexpr int kId = 11;
constexpr WPARAM kNone = static_cast<WPARAM>(-1);

std::string WindowText(HWND w) {
  int n = GetWindowTextLength(w);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowText(w, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

HWND ListOf(HWND combo) {
  COMBOBOXINFO info;
  SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info.hwndList;
}

HWND Fruits(ControlHost& host, DWORD kind, int height = 150) {
  HWND combo = host.Child(kComboBoxClass, kind | WS_VSCROLL | WS_TABSTOP, 20, 20, 140, height, kId);
  for (const char* t : {"apple", "banana", "cherry", "damson", "elder"})
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  return combo;
}

struct Step {
  UINT message;
  WPARAM wParam;
  const char* text;
  LPARAM lParam;
  LRESULT expected;
  std::vector<int> notifications;
};

TEST(ComboBox, DropDownListMessagesAnswerAsWindowsDoes) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  host.Take(kId);
  std::vector<Step> steps = {
      {CB_GETCOUNT, 0, nullptr, 0, 5, {}},
      {CB_INSERTSTRING, 0, "fig", 0, 0, {}},
      {CB_DELETESTRING, 0, nullptr, 0, 5, {}},
      {CB_GETLBTEXTLEN, 2, nullptr, 0, 6, {}},
      {CB_GETLBTEXTLEN, 9, nullptr, 0, CB_ERR, {}},
      {CB_GETCURSEL, 0, nullptr, 0, CB_ERR, {}},
      {CB_SETCURSEL, 2, nullptr, 0, 2, {}},
      {CB_GETCURSEL, 0, nullptr, 0, 2, {}},
      {WM_GETTEXTLENGTH, 0, nullptr, 0, 6, {}},  // the field shows the chosen item
      {CB_SETCURSEL, 7, nullptr, 0, CB_ERR, {}},
      {CB_FINDSTRING, kNone, "DA", 0, 3, {}},
      {CB_FINDSTRINGEXACT, kNone, "da", 0, CB_ERR, {}},
      {CB_SELECTSTRING, kNone, "b", 0, 1, {}},
      {CB_GETCURSEL, 0, nullptr, 0, 1, {}},
      {WM_SETTEXT, 0, "elder", 0, TRUE, {}},  // a drop-down list takes only an item's text
      {CB_GETCURSEL, 0, nullptr, 0, 4, {}},
      {WM_SETTEXT, 0, "nothing", 0, CB_ERR, {}},
      {CB_SETITEMDATA, 3, nullptr, 77, TRUE, {}},
      {CB_GETITEMDATA, 3, nullptr, 0, 77, {}},
      {CB_GETEDITSEL, 0, nullptr, 0, CB_ERR, {}},  // no edit
      {CB_LIMITTEXT, 5, nullptr, 0, CB_ERR, {}},
      {CB_GETDROPPEDSTATE, 0, nullptr, 0, FALSE, {}},
      {CB_SHOWDROPDOWN, TRUE, nullptr, 0, TRUE, {CBN_DROPDOWN}},
      {CB_GETDROPPEDSTATE, 0, nullptr, 0, TRUE, {}},
      {CB_SHOWDROPDOWN, FALSE, nullptr, 0, TRUE, {CBN_CLOSEUP}},
      {CB_GETDROPPEDSTATE, 0, nullptr, 0, FALSE, {}},
      {CB_GETEXTENDEDUI, 0, nullptr, 0, FALSE, {}},
      {CB_SETEXTENDEDUI, TRUE, nullptr, 0, CB_OKAY, {}},
      {CB_GETEXTENDEDUI, 0, nullptr, 0, TRUE, {}},
      {CB_SETDROPPEDWIDTH, 300, nullptr, 0, 300, {}},
      {CB_GETDROPPEDWIDTH, 0, nullptr, 0, 300, {}},
      {CB_SETDROPPEDWIDTH, 10, nullptr, 0, 140, {}},  // never narrower than the combo box
      {CB_GETMINVISIBLE, 0, nullptr, 0, 30, {}},
      {CB_SETMINVISIBLE, 3, nullptr, 0, TRUE, {}},
      {CB_RESETCONTENT, 0, nullptr, 0, CB_OKAY, {}},
      {CB_GETCOUNT, 0, nullptr, 0, 0, {}},
      {WM_GETTEXTLENGTH, 0, nullptr, 0, 0, {}},
      {WM_GETDLGCODE, 0, nullptr, 0, DLGC_WANTARROWS | DLGC_WANTCHARS, {}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    LPARAM l = s.text ? reinterpret_cast<LPARAM>(s.text) : s.lParam;
    EXPECT_EQ(SendMessage(combo, s.message, s.wParam, l), s.expected) << "step " << i;
    EXPECT_EQ(host.Take(kId), s.notifications) << "step " << i;
  }
}

TEST(ComboBox, TheWindowIsTheFieldAndTheHeightAskedForIsTheDroppedHeight) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST, 200);
  RECT w;
  GetWindowRect(combo, &w);
  LRESULT field = SendMessage(combo, CB_GETITEMHEIGHT, kNone, 0);
  EXPECT_EQ(w.bottom - w.top, field + 6);
  RECT dropped;
  SendMessage(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_EQ(dropped.top, w.top);
  EXPECT_EQ(dropped.bottom, w.top + 200);
  // A taller field: the window follows.
  EXPECT_EQ(SendMessage(combo, CB_SETITEMHEIGHT, kNone, 30), CB_OKAY);
  GetWindowRect(combo, &w);
  EXPECT_EQ(w.bottom - w.top, 36);
}

TEST(ComboBox, ClickDropsTheListAndAClickOnAnItemChoosesIt) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  HWND list = ListOf(combo);
  ui.RunUntilIdle();
  host.Take(kId);
  POINT field = UiDriver::At(combo, 20, 8);
  ui.Click(field.x, field.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), combo);  // the list never takes the focus
  RECT cw, lw;
  GetWindowRect(combo, &cw);
  GetWindowRect(list, &lw);
  EXPECT_EQ(lw.top, cw.bottom);
  EXPECT_EQ(lw.left, cw.left);
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN}));
  // The list is on top of everything: the point over its third item is the list's.
  RECT item;
  SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  POINT third = UiDriver::At(list, 10, item.top + 2);
  EXPECT_EQ(WindowFromPoint(third), list);
  ui.MoveTo(third.x, third.y);
  ui.Click(third.x, third.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(WindowText(combo), "cherry");
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(ComboBox, AClickElsewhereClosesWithoutAChoice) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  ui.RunUntilIdle();
  POINT field = UiDriver::At(combo, 20, 8);
  ui.Click(field.x, field.y);
  host.Take(kId);
  POINT away = UiDriver::At(host.window, 300, 200);
  ui.Click(away.x, away.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
  // A press on the open list's own scroll bar keeps it open.
  SendMessage(combo, CB_SETMINVISIBLE, 2, 0);
  ui.Click(field.x, field.y);
  HWND list = ListOf(combo);
  RECT lw, lc;
  GetWindowRect(list, &lw);
  GetClientRect(list, &lc);
  POINT bar = UiDriver::At(list, lc.right + 3, 5);
  ASSERT_LT(bar.x, lw.right);
  ui.Click(bar.x, bar.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_EQ(GetCapture(), list);
  ui.Click(away.x, away.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  // So does a cancel-mode message, to the combo box or its list.
  for (bool toList : {false, true}) {
    SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
    host.Take(kId);
    SendMessage(toList ? ListOf(combo) : combo, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE) << toList;
    EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP})) << toList;
    EXPECT_EQ(GetCapture(), nullptr);
  }
  // A second click on the field while it is open closes it too.
  ui.Click(field.x, field.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  ui.Click(field.x, field.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST(ComboBox, KeysOpenMoveChooseAndCancel) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  ui.RunUntilIdle();
  host.Take(kId);
  struct Case {
    const char* name;
    std::vector<int> open;  // keys that drop it (Alt held when the first is VK_MENU)
    int close;
    int expectedSel;
    std::vector<int> notifications;
  };
  std::vector<Case> cases = {
      {"F4, Down, Enter", {VK_F4}, VK_RETURN, 1, {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}},
      {"Alt+Down, Down, Esc", {VK_MENU, VK_DOWN}, VK_ESCAPE, 1,
       {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_SELCHANGE}},
      {"F4, Down, F4", {VK_F4}, VK_F4, 2, {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}},
  };
  for (const Case& c : cases) {
    if (c.open[0] == VK_MENU) {
      ui.KeyDown(VK_MENU);
      ui.Press(c.open[1]);
      ui.KeyUp(VK_MENU);
    } else {
      ui.Press(c.open[0]);
    }
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE) << c.name;
    ui.Press(VK_DOWN);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE) << c.name;
    ui.Press(c.close);
    EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE) << c.name;
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), c.expectedSel) << c.name;
    EXPECT_EQ(host.Take(kId), c.notifications) << c.name;
  }
  // Closed, the arrows and the first letters still choose.
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  ui.Advance(2000);
  ui.Type("b");
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SELCHANGE, CBN_SELCHANGE}));
  // The extended interface drops the list with Down and ignores F4.
  SendMessage(combo, CB_SETEXTENDEDUI, TRUE, 0);
  ui.Press(VK_F4);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  // Losing the focus closes it.
  SetFocus(host.window);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST(ComboBox, DroppedListShowsAtMostTheMinimumVisibleRowsAndOpensAboveNearTheScreenBottom) {
  UiDriver ui(640, 480);
  ControlHost host(0, 300, 300, 170);
  HWND combo = Fruits(host, CBS_DROPDOWNLIST, 300);
  SendMessage(combo, CB_SETMINVISIBLE, 3, 0);
  SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
  HWND list = ListOf(combo);
  RECT cw, lw, c;
  GetWindowRect(combo, &cw);
  GetWindowRect(list, &lw);
  GetClientRect(list, &c);
  LRESULT h = SendMessage(list, LB_GETITEMHEIGHT, 0, 0);
  EXPECT_EQ(c.bottom, 3 * h);
  if (cw.bottom + (lw.bottom - lw.top) > 480) EXPECT_EQ(lw.bottom, cw.top);
  else EXPECT_EQ(lw.top, cw.bottom);
}

TEST(ComboBox, SimpleComboShowsItsListAlwaysAndTheFieldFollowsIt) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_SIMPLE, 150);
  HWND list = ListOf(combo);
  ui.RunUntilIdle();
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetParent(list), combo);
  RECT w;
  GetWindowRect(combo, &w);
  EXPECT_EQ(w.bottom - w.top, 150);
  host.Take(kId);
  RECT item;
  SendMessage(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
  POINT p = UiDriver::At(list, 10, item.top + 2);
  ui.Click(p.x, p.y);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(WindowText(combo), "damson");
  std::vector<int> codes = host.Take(kId);
  EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_SELCHANGE), codes.end());
  EXPECT_EQ(SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  // The click in the list focused its combo box, which keeps the focus in its edit field.
  COMBOBOXINFO parts;
  SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&parts));
  ASSERT_NE(parts.hwndItem, nullptr);
  EXPECT_EQ(GetFocus(), parts.hwndItem);
}

TEST(ComboBox, TheWheelChoosesWhenClosedAndScrollsWhenOpen) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  SendMessage(combo, CB_SETCURSEL, 2, 0);
  SetFocus(combo);
  ui.RunUntilIdle();
  host.Take(kId);
  POINT p = UiDriver::At(combo, 20, 8);
  ui.Wheel(p.x, p.y, -WHEEL_DELTA);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  ui.Wheel(p.x, p.y, 2 * WHEEL_DELTA);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SELCHANGE, CBN_SELCHANGE}));
}

TEST(ComboBox, DropDownComboKeepsItsTextAndTakesAChosenItemsText) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWN);
  EXPECT_EQ(SetWindowText(combo, "my own"), TRUE);
  EXPECT_EQ(WindowText(combo), "my own");
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  SendMessage(combo, CB_SELECTSTRING, kNone, reinterpret_cast<LPARAM>("ch"));
  EXPECT_EQ(WindowText(combo), "cherry");
  SendMessage(combo, CB_SETCURSEL, kNone, 0);
  EXPECT_EQ(WindowText(combo), "");
  // Only the button drops a drop-down combo box's list.
  COMBOBOXINFO info;
  SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  ui.RunUntilIdle();
  POINT button = UiDriver::At(combo, (info.rcButton.left + info.rcButton.right) / 2, 8);
  ui.Click(button.x, button.y);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
}

TEST(ComboBox, OwnerDrawnComboAsksForTheFieldAndDrawsItWithTheEditState) {
  UiDriver ui;
  ControlHost host;
  std::vector<int> measured;
  std::vector<std::pair<int, UINT>> drawn;
  host.OnMessage([&](UINT m, WPARAM, LPARAM l, LRESULT& result) {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      EXPECT_EQ(mis->CtlType, static_cast<UINT>(ODT_COMBOBOX));
      measured.push_back(static_cast<int>(mis->itemID));
      mis->itemHeight = mis->itemID == static_cast<UINT>(-1) ? 20 : 16;
      result = TRUE;
      return true;
    }
    if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      EXPECT_EQ(dis->CtlType, static_cast<UINT>(ODT_COMBOBOX));
      EXPECT_EQ(dis->CtlID, static_cast<UINT>(kId));
      drawn.push_back({static_cast<int>(dis->itemID), dis->itemState});
      result = TRUE;
      return true;
    }
    return false;
  });
  HWND combo = host.Child(kComboBoxClass, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 20, 20, 140, 150, kId);
  EXPECT_EQ(measured, (std::vector<int>{-1, 0}));
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, kNone, 0), 20);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0), 16);
  // A new font leaves the owner's heights alone.
  SendMessage(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, kNone, 0), 20);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0), 16);
  SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  drawn.clear();
  ui.RunUntilIdle();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back().first, 0);
  EXPECT_EQ(drawn.back().second, static_cast<UINT>(ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS));
}

// A dialog that closes as soon as a choice is made destroys the combo box, or the list box,
// from inside the notification: the controls return from it without touching what is gone.
TEST(ComboBox, AParentMayDestroyTheControlsFromTheirNotifications) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 200, 20, 100, 100, kId + 1);
  SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
  int destroyed = 0;
  host.OnMessage([&](UINT m, WPARAM w, LPARAM l, LRESULT& result) {
    if (m == WM_COMMAND && ((LOWORD(w) == kId && HIWORD(w) == CBN_SELENDOK) ||
                            (LOWORD(w) == kId + 1 && HIWORD(w) == LBN_SELCHANGE))) {
      DestroyWindow(reinterpret_cast<HWND>(l));
      ++destroyed;
      return true;
    }
    if (m == WM_DELETEITEM || m == WM_DRAWITEM || m == WM_MEASUREITEM) {
      result = TRUE;
      return true;
    }
    return false;
  });
  ui.RunUntilIdle();
  POINT field = UiDriver::At(combo, 20, 8);
  ui.Click(field.x, field.y);
  ui.Press(VK_DOWN);
  ui.Press(VK_RETURN);
  EXPECT_FALSE(IsWindow(combo));
  POINT item = UiDriver::At(list, 10, 3);
  ui.Click(item.x, item.y);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(GetCapture(), nullptr);
  ui.RunUntilIdle();
}

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

TEST(ComboBoxLook, SunkenFieldHighlightedWhenFocusedAndAnArrowButton) {
  UiDriver ui;
  ControlHost host;
  HWND combo = Fruits(host, CBS_DROPDOWNLIST);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  ui.RunUntilIdle();
  COMBOBOXINFO info;
  SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  auto pixel = [&](int x, int y) {
    POINT p = UiDriver::At(combo, x, y);
    return ui.Pixel(p.x, p.y);
  };
  // The sunken frame: shadow above, highlight below.
  EXPECT_EQ(pixel(5, 0), Rgb(GetSysColor(COLOR_BTNSHADOW)));
  RECT c;
  GetClientRect(combo, &c);
  EXPECT_EQ(pixel(5, c.bottom - 1), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
  // The focused field is in the highlight colour.
  EXPECT_EQ(pixel(info.rcItem.right - 3, (info.rcItem.top + info.rcItem.bottom) / 2), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
  // The button: a face with a dark arrow in its middle.
  RECT b = info.rcButton;
  EXPECT_EQ(pixel(b.left + 3, b.top + 3), Rgb(GetSysColor(COLOR_BTNFACE)));
  int dark = 0;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left; x < b.right; ++x)
      if (pixel(x, y) == Rgb(GetSysColor(COLOR_BTNTEXT))) ++dark;
  EXPECT_GE(dark, 6);
  // Unfocused, the field is the window colour.
  SetFocus(host.window);
  ui.RunUntilIdle();
  EXPECT_EQ(pixel(info.rcItem.right - 3, (info.rcItem.top + info.rcItem.bottom) / 2), Rgb(GetSysColor(COLOR_WINDOW)));
}

}  // namespace
