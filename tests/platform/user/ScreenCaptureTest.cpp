// Reading the screen as a capture does: the whole-window context of a window (frame
// included) and of the desktop, copied into a memory bitmap, give exactly the pixels on the
// screen; the foreground window is the one to grab.

#include <gtest/gtest.h>

#include <vector>

#include "platform/user/User.h"
#include "support/UiDriver.h"

namespace {

// Copies a rectangle of a window's whole-window context as the capture does, top row first.
std::vector<std::uint32_t> Grab(HWND window, int x0, int y0, int width, int height) {
  HDC source = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x0, y0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return pixels;
}

std::vector<std::uint32_t> OnScreen(const UiDriver& ui, int left, int top, int width, int height) {
  std::vector<std::uint32_t> pixels;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) pixels.push_back(ui.Pixel(x, y));
  return pixels;
}

LRESULT Striped(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    for (int i = 0; i < 20; ++i) {
      RECT r{i * 9, 0, i * 9 + 9, 300};
      HBRUSH brush = CreateSolidBrush(RGB(i * 12, 255 - i * 12, (i * 53) & 255));
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    EndPaint(w, &ps);
    return 0;
  }
  return DefWindowProc(w, m, wp, lp);
}

TEST(ScreenCapture, AWindowAndTheDesktopReadAsTheyAreOnTheScreen) {
  UiDriver ui(640, 480);
  WNDCLASS wc;
  wc.lpfnWndProc = Striped;
  wc.lpszClassName = "Striped";
  RegisterClass(&wc);
  HWND back = CreateWindowEx(0, "Striped", "Behind", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40, 200, 150, nullptr,
                             nullptr, nullptr, nullptr);
  HWND front = CreateWindowEx(0, "Striped", "Front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90, 220, 160, nullptr,
                              nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  EXPECT_EQ(GetForegroundWindow(), front);

  // The foreground window, frame and caption included, from its own top-left corner.
  RECT r;
  GetWindowRect(front, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(Grab(front, 0, 0, w, h), OnScreen(ui, r.left, r.top, w, h));
  // A part of it, from a point inside the window.
  EXPECT_EQ(Grab(front, 5, 30, 50, 40), OnScreen(ui, r.left + 5, r.top + 30, 50, 40));
  // The desktop: everything on the screen, the window behind where it shows.
  const std::vector<std::uint32_t> desktop = Grab(GetDesktopWindow(), 0, 0, 640, 480);
  EXPECT_EQ(desktop, OnScreen(ui, 0, 0, 640, 480));
  // GetDC(0) reads the same screen.
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 35, 45) & 0xFFFFFF, [&] {
    const std::uint32_t p = ui.Pixel(35, 45);
    return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
  }());
  ReleaseDC(nullptr, screen);

  // With every window minimised the desktop is what is in front.
  ShowWindow(back, SW_MINIMIZE);
  ShowWindow(front, SW_MINIMIZE);
  ui.RunUntilIdle();
  EXPECT_EQ(GetForegroundWindow(), GetDesktopWindow());
  DestroyWindow(back);
  DestroyWindow(front);
  UnregisterClass("Striped", nullptr);
}

}  // namespace
