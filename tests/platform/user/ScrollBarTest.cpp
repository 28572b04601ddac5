// A window's own scroll bars: the rules of SetScrollInfo and its relatives, hit testing, the
// tracking loop with every scroll code and its auto-repeat on the manual clock, and the look.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "support/UiDriver.h"

namespace {

struct Scroll {
  UINT message;
  int code;
  int pos;
  bool operator==(const Scroll&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Scroll& s) {
  return out << (s.message == WM_VSCROLL ? "V" : "H") << "(" << s.code << "," << s.pos << ")";
}

// A window with both bars that logs its scroll messages and, as programs do, moves its bars:
// a line is 1, a page the page size, the thumb wherever it was dragged.
class ScrollWindow {
public:
  explicit ScrollWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE) {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = "ScrollBarTestWindow";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "ScrollBarTestWindow", "Bars", style, 100, 100, 300, 240, nullptr, nullptr, nullptr,
                            nullptr);
  }
  ~ScrollWindow() {
    if (IsWindow(window)) DestroyWindow(window);
    UnregisterClass("ScrollBarTestWindow", nullptr);
  }

  // The bar's rectangle on the screen.
  RECT Bar(int bar) const {
    RECT c;
    GetClientRect(window, &c);
    POINT origin = UiDriver::At(window, 0, 0);
    if (bar == SB_VERT) return RECT{origin.x + c.right, origin.y, origin.x + c.right + 16, origin.y + c.bottom};
    return RECT{origin.x, origin.y + c.bottom, origin.x + c.right, origin.y + c.bottom + 16};
  }

  HWND window = nullptr;
  std::vector<Scroll> log;
  bool follow = true;
  std::function<void(const Scroll&)> during;

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_HSCROLL || m == WM_VSCROLL) {
      Scroll s{m, LOWORD(wp), static_cast<short>(HIWORD(wp))};
      EXPECT_EQ(lp, 0);
      log.push_back(s);
      if (during) during(s);
      if (follow) Follow(w, m == WM_VSCROLL ? SB_VERT : SB_HORZ, s);
      return 0;
    }
    return DefWindowProc(w, m, wp, lp);
  }

  static void Follow(HWND w, int bar, const Scroll& s) {
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(w, bar, &info);
    int pos = info.nPos;
    switch (s.code) {
      case SB_LINEUP: pos -= 1; break;
      case SB_LINEDOWN: pos += 1; break;
      case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
      case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = info.nTrackPos; break;
      case SB_TOP: pos = info.nMin; break;
      case SB_BOTTOM: pos = info.nMax; break;
      default: return;
    }
    SetScrollPos(w, bar, pos, TRUE);
  }
};

void SetBar(HWND w, int bar, int min, int max, UINT page, int pos) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min;
  info.nMax = max;
  info.nPage = page;
  info.nPos = pos;
  SetScrollInfo(w, bar, &info, TRUE);
}

InputEvent Mouse(InputEvent::Kind kind, POINT p) {
  InputEvent e;
  e.kind = kind;
  e.x = p.x;
  e.y = p.y;
  e.button = InputEvent::Left;
  return e;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(WindowScrollBars, SetScrollInfoKeepsTheValuesInRangeAndShowsOrHidesTheBar) {
  struct Case {
    const char* what;
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int wantPos;
    UINT wantPage;
    int wantMax;
    bool wantShown;
    UINT wantArrows;
  };
  const Case cases[] = {
      {"a position past the last page stops at it", SIF_ALL, 0, 100, 10, 95, 91, 10, 100, true, ESB_ENABLE_BOTH},
      {"a position below the range stops at its start", SIF_ALL, 10, 100, 0, -5, 10, 0, 100, true, ESB_ENABLE_BOTH},
      {"an empty range hides the bar", SIF_ALL, 0, 0, 0, 0, 0, 0, 0, false, ESB_ENABLE_BOTH},
      {"a page as big as the range hides the bar", SIF_ALL, 0, 50, 60, 20, 0, 51, 50, false, ESB_ENABLE_BOTH},
      {"a maximum below the minimum is an empty range", SIF_ALL, 10, 5, 0, 7, 10, 0, 10, false, ESB_ENABLE_BOTH},
      {"disable-no-scroll keeps an unneeded bar, disabled", SIF_ALL | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0, 0, 0, true,
       ESB_DISABLE_BOTH},
      {"disable-no-scroll leaves a needed bar enabled", SIF_ALL | SIF_DISABLENOSCROLL, 0, 100, 10, 5, 5, 10, 100, true,
       ESB_ENABLE_BOTH},
  };
  UiDriver ui;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScrollWindow sw;
    SCROLLINFO info;
    info.fMask = c.mask;
    info.nMin = c.min;
    info.nMax = c.max;
    info.nPage = c.page;
    info.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(sw.window, SB_VERT, &info, TRUE), c.wantPos);
    SCROLLINFO out;
    out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(sw.window, SB_VERT, &out));
    EXPECT_EQ(out.nPos, c.wantPos);
    EXPECT_EQ(out.nPage, c.wantPage);
    EXPECT_EQ(out.nMax, c.wantMax);
    EXPECT_EQ((GetWindowLong(sw.window, GWL_STYLE) & WS_VSCROLL) != 0, c.wantShown);
    EXPECT_EQ(scrollbars::ValuesOf(sw.window, SB_VERT)->disabledArrows, c.wantArrows);
  }
}

