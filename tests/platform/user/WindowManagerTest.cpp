#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Painter.h"
#include "Recorder.h"
#include "platform/host/Host.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Window.h"
#include "support/UiDriver.h"

namespace {

HWND Overlapped(const char* cls, int x, int y, int w, int h) {
  return CreateWindowEx(0, cls, "Title", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

std::uint32_t Px(COLORREF c) { return PixelFromColor(c); }

TEST(WindowManager, OverlappingWindowsNeverPaintOverEachOther) {
  UiDriver ui;
  Painter red("WmRed", RGB(255, 0, 0)), blue("WmBlue", RGB(0, 0, 255));
  HWND a = Overlapped("WmRed", 50, 50, 300, 200);
  HWND b = Overlapped("WmBlue", 200, 120, 300, 200);
  ui.RunUntilIdle();
  POINT underB = UiDriver::At(b, 20, 20);
  EXPECT_EQ(ui.Pixel(underB.x, underB.y), Px(RGB(0, 0, 255)));
  // A window's own DC cannot reach what covers it.
  HDC dc = GetDC(a);
  RECT all{0, 0, 1000, 1000};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(a, dc);
  EXPECT_EQ(ui.Pixel(underB.x, underB.y), Px(RGB(0, 0, 255)));
  POINT aOnly = UiDriver::At(a, 10, 10);
  EXPECT_EQ(ui.Pixel(aOnly.x, aOnly.y), 0u);
  RECT ar;
  GetWindowRect(a, &ar);
  EXPECT_EQ(ui.Pixel(ar.right + 5, ar.top + 5), Px(GetSysColor(COLOR_DESKTOP)));  // nothing beyond it
}

TEST(WindowManager, AMovedWindowIsRepaintedWhereItWasAndWhatItUncoveredIsToo) {
  UiDriver ui;
  Painter red("WmRed2", RGB(255, 0, 0)), blue("WmBlue2", RGB(0, 0, 255));
  HWND a = Overlapped("WmRed2", 50, 50, 300, 200);
  HWND b = Overlapped("WmBlue2", 200, 120, 300, 200);
  ui.RunUntilIdle();
  POINT wasB = UiDriver::At(b, 20, 20);  // inside both a and b
  RECT br;
  GetWindowRect(b, &br);
  POINT wasOnlyB{br.right - 10, br.bottom - 10};
  SetWindowPos(b, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(wasB.x, wasB.y), Px(RGB(255, 0, 0)));                     // a shows again
  EXPECT_EQ(ui.Pixel(wasOnlyB.x, wasOnlyB.y), Px(GetSysColor(COLOR_DESKTOP)));  // the wallpaper
  POINT nowB = UiDriver::At(b, 20, 20);
  EXPECT_EQ(ui.Pixel(nowB.x, nowB.y), Px(RGB(0, 0, 255)));
  (void)a;
}

TEST(WindowManager, DrawingIsClippedToTheUpdateRegion) {
  UiDriver ui;
  Painter green("WmGreen", RGB(0, 255, 0));
  HWND w = Overlapped("WmGreen", 10, 10, 300, 200);
  ui.RunUntilIdle();
  HDC dc = GetDC(w);
  RECT all{0, 0, 300, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  RECT part{10, 10, 20, 20};
  InvalidateRect(w, &part, FALSE);
  ui.RunUntilIdle();
  POINT in = UiDriver::At(w, 15, 15), out = UiDriver::At(w, 25, 25);
  EXPECT_EQ(ui.Pixel(in.x, in.y), Px(RGB(0, 255, 0)));
  EXPECT_EQ(ui.Pixel(out.x, out.y), 0u);  // painted over only where invalid
}

TEST(WindowManager, ChildWindowsAreClippedToTheirParent) {
  UiDriver ui;
  Painter parent("WmParent", RGB(200, 200, 200)), child("WmChild", RGB(255, 255, 0));
  HWND p = Overlapped("WmParent", 10, 10, 300, 200);
  HWND c = CreateWindowEx(0, "WmChild", "", WS_CHILD | WS_VISIBLE, 250, 20, 200, 50, p, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  RECT pr;
  GetWindowRect(p, &pr);
  POINT inChild = UiDriver::At(c, 10, 10);
  EXPECT_EQ(ui.Pixel(inChild.x, inChild.y), Px(RGB(255, 255, 0)));
  EXPECT_EQ(ui.Pixel(pr.right + 10, inChild.y), Px(GetSysColor(COLOR_DESKTOP)));  // cut at the parent's edge
}

TEST(WindowManager, NonClientHitTesting) {
  UiDriver ui;
  Recorder rec("WmHit");
  HWND w = Overlapped("WmHit", 100, 100, 300, 200);
  ui.RunUntilIdle();
  RECT r;
  GetWindowRect(w, &r);
  RECT close = CaptionButtonRect(w, HTCLOSE);
  struct Case {
    int x, y, hit;
  } cases[] = {
      {r.left + 150, r.top + 12, HTCAPTION},      {r.left + close.left + 3, r.top + close.top + 3, HTCLOSE},
      {r.left + 1, r.top + 100, HTLEFT},          {r.right - 1, r.top + 100, HTRIGHT},
      {r.left + 150, r.top + 1, HTTOP},           {r.left + 150, r.bottom - 1, HTBOTTOM},
      {r.left + 1, r.top + 1, HTTOPLEFT},         {r.right - 1, r.bottom - 1, HTBOTTOMRIGHT},
      {r.left + 150, r.top + 100, HTCLIENT},      {r.right + 5, r.top + 5, HTNOWHERE},
      {r.left + 10, r.top + 12, HTSYSMENU},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y)), c.hit) << c.x - r.left << "," << c.y - r.top;
}

TEST(WindowManager, ClientAreaFollowsTheFrame) {
  UiDriver ui;
  Recorder rec("WmFrame");
  HWND w = Overlapped("WmFrame", 0, 0, 300, 200);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c, (RECT{0, 0, 300 - 8, 200 - 8 - 19}));  // sizing frame 4, caption 19
  RECT adjusted{0, 0, 100, 100};
  AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(adjusted, (RECT{-4, -23, 104, 104}));
}

TEST(WindowManager, DoubleClicksNeedTheClassStyleAndTheTime) {
  UiDriver ui;
  Recorder dbl("WmDbl", CS_DBLCLKS), plain("WmPlain");
  HWND a = Overlapped("WmDbl", 10, 10, 200, 150);
  HWND b = Overlapped("WmPlain", 300, 10, 200, 150);
  ui.RunUntilIdle();
  auto clicks = [&](Recorder& r, HWND w, DWORD gap) {
    POINT p = UiDriver::At(w, 30, 30);
    ui.Click(p.x, p.y);
    ui.Advance(gap);
    r.Take();
    ui.Click(p.x, p.y);
    Log out;
    for (auto& m : r.Take())
      if (m == "LBUTTONDOWN" || m == "LBUTTONDBLCLK") out.push_back(m);
    return out;
  };
  EXPECT_EQ(clicks(dbl, a, 100), Log{"LBUTTONDBLCLK"});
  EXPECT_EQ(clicks(dbl, a, 600), Log{"LBUTTONDOWN"});  // too slow
  EXPECT_EQ(clicks(plain, b, 100), Log{"LBUTTONDOWN"});
}

TEST(WindowManager, TimersRunOnTheManualClock) {
  UiDriver ui;
  Recorder rec("WmTimer");
  HWND w = Overlapped("WmTimer", 10, 10, 100, 100);
  ui.RunUntilIdle();
  rec.Take();
  SetTimer(w, 7, 100, nullptr);
  int procCalls = 0;
  SetTimer(nullptr, 0, 50, [&](HWND, UINT, UINT_PTR, DWORD) { ++procCalls; });
  ui.Advance(99);
  EXPECT_EQ(rec.Take(), Log{});
  ui.Advance(1);
  EXPECT_EQ(rec.Take(), Log{"TIMER"});
  EXPECT_EQ(procCalls, 1);  // due at 50, then 50 after it ran at 99
  ui.Advance(350);  // late timers come once, not once per missed interval
  EXPECT_EQ(rec.Take(), Log{"TIMER"});
  KillTimer(w, 7);
  ui.Advance(500);
  EXPECT_EQ(rec.Take(), Log{});
}

TEST(WindowManager, ThreadTimerSetAgainWithItsIdIsReplaced) {
  UiDriver ui;
  int first = 0, second = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 50, [&](HWND, UINT, UINT_PTR, DWORD) { ++first; });
  ASSERT_NE(id, 0u);
  EXPECT_EQ(SetTimer(nullptr, id, 200, [&](HWND, UINT, UINT_PTR, DWORD) { ++second; }), id);
  ui.Advance(199);
  EXPECT_EQ(first + second, 0);  // the old interval and procedure are gone
  ui.Advance(1);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  UINT_PTR other = SetTimer(nullptr, 12345, 50, [](HWND, UINT, UINT_PTR, DWORD) {});
  EXPECT_NE(other, 12345u);  // an id no timer has is not taken: a new one is made
  EXPECT_NE(other, id);
  EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_TRUE(KillTimer(nullptr, other));
}

TEST(WindowManager, HooksSeeAndCanStopWhatTheyWatch) {
  UiDriver ui;
  Recorder rec("WmHook");
  std::vector<UINT> sent;
  HHOOK callHook = SetWindowsHookEx(WH_CALLWNDPROC, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
    sent.push_back(reinterpret_cast<CWPSTRUCT*>(l)->message);
    return CallNextHookEx(nullptr, code, w, l);
  }, nullptr, GetCurrentThreadId());
  HHOOK cbt = SetWindowsHookEx(WH_CBT, [&](int code, WPARAM, LPARAM) -> LRESULT {
    return code == HCBT_CREATEWND ? 1 : 0;  // vetoes every creation
  }, nullptr, 0);
  EXPECT_EQ(Overlapped("WmHook", 10, 10, 100, 100), nullptr);
  UnhookWindowsHookEx(cbt);
  sent.clear();
  HWND w = Overlapped("WmHook", 10, 10, 100, 100);
  ASSERT_TRUE(w);
  EXPECT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), WM_GETMINMAXINFO);
  UnhookWindowsHookEx(callHook);
  int eaten = 0;
  HHOOK mouse = SetWindowsHookEx(WH_MOUSE, [&](int, WPARAM m, LPARAM) -> LRESULT {
    if (m == WM_LBUTTONDOWN) {
      ++eaten;
      return 1;
    }
    return 0;
  }, nullptr, 0);
  ui.RunUntilIdle();
  rec.Take();
  POINT p = UiDriver::At(w, 10, 10);
  ui.Click(p.x, p.y);
  Log got = rec.Take();
  EXPECT_EQ(eaten, 1);
  EXPECT_EQ(std::count(got.begin(), got.end(), "LBUTTONDOWN"), 0);
  EXPECT_EQ(std::count(got.begin(), got.end(), "LBUTTONUP"), 1);
  UnhookWindowsHookEx(mouse);
}

