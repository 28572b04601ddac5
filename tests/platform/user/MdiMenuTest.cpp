// The MDI frame's window menu: it lists the visible children by their titles and ids, the
// active one checked, follows them as they come, go and are renamed, and a choice from it
// activates the child; Alt+'-' opens the active child's own system menu.

#include <gtest/gtest.h>

#include "MdiDesk.h"

namespace {

std::string Items(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (i) out += "|";
    if (state & MF_SEPARATOR) {
      out += "-";
      continue;
    }
    if (state & MF_CHECKED) out += "[x]";
    out += text;
    UINT id = GetMenuItemID(menu, i);
    if (id >= static_cast<UINT>(MdiDesk::kFirstId)) {
      out += '#';
      out += std::to_string(id - MdiDesk::kFirstId);
    }
  }
  return out;
}

class MdiMenu : public testing::Test {
protected:
  MdiMenu() {
    AppendMenu(windowMenu, MF_STRING, 50, "&Cascade");
    AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), "&Window");
    SendMessage(desk.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(windowMenu));
    DrawMenuBar(desk.frame);
  }

  MdiDesk desk;
  HMENU bar = CreateMenu(), windowMenu = CreatePopupMenu();
};

TEST_F(MdiMenu, TheWindowMenuListsTheChildrenAndFollowsThem) {
  EXPECT_EQ(Items(windowMenu), "&Cascade");  // no children: no list
  HWND a = desk.Child("a");
  HWND b = desk.Child("b");
  desk.Child("c");
  EXPECT_EQ(Items(windowMenu), "&Cascade|-|&1 a#0|&2 b#1|[x]&3 c#2");
  SendMessage(desk.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(Items(windowMenu), "&Cascade|-|[x]&1 a#0|&2 b#1|&3 c#2");
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_EQ(Items(windowMenu), "&Cascade|-|[x]&1 a#0|&2 c#1");  // the ids close up
  SetWindowText(a, "renamed");
  EXPECT_EQ(Items(windowMenu), "&Cascade|-|[x]&1 renamed#0|&2 c#1");
  // A new window menu takes the list; the old one gives it up.
  HMENU other = CreatePopupMenu();
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(other), "&Other");
  SendMessage(desk.client, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_EQ(Items(other), "-|[x]&1 renamed#0|&2 c#1");
}

TEST_F(MdiMenu, ChoosingAChildFromTheMenuActivatesIt) {
  HWND a = desk.Child("a");
  desk.Child("b");
  desk.ui.QueueKeyDown(VK_MENU);
  desk.ui.QueuePress('W');
  desk.ui.QueueKeyUp(VK_MENU);
  desk.ui.QueuePress('1');
  desk.ui.RunUntilIdle();
  EXPECT_EQ(desk.Active(), a);
  EXPECT_EQ(Items(windowMenu), "&Cascade|-|[x]&1 a#0|&2 b#1");
}

TEST_F(MdiMenu, AltMinusOpensTheActiveChildsSystemMenu) {
  desk.Child("a");
  HWND b = desk.Child("b");
  desk.ui.QueueKeyDown(VK_MENU);
  desk.ui.QueuePress(0xBD);  // '-'
  desk.ui.QueueKeyUp(VK_MENU);
  bool opened = false;
  desk.ui.WhenModalWaits([&] {
    HWND popup = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    opened = popup && GetProp(popup, "MenuHandle") == GetSystemMenu(b, FALSE);
    desk.ui.QueuePress('C');  // &Close
  });
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(IsWindow(b));
}

}  // namespace

namespace {

TEST_F(MdiMenu, AltMinusFromTheFrameOpensTheActiveChildsSystemMenu) {
  HWND a = desk.Child("a");
  SetFocus(desk.frame);  // the keys go to the frame: '-' is no mnemonic of its bar
  desk.ui.RunUntilIdle();
  desk.ui.QueueKeyDown(VK_MENU);
  desk.ui.QueuePress(0xBD);
  desk.ui.QueueKeyUp(VK_MENU);
  desk.ui.QueuePress(VK_DOWN);  // Restore is grey: Down goes on to Move
  bool opened = false;
  desk.ui.WhenModalWaits([&] {
    HWND popup = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    opened = popup && GetProp(popup, "MenuHandle") == GetSystemMenu(a, FALSE);
    desk.ui.QueuePress(VK_ESCAPE);
  });
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(opened);
}

TEST_F(MdiMenu, AMaximisedChildsIconAndButtonsMoveIntoTheBar) {
  HWND a = desk.Child("a");
  HWND b = desk.Child("b");
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
  desk.ui.RunUntilIdle();
  ASSERT_EQ(GetMenuItemCount(bar), 5);  // icon, Window, minimise, restore, close
  EXPECT_EQ(GetSubMenu(bar, 0), GetSystemMenu(b, FALSE));
  EXPECT_NE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_BITMAP, 0u);
  EXPECT_EQ(GetMenuItemID(bar, 2), SC_MINIMIZE);
  EXPECT_EQ(GetMenuItemID(bar, 4), SC_CLOSE);
  RECT window, close;
  GetMenuItemRect(desk.frame, bar, 1, &window);
  GetMenuItemRect(desk.frame, bar, 4, &close);
  RECT frame;
  GetWindowRect(desk.frame, &frame);
  EXPECT_GT(close.left, (frame.left + frame.right) / 2);  // the buttons stand at the right end
  // The restore button restores the child, and the bar is as before.
  RECT restore;
  GetMenuItemRect(desk.frame, bar, 3, &restore);
  desk.ui.Click((restore.left + restore.right) / 2, (restore.top + restore.bottom) / 2);
  EXPECT_FALSE(IsZoomed(b));
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  // Maximised again, the icon's menu closes the child.
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
  desk.ui.RunUntilIdle();
  RECT icon;
  GetMenuItemRect(desk.frame, bar, 0, &icon);
  desk.ui.QueueClick((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
  desk.ui.WhenModalWaits([&] { desk.ui.QueuePress('C'); });
  desk.ui.RunUntilIdle();
  EXPECT_FALSE(IsWindow(b));
  // The next child takes the maximised state, and its icon takes the bar.
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_EQ(GetMenuItemCount(bar), 5);
  EXPECT_EQ(GetSubMenu(bar, 0), GetSystemMenu(a, FALSE));
}

}  // namespace
