#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <vector>

#include "Recorder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Desktop.h"
#include "platform/user/MessageBoxScript.h"
#include "platform/user/Window.h"
#include "support/UiDriver.h"

namespace {

HWND Overlapped(const char* cls, const char* title, int x, int y, int w, int h) {
  return CreateWindowEx(0, cls, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

TEST(WindowTree, RelationsTextAndLookup) {
  UiDriver ui;
  Recorder rec("TreeWin");
  HWND a = Overlapped("TreeWin", "Alpha", 10, 10, 200, 150);
  HWND b = Overlapped("TreeWin", "Beta", 50, 50, 200, 150);
  HWND c1 = CreateWindowEx(0, "TreeWin", "c1", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, a, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  HWND c2 = CreateWindowEx(0, "TreeWin", "c2", WS_CHILD | WS_VISIBLE, 30, 0, 20, 20, a, reinterpret_cast<HMENU>(8), nullptr, nullptr);
  EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), b);  // the newest on top
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetParent(c1), a);
  EXPECT_EQ(GetDlgItem(a, 8), c2);
  EXPECT_EQ(GetDlgCtrlID(c1), 7);
  EXPECT_TRUE(IsChild(a, c2));
  EXPECT_FALSE(IsChild(b, c2));
  EXPECT_EQ(FindWindow("treewin", "Beta"), b);
  EXPECT_EQ(FindWindow(nullptr, "Nothing"), nullptr);
  int count = 0;
  EnumChildWindows(a, [&](HWND, LPARAM) { return ++count, TRUE; }, 0);
  EXPECT_EQ(count, 2);
  char text[16];
  EXPECT_EQ(GetWindowText(a, text, sizeof text), 5);
  EXPECT_STREQ(text, "Alpha");
  SetWindowText(a, "A longer title");
  EXPECT_EQ(GetWindowTextLength(a), 14);
  EXPECT_EQ(GetWindowText(a, text, 4), 3);
  EXPECT_STREQ(text, "A l");
  SetProp(a, "Key", &count);
  EXPECT_EQ(GetProp(a, "KEY"), &count);
  EXPECT_EQ(RemoveProp(a, "key"), &count);
  EXPECT_EQ(GetProp(a, "Key"), nullptr);
  std::vector<UINT> styleMessages;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_STYLECHANGING) reinterpret_cast<STYLESTRUCT*>(lp)->styleNew |= WS_TABSTOP;  // may alter it
    if (m == WM_STYLECHANGING || m == WM_STYLECHANGED) styleMessages.push_back(m);
    return false;
  });
  SetWindowLongPtr(c1, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_BORDER);
  EXPECT_EQ(styleMessages, (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtr(c1, GWL_STYLE)), WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);
  rec.OnMessage(nullptr);
  SetWindowLongPtr(a, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtr(a, GWLP_USERDATA), 1234);
  POINT p{5, 5};
  MapWindowPoints(c2, a, &p, 1);
  EXPECT_EQ(p, (POINT{35, 5}));
}

TEST(WindowTree, OwnedWindowsStayAboveTheirOwner) {
  UiDriver ui;
  Recorder rec("TreeOwned");
  HWND owner = Overlapped("TreeOwned", "Owner", 10, 10, 300, 200);
  HWND tool = CreateWindowEx(WS_EX_TOOLWINDOW, "TreeOwned", "Tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 100, 100,
                             owner, nullptr, nullptr, nullptr);
  HWND other = Overlapped("TreeOwned", "Other", 400, 20, 300, 200);
  ui.RunUntilIdle();
  ASSERT_EQ(GetWindow(other, GW_HWNDFIRST), other);
  POINT p = UiDriver::At(owner, 250, 150);
  ui.Click(p.x, p.y);  // activating the owner brings its tool window along, above it
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), tool);
  EXPECT_EQ(GetWindow(tool, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(owner, GW_OWNER), nullptr);
  EXPECT_EQ(GetWindow(tool, GW_OWNER), owner);
}

// A dialog of a stay-on-top window is shown above it, and stays there when the other windows
// are brought forward.
TEST(WindowTree, WindowsOwnedByATopmostWindowStayAboveIt) {
  UiDriver ui;
  Recorder rec("TreeTopmost");
  HWND owner = Overlapped("TreeTopmost", "Owner", 10, 10, 300, 200);
  SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HWND other = Overlapped("TreeTopmost", "Other", 400, 20, 300, 200);
  HWND dialog = CreateWindowEx(0, "TreeTopmost", "Dialog", WS_POPUP | WS_CAPTION, 50, 50, 100, 100, owner, nullptr,
                               nullptr, nullptr);
  ShowWindow(dialog, SW_SHOW);
  ui.RunUntilIdle();
  EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), dialog);
  EXPECT_EQ(GetWindow(dialog, GW_HWNDNEXT), owner);
  EXPECT_TRUE(GetWindowLongPtr(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), dialog);
  EXPECT_EQ(GetWindow(dialog, GW_HWNDNEXT), owner);
  // Brought forward itself, it stays with its owner among the topmost windows.
  SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), dialog);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
}

