// Scroll bars: their values, the rules of SetScrollInfo, the layout of arrows, track and
// thumb, the classic painting, and a window's bars in its non-client area.

#include "platform/user/ScrollBars.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/user/Window.h"

namespace scrollbars {

struct WindowBars {
  Values horz;
  Values vert;
  Values ctl;
  bool horzSet = false;  // a value was set: GetScrollInfo answers even without the style
  bool vertSet = false;
};

namespace {

WindowBars* BarsOf(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return nullptr;
  if (!w->scrollBars) w->scrollBars = std::make_shared<WindowBars>();
  return w->scrollBars.get();
}

DWORD StyleBit(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

bool BarShown(HWND window, int bar) {
  WindowObject* w = LiveWindow(window);
  return w && (bar == SB_CTL || (w->style & StyleBit(bar)));
}

int Length(const Layout& l) { return l.vertical ? l.bar.bottom - l.bar.top : l.bar.right - l.bar.left; }

RECT Span(const Layout& l, int from, int to) {
  if (l.vertical) return RECT{l.bar.left, l.bar.top + from, l.bar.right, l.bar.top + to};
  return RECT{l.bar.left + from, l.bar.top, l.bar.left + to, l.bar.bottom};
}

COLORREF Swap(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// The classic track: every other pixel in the highlight colour, the rest in the face colour.
HBRUSH MakeDitherBrush() {
  std::uint32_t bits[64];
  std::uint32_t a = Swap(GetSysColor(COLOR_BTNHIGHLIGHT)), b = Swap(GetSysColor(COLOR_BTNFACE));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) bits[y * 8 + x] = ((x + y) & 1) ? b : a;
  HBITMAP pattern = CreateBitmap(8, 8, 1, 32, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

HBRUSH ControlTrackBrush(HWND control, HDC dc) {
  HWND parent = GetParent(control);
  if (!parent) return nullptr;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessage(parent, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  // The default answer asks for the classic dither.
  return brush == GetSysColorBrush(COLOR_SCROLLBAR) ? nullptr : brush;
}

void DrawControl(HWND control, HDC dc) {
  Values* v = ValuesOf(control, SB_CTL);
  if (!v) return;
  RECT r;
  GetClientRect(control, &r);
  Layout l = LayoutOf(r, IsControlVertical(control), *v, IsWindowEnabled(control) != FALSE);
  Draw(dc, l, *v, IsWindowEnabled(control) != FALSE, v->pressed, ControlTrackBrush(control, dc));
}

// The parts of a bar that show: where its thumb is and which arrows work.
struct Look {
  int arrow = 0, thumbStart = 0, thumbLength = 0;
  UINT disabledArrows = 0;
  bool operator==(const Look&) const = default;
};

Look LookOf(HWND window, int bar, const Values& v) {
  RECT r{};
  if (bar == SB_CTL) GetClientRect(window, &r);
  else r = WindowBarRect(window, bar);
  const bool vertical = bar == SB_CTL ? IsControlVertical(window) : bar == SB_VERT;
  Layout l = LayoutOf(r, vertical, v, IsWindowEnabled(window) != FALSE);
  return Look{l.arrow, l.thumbStart, l.thumbLength, v.disabledArrows};
}

}  // namespace

Values* ValuesOf(HWND window, int bar) {
  WindowBars* bars = BarsOf(window);
  if (!bars) return nullptr;
  switch (bar) {
    case SB_HORZ: return &bars->horz;
    case SB_VERT: return &bars->vert;
    case SB_CTL: return &bars->ctl;
  }
  return nullptr;
}

int MaxPosition(const Values& v) {
  std::int64_t top = static_cast<std::int64_t>(v.max) - std::max<std::int64_t>(static_cast<std::int64_t>(v.page) - 1, 0);
  return static_cast<int>(std::max<std::int64_t>(top, v.min));
}

bool IsScrollable(const Values& v) { return MaxPosition(v) > v.min; }

int SetValues(HWND window, int bar, const SCROLLINFO& info, bool redraw) {
  Values* v = ValuesOf(window, bar);
  if (!v) return 0;
  if (info.cbSize != sizeof(SCROLLINFO) && info.cbSize != sizeof(SCROLLINFO) - sizeof(int)) return 0;
  WindowBars* bars = BarsOf(window);
  // What the bar looks like now: a change that moves nothing on it is not drawn again (a list
  // filled with many items sets its bar once per item).
  const Look before = LookOf(window, bar, *v);
  if (bar == SB_HORZ) bars->horzSet = true;
  if (bar == SB_VERT) bars->vertSet = true;
  if (info.fMask & SIF_RANGE) {
    // A range wider than an int can count is refused, as Windows does.
    if (static_cast<std::int64_t>(info.nMax) - info.nMin > INT_MAX) return v->pos;
    v->min = info.nMin;
    v->max = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE) v->page = info.nPage;
  std::int64_t span = static_cast<std::int64_t>(v->max) - v->min + 1;
  if (v->page > span) v->page = static_cast<UINT>(span);
  if (info.fMask & SIF_POS) v->pos = info.nPos;
  v->pos = std::clamp(v->pos, v->min, MaxPosition(*v));
  // An unneeded bar is hidden, or kept disabled with SIF_DISABLENOSCROLL; a needed one is
  // shown and enabled. A window's bar shown or hidden here is painted by its frame change.
  bool shapeChanged = info.fMask & (SIF_RANGE | SIF_PAGE);
  bool shown = BarShown(window, bar);
  bool showBar = shown;
  if (!IsScrollable(*v) && (info.fMask & SIF_DISABLENOSCROLL)) {
    v->disabledArrows = ESB_DISABLE_BOTH;
    showBar = true;
  } else if (!IsScrollable(*v) && shapeChanged) {
    showBar = false;
  } else if (IsScrollable(*v) && shapeChanged) {
    v->disabledArrows = ESB_ENABLE_BOTH;
    showBar = true;
  }
  if (bar != SB_CTL && showBar != shown) {
    ShowScrollBar(window, bar, showBar);
    shown = false;
  }
  if (redraw && shown && LiveWindow(window) && !(LookOf(window, bar, *v) == before)) Redraw(window, bar);
  Values* now = ValuesOf(window, bar);
  return now ? now->pos : 0;
}

BOOL GetValues(HWND window, int bar, SCROLLINFO* info) {
  if (!info || !(info->fMask & SIF_ALL)) return FALSE;
  WindowObject* w = LiveWindow(window);
  if (!w) return FALSE;
  if (bar != SB_CTL) {
    WindowBars* bars = BarsOf(window);
    bool set = bar == SB_HORZ ? bars->horzSet : bars->vertSet;
    if (!set && !(w->style & StyleBit(bar))) return FALSE;
  }
  Values* v = ValuesOf(window, bar);
  if (!v) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = v->min;
    info->nMax = v->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = v->page;
  if (info->fMask & SIF_POS) info->nPos = v->pos;
  if ((info->fMask & SIF_TRACKPOS) && info->cbSize == sizeof(SCROLLINFO))
    info->nTrackPos = v->tracking ? v->trackPos : v->pos;
  return TRUE;
}

Layout LayoutOf(const RECT& bar, bool vertical, const Values& v, bool enabled) {
  Layout l;
  l.bar = bar;
  l.vertical = vertical;
  int length = Length(l);
  l.arrow = vertical ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL);
  if (length < 2 * l.arrow) l.arrow = std::max(0, length / 2);
  int track = length - 2 * l.arrow;
  if (!enabled || v.disabledArrows == ESB_DISABLE_BOTH || !IsScrollable(v)) return l;
  int thumb = vertical ? GetSystemMetrics(SM_CYVTHUMB) : GetSystemMetrics(SM_CXHTHUMB);
  if (v.page > 0) {
    constexpr int kMinThumb = 8;
    std::int64_t span = static_cast<std::int64_t>(v.max) - v.min + 1;
    thumb = std::max<int>(kMinThumb, static_cast<int>(track * static_cast<std::int64_t>(v.page) / span));
  }
  if (thumb > track) return l;  // too short to show a thumb
  int shown = v.tracking ? v.trackPos : v.pos;
  std::int64_t range = static_cast<std::int64_t>(MaxPosition(v)) - v.min;
  std::int64_t offset = static_cast<std::int64_t>(std::clamp(shown, v.min, MaxPosition(v))) - v.min;
  l.thumbLength = thumb;
  l.thumbStart = l.arrow + static_cast<int>((track - thumb) * offset / range);
  return l;
}

Part PartAt(const Layout& l, POINT p) {
  if (p.x < l.bar.left || p.x >= l.bar.right || p.y < l.bar.top || p.y >= l.bar.bottom) return Part::None;
  int along = l.vertical ? p.y - l.bar.top : p.x - l.bar.left;
  if (along < l.arrow) return Part::LineUp;
  if (along >= Length(l) - l.arrow) return Part::LineDown;
  if (!l.thumbLength) return Part::None;
  if (along < l.thumbStart) return Part::PageUp;
  if (along < l.thumbStart + l.thumbLength) return Part::Thumb;
  return Part::PageDown;
}

int PositionAtThumb(const Layout& l, const Values& v, int thumbStart) {
  int room = l.trackEnd() - l.trackStart() - l.thumbLength;
  if (room <= 0) return v.min;
  std::int64_t offset = std::clamp(thumbStart - l.trackStart(), 0, room);
  std::int64_t range = static_cast<std::int64_t>(MaxPosition(v)) - v.min;
  return v.min + static_cast<int>((offset * range + room / 2) / room);
}

void Draw(HDC dc, const Layout& l, const Values& v, bool enabled, Part pressed, HBRUSH track) {
  int length = Length(l);
  if (length <= 0) return;
  auto arrow = [&](RECT r, UINT kind, Part part, UINT disabledBit) {
    UINT state = kind;
    if (!enabled || (v.disabledArrows & disabledBit)) state |= DFCS_INACTIVE;
    else if (pressed == part) state |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
  };
  arrow(Span(l, 0, l.arrow), l.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, Part::LineUp, ESB_DISABLE_LTUP);
  arrow(Span(l, length - l.arrow, length), l.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, Part::LineDown,
        ESB_DISABLE_RTDN);
  if (l.trackEnd() <= l.trackStart()) return;
  RECT trackRect = Span(l, l.trackStart(), l.trackEnd());
  HBRUSH dither = track ? nullptr : MakeDitherBrush();
  FillRect(dc, &trackRect, track ? track : dither);
  if (dither) DeleteObject(dither);
  if (!l.thumbLength) return;
  // The held part of the track shows dark, from the thumb to the arrow on its side.
  if (pressed == Part::PageUp) {
    RECT r = Span(l, l.trackStart(), l.thumbStart);
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
  } else if (pressed == Part::PageDown) {
    RECT r = Span(l, l.thumbStart + l.thumbLength, l.trackEnd());
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  RECT thumb = Span(l, l.thumbStart, l.thumbStart + l.thumbLength);
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

RECT WindowBarRect(HWND window, int bar) {
  WindowObject* w = LiveWindow(window);
  if (!w || (bar != SB_HORZ && bar != SB_VERT) || !(w->style & StyleBit(bar)) || (w->style & WS_MINIMIZE)) return RECT{};
  const RECT& c = w->client;
  if (bar == SB_VERT) return RECT{c.right, c.top, c.right + GetSystemMetrics(SM_CXVSCROLL), c.bottom};
  return RECT{c.left, c.bottom, c.right, c.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

int HitTest(HWND window, POINT screen) {
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  RECT wr = ScreenRect(window);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  RECT vert = WindowBarRect(window, SB_VERT), horz = WindowBarRect(window, SB_HORZ);
  if (PtInRect(&vert, p)) return HTVSCROLL;
  if (PtInRect(&horz, p)) return HTHSCROLL;
  if (!IsRectEmpty(&vert) && !IsRectEmpty(&horz)) {
    RECT corner{vert.left, horz.top, vert.right, horz.bottom};
    if (PtInRect(&corner, p)) return (w->style & WS_THICKFRAME) && !(w->style & WS_MAXIMIZE) ? HTSIZE : HTBORDER;
  }
  return 0;
}

void PaintWindowBars(HWND window, HDC dc) {
  RECT vert = WindowBarRect(window, SB_VERT), horz = WindowBarRect(window, SB_HORZ);
  for (int bar : {SB_HORZ, SB_VERT}) {
    RECT r = bar == SB_HORZ ? horz : vert;
    if (IsRectEmpty(&r)) continue;
    Values* v = ValuesOf(window, bar);
    Draw(dc, LayoutOf(r, bar == SB_VERT, *v, true), *v, true, v->pressed, nullptr);
  }
  if (!IsRectEmpty(&vert) && !IsRectEmpty(&horz)) {
    RECT corner{vert.left, horz.top, vert.right, horz.bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

bool IsControlVertical(HWND control) {
  constexpr LONG kSbsVert = 0x1;
  return (GetWindowLong(control, GWL_STYLE) & kSbsVert) != 0;
}

namespace {

// The caret covers the thumb's face inside its edges; with no thumb it stays hidden.
void PlaceFocusCaret(HWND control) {
  Values* v = ValuesOf(control, SB_CTL);
  RECT r;
  GetClientRect(control, &r);
  Layout l = LayoutOf(r, IsControlVertical(control), *v, IsWindowEnabled(control) != FALSE);
  DestroyCaret();
  RECT thumb = l.vertical ? RECT{r.left, l.thumbStart, r.right, l.thumbStart + l.thumbLength}
                          : RECT{l.thumbStart, r.top, l.thumbStart + l.thumbLength, r.bottom};
  InflateRect(&thumb, -2, -2);
  if (!l.thumbLength || IsRectEmpty(&thumb)) return;
  CreateCaret(control, nullptr, thumb.right - thumb.left, thumb.bottom - thumb.top);
  SetCaretPos(thumb.left, thumb.top);
  ShowCaret(control);
}

}  // namespace

void ShowControlFocus(HWND control, bool focused) {
  Values* v = ValuesOf(control, SB_CTL);
  if (!v) return;
  if (focused) {
    v->focusCaret = true;
    PlaceFocusCaret(control);
  } else if (v->focusCaret) {
    v->focusCaret = false;
    DestroyCaret();
  }
}

void Redraw(HWND window, int bar) {
  if (!LiveWindow(window) || !IsVisibleOnScreen(window)) return;
  if (bar == SB_CTL) {
    bool caret = ValuesOf(window, SB_CTL)->focusCaret;
    if (caret) HideCaret(window);
    HDC dc = GetDC(window);
    DrawControl(window, dc);
    ReleaseDC(window, dc);
    if (caret) PlaceFocusCaret(window);
    return;
  }
  RECT r = WindowBarRect(window, bar);
  if (IsRectEmpty(&r)) return;
  HDC dc = GetWindowDC(window);
  Values* v = ValuesOf(window, bar);
  Draw(dc, LayoutOf(r, bar == SB_VERT, *v, true), *v, true, v->pressed, nullptr);
  ReleaseDC(window, dc);
}

void PaintControl(HWND control, HDC dc) { DrawControl(control, dc); }

int ThumbPosition(HWND window, int bar, WPARAM wParam) {
  const Values* v = bar == SB_HORZ || bar == SB_VERT ? ValuesOf(window, bar) : nullptr;
  if (v && v->tracking) return v->trackPos;
  return HIWORD(wParam);
}

int RequestedPosition(int code, int pos, int line, int page, int thumb, int first, int last) {
  switch (code) {
    case SB_LINEUP: return pos - line;
    case SB_LINEDOWN: return pos + line;
    case SB_PAGEUP: return pos - page;
    case SB_PAGEDOWN: return pos + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return thumb;
    case SB_TOP: return first;
    case SB_BOTTOM: return last;
  }
  return pos;
}

}  // namespace scrollbars

using namespace scrollbars;

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!info || !LiveWindow(window)) return 0;
  if (bar == SB_CTL)
    return static_cast<int>(SendMessage(window, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  return SetValues(window, bar, *info, redraw != FALSE);
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  if (!info || !LiveWindow(window)) return FALSE;
  if (bar == SB_CTL)
    return static_cast<BOOL>(SendMessage(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
  if (bar != SB_HORZ && bar != SB_VERT) return FALSE;
  return GetValues(window, bar, info);
}

int SetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
  SCROLLINFO before;
  before.fMask = SIF_POS;
  if (!GetScrollInfo(window, bar, &before)) before.nPos = 0;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(window, bar, &info, redraw);
  return before.nPos;
}

int GetScrollPos(HWND window, int bar) {
  SCROLLINFO info;
  info.fMask = SIF_POS;
  return GetScrollInfo(window, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw) {
  if (!LiveWindow(window) || static_cast<std::int64_t>(max) - min > INT_MAX) return FALSE;
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = min;
  info.nMax = max;
  SetScrollInfo(window, bar, &info, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, int* min, int* max) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  BOOL ok = GetScrollInfo(window, bar, &info);
  if (min) *min = ok ? info.nMin : 0;
  if (max) *max = ok ? info.nMax : 0;
  return ok;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
  WindowObject* w = LiveWindow(window);
  if (!w) return FALSE;
  if (bar == SB_CTL) {
    ShowWindow(window, show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  DWORD bits = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL : 0;
  if (!bits) return FALSE;
  DWORD style = static_cast<DWORD>(GetWindowLong(window, GWL_STYLE));
  DWORD wanted = show ? (style | bits) : (style & ~bits);
  if (wanted != style) {
    SetWindowLong(window, GWL_STYLE, static_cast<LONG>(wanted));
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return TRUE;
}

BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows) {
  if (!LiveWindow(window)) return FALSE;
  arrows &= ESB_DISABLE_BOTH;
  if (bar == SB_CTL) {
    BOOL changed = static_cast<BOOL>(SendMessage(window, SBM_ENABLE_ARROWS, arrows, 0));
    // Both arrows on or off enables or disables the control itself.
    if (arrows == ESB_DISABLE_BOTH) EnableWindow(window, FALSE);
    else if (arrows == ESB_ENABLE_BOTH) EnableWindow(window, TRUE);
    return changed;
  }
  BOOL changed = FALSE;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (static_cast<int>(bar) != b && bar != SB_BOTH) continue;
    Values* v = ValuesOf(window, b);
    if (v->disabledArrows == arrows) continue;
    v->disabledArrows = arrows;
    changed = TRUE;
    Redraw(window, b);
  }
  return changed;
}
