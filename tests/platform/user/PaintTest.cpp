// Window contexts and what limits them: the DCX_ flags, LockWindowUpdate, and scrolling.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Painter.h"
#include "Recorder.h"
#include "platform/user/Desktop.h"
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


// A window that reaches past the screen's edge scrolls only the pixels the screen holds:
// nothing beyond the surface is read or written, pixels outside the window stay as they
// were, and what would have come from off the screen is left to paint.
struct OffScreenScroll {
  RECT window;  // screen coordinates on a 1024 x 768 desktop
  int dx, dy;
};

class ScrollPastTheScreen : public testing::TestWithParam<OffScreenScroll> {};

TEST_P(ScrollPastTheScreen, MovesOnlyScreenPixelsAndInvalidatesWhatCameFromOffScreen) {
  const OffScreenScroll c = GetParam();
  UiDriver ui(1024, 768);
  Recorder rec("PaintScrollOff");
  const int width = c.window.right - c.window.left, height = c.window.bottom - c.window.top;
  HWND w = CreateWindowEx(0, "PaintScrollOff", "", WS_POPUP | WS_VISIBLE, c.window.left, c.window.top, width, height,
                          nullptr, nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
  // Stripes across the direction of the scroll, so every moved pixel tells where it came from.
  HDC dc = GetDC(nullptr);
  const int stripes = c.dy ? 768 : 1024;
  for (int i = 0; i < stripes; ++i) {
    RECT r = c.dy ? RECT{0, i, 1024, i + 1} : RECT{i, 0, i + 1, 768};
    HBRUSH b = CreateSolidBrush(RGB(i & 0xFF, (i >> 8) * 64, 99));
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  ReleaseDC(nullptr, dc);
  ValidateRect(w, nullptr);
  const Surface& screen = DesktopSurface();
  auto pixels = [&] {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < screen.height; ++y) all.insert(all.end(), screen.Row(y), screen.Row(y) + screen.width);
    return all;
  };
  const std::vector<std::uint32_t> before = pixels();

  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  ScrollWindowEx(w, c.dx, c.dy, nullptr, nullptr, uncovered, nullptr, SW_INVALIDATE);

  // Client coordinates: what can be seen, and what of it can be seen both before and after.
  RECT seen{std::max<LONG>(0, -c.window.left), std::max<LONG>(0, -c.window.top), std::min<LONG>(width, 1024 - c.window.left),
            std::min<LONG>(height, 768 - c.window.top)};
  HRGN moved = CreateRectRgnIndirect(&seen);
  HRGN shifted = CreateRectRgnIndirect(&seen);
  OffsetRgn(shifted, c.dx, c.dy);
  CombineRgn(moved, moved, shifted, RGN_AND);
  HRGN expected = CreateRectRgn(0, 0, width, height);
  CombineRgn(expected, expected, moved, RGN_DIFF);
  EXPECT_TRUE(EqualRgn(uncovered, expected));
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(w, update, FALSE);
  EXPECT_TRUE(EqualRgn(update, expected));

  const std::vector<std::uint32_t> after = pixels();
  int outsideChanged = 0, movedWrong = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      const std::uint32_t now = after[static_cast<size_t>(y) * 1024 + x];
      POINT p{x, y};
      if (!PtInRect(&c.window, p)) {
        outsideChanged += now != before[static_cast<size_t>(y) * 1024 + x];
      } else if (PtInRegion(moved, x - c.window.left, y - c.window.top)) {
        movedWrong += now != before[static_cast<size_t>(y - c.dy) * 1024 + (x - c.dx)];
      }
    }
  EXPECT_EQ(outsideChanged, 0);
  EXPECT_EQ(movedWrong, 0);
  for (HRGN r : {uncovered, moved, shifted, expected, update}) DeleteObject(r);
}

INSTANTIATE_TEST_SUITE_P(Paint, ScrollPastTheScreen,
                         testing::Values(OffScreenScroll{{100, 300, 1000, 900}, 0, 40},    // below the bottom
                                         OffScreenScroll{{100, 300, 1000, 900}, 0, -40},
                                         OffScreenScroll{{600, 100, 1500, 400}, 40, 0},    // past the right
                                         OffScreenScroll{{600, 100, 1500, 400}, -40, 0},
                                         OffScreenScroll{{-200, -100, 400, 300}, 0, 30},   // above and left
                                         OffScreenScroll{{-200, -100, 400, 300}, -30, 0},
                                         OffScreenScroll{{0, 700, 1000, 3700}, 0, 100}));  // far past the bottom

}  // namespace
