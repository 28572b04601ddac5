// The menus as a user works them: the bar opened by a click, by Alt+letter and by F10, walked
// with the arrow keys into a cascade, Enter to choose, Esc to back out, mnemonics, the
// messages the window hears on the way, accelerators, the system menu and TrackPopupMenu.
// A gesture that runs inside the menu loop is queued whole before the loop runs.

#include <gtest/gtest.h>

#include <algorithm>

#include "MenuDesk.h"
#include "platform/rtl/Clock.h"

namespace {

bool Has(const MenuLog& log, const std::string& entry) { return std::find(log.begin(), log.end(), entry) != log.end(); }
long Count(const MenuLog& log, const std::string& prefix) {
  return std::count_if(log.begin(), log.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
}

TEST(MenuTracking, ClickOnTheBarOpensItsMenuAndAClickChooses) {
  MenuDesk desk;
  POINT file = desk.BarItem(0);
  desk.ui.QueueClick(file.x, file.y);
  // The popup opens below the bar item; the loop waits for the next click, queued meanwhile.
  desk.ui.WhenModalWaits([&] {
    std::vector<HWND> popups = MenuDesk::Popups();
    ASSERT_EQ(popups.size(), 1u);
    RECT popup, item;
    GetWindowRect(popups[0], &popup);
    GetMenuItemRect(desk.window, desk.bar, 0, &item);
    EXPECT_EQ(popup.left, item.left);
    EXPECT_EQ(popup.top, item.bottom);
    POINT save = MenuDesk::PopupItem(desk.file, 1);
    desk.ui.QueueMove(save.x, save.y);
    desk.ui.QueueClick(save.x, save.y);
  });
  desk.ui.RunUntilIdle();
  EXPECT_EQ(desk.Take(), (MenuLog{"ENTERMENULOOP(0)", "INITMENU(bar)", "MENUSELECT(&File)", "INITMENUPOPUP(&File)",
                                  "MENUSELECT(102)", "UNINITMENUPOPUP", "MENUSELECT(none)", "EXITMENULOOP(0)",
                                  "COMMAND(102,0)"}));
  EXPECT_TRUE(MenuDesk::Popups().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(MenuTracking, KeysWalkTheMenus) {
  struct Case {
    const char* what;
    std::function<void(MenuDesk&)> queue;
    const char* command;  // the WM_COMMAND that follows, or "" for none
  };
  const Case cases[] = {
      {"Alt+F, Down, Enter: the second item",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress(VK_DOWN);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(102,0)"},
      {"Alt+F, Up round the end, over the separator",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress(VK_UP);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(104,0)"},
      {"F10, Right, Down opens Edit, Down, Right into the cascade, Enter",
       [](MenuDesk& d) {
         d.ui.QueuePress(VK_F10);
         d.ui.QueuePress(VK_RIGHT);
         d.ui.QueuePress(VK_DOWN);
         d.ui.QueuePress(VK_DOWN);
         d.ui.QueuePress(VK_RIGHT);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(211,0)"},
      {"Alt alone, then a mnemonic of the bar and one of the menu",
       [](MenuDesk& d) {
         d.ui.QueuePress(VK_MENU);
         d.ui.QueuePress('E');
         d.ui.QueuePress('I');
         d.ui.QueuePress('L');
       },
       "COMMAND(212,0)"},
      {"Left closes the cascade, not the menu",
       [](MenuDesk& d) {
         d.QueueAlt('E');
         d.ui.QueuePress(VK_DOWN);
         d.ui.QueuePress(VK_RIGHT);
         d.ui.QueuePress(VK_LEFT);
         d.ui.QueuePress(VK_UP);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(201,0)"},
      {"Right past the last menu goes through the system menu to the first",
       [](MenuDesk& d) {
         d.QueueAlt('H');
         d.ui.QueuePress(VK_RIGHT);
         d.ui.QueuePress(VK_RIGHT);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(101,0)"},
      {"Left from the first menu goes through the system menu to the last",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress(VK_LEFT);
         d.ui.QueuePress(VK_LEFT);
         d.ui.QueuePress(VK_RETURN);
       },
       "COMMAND(301,0)"},
      {"Esc backs out one level at a time",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress(VK_ESCAPE);
         d.ui.QueuePress(VK_ESCAPE);
       },
       ""},
      {"a grey item cannot be chosen by Enter or its mnemonic",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress('P');
         d.ui.QueuePress(VK_RETURN);
         d.ui.QueuePress(VK_ESCAPE);
         d.ui.QueuePress(VK_ESCAPE);
       },
       ""},
      {"Alt again leaves the menus",
       [](MenuDesk& d) {
         d.QueueAlt('F');
         d.ui.QueuePress(VK_MENU);
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MenuDesk desk;
    c.queue(desk);
    desk.ui.RunUntilIdle();
    MenuLog log = desk.Take();
    EXPECT_TRUE(Has(log, "EXITMENULOOP(0)"));
    EXPECT_EQ(Count(log, "COMMAND"), *c.command ? 1 : 0);
    if (*c.command) {
      EXPECT_TRUE(Has(log, c.command));
    }
    EXPECT_TRUE(MenuDesk::Popups().empty());
    EXPECT_EQ(GetMenuState(desk.bar, 0, MF_BYPOSITION) & MF_HILITE, 0u);  // the bar is plain again
  }
}

TEST(MenuTracking, EscFromAnOpenMenuLeavesTheBarSelected) {
  MenuDesk desk;
  desk.QueueAlt('F');
  desk.ui.QueuePress(VK_ESCAPE);
  desk.ui.WhenModalWaits([&] {
    EXPECT_TRUE(MenuDesk::Popups().empty());
    EXPECT_EQ(MenuLoopOwner(), desk.window);
    EXPECT_NE(GetMenuState(desk.bar, 0, MF_BYPOSITION) & MF_HILITE, 0u);
    desk.ui.QueuePress(VK_ESCAPE);
  });
  desk.ui.RunUntilIdle();
  EXPECT_EQ(MenuLoopOwner(), nullptr);
}

// The click that ends the menu loop off the menus is not swallowed: the window under it gets
// it, whether Esc had already closed the open menu (the bar still selected) or the menu was open.
TEST(MenuTracking, AClickOffTheMenusReachesTheWindowUnderIt) {
  for (bool escFirst : {true, false}) {
    SCOPED_TRACE(escFirst ? "after Esc" : "menu open");
    MenuDesk desk;
    std::vector<POINT> presses;
    int releases = 0;
    desk.OnMessage([&](UINT m, WPARAM, LPARAM lParam, LRESULT&) {
      if (m == WM_LBUTTONDOWN) presses.push_back(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (m == WM_LBUTTONUP) ++releases;
      return false;
    });
    desk.QueueAlt('F');
    if (escFirst) desk.ui.QueuePress(VK_ESCAPE);
    desk.ui.WhenModalWaits([&] {
      EXPECT_EQ(MenuDesk::Popups().empty(), escFirst);
      POINT client = UiDriver::At(desk.window, 300, 200);
      desk.ui.QueueClick(client.x, client.y);
    });
    desk.ui.RunUntilIdle();
    EXPECT_EQ(MenuLoopOwner(), nullptr);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].x, 300);
    EXPECT_EQ(presses[0].y, 200);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(Count(desk.Take(), "COMMAND"), 0);
  }
}

TEST(MenuTracking, TheMouseMovesAnOpenMenuAlongTheBarAndIntoACascade) {
  MenuDesk desk;
  POINT file = desk.BarItem(0), edit = desk.BarItem(1);
  desk.ui.QueueClick(file.x, file.y);
  desk.ui.QueueMove(edit.x, edit.y);
  desk.ui.WhenModalWaits([&] {
    ASSERT_EQ(MenuDesk::Popups().size(), 1u);
    EXPECT_EQ(GetProp(MenuDesk::Popups()[0], "MenuHandle"), desk.edit);
    POINT sizeItem = MenuDesk::PopupItem(desk.edit, 1);
    desk.ui.QueueMove(sizeItem.x, sizeItem.y);
  });
  desk.ui.WhenModalWaits([&] {
    ASSERT_EQ(MenuDesk::Popups().size(), 2u);  // the cascade opened beside its item
    RECT parent, child;
    GetWindowRect(MenuDesk::Popups()[0], &parent);
    GetWindowRect(MenuDesk::Popups()[1], &child);
    EXPECT_GT(child.left, (parent.left + parent.right) / 2);
    POINT small = MenuDesk::PopupItem(desk.size, 0);
    desk.ui.QueueMove(small.x, small.y);
    desk.ui.QueueClick(small.x, small.y);
  });
  desk.ui.RunUntilIdle();
  MenuLog log = desk.Take();
  EXPECT_TRUE(Has(log, "INITMENUPOPUP(&Edit)"));
  EXPECT_TRUE(Has(log, "INITMENUPOPUP(S&ize)"));
  EXPECT_TRUE(Has(log, "COMMAND(211,0)"));
}

TEST(MenuTracking, AClickOnAGreyItemOrOffTheMenusChoosesNothing) {
  MenuDesk desk;
  POINT file = desk.BarItem(0);
  desk.ui.QueueClick(file.x, file.y);
  desk.ui.WhenModalWaits([&] {
    POINT print = MenuDesk::PopupItem(desk.file, 2);
    desk.ui.QueueClick(print.x, print.y);
  });
  desk.ui.WhenModalWaits([&] {
    EXPECT_EQ(MenuDesk::Popups().size(), 1u);  // still open
    POINT client = UiDriver::At(desk.window, 300, 200);
    desk.ui.QueueClick(client.x, client.y);
  });
  desk.ui.RunUntilIdle();
  MenuLog log = desk.Take();
  EXPECT_EQ(Count(log, "COMMAND"), 0);
  EXPECT_TRUE(Has(log, "EXITMENULOOP(0)"));
}

TEST(MenuTracking, AnUnknownMnemonicAsksTheWindow) {
  MenuDesk desk;
  desk.AnswerMenuChar(MAKELRESULT(1, MNC_EXECUTE));  // the window picks the second item
  desk.QueueAlt('F');
  desk.ui.QueuePress('Q');
  desk.ui.RunUntilIdle();
  MenuLog log = desk.Take();
  EXPECT_TRUE(Has(log, "MENUCHAR(q)"));
  EXPECT_TRUE(Has(log, "COMMAND(102,0)"));

  desk.AnswerMenuChar(MAKELRESULT(0, MNC_CLOSE));
  desk.QueueAlt('F');
  desk.ui.QueuePress('Q');
  desk.ui.RunUntilIdle();
  log = desk.Take();
  EXPECT_TRUE(Has(log, "MENUCHAR(q)"));
  EXPECT_EQ(Count(log, "COMMAND"), 0);
  EXPECT_TRUE(Has(log, "EXITMENULOOP(0)"));
}

TEST(MenuTracking, AcceleratorsSendCommandsUnlessTheirItemIsGrey) {
  MenuDesk desk;
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'S', MenuDesk::kSave}, {FVIRTKEY | FCONTROL, 'P', MenuDesk::kPrint},
                  {FVIRTKEY | FALT, VK_F4, SC_CLOSE}, {FVIRTKEY, VK_F5, 555}};
  HACCEL table = CreateAcceleratorTable(keys, 4);
  desk.ui.PreTranslate([&](MSG& msg) { return TranslateAccelerator(desk.window, table, &msg) != 0; });
  auto chord = [&](int modifier, int key) {
    desk.ui.KeyDown(modifier);
    desk.ui.Press(key);
    desk.ui.KeyUp(modifier);
  };
  chord(VK_CONTROL, 'S');
  EXPECT_EQ(desk.Take(), (MenuLog{"INITMENU(bar)", "INITMENUPOPUP(&File)", "COMMAND(102,1)"}));
  chord(VK_CONTROL, 'P');  // Print is grey
  EXPECT_EQ(desk.Take(), (MenuLog{"INITMENU(bar)", "INITMENUPOPUP(&File)"}));
  // The program may enable the item as its popup is prepared: then the command comes.
  desk.OnMessage([&](UINT m, WPARAM wParam, LPARAM, LRESULT&) {
    if (m == WM_INITMENUPOPUP) EnableMenuItem(reinterpret_cast<HMENU>(wParam), MenuDesk::kPrint, MF_ENABLED);
    return false;
  });
  chord(VK_CONTROL, 'P');
  EXPECT_EQ(desk.Take(), (MenuLog{"INITMENU(bar)", "INITMENUPOPUP(&File)", "COMMAND(103,1)"}));
  desk.OnMessage(nullptr);
  desk.ui.Press(VK_F5);  // in no menu: the command still comes
  EXPECT_EQ(desk.Take(), (MenuLog{"COMMAND(555,1)"}));
  chord(VK_SHIFT, 'S');  // other modifiers: no match
  EXPECT_EQ(desk.Take(), MenuLog{});
  chord(VK_MENU, VK_F4);  // an item of the system menu: a system command
  EXPECT_FALSE(IsWindow(desk.window));
  desk.ui.PreTranslate(nullptr);
  DestroyAcceleratorTable(table);
}

TEST(MenuTracking, TheSystemMenuOpensFromAltSpaceAndTheCaptionIcon) {
  MenuDesk desk;
  desk.ui.QueueKeyDown(VK_MENU);
  desk.ui.QueuePress(VK_SPACE);
  desk.ui.QueueKeyUp(VK_MENU);
  desk.ui.QueuePress('N');  // Mi&nimize
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(Has(desk.Take(), "SYSCOMMAND(F020)"));
  EXPECT_TRUE(IsIconic(desk.window));
  ShowWindow(desk.window, SW_RESTORE);
  desk.ui.RunUntilIdle();

  RECT wr;
  GetWindowRect(desk.window, &wr);
  int f = GetSystemMetrics(SM_CXFRAME);
  desk.ui.QueueClick(wr.left + f + 8, wr.top + f + 8);
  desk.ui.WhenModalWaits([&] {
    ASSERT_EQ(MenuDesk::Popups().size(), 1u);
    HMENU system = GetSystemMenu(desk.window, FALSE);
    POINT close = MenuDesk::PopupItem(system, 6);
    desk.ui.QueueClick(close.x, close.y);
  });
  desk.ui.RunUntilIdle();
  EXPECT_FALSE(IsWindow(desk.window));
}

TEST(MenuTracking, LeftFromTheFirstMenuOpensTheSystemMenu) {
  MenuDesk desk;
  desk.QueueAlt('F');
  desk.ui.QueuePress(VK_LEFT);
  desk.ui.QueuePress('X');  // Ma&ximize
  desk.ui.RunUntilIdle();
  MenuLog log = desk.Take();
  EXPECT_TRUE(Has(log, "INITMENUPOPUP(system)"));
  EXPECT_TRUE(Has(log, "SYSCOMMAND(F030)"));
  EXPECT_TRUE(IsZoomed(desk.window));
}

TEST(MenuTracking, ADoubleClickOnTheCaptionIconClosesTheWindow) {
  MenuDesk desk;
  RECT wr;
  GetWindowRect(desk.window, &wr);
  int f = GetSystemMetrics(SM_CXFRAME);
  POINT icon{wr.left + f + 8, wr.top + f + 8};
  desk.ui.QueueClick(icon.x, icon.y);
  desk.ui.QueueClick(icon.x, icon.y);
  desk.ui.RunUntilIdle();
  EXPECT_FALSE(IsWindow(desk.window));
}

TEST(MenuTracking, ASlowSecondClickOnTheIconOnlyClosesTheMenu) {
  MenuDesk desk;
  RECT wr;
  GetWindowRect(desk.window, &wr);
  int f = GetSystemMetrics(SM_CXFRAME);
  POINT icon{wr.left + f + 8, wr.top + f + 8};
  desk.ui.QueueClick(icon.x, icon.y);
  desk.ui.WhenModalWaits([&] {
    AdvanceClock(GetDoubleClickTime() + 100);
    desk.ui.QueueClick(icon.x, icon.y);
  });
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(IsWindow(desk.window));
  EXPECT_TRUE(MenuDesk::Popups().empty());
}

TEST(MenuTracking, ARightClickOnTheCaptionOpensTheSystemMenuThere) {
  MenuDesk desk;
  RECT wr;
  GetWindowRect(desk.window, &wr);
  POINT caption{wr.left + 150, wr.top + 12};
  desk.ui.QueueClick(caption.x, caption.y, InputEvent::Right);
  RECT popup{};
  desk.ui.WhenModalWaits([&] {
    GetWindowRect(MenuDesk::Popups().at(0), &popup);
    desk.ui.QueuePress(VK_ESCAPE);
  });
  desk.ui.RunUntilIdle();
  EXPECT_EQ(popup.left, caption.x);
  EXPECT_EQ(popup.top, caption.y);
  EXPECT_TRUE(Has(desk.Take(), "INITMENUPOPUP(system)"));
}

TEST(MenuTracking, TheSystemMenuFollowsTheWindowsState) {
  struct Case {
    int show;
    DWORD removedStyle;
    const char* enabled;  // Restore, Move, Size, Minimize, Maximize, Close
  };
  const Case cases[] = {
      {SW_SHOWNORMAL, 0, "-+++++"},
      {SW_MAXIMIZE, 0, "+--+-+"},
      {SW_MINIMIZE, 0, "++--++"},
      {SW_SHOWNORMAL, WS_THICKFRAME | WS_MAXIMIZEBOX, "-+-+-+"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.enabled);
    MenuDesk desk;
    if (c.removedStyle)
      SetWindowLong(desk.window, GWL_STYLE, GetWindowLong(desk.window, GWL_STYLE) & ~static_cast<LONG>(c.removedStyle));
    ShowWindow(desk.window, c.show);
    SetActiveWindow(desk.window);  // a minimised window keeps the keyboard when it is the only one
    desk.ui.RunUntilIdle();
    std::string seen;
    desk.OnMessage([&](UINT m, WPARAM wParam, LPARAM lParam, LRESULT&) {
      if (m == WM_INITMENUPOPUP && HIWORD(lParam))
        for (UINT id : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
          seen += (GetMenuState(reinterpret_cast<HMENU>(wParam), id, MF_BYCOMMAND) & MF_GRAYED) ? '-' : '+';
      return false;
    });
    desk.ui.QueueKeyDown(VK_MENU);
    desk.ui.QueuePress(VK_SPACE);
    desk.ui.QueueKeyUp(VK_MENU);
    desk.ui.QueuePress(VK_ESCAPE);
    desk.ui.RunUntilIdle();
    EXPECT_EQ(seen, c.enabled);
  }
}

TEST(MenuTracking, TrackPopupMenuAlignsTheMenuOnItsPoint) {
  struct Case {
    UINT flags;
    int dx, dy;  // the popup's top-left from the point, in halves of its size
  };
  const Case cases[] = {
      {TPM_LEFTALIGN | TPM_TOPALIGN, 0, 0},      {TPM_CENTERALIGN, -1, 0},
      {TPM_RIGHTALIGN, -2, 0},                   {TPM_VCENTERALIGN, 0, -1},
      {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, -2, -2},
  };
  MenuDesk desk;
  const POINT at{600, 400};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    RECT seen{};
    desk.ui.WhenModalWaits([&] {
      GetWindowRect(MenuDesk::Popups().at(0), &seen);
      desk.ui.QueuePress(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(desk.file, c.flags, at.x, at.y, 0, desk.window, nullptr), FALSE);  // cancelled
    int w = seen.right - seen.left, h = seen.bottom - seen.top;
    EXPECT_EQ(seen.left, at.x + c.dx * w / 2);
    EXPECT_EQ(seen.top, at.y + c.dy * h / 2);
  }
}

TEST(MenuTracking, TrackPopupMenuStaysOnTheScreenAndReturnsOrPostsTheChoice) {
  MenuDesk desk;
  RECT seen{};
  desk.ui.WhenModalWaits([&] {
    GetWindowRect(MenuDesk::Popups().at(0), &seen);
    desk.ui.QueuePress(VK_DOWN);
    desk.ui.QueuePress(VK_RETURN);
  });
  int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  BOOL chosen = TrackPopupMenu(desk.file, TPM_RETURNCMD | TPM_NONOTIFY, screenW - 5, screenH - 5, 0, desk.window, nullptr);
  EXPECT_EQ(chosen, static_cast<BOOL>(MenuDesk::kOpen));
  EXPECT_LE(seen.right, screenW);
  EXPECT_LE(seen.bottom, screenH);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(desk.Take(), MenuLog{});  // neither notices nor a posted command

  desk.ui.WhenModalWaits([&] {
    desk.ui.QueuePress(VK_DOWN);
    desk.ui.QueuePress(VK_RETURN);
  });
  EXPECT_EQ(TrackPopupMenu(desk.file, 0, 50, 50, 0, desk.window, nullptr), TRUE);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(desk.Take(), (MenuLog{"ENTERMENULOOP(1)", "INITMENU(popup)", "INITMENUPOPUP(&File)", "MENUSELECT(101)",
                                  "UNINITMENUPOPUP", "MENUSELECT(none)", "EXITMENULOOP(1)", "COMMAND(101,0)"}));
  EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(0x77), 0, 0, 0, 0, desk.window, nullptr));
}

TEST(MenuTracking, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
  MenuDesk desk;
  HMENU popup = CreatePopupMenu();
  AppendMenu(popup, MF_OWNERDRAW, 7, reinterpret_cast<LPCSTR>(0x1234));
  AppendMenu(popup, MF_STRING, 8, "Text");
  std::vector<UINT> drawn;
  desk.OnMessage([&](UINT m, WPARAM, LPARAM lParam, LRESULT& result) {
    if (m == WM_MEASUREITEM) {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      EXPECT_EQ(mi->CtlType, ODT_MENU);
      EXPECT_EQ(mi->itemData, 0x1234u);
      mi->itemWidth = 80;
      mi->itemHeight = 30;
      result = TRUE;
      return true;
    }
    if (m == WM_DRAWITEM) {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      EXPECT_EQ(di->CtlType, ODT_MENU);
      EXPECT_EQ(di->hwndItem, reinterpret_cast<HWND>(popup));
      drawn.push_back(di->itemState);
      result = TRUE;
      return true;
    }
    return false;
  });
  desk.ui.WhenModalWaits([&] {
    RECT item;
    GetMenuItemRect(nullptr, popup, 0, &item);
    EXPECT_EQ(item.bottom - item.top, 30);
    EXPECT_GE(item.right - item.left, 80);
    desk.ui.QueuePress(VK_DOWN);
    desk.ui.QueuePress(VK_RETURN);
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 100, 100, 0, desk.window, nullptr), 7);
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn.front() & ODS_SELECTED, 0u);
  EXPECT_NE(drawn.back() & ODS_SELECTED, 0u);  // drawn again highlighted
  DestroyMenu(popup);
}

TEST(MenuTracking, ANarrowWindowWrapsItsBarIntoRows) {
  MenuDesk desk;
  AppendMenu(desk.bar, MF_STRING, 401, "&Window arrangements");
  DrawMenuBar(desk.window);
  RECT first, last, client;
  GetMenuItemRect(desk.window, desk.bar, 0, &first);
  GetMenuItemRect(desk.window, desk.bar, 2, &last);
  EXPECT_EQ(first.top, last.top);
  GetClientRect(desk.window, &client);
  int wideClient = client.bottom;
  SetWindowPos(desk.window, nullptr, 0, 0, 160, 300, SWP_NOMOVE | SWP_NOZORDER);
  desk.ui.RunUntilIdle();
  GetMenuItemRect(desk.window, desk.bar, 0, &first);
  GetMenuItemRect(desk.window, desk.bar, 3, &last);
  EXPECT_GT(last.top, first.top);
  GetClientRect(desk.window, &client);
  EXPECT_LE(client.bottom, wideClient - GetSystemMetrics(SM_CYMENU));
  // The lower row answers the hit test as the menu, and opens its own item.
  POINT help{(last.left + last.right) / 2, (last.top + last.bottom) / 2};
  EXPECT_EQ(SendMessage(desk.window, WM_NCHITTEST, 0, MAKELPARAM(help.x, help.y)), HTMENU);
  desk.ui.QueueClick(help.x, help.y);
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(Has(desk.Take(), "COMMAND(401,0)"));  // a bar item without a menu is a command
}

}  // namespace

namespace {

TEST(MenuLayout, BreaksStartNewColumnsAndTheKeysCrossThem) {
  MenuDesk desk;
  HMENU popup = CreatePopupMenu();
  AppendMenu(popup, MF_STRING, 1, "&One");
  AppendMenu(popup, MF_STRING, 2, "T&wo");
  AppendMenu(popup, MF_STRING | MF_MENUBARBREAK, 3, "&Three");
  AppendMenu(popup, MF_STRING | MF_MENUBREAK, 4, "&Four");
  RECT r[4];
  desk.ui.WhenModalWaits([&] {
    for (int i = 0; i < 4; ++i) GetMenuItemRect(nullptr, popup, static_cast<UINT>(i), &r[i]);
    desk.ui.QueuePress(VK_UP);  // round from the top to the last item, in the last column
    desk.ui.QueuePress(VK_RETURN);
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 100, 100, 0, desk.window, nullptr), 4);
  EXPECT_EQ(r[1].top, r[0].bottom);  // one column, top to bottom
  EXPECT_GE(r[2].left, r[0].right);  // a new column, from the top again
  EXPECT_EQ(r[2].top, r[0].top);
  EXPECT_GE(r[3].left, r[2].right);
  DestroyMenu(popup);
}

}  // namespace

namespace {

TEST(MenuTracking, AMenuOrWindowDestroyedWhileOpenEndsNothingBadly) {
  {
    MenuDesk desk;
    desk.OnMessage([&](UINT m, WPARAM wParam, LPARAM, LRESULT&) {
      if (m == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == desk.file) DestroyMenu(desk.file);
      return false;
    });
    desk.QueueAlt('F');
    desk.ui.QueuePress(VK_DOWN);
    desk.ui.QueuePress(VK_RETURN);
    desk.ui.QueuePress(VK_RIGHT);  // on to Edit, which still opens
    desk.ui.QueuePress(VK_RETURN);
    desk.ui.QueuePress(VK_RETURN);
    desk.ui.RunUntilIdle();
    EXPECT_TRUE(Has(desk.Take(), "COMMAND(201,0)"));
    EXPECT_FALSE(IsMenu(desk.file));
  }
  {
    MenuDesk desk;
    desk.OnMessage([&](UINT m, WPARAM, LPARAM, LRESULT&) {
      if (m == WM_INITMENUPOPUP) DestroyWindow(desk.window);
      return false;
    });
    desk.QueueAlt('F');
    desk.ui.RunUntilIdle();
    EXPECT_FALSE(IsWindow(desk.window));
    EXPECT_TRUE(MenuDesk::Popups().empty());
    EXPECT_EQ(MenuLoopOwner(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

}  // namespace
