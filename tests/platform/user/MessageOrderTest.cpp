// The orders in which Windows sends its messages, for the sequences the program relies on.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "Recorder.h"
#include "platform/rtl/Clock.h"
#include "support/UiDriver.h"

namespace {

HWND Overlapped(const char* cls, int x, int y, int w, int h, DWORD extra = 0) {
  return CreateWindowEx(0, cls, "Window", WS_OVERLAPPEDWINDOW | extra, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

// An overlapped window hears its size and place at its first showing; child and pop-up
// windows hear them while they are made.
TEST(MessageOrder, Creation) {
  UiDriver ui;
  Recorder rec("OrderCreate");
  HWND w = Overlapped("OrderCreate", 10, 10, 200, 150);
  ASSERT_TRUE(w);
  EXPECT_EQ(rec.Take(), (Log{"GETMINMAXINFO", "NCCREATE", "NCCALCSIZE", "CREATE"}));
  HWND child = CreateWindowEx(0, "OrderCreate", "", WS_CHILD, 0, 0, 50, 50, w, nullptr, nullptr, nullptr);
  ASSERT_TRUE(child);
  EXPECT_EQ(rec.TakeFor(child), (Log{"NCCREATE", "NCCALCSIZE", "CREATE", "SIZE", "MOVE"}));
  HWND popup = CreateWindowEx(0, "OrderCreate", "", WS_POPUP, 0, 0, 50, 50, w, nullptr, nullptr, nullptr);
  ASSERT_TRUE(popup);
  EXPECT_EQ(rec.Take(), (Log{"NCCREATE", "NCCALCSIZE", "CREATE", "SIZE", "MOVE"}));
  HWND shown = Overlapped("OrderCreate", 10, 10, 200, 150, WS_VISIBLE);
  Log log = rec.TakeFor(shown);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"WINDOWPOSCHANGED", "SIZE", "MOVE"}));
}

TEST(MessageOrder, ShowingActivatesFocusesAndPaintsLater) {
  UiDriver ui;
  Recorder rec("OrderShow");
  HWND w = Overlapped("OrderShow", 10, 10, 200, 150);
  rec.Take();
  ShowWindow(w, SW_SHOW);
  EXPECT_EQ(rec.Take(), (Log{"SHOWWINDOW", "WINDOWPOSCHANGING", "ACTIVATEAPP", "NCACTIVATE", "ACTIVATE", "SETFOCUS",
                             "NCPAINT", "ERASEBKGND", "WINDOWPOSCHANGED", "SIZE", "MOVE"}));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  ui.RunUntilIdle();
  EXPECT_EQ(rec.Take(), (Log{"PAINT"}));
  ShowWindow(w, SW_HIDE);
  ShowWindow(w, SW_SHOW);
  Log again = rec.Take();
  EXPECT_EQ(std::count(again.begin(), again.end(), "SIZE"), 0);  // only the first showing sends them
}

TEST(MessageOrder, ClickActivationMovesActivationThenFocusThenDeliversTheClick) {
  UiDriver ui;
  Recorder rec("OrderClick");
  HWND a = Overlapped("OrderClick", 10, 10, 200, 150, WS_VISIBLE);
  HWND b = Overlapped("OrderClick", 300, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), b);
  Log got;
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    std::string n = Recorder::Name(m);
    if (!n.empty() && m != WM_PAINT && m != WM_NCPAINT && m != WM_ERASEBKGND) got.push_back((w == a ? "a:" : "b:") + n);
    return false;
  });
  POINT p = UiDriver::At(a, 20, 20);
  ui.Click(p.x, p.y);
  EXPECT_EQ(got, (Log{"a:SETCURSOR", "a:MOUSEMOVE", "a:MOUSEACTIVATE", "a:WINDOWPOSCHANGING", "a:WINDOWPOSCHANGED",
                      "b:NCACTIVATE", "b:ACTIVATE", "a:NCACTIVATE", "a:ACTIVATE", "b:KILLFOCUS", "a:SETFOCUS",
                      "a:SETCURSOR", "a:LBUTTONDOWN", "a:SETCURSOR", "a:LBUTTONUP"}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), a);  // brought to the top
}