TEST(WindowTree, MouseLeaveIsReportedOnceWhenTracked) {
  UiDriver ui;
  Recorder rec("TreeLeave");
  int leaves = 0;
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_MOUSELEAVE) ++leaves;
    if (m == WM_MOUSEMOVE) {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = w;
      TrackMouseEvent(&t);
    }
    return false;
  });
  HWND a = Overlapped("TreeLeave", "A", 10, 10, 200, 150);
  ui.RunUntilIdle();
  POINT in = UiDriver::At(a, 20, 20);
  ui.MoveTo(in.x, in.y);
  ui.MoveTo(in.x + 1, in.y);
  EXPECT_EQ(leaves, 0);
  ui.MoveTo(600, 500);
  ui.MoveTo(610, 500);
  EXPECT_EQ(leaves, 1);
}

TEST(WindowTree, DisabledWindowsTakeNoClicks) {
  UiDriver ui;
  Recorder rec("TreeDisabled");
  HWND a = Overlapped("TreeDisabled", "A", 10, 10, 200, 150);
  ui.RunUntilIdle();
  EnableWindow(a, FALSE);
  EXPECT_FALSE(IsWindowEnabled(a));
  rec.Take();
  POINT p = UiDriver::At(a, 10, 10);
  ui.Click(p.x, p.y);
  Log got = rec.Take();
  EXPECT_EQ(std::count(got.begin(), got.end(), "LBUTTONDOWN"), 0);
  EnableWindow(a, TRUE);
  ui.Click(p.x, p.y);
  got = rec.Take();
  EXPECT_EQ(std::count(got.begin(), got.end(), "LBUTTONDOWN"), 1);
}

TEST(WindowTree, FocusMovesBetweenChildrenAndWheelReachesTheParent) {
  UiDriver ui;
  Recorder rec("TreeFocus");
  int wheelAtParent = 0;
  rec.OnMessage([&](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_MOUSEWHEEL && !(GetWindowLongPtr(w, GWL_STYLE) & WS_CHILD)) ++wheelAtParent;
    return false;
  });
  HWND a = Overlapped("TreeFocus", "A", 10, 10, 200, 150);
  HWND c = CreateWindowEx(0, "TreeFocus", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, a, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  rec.Take();
  EXPECT_EQ(SetFocus(c), a);
  EXPECT_EQ(rec.TakeFor(c), Log{"SETFOCUS"});
  ui.Wheel(20, 20, 120);
  EXPECT_EQ(wheelAtParent, 1);  // the child did not handle it; DefWindowProc passes it up
  ShowWindow(c, SW_HIDE);
  EXPECT_EQ(GetFocus(), a);  // a hidden child gives the focus back to its parent
}

TEST(WindowTree, AWindowInAHiddenTopLevelWindowTakesNoFocus) {
  UiDriver ui;
  Recorder rec("TreeHiddenFocus");
  HWND a = Overlapped("TreeHiddenFocus", "A", 10, 10, 200, 150);
  HWND b = Overlapped("TreeHiddenFocus", "B", 300, 10, 200, 150);
  HWND c = CreateWindowEx(0, "TreeHiddenFocus", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, b, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  SetFocus(a);
  ShowWindow(b, SW_HIDE);
  rec.Take();
  EXPECT_EQ(SetFocus(c), nullptr);  // b cannot be activated while hidden
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(rec.TakeFor(c), Log{});
  ShowWindow(a, SW_HIDE);  // the last visible window goes: no window is active, none focused
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(SetFocus(c), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST(WindowTree, MaximizeAndRestoreFromTheCaptionButton) {
  UiDriver ui;
  Recorder rec("TreeMax");
  std::vector<WPARAM> sizes;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_SIZE) sizes.push_back(wp);
    return false;
  });
  HWND w = Overlapped("TreeMax", "Max", 100, 100, 300, 200);
  ui.RunUntilIdle();
  sizes.clear();
  RECT r, b = CaptionButtonRect(w, HTMAXBUTTON);
  GetWindowRect(w, &r);
  ui.Click(r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2);
  EXPECT_TRUE(IsZoomed(w));
  RECT z;
  GetWindowRect(w, &z);
  EXPECT_EQ(z, (RECT{-4, -4, 1284, 804}));  // the frame lies beyond the screen's edges
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back(), SIZE_MAXIMIZED);
  b = CaptionButtonRect(w, HTMAXBUTTON);
  ui.Click(z.left + (b.left + b.right) / 2, z.top + (b.top + b.bottom) / 2);
  EXPECT_FALSE(IsZoomed(w));
  GetWindowRect(w, &z);
  EXPECT_EQ(z, r);
  EXPECT_EQ(sizes.back(), SIZE_RESTORED);
}

