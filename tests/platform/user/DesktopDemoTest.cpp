// Two overlapping windows that paint themselves; one is dragged by its caption and the
// other sized by its border, through input as a user gives it; the desktop is saved as a
// BMP file and read back by an independent reader.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Recorder.h"
#include "platform/user/Desktop.h"
#include "support/UiDriver.h"

namespace {

void PaintSelf(HWND w, COLORREF colour, const char* label) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT r;
  GetClientRect(w, &r);
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(dc, &r, b);
  DeleteObject(b);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Ellipse(dc, 20, 20, r.right - 20, r.bottom - 20);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  LOGFONT lf;
  lf.lfHeight = -16;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Arial");
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, label, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EndPaint(w, &ps);
}

// The colour ImageMagick reads at a pixel of a file, as 0xRRGGBB; -1 when it cannot.
long ImageMagickPixel(const std::string& file, int x, int y) {
  std::string cmd = "convert '" + file + "' -format '%[fx:int(255*u.r)],%[fx:int(255*u.g)],%[fx:int(255*u.b)]' -crop 1x1+" +
                    std::to_string(x) + "+" + std::to_string(y) + " info:- 2>/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return -1;
  int r = -1, g = -1, b = -1;
  int n = std::fscanf(pipe, "%d,%d,%d", &r, &g, &b);
  pclose(pipe);
  return n == 3 ? (r << 16) | (g << 8) | b : -1;
}

TEST(DesktopDemo, TwoWindowsDraggedAndSizedShowCorrectly) {
  UiDriver ui(800, 600);
  Recorder red("DemoRed"), blue("DemoBlue");
  red.OnMessage([](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m != WM_PAINT) return false;
    PaintSelf(w, RGB(220, 60, 60), "First window");
    return true;
  });
  blue.OnMessage([](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m != WM_PAINT) return false;
    PaintSelf(w, RGB(60, 90, 220), "Second window");
    return true;
  });
  HWND first = CreateWindowEx(0, "DemoRed", "First", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320, 240, nullptr,
                              nullptr, nullptr, nullptr);
  HWND second = CreateWindowEx(0, "DemoBlue", "Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 220, 160, 320, 240,
                               nullptr, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  ASSERT_EQ(GetActiveWindow(), second);

  // Drag the first window by its caption: it comes to the front and moves.
  RECT before;
  GetWindowRect(first, &before);
  POINT grab{before.left + 100, before.top + 12};
  ui.Drag(grab, POINT{grab.x - 50, grab.y + 300});
  RECT after;
  GetWindowRect(first, &after);
  EXPECT_EQ(after.left, before.left - 50);
  EXPECT_EQ(after.top, before.top + 300);
  EXPECT_EQ(GetActiveWindow(), first);

  // Size the second window by its bottom-right corner.
  RECT sb;
  GetWindowRect(second, &sb);
  ui.Drag(POINT{sb.right - 2, sb.bottom - 2}, POINT{sb.right - 2 - 100, sb.bottom - 2 + 60});
  RECT sa;
  GetWindowRect(second, &sa);
  EXPECT_EQ(sa.right - sa.left, 220);
  EXPECT_EQ(sa.bottom - sa.top, 300);
  EXPECT_EQ(GetActiveWindow(), second);

  // What the screen shows: the wallpaper where the first window was, each window's colour
  // where it is on top, active and inactive captions.
  EXPECT_EQ(ui.Pixel(before.left + 20, before.top + 60), PixelFromColor(GetSysColor(COLOR_DESKTOP)));
  POINT firstClient = UiDriver::At(first, 8, 8), secondClient = UiDriver::At(second, 8, 8);
  EXPECT_EQ(ui.Pixel(firstClient.x, firstClient.y), PixelFromColor(RGB(220, 60, 60)));
  EXPECT_EQ(ui.Pixel(secondClient.x, secondClient.y), PixelFromColor(RGB(60, 90, 220)));
  RECT fr;
  GetWindowRect(first, &fr);
  EXPECT_EQ(ui.Pixel(fr.left + 60, fr.top + 8), PixelFromColor(GetSysColor(COLOR_INACTIVECAPTION)));
  EXPECT_EQ(ui.Pixel(sa.left + 60, sa.top + 8), PixelFromColor(GetSysColor(COLOR_ACTIVECAPTION)));
  // The second window's new bottom part was painted, not left as wallpaper.
  POINT newPart = UiDriver::At(second, 5, 295 - 27);
  EXPECT_EQ(ui.Pixel(newPart.x, newPart.y), PixelFromColor(RGB(60, 90, 220)));

  std::string file = std::string(QUILLO_BIN_DIR) + "/../desktop-demo.bmp";
  ASSERT_TRUE(ui.SaveDesktop(file));
  for (POINT p : {firstClient, secondClient, POINT{before.left + 20, before.top + 60}}) {
    long seen = ImageMagickPixel(file, p.x, p.y);
    if (seen < 0) GTEST_SKIP() << "ImageMagick is not installed";
    EXPECT_EQ(static_cast<std::uint32_t>(seen), ui.Pixel(p.x, p.y));
  }
  // On a real display, keep the result up for a look.
  ui.ShowToViewer();
}

}  // namespace