TEST(MessageOrder, MouseDownMoveUpWithCapture) {
  UiDriver ui;
  Recorder rec("OrderCapture");
  std::vector<POINT> moves;
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_LBUTTONDOWN) SetCapture(w);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    if (m == WM_MOUSEMOVE) moves.push_back(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    return false;
  });
  HWND w = Overlapped("OrderCapture", 100, 100, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  POINT inside = UiDriver::At(w, 10, 10);
  ui.MoveTo(inside.x, inside.y);
  rec.Take();
  moves.clear();
  ui.MouseDown(inside.x, inside.y);
  ui.MoveTo(20, 20);  // outside the window: still reported to it while captured
  ui.MouseUp(20, 20);
  EXPECT_EQ(rec.Take(), (Log{"SETCURSOR", "LBUTTONDOWN", "MOUSEMOVE", "LBUTTONUP", "CAPTURECHANGED"}));
  ASSERT_EQ(moves.size(), 1u);
  POINT expected{20, 20};
  ScreenToClient(w, &expected);
  EXPECT_EQ(moves[0], expected);
  EXPECT_LT(moves[0].x, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(MessageOrder, PaintAfterInvalidationErasesInsideBeginPaint) {
  UiDriver ui;
  Recorder rec("OrderPaint");
  RECT painted{};
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    painted = ps.rcPaint;
    EndPaint(w, &ps);
    return true;
  });
  HWND w = Overlapped("OrderPaint", 10, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  rec.Take();
  RECT r{5, 6, 50, 40};
  InvalidateRect(w, &r, TRUE);
  EXPECT_EQ(rec.Take(), Log{});  // nothing until the queue is read
  ui.RunUntilIdle();
  EXPECT_EQ(rec.Take(), (Log{"PAINT", "ERASEBKGND"}));
  EXPECT_EQ(painted, r);
  ui.RunUntilIdle();
  EXPECT_EQ(rec.Take(), Log{});  // validated by BeginPaint
}

TEST(MessageOrder, DestructionGoesDownForDestroyAndUpForNcDestroy) {
  UiDriver ui;
  Recorder parentRec("OrderParent"), childRec("OrderChild");
  std::vector<std::string> order;
  parentRec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_DESTROY || m == WM_NCDESTROY) order.push_back("parent:" + Recorder::Name(m));
    return false;
  });
  childRec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_DESTROY || m == WM_NCDESTROY) order.push_back("child:" + Recorder::Name(m));
    return false;
  });
  HWND other = Overlapped("OrderParent", 400, 10, 100, 100, WS_VISIBLE);
  HWND parent = Overlapped("OrderParent", 10, 10, 200, 150, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderChild", "", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50, parent, nullptr, nullptr, nullptr);
  ASSERT_TRUE(child);
  ASSERT_EQ(GetActiveWindow(), parent);
  EXPECT_TRUE(DestroyWindow(parent));
  EXPECT_EQ(order, (std::vector<std::string>{"parent:DESTROY", "child:DESTROY", "child:NCDESTROY", "parent:NCDESTROY"}));
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetActiveWindow(), other);  // activation passes to the next window
  EXPECT_FALSE(DestroyWindow(parent));
}

