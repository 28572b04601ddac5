// The track bar: its TBM_ messages, ticks and selection, the mouse (page presses repeating on
// the clock, thumb drags) and the keys, each reported to the parent with its TB_ code.

#include <gtest/gtest.h>

#include "RangeParent.h"
#include "platform/controls/TrackBar.h"
#include "support/UiDriver.h"

namespace {

TEST(TrackBarControl, MessagesSetAndAnswerRangePositionSizesTicksAndSelection) {
  UiDriver ui;
  RangeParent parent;
  HWND tb = parent.Child(TRACKBAR_CLASS, TBS_AUTOTICKS | TBS_ENABLESELRANGE, 10, 10, 220, 40);
  struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    UINT query;
    LRESULT queried;
  };
  const Step steps[] = {
      {TBM_GETRANGEMAX, 0, 0, 100, TBM_GETRANGEMIN, 0},
      {TBM_SETPOS, TRUE, 150, 0, TBM_GETPOS, 100},  // kept within the range
      {TBM_SETRANGE, TRUE, MAKELPARAM(0, 10), 0, TBM_GETPOS, 10},
      {TBM_SETRANGEMAX, TRUE, 50, 0, TBM_GETRANGEMAX, 50},
      {TBM_SETRANGEMIN, TRUE, 5, 0, TBM_GETRANGEMIN, 5},
      {TBM_SETPAGESIZE, 0, 8, 20, TBM_GETPAGESIZE, 8},  // answers the old size
      {TBM_SETLINESIZE, 0, 2, 1, TBM_GETLINESIZE, 2},
      {TBM_SETTICFREQ, 10, 0, 0, TBM_GETNUMTICS, 6},    // 15, 25, 35, 45, and both ends
      {TBM_SETTIC, 0, 20, TRUE, TBM_GETNUMTICS, 7},
      {TBM_SETTIC, 0, 50, FALSE, TBM_GETNUMTICS, 7},    // an end is no tick of its own
      {TBM_GETTIC, 1, 0, 20, TBM_GETNUMTICS, 7},
      {TBM_CLEARTICS, TRUE, 0, 0, TBM_GETNUMTICS, 6},
      {TBM_SETSEL, TRUE, MAKELPARAM(12, 30), 0, TBM_GETSELSTART, 12},
      {TBM_SETSELEND, TRUE, 99, 0, TBM_GETSELEND, 50},
      {TBM_CLEARSEL, TRUE, 0, 0, TBM_GETSELEND, 0},
      {TBM_SETTHUMBLENGTH, 16, 0, 0, TBM_GETTHUMBLENGTH, 16},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.message - WM_USER);
    EXPECT_EQ(SendMessage(tb, s.message, s.wParam, s.lParam), s.answer);
    EXPECT_EQ(SendMessage(tb, s.query, 0, 0), s.queried);
  }
  EXPECT_EQ(SendMessage(tb, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  // Tick positions lie along the channel, in order.
  LRESULT first = SendMessage(tb, TBM_GETTICPOS, 0, 0), second = SendMessage(tb, TBM_GETTICPOS, 1, 0);
  RECT channel;
  SendMessage(tb, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  EXPECT_LT(channel.left, first);
  EXPECT_LT(first, second);
  EXPECT_LT(second, channel.right);
}

TEST(TrackBarControl, KeysMoveThePositionAndEndTheTrackOnRelease) {
  UiDriver ui;
  RangeParent parent;
  HWND tb = parent.Child(TRACKBAR_CLASS, 0, 10, 10, 220, 40);
  parent.from = tb;
  SendMessage(tb, TBM_SETRANGE, FALSE, MAKELPARAM(0, 30));
  SendMessage(tb, TBM_SETPAGESIZE, 0, 10);
  SetFocus(tb);
  struct Key {
    int vk;
    int code;
    int pos;
  };
  for (Key k : {Key{VK_RIGHT, TB_LINEDOWN, 1}, Key{VK_DOWN, TB_LINEDOWN, 2}, Key{VK_LEFT, TB_LINEUP, 1},
                Key{VK_NEXT, TB_PAGEDOWN, 11}, Key{VK_END, TB_BOTTOM, 30}, Key{VK_NEXT, TB_PAGEDOWN, 30},
                Key{VK_PRIOR, TB_PAGEUP, 20}, Key{VK_HOME, TB_TOP, 0}, Key{VK_UP, TB_LINEUP, 0}}) {
    ui.Press(k.vk);
    EXPECT_EQ(parent.log, (std::vector<Heard>{{"H", k.code, 0}, {"H", TB_ENDTRACK, 0}})) << k.vk;
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), k.pos) << k.vk;
    parent.log.clear();
  }
}