TEST(WindowScrollBars, PositionRangeShowAndEnableAnswerAsWindowsDoes) {
  UiDriver ui;
  ScrollWindow sw(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND w = sw.window;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  EXPECT_FALSE(GetScrollInfo(w, SB_VERT, &info)) << "no bar yet";
  RECT before;
  GetClientRect(w, &before);
  EXPECT_TRUE(SetScrollRange(w, SB_VERT, 0, 50, TRUE));
  EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL) << "a range that scrolls shows the bar";
  RECT after;
  GetClientRect(w, &after);
  EXPECT_EQ(after.right, before.right - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(SetScrollPos(w, SB_VERT, 30, TRUE), 0);
  EXPECT_EQ(SetScrollPos(w, SB_VERT, 80, TRUE), 30);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 50);
  int min = -1, max = -1;
  EXPECT_TRUE(GetScrollRange(w, SB_VERT, &min, &max));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 50);
  EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_UP));
  EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_UP)) << "already so";
  EXPECT_TRUE(ShowScrollBar(w, SB_BOTH, TRUE));
  EXPECT_EQ(GetWindowLong(w, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), static_cast<LONG>(WS_HSCROLL | WS_VSCROLL));
  ShowScrollBar(w, SB_BOTH, FALSE);
  GetClientRect(w, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 50) << "hiding keeps the values";
}

TEST(WindowScrollBars, HitTestFindsEachBarAndTheSizeBoxBetweenThem) {
  UiDriver ui;
  struct Case {
    DWORD style;
    int corner;
  };
  for (Case c : {Case{WS_OVERLAPPEDWINDOW, HTSIZE}, Case{WS_OVERLAPPED | WS_CAPTION | WS_BORDER, HTBORDER}}) {
    ScrollWindow sw(c.style | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE);
    RECT v = sw.Bar(SB_VERT), h = sw.Bar(SB_HORZ);
    auto hit = [&](POINT p) { return SendMessage(sw.window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); };
    EXPECT_EQ(hit(Centre(v)), HTVSCROLL);
    EXPECT_EQ(hit(POINT{v.left, v.bottom - 1}), HTVSCROLL);
    EXPECT_EQ(hit(Centre(h)), HTHSCROLL);
    EXPECT_EQ(hit(POINT{h.right - 1, h.top}), HTHSCROLL);
    EXPECT_EQ(hit(POINT{v.left + 3, h.top + 3}), c.corner);
  }
}

TEST(WindowScrollBars, TheSizeBoxBetweenTheBarsSizesTheWindow) {
  UiDriver ui;
  ScrollWindow sw;
  RECT v = sw.Bar(SB_VERT), h = sw.Bar(SB_HORZ), before, after;
  GetWindowRect(sw.window, &before);
  POINT corner{v.left + 8, h.top + 8};
  ui.Drag(corner, POINT{corner.x + 30, corner.y + 20}, 3);
  GetWindowRect(sw.window, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 30);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 20);
  EXPECT_TRUE(sw.log.empty()) << "no scrolling";
}

// The modal loop of a press waits for the clock: each step moves it on or lets go.
void HoldWhile(UiDriver& ui, POINT at, const std::vector<std::function<void()>>& steps) {
  for (const auto& step : steps) ui.WhenModalWaits(step);
  ui.WhenModalWaits([at] { DesktopHost().Inject(Mouse(InputEvent::Kind::MouseUp, at)); });
  ui.MouseDown(at.x, at.y);
}