TEST(MessageOrder, DestroyingTheActiveWindowDeactivatesItFirst) {
  UiDriver ui;
  Recorder rec("OrderDeactivate");
  HWND w = Overlapped("OrderDeactivate", 10, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  rec.Take();
  DestroyWindow(w);
  EXPECT_EQ(rec.Take(), (Log{"WINDOWPOSCHANGING", "WINDOWPOSCHANGED", "NCACTIVATE", "ACTIVATE", "ACTIVATEAPP",
                             "KILLFOCUS", "DESTROY", "NCDESTROY"}));
}

TEST(MessageOrder, HidingTheActiveWindowDeactivatesItAfterItMoved) {
  UiDriver ui;
  Recorder rec("OrderHide");
  HWND other = Overlapped("OrderHide", 300, 10, 200, 150, WS_VISIBLE);
  HWND w = Overlapped("OrderHide", 10, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), w);
  rec.Take();
  Log got;
  rec.OnMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    std::string n = Recorder::Name(m);
    bool activation = m == WM_NCACTIVATE || m == WM_ACTIVATE || m == WM_ACTIVATEAPP || m == WM_SETFOCUS;
    if (!n.empty() && m != WM_NCPAINT && m != WM_ERASEBKGND && (h == w || activation))
      got.push_back((h == w ? "w:" : "other:") + n);
    return false;
  });
  ShowWindow(w, SW_HIDE);
  EXPECT_EQ(got, (Log{"w:SHOWWINDOW", "w:WINDOWPOSCHANGING", "w:WINDOWPOSCHANGED", "w:NCACTIVATE", "w:ACTIVATE",
                      "other:NCACTIVATE", "other:ACTIVATE",
                      "w:KILLFOCUS", "other:SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST(MessageOrder, DestroyedChildIsHiddenFirst) {
  UiDriver ui;
  Recorder rec("OrderChildGone");
  HWND parent = Overlapped("OrderChildGone", 10, 10, 200, 150, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderChildGone", "", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50, parent, nullptr, nullptr,
                              nullptr);
  ui.RunUntilIdle();
  SetFocus(child);
  rec.Take();
  DestroyWindow(child);
  EXPECT_EQ(rec.TakeFor(child), (Log{"SHOWWINDOW", "WINDOWPOSCHANGING", "WINDOWPOSCHANGED", "KILLFOCUS", "DESTROY",
                                     "NCDESTROY"}));
  EXPECT_EQ(GetFocus(), parent);
}

TEST(MessageOrder, ActivateAppReachesEveryTopLevelWindow) {
  UiDriver ui;
  Recorder rec("OrderApp");
  ASSERT_TRUE(Overlapped("OrderApp", 300, 10, 100, 100));  // never shown
  HWND w = Overlapped("OrderApp", 10, 10, 200, 150);
  Log got;
  rec.OnMessage([&](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_ACTIVATEAPP) got.push_back(std::string(h == w ? "w:" : "hidden:") + (wp ? "on" : "off"));
    return false;
  });
  ShowWindow(w, SW_SHOW);  // the program becomes active
  EXPECT_EQ(got, (Log{"w:on", "hidden:on"}));  // in Z order
  got.clear();
  DestroyWindow(w);  // its last visible window goes: the program becomes inactive
  EXPECT_EQ(got, (Log{"w:off", "hidden:off"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(MessageOrder, ShowingAVisibleWindowDoesNotActivateIt) {
  UiDriver ui;
  Recorder rec("OrderShowAgain");
  HWND a = Overlapped("OrderShowAgain", 10, 10, 200, 150, WS_VISIBLE);
  HWND b = Overlapped("OrderShowAgain", 300, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), b);
  rec.Take();
  EXPECT_TRUE(ShowWindow(a, SW_SHOW));  // it was visible
  EXPECT_EQ(rec.Take(), Log{});
  EXPECT_EQ(GetActiveWindow(), b);
  ShowWindow(a, SW_SHOWNORMAL);  // a restoring command does activate
  EXPECT_EQ(GetActiveWindow(), a);
}

// The mouse hook sees a press before anything comes of it: eaten there, it neither activates
// nor sets the cursor.
TEST(MessageOrder, MouseHookThatEatsAPressPreventsActivation) {
  UiDriver ui;
  Recorder rec("OrderHookEat");
  HWND a = Overlapped("OrderHookEat", 10, 10, 200, 150, WS_VISIBLE);
  HWND b = Overlapped("OrderHookEat", 300, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  POINT p = UiDriver::At(a, 20, 20);
  ui.MoveTo(p.x, p.y);
  ASSERT_EQ(GetActiveWindow(), b);
  HHOOK hook = SetWindowsHookEx(WH_MOUSE, [](int, WPARAM m, LPARAM) -> LRESULT { return m == WM_LBUTTONDOWN; },
                                nullptr, GetCurrentThreadId());
  rec.Take();
  ui.MouseDown(p.x, p.y);
  EXPECT_EQ(rec.Take(), Log{});
  EXPECT_EQ(GetActiveWindow(), b);
  ui.MouseUp(p.x, p.y);
  EXPECT_EQ(rec.TakeFor(a), (Log{"SETCURSOR", "LBUTTONUP"}));
  UnhookWindowsHookEx(hook);
}

// Every press outside the active window itself asks WM_MOUSEACTIVATE, children of the
// active window included; DefWindowProc hands it to the parent, and 0 counts as MA_ACTIVATE.
TEST(MessageOrder, MouseActivateReachesChildrenAndZeroActivates) {
  UiDriver ui;
  Recorder rec("OrderMouseAct");
  HWND a = Overlapped("OrderMouseAct", 10, 10, 200, 150, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderMouseAct", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 80, a, nullptr, nullptr, nullptr);
  HWND b = Overlapped("OrderMouseAct", 300, 10, 200, 150, WS_VISIBLE);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), b);
  POINT inB = UiDriver::At(b, 30, 30);
  ui.Click(inB.x, inB.y);
  Log atB = rec.TakeFor(b);
  EXPECT_EQ(std::count(atB.begin(), atB.end(), "MOUSEACTIVATE"), 0);  // the active window itself
  Log got;
  rec.OnMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_MOUSEACTIVATE) return false;
    got.push_back(h == child ? "child" : h == a ? "a" : "b");
    if (h != child) return false;
    result = 0;  // answered without an MA_ value
    return true;
  });
  POINT inChild = UiDriver::At(child, 5, 5);
  ui.Click(inChild.x, inChild.y);
  EXPECT_EQ(got, Log{"child"});
  EXPECT_EQ(GetActiveWindow(), a);
  got.clear();
  rec.OnMessage(nullptr);
  rec.OnMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_MOUSEACTIVATE) got.push_back(h == child ? "child" : h == a ? "a" : "b");
    return false;
  });
  ui.Click(inChild.x, inChild.y);  // a child of the active window
  EXPECT_EQ(got, (Log{"child", "a"}));
}

