// The MDI client's scroll bars: shown when children reach beyond its edges, hidden when all
// fit or a child is maximised, and scrolling moves the children.

#include <gtest/gtest.h>

#include "MdiDesk.h"

namespace {

LONG Bars(HWND w) { return GetWindowLong(w, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL); }

TEST(MdiScrollBars, ChildrenBeyondTheEdgesShowTheBarsTheyNeed) {
  MdiDesk desk(WS_HSCROLL | WS_VSCROLL);
  HWND a = desk.ChildAt("A", RECT{10, 10, 210, 160});
  desk.ui.RunUntilIdle();
  EXPECT_EQ(Bars(desk.client), 0) << "all fits";
  SetWindowPos(a, nullptr, 500, 10, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(Bars(desk.client), static_cast<LONG>(WS_HSCROLL)) << "beyond the right edge";
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(desk.client, SB_HORZ, &info));
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 699);
  EXPECT_EQ(info.nPos, 0);
  SetWindowPos(a, nullptr, -50, -30, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(Bars(desk.client), static_cast<LONG>(WS_HSCROLL | WS_VSCROLL)) << "beyond the left and top edges";
  ASSERT_TRUE(GetScrollInfo(desk.client, SB_VERT, &info));
  EXPECT_EQ(info.nMin, -30);
  EXPECT_EQ(info.nPos, 0) << "the view's origin, below the range's start";
  ShowWindow(a, SW_MAXIMIZE);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(Bars(desk.client), 0) << "a maximised child fills the client";
}

TEST(MdiScrollBars, ScrollingMovesTheChildren) {
  MdiDesk desk(WS_HSCROLL | WS_VSCROLL);
  HWND a = desk.ChildAt("A", RECT{10, 300, 210, 600});
  desk.ui.RunUntilIdle();
  ASSERT_EQ(Bars(desk.client), static_cast<LONG>(WS_VSCROLL));
  SendMessage(desk.client, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(desk.InClient(a).top, 292);
  // The bar itself: a press on its lower arrow scrolls another line.
  RECT c;
  GetClientRect(desk.client, &c);
  POINT down = UiDriver::At(desk.client, c.right + 8, c.bottom - 8);
  desk.ui.Click(down.x, down.y);
  EXPECT_EQ(desk.InClient(a).top, 284);
  SendMessage(desk.client, WM_VSCROLL, SB_BOTTOM, 0);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(desk.InClient(a).bottom, 400) << "the child's bottom at the view's";
  EXPECT_EQ(Bars(desk.client), 0) << "and now it all fits";
}

TEST(MdiScrollBars, AClientMadeWithoutBarsNeverShowsThem) {
  MdiDesk desk;
  desk.ChildAt("A", RECT{500, 300, 800, 600});
  desk.ui.RunUntilIdle();
  EXPECT_EQ(Bars(desk.client), 0);
}

}  // namespace
