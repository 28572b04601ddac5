// The host's window resized by the user: the desktop follows one to one, windows keep to
// it, and the program hears of it as it would on Windows.

#include <gtest/gtest.h>

#include "Recorder.h"
#include "platform/user/Desktop.h"
#include "support/UiDriver.h"

namespace {

void ResizeHost(UiDriver& ui, int width, int height) {
  InputEvent e;
  e.kind = InputEvent::Kind::Resize;
  e.x = width;
  e.y = height;
  ui.Inject(e);
  ui.RunUntilIdle();
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

TEST(DesktopResize, TheDesktopFollowsTheHostAndWindowsKeepToIt) {
  UiDriver ui(800, 600);
  Recorder rec("ResizeTop");
  std::vector<std::pair<WPARAM, LPARAM>> displayChanges;
  std::vector<WPARAM> settingChanges;
  rec.OnMessage([&](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
    if (m == WM_DISPLAYCHANGE) displayChanges.emplace_back(wp, lp);
    if (m == WM_SETTINGCHANGE) settingChanges.push_back(wp);
    return false;
  });
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  HWND maximised = CreateWindowEx(0, "ResizeTop", "Max", style, 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(maximised, SW_MAXIMIZE);
  HWND farRight = CreateWindowEx(0, "ResizeTop", "Far", style, 700, 500, 90, 80, nullptr, nullptr, nullptr, nullptr);
  HWND nearTop = CreateWindowEx(0, "ResizeTop", "Near", style, 20, 30, 90, 80, nullptr, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();

  ResizeHost(ui, 640, 400);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 400);
  EXPECT_EQ(DesktopSurface().width, 640);
  EXPECT_EQ(DesktopSurface().height, 400);
  RECT area{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(area.right, 640);
  EXPECT_EQ(area.bottom, 400);
  const int frame = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(WindowRect(maximised).right, 640 + frame);
  EXPECT_EQ(WindowRect(maximised).bottom, 400 + frame);
  EXPECT_TRUE(IsZoomed(maximised));
  // Off the smaller screen: brought back with its size; on it: left where it was.
  const RECT far = WindowRect(farRight);
  EXPECT_LT(far.left, 640);
  EXPECT_LT(far.top, 400);
  EXPECT_EQ(far.right - far.left, 90);
  EXPECT_EQ(WindowRect(nearTop).left, 20);
  EXPECT_EQ(WindowRect(nearTop).top, 30);
  ASSERT_EQ(displayChanges.size(), 3u);  // once to each top-level window
  EXPECT_EQ(displayChanges[0].second, MAKELPARAM(640, 400));
  EXPECT_EQ(settingChanges, (std::vector<WPARAM>{SPI_SETWORKAREA, SPI_SETWORKAREA, SPI_SETWORKAREA}));

  // The same size again changes nothing; absurd sizes are refused.
  displayChanges.clear();
  ResizeHost(ui, 640, 400);
  ResizeHost(ui, 10, 10);
  EXPECT_TRUE(displayChanges.empty());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);

  // Larger again: the maximised window grows with the screen, and painting reaches the new part.
  ResizeHost(ui, 1024, 700);
  EXPECT_EQ(WindowRect(maximised).right, 1024 + frame);
  FlushDesktop();
  EXPECT_EQ(DesktopSurface().Row(650)[1000] & 0xFFFFFF, GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  DestroyWindow(maximised);
  DestroyWindow(farRight);
  DestroyWindow(nearTop);
}

}  // namespace
