// The SCROLLBAR control: its SBM_ messages, what SetScrollInfo does to it, the mouse and the
// keys, the align styles and the parent's track colour.

#include <gtest/gtest.h>

#include "RangeParent.h"
#include "platform/controls/ScrollBar.h"
#include "support/UiDriver.h"

namespace {

TEST(ScrollBarControl, MessagesSetAndAnswerTheValues) {
  UiDriver ui;
  RangeParent parent;
  HWND bar = parent.Child(WC_SCROLLBAR, SBS_HORZ, 10, 10, 200, 16);
  struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    int posAfter;
  };
  const Step steps[] = {
      {SBM_GETPOS, 0, 0, 0, 0},
      {SBM_SETRANGE, 0, 50, 0, 0},               // answers the position before
      {SBM_SETPOS, 70, TRUE, 0, 50},             // kept within the range; answers the old one
      {SBM_SETPOS, 20, FALSE, 50, 20},
      {SBM_SETRANGEREDRAW, 0, 10, 20, 10},       // a shorter range pulls the position in
      {SBM_ENABLE_ARROWS, ESB_DISABLE_LEFT, 0, TRUE, 10},
      {SBM_ENABLE_ARROWS, ESB_DISABLE_LEFT, 0, FALSE, 10},  // no change
      {SBM_ENABLE_ARROWS, ESB_ENABLE_BOTH, 0, TRUE, 10},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.message);
    EXPECT_EQ(SendMessage(bar, s.message, s.wParam, s.lParam), s.answer);
    EXPECT_EQ(SendMessage(bar, SBM_GETPOS, 0, 0), s.posAfter);
  }
  int min = -1, max = -1;
  SendMessage(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 10);
  // SetScrollInfo on SB_CTL reaches the control; an unneeded control bar stays visible.
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = 0;
  info.nPage = 0;
  info.nPos = 0;
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
  EXPECT_TRUE(IsWindowVisible(bar));
  info.nMax = 99;
  info.nPage = 25;
  info.nPos = 90;
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), 75);
  SCROLLINFO out;
  out.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &out));
  EXPECT_EQ(out.nPage, 25u);
  EXPECT_EQ(out.nPos, 75);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 75);
  EXPECT_EQ(SendMessage(bar, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST(ScrollBarControl, ClicksAndKeysTellTheParentWithTheHandle) {
  UiDriver ui;
  RangeParent parent;
  HWND bar = parent.Child(WC_SCROLLBAR, SBS_VERT | WS_TABSTOP, 10, 10, 16, 200);
  parent.from = bar;
  SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
  POINT down = UiDriver::At(bar, 8, 192);
  ui.Click(down.x, down.y);
  EXPECT_EQ(parent.log, (std::vector<Heard>{{"V", SB_LINEDOWN, 0}, {"V", SB_ENDSCROLL, 0}}));
  EXPECT_EQ(GetFocus(), bar) << "a tab stop takes the focus when pressed";
  parent.log.clear();
  struct Key {
    int vk;
    int code;
  };
  for (Key k : {Key{VK_UP, SB_LINEUP}, Key{VK_NEXT, SB_PAGEDOWN}, Key{VK_PRIOR, SB_PAGEUP}, Key{VK_HOME, SB_TOP},
                Key{VK_END, SB_BOTTOM}, Key{VK_RIGHT, SB_LINEDOWN}}) {
    ui.Press(k.vk);
    EXPECT_EQ(parent.log, (std::vector<Heard>{{"V", k.code, 0}, {"V", SB_ENDSCROLL, 0}})) << k.vk;
    parent.log.clear();
  }
  HWND horizontal = parent.Child(WC_SCROLLBAR, SBS_HORZ, 40, 10, 200, 16);
  parent.from = horizontal;
  SetScrollRange(horizontal, SB_CTL, 0, 100, TRUE);
  POINT track = UiDriver::At(horizontal, 150, 8);
  ui.Click(track.x, track.y);
  EXPECT_EQ(parent.log, (std::vector<Heard>{{"H", SB_PAGEDOWN, 0}, {"H", SB_ENDSCROLL, 0}}));
  parent.log.clear();
  EnableWindow(horizontal, FALSE);
  ui.Click(track.x, track.y);
  EXPECT_TRUE(parent.log.empty()) << "a disabled bar ignores the mouse";
}

TEST(ScrollBarControl, AlignStylesGiveTheSystemThicknessAtOneEdge) {
  UiDriver ui;
  RangeParent parent;
  struct Case {
    DWORD style;
    RECT want;  // in the parent's client area
  };
  const Case cases[] = {
      {SBS_HORZ | SBS_TOPALIGN, {10, 20, 210, 36}},
      {SBS_HORZ | SBS_BOTTOMALIGN, {10, 54, 210, 70}},
      {SBS_VERT | SBS_LEFTALIGN, {10, 20, 26, 70}},
      {SBS_VERT | SBS_RIGHTALIGN, {194, 20, 210, 70}},
      {SBS_HORZ, {10, 20, 210, 70}},
  };
  for (const Case& c : cases) {
    HWND bar = parent.Child(WC_SCROLLBAR, c.style, 10, 20, 200, 50);
    RECT r;
    GetWindowRect(bar, &r);
    MapWindowPoints(nullptr, parent.window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.want.left) << c.style;
    EXPECT_EQ(r.top, c.want.top) << c.style;
    EXPECT_EQ(r.right, c.want.right) << c.style;
    EXPECT_EQ(r.bottom, c.want.bottom) << c.style;
    DestroyWindow(bar);
  }
}

TEST(ScrollBarControl, TheTrackTakesTheParentsColourAndTheThumbFollowsThePosition) {
  UiDriver ui;
  RangeParent parent;
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  parent.scrollBarBrush = red;
  HWND bar = parent.Child(WC_SCROLLBAR, SBS_HORZ, 10, 10, 200, 16);
  SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
  ui.RunUntilIdle();
  POINT at = UiDriver::At(bar, 100, 8);
  EXPECT_EQ(ui.Pixel(at.x, at.y), 0xFF0000u);
  POINT thumb = UiDriver::At(bar, 24, 8);
  EXPECT_EQ(ui.Pixel(thumb.x, thumb.y), Rgb(GetSysColor(COLOR_BTNFACE)));
  SetScrollPos(bar, SB_CTL, 100, TRUE);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(thumb.x, thumb.y), 0xFF0000u);
  POINT end = UiDriver::At(bar, 200 - 24, 8);
  EXPECT_EQ(ui.Pixel(end.x, end.y), Rgb(GetSysColor(COLOR_BTNFACE)));
  DestroyWindow(bar);
  DeleteObject(red);
}

}  // namespace