TEST(WindowManager, KeyboardAndGetMessageHooksAndPeekingWithoutRemoving) {
  UiDriver ui;
  Recorder rec("WmKeyHook");
  HWND w = CreateWindowEx(0, "WmKeyHook", "K", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                          nullptr, nullptr);
  ui.RunUntilIdle();
  std::vector<WPARAM> keys;
  HHOOK kb = SetWindowsHookEx(WH_KEYBOARD, [&](int code, WPARAM vk, LPARAM lp) -> LRESULT {
    if (code == HC_ACTION) keys.push_back(vk);
    return vk == 'X' ? 1 : CallNextHookEx(nullptr, code, vk, lp);  // swallows X
  }, nullptr, 0);
  int got = 0;
  HHOOK gm = SetWindowsHookEx(WH_GETMESSAGE, [&](int, WPARAM, LPARAM lp) -> LRESULT {
    if (reinterpret_cast<MSG*>(lp)->message == WM_USER + 5) ++got;
    return 0;
  }, nullptr, 0);
  rec.Take();
  ui.Press('X');
  ui.Press('Y');
  Log log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "KEYDOWN"), 1);  // only Y's
  EXPECT_EQ(keys, (std::vector<WPARAM>{'X', 'X', 'Y', 'Y'}));
  PostMessage(w, WM_USER + 5, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));  // still there
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  EXPECT_EQ(got, 2);
  UnhookWindowsHookEx(kb);
  UnhookWindowsHookEx(gm);
}