TEST(MessageOrder, UpdateWindowPaintsDirtyChildrenAndNoHiddenWindow) {
  UiDriver ui;
  Recorder rec("OrderUpdate");
  HWND parent = Overlapped("OrderUpdate", 10, 10, 200, 150, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderUpdate", "", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50, parent, nullptr, nullptr, nullptr);
  HWND hidden = CreateWindowEx(0, "OrderUpdate", "", WS_CHILD, 60, 5, 50, 50, parent, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  Log got;
  rec.OnMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_PAINT) got.push_back(h == parent ? "parent" : h == child ? "child" : "hidden");
    return false;
  });
  InvalidateRect(parent, nullptr, TRUE);  // the children too: the parent does not clip them
  InvalidateRect(hidden, nullptr, TRUE);
  UpdateWindow(parent);
  EXPECT_EQ(got, (Log{"parent", "child"}));
  got.clear();
  UpdateWindow(hidden);
  EXPECT_EQ(got, Log{});
  ShowWindow(parent, SW_HIDE);
  InvalidateRect(parent, nullptr, TRUE);
  UpdateWindow(parent);
  EXPECT_EQ(got, Log{});
}

// Closing the host window asks the program to close, through its main window, even while
// a dialog of it is active.
TEST(MessageOrder, ClosingTheHostClosesTheMainWindow) {
  UiDriver ui;
  Recorder rec("OrderHostClose");
  std::vector<HWND> closed;
  rec.OnMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_CLOSE) closed.push_back(h);
    return m == WM_CLOSE;  // the program decides; here it only notes the request
  });
  HWND main = Overlapped("OrderHostClose", 10, 10, 300, 200, WS_VISIBLE);
  HWND other = Overlapped("OrderHostClose", 400, 10, 200, 150, WS_VISIBLE);
  HWND dialog = CreateWindowEx(0, "OrderHostClose", "Dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 150, 100,
                               main, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), dialog);
  ui.CloseHost();
  EXPECT_EQ(closed, std::vector<HWND>{main});
  (void)other;
}

