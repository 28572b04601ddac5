// Window contexts and what limits them: the DCX_ flags, LockWindowUpdate, and scrolling.

#include <gtest/gtest.h>

#include "Painter.h"
#include "Recorder.h"
#include "support/UiDriver.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

HWND Overlapped(const char* cls, int x, int y, int w, int h) {
  return CreateWindowEx(0, cls, "W", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

std::vector<std::uint32_t> Snapshot(const UiDriver& ui, const RECT& r) {
  std::vector<std::uint32_t> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(ui.Pixel(x, y));
  return out;
}

void XorFrame(const RECT& r) {
  HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  HBRUSH gray = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  HGDIOBJ old = SelectObject(dc, gray);
  PatBlt(dc, r.left, r.top, r.right - r.left, 3, PATINVERT);
  PatBlt(dc, r.left, r.bottom - 3, r.right - r.left, 3, PATINVERT);
  PatBlt(dc, r.left, r.top + 3, 3, r.bottom - r.top - 6, PATINVERT);
  PatBlt(dc, r.right - 3, r.top + 3, 3, r.bottom - r.top - 6, PATINVERT);
  SelectObject(dc, old);
  ReleaseDC(GetDesktopWindow(), dc);
}

// A drag outline drawn in XOR through the lock comes off without a trace, however the
// windows under it try to paint meanwhile; they paint once the lock is gone.
TEST(Paint, DragOutlineThroughALockedDesktopLeavesNoTrails) {
  UiDriver ui;
  Painter red("PaintLocked", kRed);
  HWND w = Overlapped("PaintLocked", 100, 100, 300, 200);
  ui.RunUntilIdle();
  RECT area{80, 80, 450, 350};
  auto before = Snapshot(ui, area);
  ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
  EXPECT_FALSE(LockWindowUpdate(w));  // one lock at a time
  RECT outline{120, 130, 300, 260};
  XorFrame(outline);
  EXPECT_NE(Snapshot(ui, area), before);
  InvalidateRect(w, nullptr, TRUE);
  ui.RunUntilIdle();  // the window's WM_PAINT draws nothing while locked
  HDC dc = GetDC(w);
  RECT all{0, 0, 300, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  XorFrame(outline);
  EXPECT_EQ(Snapshot(ui, area), before);
  EXPECT_TRUE(LockWindowUpdate(nullptr));
  ui.RunUntilIdle();
  POINT p = UiDriver::At(w, 50, 50);
  EXPECT_EQ(ui.Pixel(p.x, p.y), PixelFromColor(kRed));  // the black fill was held back and repainted
}

TEST(Paint, GetDCExFlagsShapeTheContext) {
  UiDriver ui;
  Painter white("PaintFlags", RGB(255, 255, 255));
  HWND w = Overlapped("PaintFlags", 100, 100, 300, 200);
  HWND child = CreateWindowEx(0, "PaintFlags", "", WS_CHILD | WS_VISIBLE, 100, 0, 50, 50, w, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  auto px = [&](HWND h, int x, int y) {
    POINT p = UiDriver::At(h, x, y);
    return ui.Pixel(p.x, p.y);
  };
  auto fillBlack = [&](HWND h, DWORD flags) {
    HDC dc = GetDCEx(h, nullptr, flags);
    RECT all{-500, -500, 500, 500};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(h, dc);
  };
  const std::uint32_t white_ = 0xFFFFFF;
  RECT dirty{10, 10, 20, 20};
  InvalidateRect(w, &dirty, FALSE);
  fillBlack(w, DCX_INTERSECTUPDATE | DCX_VALIDATE | DCX_CLIPCHILDREN);
  EXPECT_EQ(px(w, 15, 15), 0u);
  EXPECT_EQ(px(w, 30, 30), white_);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));  // validated
  InvalidateRect(w, nullptr, TRUE);
  UpdateWindow(w);
  ASSERT_EQ(px(w, 15, 15), white_);
  InvalidateRect(w, &dirty, FALSE);
  fillBlack(w, DCX_EXCLUDEUPDATE | DCX_CLIPCHILDREN);
  EXPECT_EQ(px(w, 15, 15), white_);
  EXPECT_EQ(px(w, 30, 30), 0u);
  EXPECT_EQ(px(child, 10, 10), white_);  // clipped out
  fillBlack(w, 0);
  EXPECT_EQ(px(child, 10, 10), 0u);  // without DCX_CLIPCHILDREN the children are drawn over
  ValidateRect(w, nullptr);
  ui.RunUntilIdle();
  InvalidateRect(w, nullptr, TRUE);
  UpdateWindow(w);
  ASSERT_EQ(px(w, 30, 30), white_);
  fillBlack(child, DCX_PARENTCLIP);  // the parent's visible region, from the child's origin
  EXPECT_EQ(px(w, 200, 150), 0u);
}

// ScrollWindowEx moves what can be seen and leaves to paint only what it uncovered, and
// what it would have brought out from under another window.
TEST(Paint, ScrollWindowExMovesPixelsAndInvalidatesOnlyTheUncovered) {
  UiDriver ui;
  Recorder rec("PaintScroll");
  HWND w = Overlapped("PaintScroll", 100, 100, 300, 240);
  ui.RunUntilIdle();
  RECT client;
  GetClientRect(w, &client);
  HDC dc = GetDC(w);
  for (int y = 0; y < client.bottom; ++y) {
    RECT row{0, y, client.right, y + 1};
    HBRUSH b = CreateSolidBrush(RGB(y, 255 - y, 7));
    FillRect(dc, &row, b);
    DeleteObject(b);
  }
  ReleaseDC(w, dc);
  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  RECT bounds;
  EXPECT_EQ(ScrollWindowEx(w, 0, -10, nullptr, nullptr, uncovered, &bounds, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(bounds, (RECT{0, client.bottom - 10, client.right, client.bottom}));
  RECT update;
  ASSERT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(update, bounds);
  for (int y : {0, 50, static_cast<int>(client.bottom) - 11}) {
    POINT p = UiDriver::At(w, 40, y);
    EXPECT_EQ(ui.Pixel(p.x, p.y), PixelFromColor(RGB(y + 10, 255 - (y + 10), 7))) << y;
  }
  ValidateRect(w, nullptr);
  // A window over the lower part: what would come from under it must be painted.
  HWND cover = CreateWindowEx(WS_EX_TOPMOST, "PaintScroll", "", WS_POPUP | WS_VISIBLE, 150, 250, 60, 60, nullptr,
                              nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  ValidateRect(w, nullptr);
  ScrollWindowEx(w, 0, -10, nullptr, nullptr, uncovered, nullptr, SW_INVALIDATE);
  POINT coverTop{150, 250};
  ScreenToClient(w, &coverTop);
  EXPECT_TRUE(PtInRegion(uncovered, coverTop.x + 5, coverTop.y - 5));   // came from under the cover
  EXPECT_FALSE(PtInRegion(uncovered, coverTop.x - 20, coverTop.y - 5));  // came from plain sight
  DeleteObject(uncovered);
  DestroyWindow(cover);
}

}  // namespace
