// The MDI client's messages in the order Windows sends them: creation, activation, the next
// and previous child, maximising, destruction, clicks, and what the frame passes on.

#include <gtest/gtest.h>

#include <algorithm>

#include "MdiDesk.h"

namespace {

const std::set<UINT> kCreation = {WM_GETMINMAXINFO, WM_NCCREATE,        WM_NCCALCSIZE,     WM_CREATE,
                                  WM_SIZE,          WM_MOVE,            WM_PARENTNOTIFY,   WM_SHOWWINDOW,
                                  WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MDIREFRESHMENU, WM_CHILDACTIVATE,
                                  WM_NCACTIVATE,    WM_SETFOCUS,        WM_KILLFOCUS,      WM_MDIACTIVATE};

int ZoomedCount(const MdiDesk& desk) {
  std::vector<HWND> order = desk.ZOrder();
  return static_cast<int>(std::count_if(order.begin(), order.end(), [](HWND w) { return IsZoomed(w) != FALSE; }));
}

TEST(MdiMessages, EachNewChildIsMadeShownAndActivated) {
  MdiDesk desk;
  desk.Follow(kCreation);
  HWND a = desk.Child("a");
  ASSERT_TRUE(a);
  EXPECT_EQ(desk.Take(), (Log{"a:GETMINMAXINFO", "a:NCCREATE", "a:NCCALCSIZE", "a:CREATE", "a:SIZE(0)", "a:MOVE",
                              "client:PARENTNOTIFY(CREATE)", "a:SHOWWINDOW", "a:WINDOWPOSCHANGING",
                              "a:WINDOWPOSCHANGED", "client:MDIREFRESHMENU", "a:CHILDACTIVATE", "a:NCACTIVATE(1)",
                              "client:KILLFOCUS", "a:SETFOCUS", "a:MDIACTIVATE(-,a)"}));
  desk.Follow({WM_CHILDACTIVATE, WM_NCACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MDIACTIVATE});
  HWND b = desk.Child("b");
  // The old child is told first; the new one takes the focus through the client.
  EXPECT_EQ(desk.Take(), (Log{"b:CHILDACTIVATE", "a:NCACTIVATE(0)", "a:MDIACTIVATE(a,b)", "b:NCACTIVATE(1)",
                              "a:KILLFOCUS", "client:SETFOCUS", "client:KILLFOCUS", "b:SETFOCUS",
                              "b:MDIACTIVATE(a,b)"}));
  BOOL maximized = TRUE;
  EXPECT_EQ(desk.Active(&maximized), b);
  EXPECT_FALSE(maximized);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(desk.ZOrder(), (std::vector<HWND>{b, a}));
  EXPECT_EQ(GetDlgCtrlID(a), MdiDesk::kFirstId);
  EXPECT_EQ(GetDlgCtrlID(b), MdiDesk::kFirstId + 1);
}

TEST(MdiMessages, NextPutsTheActiveChildBehindAndPreviousBringsTheLastForward) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b"), c = desk.Child("c");
  ASSERT_EQ(desk.ZOrder(), (std::vector<HWND>{c, b, a}));
  desk.Take();
  SendMessage(desk.client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(desk.Take(), (Log{"c:NCACTIVATE(0)", "c:MDIACTIVATE(c,b)", "b:NCACTIVATE(1)", "c:KILLFOCUS",
                              "client:SETFOCUS", "client:KILLFOCUS", "b:SETFOCUS", "b:MDIACTIVATE(c,b)"}));
  struct Step {
    LPARAM previous;
    HWND active;
    std::vector<HWND> order;
  };
  // After the first step above: b active, c sent to the bottom.
  const Step steps[] = {{0, a, {a, c, b}}, {1, b, {b, a, c}}, {1, c, {c, b, a}}, {0, b, {b, a, c}}};
  EXPECT_EQ(desk.ZOrder(), (std::vector<HWND>{b, a, c}));
  for (const Step& step : steps) {
    SendMessage(desk.client, WM_MDINEXT, 0, step.previous);
    EXPECT_EQ(desk.Active(), step.active);
    EXPECT_EQ(GetFocus(), step.active);
    EXPECT_EQ(desk.ZOrder(), step.order);
  }
  // A named child: the one after it, whichever is active.
  SendMessage(desk.client, WM_MDINEXT, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(desk.Active(), c);
}

TEST(MdiMessages, NextSkipsHiddenAndDisabledChildren) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b"), c = desk.Child("c");
  EnableWindow(b, FALSE);
  SendMessage(desk.client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(desk.Active(), a);
  ShowWindow(c, SW_HIDE);
  SendMessage(desk.client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(desk.Active(), a);  // nobody else to go to
  SendMessage(desk.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_EQ(desk.Active(), a);  // a disabled child is not activated
}

TEST(MdiMessages, ActivatingAnotherChildHandsTheMaximisedStateOn) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b");
  RECT normalA = desk.InClient(a), normalB = desk.InClient(b);
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
  BOOL maximized = FALSE;
  EXPECT_EQ(desk.Active(&maximized), b);
  EXPECT_TRUE(maximized);
  // Its client area is the whole MDI client; its frame and caption lie beyond the edges.
  RECT inner, whole;
  GetClientRect(b, &inner);
  MapWindowPoints(b, desk.client, reinterpret_cast<POINT*>(&inner), 2);
  GetClientRect(desk.client, &whole);
  EXPECT_EQ(inner, whole);
  desk.Follow({WM_NCACTIVATE, WM_MDIACTIVATE, WM_SIZE});
  SendMessage(desk.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(desk.Take(), (Log{"client:MDIACTIVATE(a,-)", "b:NCACTIVATE(0)", "b:MDIACTIVATE(b,a)", "b:SIZE(0)", "a:SIZE(2)", "a:NCACTIVATE(1)",
                              "a:MDIACTIVATE(b,a)"}));
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_EQ(desk.InClient(b), normalB);
  EXPECT_EQ(ZoomedCount(desk), 1);
  // Restoring puts the child back where it was.
  SendMessage(desk.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(desk.InClient(a), normalA);
  EXPECT_EQ(desk.Active(&maximized), a);
  EXPECT_FALSE(maximized);
  EXPECT_EQ(ZoomedCount(desk), 0);
}

TEST(MdiMessages, MaximisingAnInactiveChildActivatesIt) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b");
  desk.Follow({WM_CHILDACTIVATE, WM_MDIACTIVATE});
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(desk.Take(), (Log{"a:CHILDACTIVATE", "b:MDIACTIVATE(b,a)", "a:MDIACTIVATE(b,a)"}));
  EXPECT_EQ(desk.ZOrder().front(), a);
  EXPECT_EQ(GetFocus(), a);
  // A child made while another is maximised is maximised in its place.
  HWND c = desk.Child("c");
  EXPECT_TRUE(IsZoomed(c));
  EXPECT_FALSE(IsZoomed(a));
  EXPECT_EQ(ZoomedCount(desk), 1);
  (void)b;
}

TEST(MdiMessages, DestroyingTheActiveChildActivatesTheNextFirst) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b"), c = desk.Child("c");
  desk.Follow({WM_NCACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MDIACTIVATE, WM_DESTROY, WM_NCDESTROY});
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(c), 0);
  EXPECT_EQ(desk.Take(), (Log{"c:NCACTIVATE(0)", "c:MDIACTIVATE(c,b)", "b:NCACTIVATE(1)", "c:KILLFOCUS",
                              "client:SETFOCUS", "client:KILLFOCUS", "b:SETFOCUS", "b:MDIACTIVATE(c,b)",
                              "c:DESTROY", "c:NCDESTROY"}));
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(desk.Active(), b);
  // The last child leaves the client without an active child, holding the focus itself.
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0);
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(desk.Active(), nullptr);
  EXPECT_EQ(GetFocus(), desk.client);
}

TEST(MdiMessages, AMaximisedChildThatIsDestroyedLeavesTheNextMaximised) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b");
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_EQ(desk.Active(), a);
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Frame - [a]");
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Frame");
}