// A press in a child window is told to each ancestor, nearest first, with the point in that
// ancestor's client coordinates; WS_EX_NOPARENTNOTIFY keeps it from going further up.
TEST(MessageOrder, PressesInChildrenAreToldToTheirAncestors) {
  UiDriver ui;
  Recorder rec("OrderNotify");
  std::vector<std::tuple<HWND, UINT, POINT>> notices;
  rec.OnMessage([&](HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
    if (m == WM_PARENTNOTIFY) notices.emplace_back(h, LOWORD(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    return false;
  });
  HWND top = Overlapped("OrderNotify", 100, 100, 400, 300, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderNotify", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, top, nullptr, nullptr, nullptr);
  HWND inner = CreateWindowEx(0, "OrderNotify", "", WS_CHILD | WS_VISIBLE, 5, 5, 50, 40, child, nullptr, nullptr, nullptr);
  HWND quiet = CreateWindowEx(WS_EX_NOPARENTNOTIFY, "OrderNotify", "", WS_CHILD | WS_VISIBLE, 250, 10, 100, 100, top,
                              nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  notices.clear();
  POINT p = UiDriver::At(inner, 3, 4);
  ui.Click(p.x, p.y);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], std::make_tuple(child, static_cast<UINT>(WM_LBUTTONDOWN), POINT{8, 9}));
  EXPECT_EQ(notices[1], std::make_tuple(top, static_cast<UINT>(WM_LBUTTONDOWN), POINT{18, 19}));
  notices.clear();
  p = UiDriver::At(quiet, 10, 10);
  ui.Click(p.x, p.y, InputEvent::Right);
  EXPECT_TRUE(notices.empty());
  p = UiDriver::At(child, 100, 100);
  ui.Click(p.x, p.y, InputEvent::Right);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(std::get<1>(notices[0]), static_cast<UINT>(WM_RBUTTONDOWN));
}

// A child placed without SWP_NOACTIVATE hears WM_CHILDACTIVATE before WM_WINDOWPOSCHANGED;
// top-level windows never do.
TEST(MessageOrder, ChildrenPlacedToBeActivatedHearWmChildActivate) {
  UiDriver ui;
  Recorder rec("OrderChildActivate");
  Log got;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_CHILDACTIVATE) got.push_back("CHILDACTIVATE");
    if (m == WM_WINDOWPOSCHANGED) got.push_back("WINDOWPOSCHANGED");
    return false;
  });
  HWND top = Overlapped("OrderChildActivate", 10, 10, 300, 200, WS_VISIBLE);
  HWND child = CreateWindowEx(0, "OrderChildActivate", "", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 0, 0, 100,
                              80, top, nullptr, nullptr, nullptr);
  got.clear();
  SetWindowPos(child, HWND_TOP, 5, 5, 0, 0, SWP_NOSIZE);
  EXPECT_EQ(got, (Log{"CHILDACTIVATE", "WINDOWPOSCHANGED"}));
  got.clear();
  MoveWindow(child, 6, 6, 100, 80, TRUE);  // MoveWindow does not activate
  SetWindowPos(top, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  EXPECT_EQ(got, (Log{"WINDOWPOSCHANGED", "WINDOWPOSCHANGED"}));
  got.clear();
  ShowWindow(child, SW_MAXIMIZE);  // the one show command that activates a child
  EXPECT_EQ(got, (Log{"CHILDACTIVATE", "WINDOWPOSCHANGED"}));
}

}  // namespace