namespace {

// Setting the values draws the bar at once, but the paint its window still owes stays owed:
// a parent that paints over its children first must not leave it blank.
TEST(ScrollBarControl, DrawingAtOnceKeepsThePaintStillOwed) {
  UiDriver ui;
  RangeParent parent;
  ui.RunUntilIdle();
  InvalidateRect(parent.window, nullptr, TRUE);
  HWND bar = parent.Child(WC_SCROLLBAR, SBS_HORZ, 10, 10, 200, 16);
  SetScrollRange(bar, SB_CTL, 0, 10, TRUE);
  ui.RunUntilIdle();
  POINT arrowGlyph = UiDriver::At(bar, 7, 7), thumb = UiDriver::At(bar, 24, 8), track = UiDriver::At(bar, 100, 8);
  EXPECT_EQ(ui.Pixel(arrowGlyph.x, arrowGlyph.y), Rgb(GetSysColor(COLOR_BTNTEXT)));
  EXPECT_EQ(ui.Pixel(thumb.x, thumb.y), Rgb(GetSysColor(COLOR_BTNFACE)));
  EXPECT_NE(ui.Pixel(track.x, track.y), ui.Pixel(track.x + 1, track.y)) << "the dither";
}

}  // namespace

namespace {

// A focused bar blinks its thumb, as the caret over it; the blink follows the thumb and ends
// with the focus.
TEST(ScrollBarControl, FocusBlinksTheThumb) {
  UiDriver ui;
  RangeParent parent;
  HWND bar = parent.Child(WC_SCROLLBAR, SBS_HORZ | WS_TABSTOP, 10, 10, 200, 16);
  SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
  ui.RunUntilIdle();
  std::uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE)), blinked = face ^ 0xFFFFFF;
  auto at = [&](int x) {
    POINT p = UiDriver::At(bar, x, 8);
    return ui.Pixel(p.x, p.y);
  };
  EXPECT_EQ(at(24), face);
  SetFocus(bar);
  ui.RunUntilIdle();
  EXPECT_EQ(at(24), blinked);
  ui.Advance(GetCaretBlinkTime());
  EXPECT_EQ(at(24), face);
  SetScrollPos(bar, SB_CTL, 100, TRUE);
  ui.RunUntilIdle();
  EXPECT_EQ(at(200 - 24), blinked) << "the blink moved with the thumb";
  EXPECT_NE(at(24), blinked);
  SetFocus(parent.window);
  ui.RunUntilIdle();
  EXPECT_EQ(at(200 - 24), face);
  ui.Advance(GetCaretBlinkTime());
  EXPECT_EQ(at(200 - 24), face);
}

}  // namespace

namespace {

TEST(ScrollBarControl, ASizeGripSizesItsWindowByTheCorner) {
  UiDriver ui;
  RangeParent parent;
  RECT c;
  GetClientRect(parent.window, &c);
  HWND grip = parent.Child(WC_SCROLLBAR, SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 0, c.right, c.bottom);
  RECT g;
  GetWindowRect(grip, &g);
  EXPECT_EQ(g.right - g.left, GetSystemMetrics(SM_CXVSCROLL)) << "aligned into the corner";
  RECT before;
  GetWindowRect(parent.window, &before);
  POINT at{g.left + 8, g.top + 8};
  ui.Drag(at, POINT{at.x + 40, at.y + 30}, 4);
  RECT after;
  GetWindowRect(parent.window, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
  EXPECT_EQ(ui.Pixel(g.left + 1, g.top + 1), Rgb(GetSysColor(COLOR_BTNFACE))) << "the grip's face";
}

}  // namespace