TEST(MdiMessages, MinimisingTheActiveChildActivatesTheNextOpenOne) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b"), c = desk.Child("c");
  ShowWindow(b, SW_MINIMIZE);  // not active: nothing moves
  EXPECT_EQ(desk.Active(), c);
  ShowWindow(c, SW_MINIMIZE);
  EXPECT_EQ(desk.Active(), a);  // b is an icon too
  EXPECT_EQ(GetFocus(), a);
  ShowWindow(a, SW_MINIMIZE);
  EXPECT_EQ(desk.Active(), a);  // no open child left: the icon stays active
  EXPECT_EQ(GetFocus(), desk.client);
}

TEST(MdiMessages, DestroyingTheFrameTakesTheChildrenWithoutActivatingAnyOfThem) {
  MdiDesk desk;
  desk.Child("a");
  desk.Child("b");
  desk.Follow({WM_MDIACTIVATE, WM_DESTROY});
  DestroyWindow(desk.frame);
  EXPECT_EQ(desk.Take(), (Log{"frame:DESTROY", "client:DESTROY", "b:DESTROY", "a:DESTROY"}));
}

TEST(MdiMessages, ClosingAChildGoesThroughItsClient) {
  MdiDesk desk;
  desk.Child("a");
  HWND b = desk.Child("b");
  desk.Follow({WM_SYSCOMMAND, WM_CLOSE, WM_MDIDESTROY, WM_DESTROY});
  SendMessage(b, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(desk.Take(), (Log{"b:SYSCOMMAND(CLOSE)", "b:CLOSE", "client:MDIDESTROY", "b:DESTROY"}));
  EXPECT_FALSE(IsWindow(b));
}

TEST(MdiMessages, ChildIdsStayContiguous) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b"), c = desk.Child("c");
  SendMessage(desk.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(GetDlgCtrlID(b), MdiDesk::kFirstId + 1);
  EXPECT_EQ(GetDlgCtrlID(c), MdiDesk::kFirstId);  // the last id fills the gap
  HWND d = desk.Child("d");
  EXPECT_EQ(GetDlgCtrlID(d), MdiDesk::kFirstId + 2);
  // Destroyed without WM_MDIDESTROY, the active child still hands activation and its id on.
  ASSERT_EQ(desk.Active(), d);
  DestroyWindow(d);
  EXPECT_EQ(desk.Active(), c);
  DestroyWindow(c);
  EXPECT_EQ(desk.Active(), b);
  EXPECT_EQ(GetDlgCtrlID(b), MdiDesk::kFirstId);
}

TEST(MdiMessages, TheWindowMenuChoosesChildrenByTheirIds) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b");
  ShowWindow(a, SW_MINIMIZE);
  SendMessage(desk.frame, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(a), 0), 0);
  EXPECT_EQ(desk.Active(), a);
  EXPECT_FALSE(IsIconic(a));  // a chosen icon opens
  // A control's notice with the same number is not a menu choice.
  SendMessage(desk.frame, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), 0), reinterpret_cast<LPARAM>(a));
  EXPECT_EQ(desk.Active(), a);
}

