// What DefWindowProc does with the messages a window leaves to it, in the order Windows
// does it.

#include <gtest/gtest.h>

#include <algorithm>

#include "Recorder.h"
#include "platform/user/Window.h"
#include "support/UiDriver.h"

namespace {

HWND Overlapped(const char* cls, int x, int y, int w, int h, DWORD extra = WS_VISIBLE) {
  return CreateWindowEx(0, cls, "Window", WS_OVERLAPPEDWINDOW | extra, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

struct ContextMenuSeen {
  HWND window;
  WPARAM wParam;
  LPARAM lParam;
};

bool operator==(const ContextMenuSeen& a, const ContextMenuSeen& b) {
  return a.window == b.window && a.wParam == b.wParam && a.lParam == b.lParam;
}

TEST(DefWindowProc, ContextMenuComesFromTheRightButtonShiftF10AndTheMenuKeyAndGoesUp) {
  UiDriver ui;
  Recorder rec("DefContext");
  std::vector<ContextMenuSeen> seen;
  rec.OnMessage([&](HWND w, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
    if (m == WM_CONTEXTMENU) seen.push_back({w, wp, lp});
    return false;
  });
  HWND parent = Overlapped("DefContext", 10, 10, 300, 200);
  HWND child = CreateWindowEx(0, "DefContext", "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, parent, nullptr, nullptr,
                              nullptr);
  ui.RunUntilIdle();
  SetFocus(child);
  POINT p = UiDriver::At(child, 20, 30);
  ui.Click(p.x, p.y, InputEvent::Right);
  WPARAM c = reinterpret_cast<WPARAM>(child);
  LPARAM at = MAKELPARAM(p.x, p.y), keyboard = -1;
  EXPECT_EQ(seen, (std::vector<ContextMenuSeen>{{child, c, at}, {parent, c, at}}));
  seen.clear();
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_F10);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(seen, (std::vector<ContextMenuSeen>{{child, c, keyboard}, {parent, c, keyboard}}));
  seen.clear();
  ui.Press(VK_APPS);
  EXPECT_EQ(seen, (std::vector<ContextMenuSeen>{{child, c, keyboard}, {parent, c, keyboard}}));
}

TEST(DefWindowProc, SetRedrawStopsAndRestartsPainting) {
  UiDriver ui;
  Recorder rec("DefRedraw");
  HWND w = Overlapped("DefRedraw", 10, 10, 200, 150);
  ui.RunUntilIdle();
  rec.Take();
  SendMessage(w, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(w, nullptr, TRUE);
  ui.RunUntilIdle();
  EXPECT_EQ(rec.Take(), Log{});
  EXPECT_FALSE(IsWindowVisible(w));
  SendMessage(w, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(w));
  InvalidateRect(w, nullptr, TRUE);
  ui.RunUntilIdle();
  Log log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "PAINT"), 1);
}

TEST(DefWindowProc, ControlColoursAreTheClassicOnes) {
  UiDriver ui;
  Recorder rec("DefCtlColor");
  HWND w = Overlapped("DefCtlColor", 10, 10, 200, 150);
  HDC dc = GetDC(w);
  struct Case {
    UINT message;
    int brush;
    int background;
  };
  for (const Case& c : {Case{WM_CTLCOLOREDIT, COLOR_WINDOW, COLOR_WINDOW}, Case{WM_CTLCOLORLISTBOX, COLOR_WINDOW, COLOR_WINDOW},
                        Case{WM_CTLCOLORBTN, COLOR_3DFACE, COLOR_3DFACE}, Case{WM_CTLCOLORDLG, COLOR_3DFACE, COLOR_3DFACE},
                        Case{WM_CTLCOLORSTATIC, COLOR_3DFACE, COLOR_3DFACE},
                        Case{WM_CTLCOLORMSGBOX, COLOR_3DFACE, COLOR_3DFACE}}) {
    SetBkColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, RGB(4, 5, 6));
    LRESULT brush = SendMessage(w, c.message, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(c.brush)) << c.message;
    EXPECT_EQ(GetBkColor(dc), GetSysColor(c.background)) << c.message;
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT)) << c.message;
  }
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessage(w, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), 0)),
            GetSysColorBrush(COLOR_SCROLLBAR));
  ReleaseDC(w, dc);
}

TEST(DefWindowProc, WindowIconsAreKeptAndTheCaptionShowsThem) {
  UiDriver ui;
  Recorder rec("DefIcon");
  HWND w = Overlapped("DefIcon", 100, 100, 200, 150);
  ui.RunUntilIdle();
  RECT r;
  GetWindowRect(w, &r);
  auto captionLeft = [&] {
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.top + 24; ++y)
      for (int x = r.left; x < r.left + 24; ++x) pixels.push_back(ui.Pixel(x, y));
    return pixels;
  };
  auto before = captionLeft();
  HICON icon = LoadCursor(GetModuleHandle(nullptr), "EX_HANDCUR");
  ASSERT_TRUE(icon);
  EXPECT_EQ(SendMessage(w, WM_GETICON, ICON_SMALL2, 0), 0);
  EXPECT_EQ(SendMessage(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
  EXPECT_EQ(SendMessage(w, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessage(w, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessage(w, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(icon));  // the big one stands in
  ui.RunUntilIdle();
  EXPECT_NE(captionLeft(), before);
  EXPECT_EQ(SendMessage(w, WM_SETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));  // answers the previous one
  ui.RunUntilIdle();
  EXPECT_EQ(captionLeft(), before);
}

TEST(DefWindowProc, AltKeysBecomeTheKeyMenuCommand) {
  UiDriver ui;
  Recorder rec("DefKeyMenu");
  std::vector<std::pair<WPARAM, LPARAM>> commands;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
    if (m == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU) commands.emplace_back(wp & 0xFFF0, lp);
    return false;
  });
  Overlapped("DefKeyMenu", 10, 10, 200, 150);
  ui.RunUntilIdle();
  ui.KeyDown(VK_MENU);
  ui.TypeKey('F', "f");
  ui.KeyUp(VK_MENU);
  ui.Press(VK_MENU);  // alone: into the menu bar
  ui.Press(VK_F10);
  using Commands = std::vector<std::pair<WPARAM, LPARAM>>;
  EXPECT_EQ(commands, (Commands{{SC_KEYMENU, 'f'}, {SC_KEYMENU, 0}, {SC_KEYMENU, 0}}));
}

TEST(DefWindowProc, NonClientMouseLeaveIsReportedWhenTracked) {
  UiDriver ui;
  Recorder rec("DefNcLeave");
  int leaves = 0;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    leaves += m == WM_NCMOUSELEAVE;
    return false;
  });
  HWND w = Overlapped("DefNcLeave", 100, 100, 200, 150);
  ui.RunUntilIdle();
  RECT r;
  GetWindowRect(w, &r);
  ui.MoveTo(r.left + 60, r.top + 10);  // on the caption
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE | TME_NONCLIENT;
  track.hwndTrack = w;
  TrackMouseEvent(&track);
  ui.MoveTo(r.left + 70, r.top + 12);
  EXPECT_EQ(leaves, 0);
  POINT inside = UiDriver::At(w, 50, 50);
  ui.MoveTo(inside.x, inside.y);
  EXPECT_EQ(leaves, 1);
  ui.MoveTo(r.left + 60, r.top + 10);
  EXPECT_EQ(leaves, 1);  // once per request
}

}  // namespace