TEST(TrackBarControl, APressBesideTheThumbPagesTowardTheMouseAndRepeatsUntilItGetsThere) {
  UiDriver ui;
  RangeParent parent;
  HWND tb = parent.Child(TRACKBAR_CLASS, TBS_VERT, 10, 10, 40, 220);
  parent.from = tb;
  SendMessage(tb, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendMessage(tb, TBM_SETPAGESIZE, 0, 10);
  RECT thumb;
  SendMessage(tb, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  POINT held = UiDriver::At(tb, (thumb.left + thumb.right) / 2, 150);
  ui.MouseDown(held.x, held.y);
  EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(GetFocus(), tb);
  ui.Advance(399);
  EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 10);
  for (int i = 0; i < 12; ++i) ui.Advance(100);
  ui.MouseUp(held.x, held.y);
  int pos = static_cast<int>(SendMessage(tb, TBM_GETPOS, 0, 0));
  SendMessage(tb, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_LE(thumb.top, 150) << "the thumb reached the mouse";
  EXPECT_GE(thumb.bottom + 10 * 2, 150) << "and stopped there";
  ASSERT_GE(parent.log.size(), 3u);
  EXPECT_EQ(parent.log.back(), (Heard{"V", TB_ENDTRACK, 0}));
  for (size_t i = 0; i + 1 < parent.log.size(); ++i) EXPECT_EQ(parent.log[i], (Heard{"V", TB_PAGEDOWN, 0}));
  EXPECT_EQ(static_cast<int>(parent.log.size()) - 1, pos / 10);
}

TEST(TrackBarControl, DraggingTheThumbTracksThenReportsThePosition) {
  UiDriver ui;
  RangeParent parent;
  HWND tb = parent.Child(TRACKBAR_CLASS, 0, 10, 10, 220, 40);
  parent.from = tb;
  SendMessage(tb, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  RECT thumb;
  SendMessage(tb, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  POINT from = UiDriver::At(tb, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
  RECT channel;
  SendMessage(tb, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  ui.Drag(from, POINT{from.x + 1000, from.y}, 5);
  ASSERT_GE(parent.log.size(), 3u);
  EXPECT_EQ(parent.log[parent.log.size() - 2], (Heard{"H", TB_THUMBPOSITION, 100})) << "dragged past the end";
  EXPECT_EQ(parent.log.back(), (Heard{"H", TB_ENDTRACK, 0}));
  for (size_t i = 0; i + 2 < parent.log.size(); ++i) EXPECT_EQ(parent.log[i].code, TB_THUMBTRACK);
  EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 100);
}

TEST(TrackBarControl, PaintedWithChannelTicksAndThumb) {
  UiDriver ui;
  RangeParent parent;
  HWND tb = parent.Child(TRACKBAR_CLASS, TBS_AUTOTICKS, 10, 10, 220, 40);
  SendMessage(tb, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessage(tb, TBM_SETPOS, TRUE, 5);
  ui.RunUntilIdle();
  auto at = [&](int x, int y) {
    POINT p = UiDriver::At(tb, x, y);
    return ui.Pixel(p.x, p.y);
  };
  RECT thumb, channel;
  SendMessage(tb, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  SendMessage(tb, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  EXPECT_EQ(at(channel.left, channel.top), Rgb(GetSysColor(COLOR_BTNSHADOW))) << "a sunken channel";
  EXPECT_EQ(at(channel.left + 10, (channel.top + channel.bottom) / 2), Rgb(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(at((thumb.left + thumb.right) / 2, thumb.top + 4), Rgb(GetSysColor(COLOR_BTNFACE))) << "the thumb";
  EXPECT_EQ(at(thumb.left, thumb.top), Rgb(GetSysColor(COLOR_3DLIGHT)));
  // Pointing down at the ticks: the body runs into the point without an edge across it, the
  // point's sides lit on the left, dark on the right.
  const int tip = (thumb.right - thumb.left) / 2;
  const int mid = (thumb.left + thumb.right) / 2;
  for (int y = thumb.bottom - tip - 2; y < thumb.bottom - 1; ++y)
    EXPECT_EQ(at(mid, y), Rgb(GetSysColor(COLOR_BTNFACE))) << "inside the thumb, row " << y;
  EXPECT_EQ(at(thumb.left, thumb.bottom - tip), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(at(thumb.right - 1, thumb.bottom - tip), Rgb(GetSysColor(COLOR_3DDKSHADOW)));
  // A tick below the thumb at each position.
  std::uint32_t ink = Rgb(GetSysColor(COLOR_BTNTEXT));
  int tickY = thumb.bottom + 2;
  for (int i = 0; i < 9; ++i) {
    int x = static_cast<int>(SendMessage(tb, TBM_GETTICPOS, static_cast<WPARAM>(i), 0));
    EXPECT_EQ(at(x, tickY), ink) << i;
    EXPECT_NE(at(x + 1, tickY), ink) << i;
  }
}

}  // namespace