TEST(MdiMessages, APressActivatesTheChildUnderIt) {
  MdiDesk desk;
  HWND a = desk.ChildAt("a", RECT{0, 0, 300, 200});
  HWND b = desk.ChildAt("b", RECT{200, 100, 500, 350});
  desk.Follow({WM_PARENTNOTIFY, WM_CHILDACTIVATE, WM_MDIACTIVATE});
  POINT inA = UiDriver::At(desk.client, 40, 150);  // a's client area, clear of b
  desk.ui.Click(inA.x, inA.y);
  EXPECT_EQ(desk.Take(), (Log{"client:PARENTNOTIFY(LBUTTONDOWN)", "a:CHILDACTIVATE", "b:MDIACTIVATE(b,a)",
                              "a:MDIACTIVATE(b,a)", "frame:PARENTNOTIFY(LBUTTONDOWN)"}));
  EXPECT_EQ(desk.Active(), a);
  EXPECT_EQ(desk.ZOrder().front(), a);
  EXPECT_EQ(GetFocus(), a);
  // b's caption, where a does not cover it.
  POINT onCaption = UiDriver::At(desk.client, 400, 110);
  desk.ui.Click(onCaption.x, onCaption.y);
  EXPECT_EQ(desk.Active(), b);
  EXPECT_EQ(desk.InClient(b), (RECT{200, 100, 500, 350}));  // a click is no drag
}