// Places from a stored setting can be anything: the edges still add up, and the window keeps
// the order of its coordinates.
TEST(WindowTree, APlaceAtTheEndsOfTheIntegerRangeKeepsItsEdgesInOrder) {
  UiDriver ui;
  Recorder rec("TreeFar");
  HWND w = Overlapped("TreeFar", "Far", 100, 100, 300, 200);
  const struct {
    int x, y, cx, cy;
  } cases[] = {{INT_MAX, INT_MAX, 300, 200}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, -5, INT_MIN}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetWindowPos(w, nullptr, c.x, c.y, c.cx, c.cy, SWP_NOZORDER | SWP_NOACTIVATE));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
    EXPECT_EQ(r.left < 0, c.x < 0);
  }
  DestroyWindow(w);
}

// With Alt held, the text of a key is a menu's letter and types nothing; the text of the
// layout's third level (AltGr) types all the same.
TEST(WindowTree, AltLettersTypeNothingButTheThirdLevelTypes) {
  UiDriver ui;
  Recorder rec("TreeText");
  std::vector<WPARAM> typed;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_CHAR) typed.push_back(wp);
    return false;
  });
  HWND w = Overlapped("TreeText", "Text", 100, 100, 300, 200);
  SetFocus(w);
  ui.RunUntilIdle();
  ui.TypeKey('A', "a");
  ui.KeyDown(VK_MENU);
  ui.TypeKey('F', "f");
  ui.TypeKey('Q', "@", true);
  ui.KeyUp(VK_MENU);
  EXPECT_EQ(typed, (std::vector<WPARAM>{'a', '@'}));
  DestroyWindow(w);
}

TEST(WindowTree, WallpaperImageIsCentredOnTheDesktop) {
  UiDriver ui(400, 300);
  std::vector<std::uint32_t> pixels(20 * 10, 0xFF8000);
  Surface s{pixels.data(), 20, 20, 10};
  std::string file = std::string(QUILLO_BIN_DIR) + "/../wallpaper-test.bmp";
  ASSERT_TRUE(SaveSurfaceBmp(s, RECT{0, 0, 20, 10}, file));
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(file.c_str()), 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(200, 150), 0xFF8000u);
  EXPECT_EQ(ui.Pixel(190, 145), 0xFF8000u);
  EXPECT_EQ(ui.Pixel(189, 150), PixelFromColor(GetSysColor(COLOR_DESKTOP)));
  // A file that is no bitmap leaves the plain colour.
  std::string bad = std::string(QUILLO_BIN_DIR) + "/../wallpaper-bad.bmp";
  FILE* f = std::fopen(bad.c_str(), "wb");
  std::fputs("BMnonsense", f);
  std::fclose(f);
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(bad.c_str()), 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(200, 150), PixelFromColor(GetSysColor(COLOR_DESKTOP)));
  std::filesystem::remove(file);
  std::filesystem::remove(bad);
}

TEST(WindowTree, TheDriverActsWhenAModalLoopWaits) {
  UiDriver ui;
  Recorder rec("TreeModal");
  HWND w = Overlapped("TreeModal", "M", 10, 10, 200, 150);
  ui.RunUntilIdle();
  POINT p = UiDriver::At(w, 30, 30);
  ui.WhenModalWaits([&] { PostMessage(w, WM_USER + 1, 0, 0); });
  ui.WhenModalWaits([&] {
    InputEvent click;
    click.kind = InputEvent::Kind::MouseDown;
    click.x = p.x;
    click.y = p.y;
    DesktopHost().Inject(click);
  });
  // A modal loop of the program's own: it runs until it has seen both.
  bool posted = false, clicked = false;
  MSG msg;
  while (!(posted && clicked) && GetMessage(&msg, nullptr, 0, 0)) {
    posted = posted || msg.message == WM_USER + 1;
    clicked = clicked || msg.message == WM_LBUTTONDOWN;
    DispatchMessage(&msg);
  }
  EXPECT_TRUE(posted && clicked);
  EXPECT_THROW(GetMessage(&msg, nullptr, 0, 0), Exception);  // no more answers
}

TEST(WindowTree, TheDriverAnswersMessageBoxesFromItsScript) {
  UiDriver ui;
  ui.AnswerMessageBoxes({IDYES, IDNO});
  EXPECT_EQ(RunMessageBoxScript(nullptr, "Save changes?", "Warn", MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(RunMessageBoxScript(nullptr, "Again?", "Warn", MB_YESNO), IDNO);
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{"Save changes?", "Again?"}));
}

}  // namespace