TEST(WindowManager, SubclassingChainsToThePreviousProcedure) {
  UiDriver ui;
  Recorder rec("WmSub");
  HWND w = Overlapped("WmSub", 10, 10, 100, 100);
  int seen = 0;
  WNDPROC previous;
  previous = SetWindowProc(w, [&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_USER + 1) ++seen;
    return CallWindowProc(previous, h, m, wp, lp);
  });
  rec.Take();
  SendMessage(w, WM_USER + 1, 0, 0);
  SendMessage(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(rec.Take(), (Log{"CLOSE", "WINDOWPOSCHANGING", "WINDOWPOSCHANGED", "NCACTIVATE", "ACTIVATE", "ACTIVATEAPP",
                             "KILLFOCUS", "DESTROY", "NCDESTROY"}));
  EXPECT_FALSE(IsWindow(w));
}

// A component that subclassed a window unhooks only while its procedure is still the
// window's; otherwise it would cut out whoever subclassed after it.
TEST(WindowManager, WindowProceduresCompareByIdentity) {
  UiDriver ui;
  Recorder rec("WmProcs");
  HWND w = Overlapped("WmProcs", 10, 10, 100, 100);
  WNDPROC original = GetWindowProc(w);
  WNDPROC mine = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProc(original, h, m, wp, lp); };
  EXPECT_TRUE(SetWindowProc(w, mine) == original);
  EXPECT_TRUE(GetWindowProc(w) == mine);
  EXPECT_FALSE(GetWindowProc(w) == original);
  WNDPROC later = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProc(mine, h, m, wp, lp); };
  SetWindowProc(w, later);
  EXPECT_FALSE(GetWindowProc(w) == mine);  // someone subclassed after us: leave the chain alone
  WNDPROC sameBody = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProc(original, h, m, wp, lp); };
  EXPECT_FALSE(sameBody == mine);  // equal code is not the same procedure
  EXPECT_TRUE(WNDPROC(DefWindowProc) == WNDPROC(DefWindowProc));  // a plain function is itself
  EXPECT_FALSE(WNDPROC() == mine);
  DestroyWindow(w);  // while the procedures it calls are alive
}