namespace {

InputEvent HostMouse(InputEvent::Kind kind, POINT at, std::optional<std::uint32_t> ageMs = std::nullopt) {
  InputEvent e;
  e.kind = kind;
  e.x = at.x;
  e.y = at.y;
  e.ageMs = ageMs;
  return e;
}

// Moves that wait while a handler is busy reach the window as one, the newest, so the
// program never falls behind the pointer; a click between them keeps the moves around it
// apart. Every place passed can still be had, newest first, with its time.
TEST(MessageOrder, WaitingMouseMovesMergeAndThePlacesPassedStayAtHand) {
  UiDriver ui;
  Recorder rec("OrderMerge", CS_DBLCLKS);
  std::vector<POINT> moves;
  std::vector<MOUSEMOVEPOINT> trail;
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m != WM_MOUSEMOVE) return false;
    moves.push_back(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    POINT screen = moves.back();
    ClientToScreen(w, &screen);
    MOUSEMOVEPOINT now{screen.x, screen.y, GetMessageTime(), 0};
    MOUSEMOVEPOINT passed[64];
    const int n = GetMouseMovePointsEx(sizeof now, &now, passed, 64, GMMP_USE_DISPLAY_POINTS);
    trail.assign(passed, passed + std::max(n, 0));
    return false;
  });
  HWND w = Overlapped("OrderMerge", 100, 100, 300, 200, WS_VISIBLE);
  ui.RunUntilIdle();
  const POINT start = UiDriver::At(w, 10, 10);
  ui.MoveTo(start.x, start.y);
  moves.clear();
  rec.Take();
  for (int i = 1; i <= 5; ++i) ui.Inject(HostMouse(InputEvent::Kind::MouseMove, POINT{start.x + i, start.y}, 10 - i));
  ui.Inject(HostMouse(InputEvent::Kind::MouseDown, POINT{start.x + 5, start.y}));
  for (int i = 6; i <= 8; ++i) ui.Inject(HostMouse(InputEvent::Kind::MouseMove, POINT{start.x + i, start.y}));
  ui.RunUntilIdle();
  POINT five{15, 10}, eight{18, 10};
  EXPECT_EQ(moves, (std::vector<POINT>{five, eight}));
  ASSERT_GE(trail.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(trail[static_cast<size_t>(i)].x, start.x + 8 - i) << i;
  EXPECT_EQ(trail[4].time + 1, trail[3].time);  // the moves' own times, a millisecond apart

  MOUSEMOVEPOINT nowhere{-5, -5, 0, 0}, out[2];
  EXPECT_EQ(GetMouseMovePointsEx(sizeof nowhere, &nowhere, out, 2, GMMP_USE_DISPLAY_POINTS), -1);
  EXPECT_EQ(GetLastError(), ERROR_POINT_NOT_FOUND);
  EXPECT_EQ(GetMouseMovePointsEx(sizeof nowhere, &nowhere, out, 65, GMMP_USE_DISPLAY_POINTS), -1);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Four clicks made quickly while a handler took 600 ms are a click and a double click by the
// times they happened, not by when the layer got to them.
TEST(MessageOrder, ClicksKeepTheTimesTheyHappenedAt) {
  UiDriver ui;
  Recorder rec("OrderClickTimes", CS_DBLCLKS);
  std::vector<DWORD> times;
  bool busy = true;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_LBUTTONDBLCLK) times.push_back(GetMessageTime());
    if (m == WM_LBUTTONDOWN && busy) {
      busy = false;
      ui.Advance(600);  // a slow handler; the user clicks on meanwhile
    }
    return false;
  });
  HWND w = Overlapped("OrderClickTimes", 100, 100, 300, 200, WS_VISIBLE);
  ui.RunUntilIdle();
  const POINT at = UiDriver::At(w, 20, 20);
  ui.MoveTo(at.x, at.y);
  rec.Take();
  const DWORD start = GetTickCount();
  ui.Inject(HostMouse(InputEvent::Kind::MouseDown, at));
  ui.RunUntilIdle();
  ui.Inject(HostMouse(InputEvent::Kind::MouseUp, at, 590));
  ui.Inject(HostMouse(InputEvent::Kind::MouseDown, at, 580));
  ui.Inject(HostMouse(InputEvent::Kind::MouseUp, at, 570));
  ui.RunUntilIdle();
  Log log = rec.Take();
  log.erase(std::remove(log.begin(), log.end(), "SETCURSOR"), log.end());
  EXPECT_EQ(log, (Log{"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDBLCLK", "LBUTTONUP"}));
  EXPECT_EQ(times, (std::vector<DWORD>{start, start + 10, start + 20, start + 30}));
}

}  // namespace