TEST(WindowScrollBars, AnArrowScrollsAtOnceThenRepeatsAfterTheFirstDelayWhileHeld) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_VERT, 0, 100, 10, 0);
  RECT v = sw.Bar(SB_VERT);
  POINT down{v.left + 8, v.bottom - 8};
  std::vector<size_t> counts;
  auto count = [&] { counts.push_back(sw.log.size()); };
  HoldWhile(ui, down,
            {[&] { count(), AdvanceClock(199); }, [&] { count(), AdvanceClock(1); }, [&] { count(), AdvanceClock(50); },
             [&] { count(), AdvanceClock(50); }, count});
  EXPECT_EQ(counts, (std::vector<size_t>{1, 1, 2, 3, 4}));
  std::vector<Scroll> want(4, Scroll{WM_VSCROLL, SB_LINEDOWN, 0});
  want.push_back({WM_VSCROLL, SB_ENDSCROLL, 0});
  EXPECT_EQ(sw.log, want);
  EXPECT_EQ(GetScrollPos(sw.window, SB_VERT), 4);
}

TEST(WindowScrollBars, AnArrowLeftBehindStopsRepeatingUntilTheMouseComesBack) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_HORZ, 0, 100, 0, 50);
  RECT h = sw.Bar(SB_HORZ);
  POINT left{h.left + 8, h.top + 8}, away{h.left + 8, h.top - 40};
  HoldWhile(ui, left,
            {[&] { DesktopHost().Inject(Mouse(InputEvent::Kind::MouseMove, away)); }, [&] { AdvanceClock(500); },
             [&] { DesktopHost().Inject(Mouse(InputEvent::Kind::MouseMove, left)); }, [&] { AdvanceClock(50); }});
  EXPECT_EQ(sw.log, (std::vector<Scroll>{{WM_HSCROLL, SB_LINEUP, 0}, {WM_HSCROLL, SB_LINEUP, 0}, {WM_HSCROLL, SB_ENDSCROLL, 0}}));
  EXPECT_EQ(GetScrollPos(sw.window, SB_HORZ), 48);
}

TEST(WindowScrollBars, TheTrackPagesUntilTheThumbReachesTheMouse) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_VERT, 0, 99, 10, 0);
  RECT v = sw.Bar(SB_VERT);
  // The thumb travels (track - thumb) pixels over 90 positions; hold the track a little past
  // the middle.
  POINT held{v.left + 8, (v.top + v.bottom) / 2 + 10};
  std::vector<std::function<void()>> ticks(12, [] { AdvanceClock(200); });
  HoldWhile(ui, held, ticks);
  ASSERT_GE(sw.log.size(), 3u);
  EXPECT_EQ(sw.log.back(), (Scroll{WM_VSCROLL, SB_ENDSCROLL, 0}));
  for (size_t i = 0; i + 1 < sw.log.size(); ++i) EXPECT_EQ(sw.log[i], (Scroll{WM_VSCROLL, SB_PAGEDOWN, 0}));
  // The thumb now covers the mouse, or lies past it by less than a page.
  scrollbars::Values* values = scrollbars::ValuesOf(sw.window, SB_VERT);
  RECT local{0, 0, 16, v.bottom - v.top};
  scrollbars::Layout l = scrollbars::LayoutOf(local, true, *values, true);
  int along = held.y - v.top;
  EXPECT_LE(l.thumbStart, along);
  EXPECT_LT(GetScrollPos(sw.window, SB_VERT), 90);
}

TEST(WindowScrollBars, DraggingTheThumbTracksEveryPositionThenReportsWhereItWasLetGo) {
  UiDriver ui;
  ScrollWindow sw;
  sw.follow = false;  // the window moves nothing: the thumb shows the tracking position itself
  SetBar(sw.window, SB_VERT, 0, 100, 0, 0);
  std::vector<int> trackPositions;
  sw.during = [&](const Scroll& s) {
    SCROLLINFO info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(sw.window, SB_VERT, &info);
    if (s.code == SB_THUMBTRACK) trackPositions.push_back(info.nTrackPos);
  };
  RECT v = sw.Bar(SB_VERT);
  int length = v.bottom - v.top, room = length - 32 - 16;
  POINT thumb{v.left + 8, v.top + 16 + 8};
  int drag = room / 2;
  ui.Drag(thumb, POINT{thumb.x, thumb.y + drag}, 4);
  int want = (drag * 100 + room / 2) / room;
  ASSERT_GE(sw.log.size(), 3u);
  EXPECT_EQ(sw.log[sw.log.size() - 2], (Scroll{WM_VSCROLL, SB_THUMBPOSITION, want}));
  EXPECT_EQ(sw.log.back(), (Scroll{WM_VSCROLL, SB_ENDSCROLL, 0}));
  for (size_t i = 0; i + 2 < sw.log.size(); ++i) {
    EXPECT_EQ(sw.log[i].code, SB_THUMBTRACK);
    EXPECT_EQ(sw.log[i].pos, trackPositions[i]) << "the message and GetScrollInfo agree";
    if (i) {
      EXPECT_GT(sw.log[i].pos, sw.log[i - 1].pos);
    }
  }
  EXPECT_EQ(GetScrollPos(sw.window, SB_VERT), 0) << "only the program moves the position";
}