TEST(WindowManager, PostedMessagesComeBeforePaintAndQuitEndsGetMessage) {
  UiDriver ui;
  Recorder rec("WmPost");
  HWND w = Overlapped("WmPost", 10, 10, 100, 100);
  rec.Take();
  InvalidateRect(w, nullptr, TRUE);
  PostMessage(w, WM_USER, 0, 0);
  PostQuitMessage(3);
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessage(&msg);
  EXPECT_THROW(GetMessage(&msg, nullptr, 0, 0), Exception);  // nothing can ever come
}

TEST(WindowManager, OtherThreadsMayPost) {
  UiDriver ui;
  Recorder rec("WmThreads");
  std::vector<std::pair<HWND, UINT>> got;
  HWND w = Overlapped("WmThreads", 10, 10, 100, 100);
  HWND gone = Overlapped("WmThreads", 200, 10, 100, 100);
  DestroyWindow(gone);
  ui.RunUntilIdle();
  DWORD ui_thread = GetCurrentThreadId();
  std::thread worker([&] {
    EXPECT_NE(GetCurrentThreadId(), ui_thread);
    EXPECT_TRUE(PostMessage(w, WM_USER + 1, 1, 2));
    EXPECT_TRUE(PostThreadMessage(ui_thread, WM_USER + 2, 3, 4));
    PostMessage(gone, WM_USER + 3, 0, 0);  // checked, and dropped, on the UI thread
    EXPECT_FALSE(PostThreadMessage(GetCurrentThreadId(), WM_USER + 4, 0, 0));  // a worker has no queue
  });
  worker.join();
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE)) got.emplace_back(msg.hwnd, msg.message);
  EXPECT_EQ(got, (std::vector<std::pair<HWND, UINT>>{{w, WM_USER + 1}, {nullptr, WM_USER + 2}}));
}

TEST(WindowManager, APostFromAnotherThreadWakesAWaitingLoop) {
  UiDriver ui;
  Recorder rec("WmWake");
  HWND w = Overlapped("WmWake", 10, 10, 100, 100);
  ui.RunUntilIdle();
  SetManualClock(false);  // a real wait, on the real clock
  std::thread worker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessage(w, WM_USER + 7, 0, 0);
  });
  MSG msg;
  bool got = false;
  EXPECT_NO_THROW(got = GetMessage(&msg, nullptr, WM_USER, WM_USER + 10));
  worker.join();
  EXPECT_TRUE(got);
  EXPECT_EQ(msg.message, WM_USER + 7u);
  SetManualClock(true);
}

