#include <gtest/gtest.h>

#include <cstring>

#include "Recorder.h"
#include "platform/user/Desktop.h"
#include "support/Canvas.h"
#include "support/UiDriver.h"

namespace {

TEST(Look, ClassicColoursAndTheirBrushes) {
  UiDriver ui;
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0, 0, 128));
  EXPECT_EQ(GetSysColor(COLOR_DESKTOP), RGB(0, 128, 128));
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  int index = COLOR_BTNFACE;
  COLORREF pink = RGB(255, 128, 192);
  SetSysColors(1, &index, &pink);
  LOGBRUSH lb;
  GetObject(face, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, pink);  // the system brush follows its colour
  EXPECT_TRUE(DeleteObject(face));
  EXPECT_EQ(GetObjectType(face), static_cast<DWORD>(OBJ_BRUSH));  // never freed
}

TEST(Look, SystemParameters) {
  UiDriver ui(1024, 768);
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 1024, 768}));
  NONCLIENTMETRICS ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(ncm.lfMessageFont.lfHeight, -11);
  EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
  BOOL smooth = FALSE;
  SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &smooth, 0);
  EXPECT_TRUE(smooth);
  SystemParametersInfo(SPI_SETFONTSMOOTHING, FALSE, nullptr, 0);
  SystemParametersInfo(SPI_GETFONTSMOOTHING, 0, &smooth, 0);
  EXPECT_FALSE(smooth);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));
}

TEST(Look, CursorFollowsTheBorderAndTheClassCursor) {
  UiDriver ui;
  Recorder rec("LookCursor");
  HWND w = CreateWindowEx(0, "LookCursor", "C", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                          nullptr, nullptr);
  ui.RunUntilIdle();
  RECT r;
  GetWindowRect(w, &r);
  struct Case {
    int x, y;
    CursorShape shape;
  } cases[] = {{r.left + 1, r.top + 100, CursorShape::SizeWE},   {r.left + 150, r.bottom - 1, CursorShape::SizeNS},
               {r.right - 1, r.bottom - 1, CursorShape::SizeNWSE}, {r.right - 1, r.top + 1, CursorShape::SizeNESW},
               {r.left + 150, r.top + 100, CursorShape::Arrow}};
  for (const Case& c : cases) {
    ui.MoveTo(c.x, c.y);
    EXPECT_EQ(CurrentCursorShape(), c.shape) << c.x - r.left << "," << c.y - r.top;
  }
  SetClassLongPtr(w, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursor(nullptr, IDC_CROSS)));
  ui.MoveTo(r.left + 151, r.top + 100);
  EXPECT_EQ(CurrentCursorShape(), CursorShape::Cross);
}

TEST(Look, PrintDrawsTheFrameAndBackgroundIntoAnyContext) {
  UiDriver ui;
  Recorder rec("LookPrint");
  HWND w = CreateWindowEx(0, "LookPrint", "P", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 120, nullptr, nullptr,
                          nullptr, nullptr);
  ui.RunUntilIdle();
  Canvas c(200, 120, 0x123456);
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(c.dc()), PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
  EXPECT_EQ(c.at(60, 8), PixelFromColor(GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(c.at(100, 80), PixelFromColor(GetSysColor(COLOR_WINDOW)));  // erased with the class brush
  EXPECT_EQ(c.at(0, 0), PixelFromColor(GetSysColor(COLOR_3DLIGHT)));
}

TEST(Look, WindowContextWithAnIntersectedRegion) {
  UiDriver ui;
  Recorder rec("LookDcEx");
  HWND w = CreateWindowEx(0, "LookDcEx", "D", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 120, nullptr, nullptr,
                          nullptr, nullptr);
  ui.RunUntilIdle();
  HRGN only = CreateRectRgn(100, 100, 110, 110);  // screen coordinates: the window's corner
  HDC dc = GetDCEx(w, only, DCX_WINDOW | DCX_INTERSECTRGN);
  RECT all{0, 0, 200, 120};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  DeleteObject(only);
  EXPECT_EQ(ui.Pixel(105, 105), 0u);
  EXPECT_NE(ui.Pixel(115, 105), 0u);
}

TEST(Look, ScreenContextDrawsAnywhereOnTheDesktop) {
  UiDriver ui(200, 100);
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 200);
  SetPixel(dc, 150, 50, RGB(1, 2, 3));
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(ui.Pixel(150, 50), 0x010203u);
}

TEST(Look, CaretBlinksOnTheClockAndSurvivesPainting) {
  UiDriver ui;
  Recorder rec("LookCaret");
  HWND w = CreateWindowEx(0, "LookCaret", "C", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                          nullptr, nullptr);
  ui.RunUntilIdle();
  POINT at = UiDriver::At(w, 10, 10);
  std::uint32_t background = ui.Pixel(at.x, at.y);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 14));
  SetCaretPos(10, 10);
  EXPECT_EQ(ui.Pixel(at.x, at.y), background);  // a new caret is hidden
  ShowCaret(w);
  EXPECT_EQ(ui.Pixel(at.x, at.y), background ^ 0xFFFFFFu);
  ui.Advance(GetCaretBlinkTime());
  EXPECT_EQ(ui.Pixel(at.x, at.y), background);  // blinked off
  ui.Advance(GetCaretBlinkTime());
  EXPECT_EQ(ui.Pixel(at.x, at.y), background ^ 0xFFFFFFu);
  InvalidateRect(w, nullptr, TRUE);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(at.x, at.y), background ^ 0xFFFFFFu);  // painted over, then shown again
  DestroyCaret();
  EXPECT_EQ(ui.Pixel(at.x, at.y), background);
}

}  // namespace