TEST(MdiMessages, CreationParametersAndStyles) {
  MdiDesk desk;
  MDICREATESTRUCT create{"MdiDeskChild", "a", nullptr, 10, 20, 200, 150, WS_VSCROLL | WS_DISABLED, 77};
  HWND a = reinterpret_cast<HWND>(SendMessage(desk.client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  ASSERT_TRUE(a);
  EXPECT_EQ(desk.lastCreateParam, &create);
  EXPECT_EQ(desk.InClient(a), (RECT{10, 20, 210, 170}));
  DWORD style = static_cast<DWORD>(GetWindowLong(a, GWL_STYLE));
  DWORD standard = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME |
                   WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(style, standard | WS_VISIBLE | WS_VSCROLL);  // only the scroll bars are the caller's
  EXPECT_TRUE(GetWindowLong(a, GWL_EXSTYLE) & WS_EX_MDICHILD);
  // CreateMDIWindow and CreateWindowEx with WS_EX_MDICHILD make children the same way.
  HWND b = CreateMDIWindow("MdiDeskChild", "b", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           desk.client, nullptr, 5);
  ASSERT_TRUE(b);
  EXPECT_EQ(desk.lastCreate.lParam, 5);
  EXPECT_EQ(desk.Active(), b);
  int extra = 0;
  HWND c = CreateWindowEx(WS_EX_MDICHILD, "MdiDeskChild", "c", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, desk.client, nullptr, nullptr, &extra);
  ASSERT_TRUE(c);
  EXPECT_EQ(desk.lastCreate.lParam, reinterpret_cast<LPARAM>(&extra));
  EXPECT_EQ(desk.Active(), c);
  EXPECT_EQ(GetDlgCtrlID(c), MdiDesk::kFirstId + 2);
  // Outside an MDI client there is no MDI child to make.
  EXPECT_EQ(CreateWindowEx(WS_EX_MDICHILD, "MdiDeskChild", "d", 0, 0, 0, 50, 50, desk.frame, nullptr, nullptr, nullptr),
            nullptr);
}

TEST(MdiMessages, AClientWithAllChildStylesTakesTheStyleWhole) {
  MdiDesk desk(MDIS_ALLCHILDSTYLES);
  HWND a = desk.ChildAt("a", RECT{0, 0, 200, 100}, WS_CAPTION | WS_VISIBLE);
  ASSERT_TRUE(a);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(a, GWL_STYLE)), WS_CHILD | WS_CAPTION | WS_VISIBLE);
  HWND hidden = desk.ChildAt("hidden", RECT{0, 0, 200, 100}, WS_CAPTION);
  EXPECT_FALSE(IsWindowVisible(hidden));
  EXPECT_EQ(desk.Active(), a);  // a hidden child is not activated
}

TEST(MdiMessages, TheActiveChildsFrameAndFocusFollowTheFrame) {
  MdiDesk desk;
  HWND a = desk.Child("a");
  WNDCLASS plain;
  plain.lpfnWndProc = DefWindowProc;
  plain.lpszClassName = "MdiPlainWindow";
  RegisterClass(&plain);
  desk.Follow({WM_NCACTIVATE, WM_SETFOCUS});
  desk.Take();
  HWND other = CreateWindowEx(0, "MdiPlainWindow", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 40, 200, 150,
                              nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(desk.Take(), (Log{"frame:NCACTIVATE(0)", "a:NCACTIVATE(0)"}));
  SetActiveWindow(desk.frame);
  EXPECT_EQ(desk.Take(), (Log{"frame:NCACTIVATE(1)", "a:NCACTIVATE(1)", "frame:SETFOCUS", "client:SETFOCUS",
                              "a:SETFOCUS"}));
  EXPECT_EQ(GetFocus(), a);
  DestroyWindow(other);
  UnregisterClass("MdiPlainWindow", nullptr);
}

TEST(MdiMessages, MenusAreKeptForTheMenuBar) {
  MdiDesk desk;
  HMENU bar = CreateMenu(), window = CreatePopupMenu();
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
  EXPECT_EQ(SendMessage(desk.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(window)),
            0);
  EXPECT_EQ(GetMenu(desk.frame), bar);
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(desk.client, WM_MDIREFRESHMENU, 0, 0)), bar);
  // No new bar: the old one stays and is answered.
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(desk.client, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(window))), bar);
  EXPECT_EQ(GetMenu(desk.frame), bar);
  // The bar takes room from the frame's client area; the MDI client follows.
  RECT frameClient, client;
  GetClientRect(desk.frame, &frameClient);
  GetClientRect(desk.client, &client);
  EXPECT_EQ(client, frameClient);
  EXPECT_EQ(client.bottom, MdiDesk::kHeight - GetSystemMetrics(SM_CYMENU));
  SetMenu(desk.frame, nullptr);
  DestroyMenu(bar);
}

}  // namespace