TEST(WindowManager, KeysReachTheFocusAndBecomeCharacters) {
  UiDriver ui;
  Recorder rec("WmKeys");
  std::string typed;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_CHAR) typed += static_cast<char>(wp);
    return false;
  });
  HWND w = Overlapped("WmKeys", 10, 10, 100, 100);
  ui.RunUntilIdle();
  ASSERT_EQ(GetFocus(), w);
  ui.Type("Hi 5!");
  EXPECT_EQ(typed, "Hi 5!");
  ui.KeyDown(VK_SHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  ui.KeyUp(VK_SHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

// Characters come from what the layout typed, not from a table of US keys.
TEST(WindowManager, CharactersFollowTheKeyboardLayout) {
  UiDriver ui;
  Recorder rec("WmLayout");
  std::string typed;
  Log keys;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_CHAR) typed += static_cast<char>(wp);
    if (m == WM_SYSCHAR) typed += "<sys:" + std::string(1, static_cast<char>(wp)) + ">";
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) keys.push_back(Recorder::Name(m));
    return false;
  });
  Overlapped("WmLayout", 10, 10, 100, 100);
  ui.RunUntilIdle();
  struct Case {
    const char* what;
    std::vector<int> held;  // modifier keys held down
    int vk;
    const char* text;       // what the host's layout typed
    std::string expected;
  };
  const Case cases[] = {
      {"French 2 key", {}, '2', "\xC3\xA9", "\xC3\xA9"},
      {"German AltGr+Q", {VK_CONTROL, VK_MENU}, 'Q', "@", "@"},
      {"US Ctrl+C", {VK_CONTROL}, 'C', "c", "\x03"},
      {"Alt+F is a mnemonic", {VK_MENU}, 'F', "f", "<sys:f>"},
      {"Return", {}, VK_RETURN, "", "\r"},
  };
  for (const Case& c : cases) {
    typed.clear();
    for (int vk : c.held) ui.KeyDown(vk);
    ui.TypeKey(c.vk, c.text);
    for (auto it = c.held.rbegin(); it != c.held.rend(); ++it) ui.KeyUp(*it);
    EXPECT_EQ(typed, c.expected) << c.what;
  }
  typed.clear();
  ui.TypeKey(0xDD, "");  // a dead circumflex types nothing by itself
  ui.TypeKey('E', "\xC3\xAA");
  EXPECT_EQ(typed, "\xC3\xAA");
  keys.clear();
  ui.KeyDown(VK_CONTROL);
  ui.KeyDown(VK_MENU);
  ui.TypeKey('Q', "@");
  ui.KeyUp(VK_MENU);
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(keys, (Log{"KEYDOWN", "KEYDOWN", "KEYDOWN"}));  // Ctrl+Alt is AltGr: no system keys
}

TEST(WindowManager, F10AndAltAloneAreSystemKeys) {
  UiDriver ui;
  Recorder rec("WmSysKeys");
  std::vector<std::pair<std::string, WPARAM>> got;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) got.emplace_back(Recorder::Name(m), wp);
    return false;
  });
  Overlapped("WmSysKeys", 10, 10, 100, 100);
  ui.RunUntilIdle();
  ui.Press(VK_F10);
  ui.Press(VK_MENU);
  ui.Press('A');
  using Seen = std::vector<std::pair<std::string, WPARAM>>;
  EXPECT_EQ(got, (Seen{{"SYSKEYDOWN", VK_F10}, {"SYSKEYUP", VK_F10}, {"SYSKEYDOWN", VK_MENU}, {"SYSKEYUP", VK_MENU},
                       {"KEYDOWN", 'A'}, {"KEYUP", 'A'}}));
}

TEST(WindowManager, CloseButtonClosesTheWindow) {
  UiDriver ui;
  Recorder rec("WmClose");
  HWND w = Overlapped("WmClose", 100, 100, 300, 200);
  ui.RunUntilIdle();
  RECT r, b = CaptionButtonRect(w, HTCLOSE);
  GetWindowRect(w, &r);
  ui.Click(r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2);
  EXPECT_FALSE(IsWindow(w));
}

TEST(WindowManager, DesktopSizeComesFromTheEnvironmentFormat) {
  struct Case {
    const char* text;
    int w, h, bpp;
  } cases[] = {{"1024x768x16", 1024, 768, 16}, {"800x600", 800, 600, 32}, {"10x10x32", 1280, 800, 32},
               {"1024x768x13", 1280, 800, 32}, {"junk", 1280, 800, 32}, {nullptr, 1280, 800, 32},
               {"640x480x8x", 1280, 800, 32}};
  for (const Case& c : cases) {
    DesktopConfig d = ParseDesktopConfig(c.text);
    EXPECT_EQ(d.width, c.w) << (c.text ? c.text : "null");
    EXPECT_EQ(d.height, c.h);
    EXPECT_EQ(d.bitsPerPixel, c.bpp);
  }
  UiDriver ui(640, 480, 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 16);
}

TEST(WindowManager, ManualClockMovesOnlyWhenAdvanced) {
  SetManualClock(true);
  DWORD t = GetTickCount();
  EXPECT_EQ(GetTickCount(), t);
  AdvanceClock(250);
  EXPECT_EQ(GetTickCount(), t + 250);
  SetManualClock(false);
  EXPECT_GE(GetTickCount(), t + 250);  // real time never runs backwards
}

}  // namespace