TEST(WindowScrollBars, AThumbDraggedFarFromTheBarGoesBack) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_HORZ, 0, 100, 0, 0);
  RECT h = sw.Bar(SB_HORZ);
  POINT thumb{h.left + 16 + 8, h.top + 8};
  InputEvent e = Mouse(InputEvent::Kind::MouseMove, thumb);
  DesktopHost().Inject(e);
  DesktopHost().Inject(Mouse(InputEvent::Kind::MouseDown, thumb));
  ui.InjectPaced(Mouse(InputEvent::Kind::MouseMove, POINT{thumb.x + 60, thumb.y}));
  ui.InjectPaced(Mouse(InputEvent::Kind::MouseMove, POINT{thumb.x + 60, thumb.y + 200}));
  ui.InjectPaced(Mouse(InputEvent::Kind::MouseUp, POINT{thumb.x + 60, thumb.y + 200}));
  ui.RunUntilIdle();
  ASSERT_EQ(sw.log.size(), 4u);
  EXPECT_EQ(sw.log[0].code, SB_THUMBTRACK);
  EXPECT_GT(sw.log[0].pos, 0);
  EXPECT_EQ(sw.log[1], (Scroll{WM_HSCROLL, SB_THUMBTRACK, 0}));
  EXPECT_EQ(sw.log[2], (Scroll{WM_HSCROLL, SB_THUMBPOSITION, 0}));
  EXPECT_EQ(sw.log[3], (Scroll{WM_HSCROLL, SB_ENDSCROLL, 0}));
}

TEST(WindowScrollBars, ADisabledArrowIgnoresPressesAndTheOtherStillScrolls) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_VERT, 0, 100, 10, 0);
  EnableScrollBar(sw.window, SB_VERT, ESB_DISABLE_DOWN);
  RECT v = sw.Bar(SB_VERT);
  ui.Click(v.left + 8, v.bottom - 8);
  EXPECT_TRUE(sw.log.empty());
  ui.Click(v.left + 8, v.top + 8);
  EXPECT_EQ(sw.log, (std::vector<Scroll>{{WM_VSCROLL, SB_LINEUP, 0}, {WM_VSCROLL, SB_ENDSCROLL, 0}}));
}

TEST(WindowScrollBars, PaintedInTheClassicLook) {
  UiDriver ui;
  ScrollWindow sw;
  SetBar(sw.window, SB_VERT, 0, 100, 0, 0);
  ui.RunUntilIdle();
  RECT v = sw.Bar(SB_VERT);
  COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  auto rgb = [](COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); };
  // The up arrow: a raised button with its dark glyph in the middle.
  EXPECT_EQ(ui.Pixel(v.left + 3, v.top + 3), rgb(face));
  EXPECT_EQ(ui.Pixel(v.left + 7, v.top + 6), rgb(GetSysColor(COLOR_BTNTEXT)));
  // The thumb at the top of the track, raised, with the face in the middle.
  EXPECT_EQ(ui.Pixel(v.left + 8, v.top + 16 + 8), rgb(face));
  EXPECT_EQ(ui.Pixel(v.left + 1, v.top + 16 + 1), rgb(light));
  // Below it the track's dither: highlight and face pixels alternate.
  int y = v.top + 60;
  EXPECT_NE(ui.Pixel(v.left + 4, y), ui.Pixel(v.left + 5, y));
  EXPECT_EQ(ui.Pixel(v.left + 4, y), ui.Pixel(v.left + 5, y + 1));
  // At the end of the range the thumb sits above the down arrow.
  SetScrollPos(sw.window, SB_VERT, 100, TRUE);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(v.left + 8, v.bottom - 16 - 8), rgb(face));
  EXPECT_NE(ui.Pixel(v.left + 4, v.top + 16 + 4), ui.Pixel(v.left + 5, v.top + 16 + 4)) << "dither where it was";
  // Both bars leave the corner between them in the face colour.
  RECT h = sw.Bar(SB_HORZ);
  EXPECT_EQ(ui.Pixel(v.left + 8, h.top + 8), rgb(face));
}

}  // namespace
