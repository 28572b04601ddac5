// The track bar: range, position, ticks and selection; the channel and thumb geometry; the
// mouse (thumb drags, page presses repeating on the layer's clock) and the keyboard.

#include "platform/controls/TrackBar.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/user/SystemClasses.h"

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterTrackBarClass);

constexpr char kStateProp[] = "quillo.trackbar";
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 400;
constexpr UINT kRepeatDelay = 100;
constexpr int kEndMargin = 8;  // from the client edge to the first and last thumb centre

enum class Mode { None, Drag, PageUp, PageDown };

struct TrackState {
  int min = 0;
  int max = 100;
  int pos = 0;
  int line = 1;
  int page = 20;
  int freq = 1;
  int selStart = 0;
  int selEnd = 0;
  int thumbLength = 20;
  std::vector<int> ticks;  // set with TBM_SETTIC
  Mode mode = Mode::None;
  int grab = 0;  // where on the thumb it was taken, from its start
  bool keyTracking = false;
};

TrackState* StateOf(HWND window) { return static_cast<TrackState*>(GetProp(window, kStateProp)); }
DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLong(window, GWL_STYLE)); }
bool Vertical(HWND window) { return Style(window) & TBS_VERT; }

struct Geometry {
  bool vertical = false;
  int from = 0, to = 0;     // the thumb centre's travel along the bar
  int thumbAlong = 0;       // thumb size along the bar
  int thumbAcross = 0;      // and across it
  int thumbTop = 0;         // offset of the thumb across the bar
  int length = 0;           // the client's length along the bar
};

Geometry GeometryOf(HWND window, const TrackState& s) {
  RECT c;
  GetClientRect(window, &c);
  Geometry g;
  g.vertical = Vertical(window);
  g.length = g.vertical ? c.bottom : c.right;
  g.thumbAcross = s.thumbLength;
  g.thumbAlong = s.thumbLength / 2 + 1;
  g.from = kEndMargin;
  g.to = std::max(g.from, g.length - kEndMargin - 1);
  DWORD style = Style(window);
  g.thumbTop = (style & (TBS_TOP | TBS_BOTH)) && !(style & TBS_NOTICKS) ? 8 : 4;
  return g;
}

int CentreOf(const Geometry& g, const TrackState& s, int pos) {
  long long span = static_cast<long long>(s.max) - s.min;
  if (span <= 0) return g.from;
  return g.from + static_cast<int>((g.to - g.from) * (static_cast<long long>(pos) - s.min) / span);
}

int PositionAt(const Geometry& g, const TrackState& s, int centre) {
  int travel = g.to - g.from;
  if (travel <= 0) return s.min;
  long long span = static_cast<long long>(s.max) - s.min;
  long long offset = std::clamp(centre - g.from, 0, travel);
  return s.min + static_cast<int>((offset * span + travel / 2) / travel);
}

// A rectangle given along and across the bar, in client coordinates.
RECT Oriented(const Geometry& g, int alongFrom, int alongTo, int acrossFrom, int acrossTo) {
  if (g.vertical) return RECT{acrossFrom, alongFrom, acrossTo, alongTo};
  return RECT{alongFrom, acrossFrom, alongTo, acrossTo};
}

RECT ThumbRect(HWND window, const TrackState& s) {
  Geometry g = GeometryOf(window, s);
  int centre = CentreOf(g, s, s.pos);
  int start = centre - g.thumbAlong / 2;
  return Oriented(g, start, start + g.thumbAlong, g.thumbTop, g.thumbTop + g.thumbAcross);
}

RECT ChannelRect(HWND window, const TrackState& s) {
  Geometry g = GeometryOf(window, s);
  int half = (Style(window) & TBS_ENABLESELRANGE) ? 5 : 3;
  int middle = g.thumbTop + g.thumbAcross / 2;
  return Oriented(g, g.from - 2, g.to + 3, middle - half, middle + half);
}

int Clamp(const TrackState& s, long long pos) { return static_cast<int>(std::clamp<long long>(pos, s.min, std::max(s.min, s.max))); }

void Notify(HWND window, int code, int pos) {
  HWND parent = GetParent(window);
  if (!parent) return;
  UINT message = Vertical(window) ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(parent, message, MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(window));
}

void Refresh(HWND window) { InvalidateRect(window, nullptr, TRUE); }

// Moves the position by a scroll code and reports the code.
void Move(HWND window, int code) {
  TrackState* s = StateOf(window);
  if (!s) return;
  long long pos = s->pos;
  switch (code) {
    case TB_LINEUP: pos -= s->line; break;
    case TB_LINEDOWN: pos += s->line; break;
    case TB_PAGEUP: pos -= s->page; break;
    case TB_PAGEDOWN: pos += s->page; break;
    case TB_TOP: pos = s->min; break;
    case TB_BOTTOM: pos = s->max; break;
  }
  int next = Clamp(*s, pos);
  if (next != s->pos) {
    s->pos = next;
    Refresh(window);
  }
  Notify(window, code, 0);
}

std::vector<int> TickPositions(HWND window, const TrackState& s) {
  std::vector<int> ticks;
  if (Style(window) & TBS_AUTOTICKS)
    for (long long p = static_cast<long long>(s.min) + s.freq; p < s.max; p += s.freq) ticks.push_back(static_cast<int>(p));
  for (int t : s.ticks)
    if (std::find(ticks.begin(), ticks.end(), t) == ticks.end()) ticks.push_back(t);
  std::sort(ticks.begin(), ticks.end());
  return ticks;
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void PaintTicks(HWND window, HDC dc, const TrackState& s, const Geometry& g) {
  DWORD style = Style(window);
  if (style & TBS_NOTICKS) return;
  std::vector<int> positions = TickPositions(window, s);
  positions.insert(positions.begin(), s.min);
  positions.push_back(s.max);
  COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  auto tick = [&](int pos, int across, int length) {
    int at = CentreOf(g, s, pos);
    RECT r = Oriented(g, at, at + 1, across, across + length);
    Line(dc, r.left, r.top, g.vertical ? r.right : r.left, g.vertical ? r.top : r.bottom, ink);
  };
  bool before = style & (TBS_TOP | TBS_BOTH), after = !(style & TBS_TOP) || (style & TBS_BOTH);
  for (size_t i = 0; i < positions.size(); ++i) {
    int length = (i == 0 || i + 1 == positions.size()) ? 4 : 3;
    if (after) tick(positions[i], g.thumbTop + g.thumbAcross + 2, length);
    if (before) tick(positions[i], g.thumbTop - 2 - length, length);
  }
}

// A raised thumb; with ticks on one side only, it points toward them.
void PaintThumb(HWND window, HDC dc, const TrackState& s, const Geometry& g) {
  DWORD style = Style(window);
  RECT r = ThumbRect(window, s);
  bool pointed = !(style & (TBS_BOTH | TBS_NOTICKS));
  if (!pointed) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    return;
  }
  int tip = g.thumbAlong / 2;
  bool towardStart = style & TBS_TOP;  // top, or left when vertical
  RECT body = r;
  if (g.vertical) (towardStart ? body.left : body.right) += towardStart ? tip : -tip;
  else (towardStart ? body.top : body.bottom) += towardStart ? tip : -tip;
  // The body is open on the side of the point: its edges run on along the point's sides.
  UINT open = g.vertical ? (towardStart ? BF_LEFT : BF_RIGHT) : (towardStart ? BF_TOP : BF_BOTTOM);
  DrawEdge(dc, &body, EDGE_RAISED, (BF_RECT & ~open) | BF_MIDDLE);
  COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW),
           shadow = GetSysColor(COLOR_BTNSHADOW);
  // The point, row by row from the body outward: face inside, lit on the first edge, dark
  // with a shadow inside it on the other, as the body's raised edge is.
  int start = g.vertical ? r.top : r.left;
  for (int i = 0; i < tip; ++i) {
    int a = i, b = g.thumbAlong - 1 - i;
    if (a > b) break;
    int across;
    if (g.vertical) across = towardStart ? body.left - 1 - i : body.right + i;
    else across = towardStart ? body.top - 1 - i : body.bottom + i;
    auto dot = [&](int along, COLORREF c) {
      RECT p = g.vertical ? RECT{across, start + along, across + 1, start + along + 1}
                          : RECT{start + along, across, start + along + 1, across + 1};
      HBRUSH brush = CreateSolidBrush(c);
      FillRect(dc, &p, brush);
      DeleteObject(brush);
    };
    for (int k = a; k <= b; ++k) dot(k, face);
    if (b - 1 > a) dot(b - 1, shadow);
    dot(a, light);
    dot(b, dark);
  }
}

void Paint(HWND window, HDC dc) {
  TrackState* s = StateOf(window);
  if (!s) return;
  RECT client;
  GetClientRect(window, &client);
  HBRUSH background = nullptr;
  if (HWND parent = GetParent(window))
    background = reinterpret_cast<HBRUSH>(
        SendMessage(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_3DFACE));
  Geometry g = GeometryOf(window, *s);
  RECT channel = ChannelRect(window, *s);
  DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(dc, &channel, GetSysColorBrush(COLOR_WINDOW));
  if ((Style(window) & TBS_ENABLESELRANGE) && s->selEnd > s->selStart) {
    int a = CentreOf(g, *s, s->selStart), b = CentreOf(g, *s, s->selEnd);
    RECT sel = g.vertical ? RECT{channel.left, a, channel.right, b + 1} : RECT{a, channel.top, b + 1, channel.bottom};
    FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  PaintTicks(window, dc, *s, g);
  if (!(Style(window) & TBS_NOTHUMB)) PaintThumb(window, dc, *s, g);
  if (GetFocus() == window) DrawFocusRect(dc, &client);
}

int Along(const Geometry& g, LPARAM lParam) { return g.vertical ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

void OnButtonDown(HWND window, LPARAM lParam) {
  TrackState* s = StateOf(window);
  if (!s || !IsWindowEnabled(window)) return;
  if (GetFocus() != window) SetFocus(window);
  if (!(s = StateOf(window))) return;
  Geometry g = GeometryOf(window, *s);
  RECT thumb = ThumbRect(window, *s);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  SetCapture(window);
  if (PtInRect(&thumb, p) && !(Style(window) & TBS_NOTHUMB)) {
    s->mode = Mode::Drag;
    s->grab = Along(g, lParam) - (g.vertical ? thumb.top : thumb.left);
    return;
  }
  int centre = CentreOf(g, *s, s->pos);
  s->mode = Along(g, lParam) < centre ? Mode::PageUp : Mode::PageDown;
  Move(window, s->mode == Mode::PageUp ? TB_PAGEUP : TB_PAGEDOWN);
  if (IsWindow(window)) SetTimer(window, kRepeatTimer, kFirstDelay, nullptr);
}

void OnMouseMove(HWND window, LPARAM lParam) {
  TrackState* s = StateOf(window);
  if (!s || s->mode != Mode::Drag) return;
  Geometry g = GeometryOf(window, *s);
  int pos = PositionAt(g, *s, Along(g, lParam) - s->grab + g.thumbAlong / 2);
  if (pos == s->pos) return;
  s->pos = pos;
  Refresh(window);
  Notify(window, TB_THUMBTRACK, pos);
}

// A held page press repeats until the thumb reaches the mouse.
void OnTimer(HWND window) {
  TrackState* s = StateOf(window);
  if (!s || (s->mode != Mode::PageUp && s->mode != Mode::PageDown) || GetCapture() != window) {
    KillTimer(window, kRepeatTimer);
    return;
  }
  SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  Geometry g = GeometryOf(window, *s);
  RECT thumb = ThumbRect(window, *s);
  int along = g.vertical ? cursor.y : cursor.x;
  int start = g.vertical ? thumb.top : thumb.left, end = g.vertical ? thumb.bottom : thumb.right;
  if (s->mode == Mode::PageUp && along < start) Move(window, TB_PAGEUP);
  else if (s->mode == Mode::PageDown && along >= end) Move(window, TB_PAGEDOWN);
}

// The release reports where the thumb was let go; a capture taken away ends the press
// unreported.
void EndPress(HWND window, bool released) {
  TrackState* s = StateOf(window);
  if (!s || s->mode == Mode::None) return;
  Mode mode = s->mode;
  s->mode = Mode::None;
  KillTimer(window, kRepeatTimer);
  if (GetCapture() == window) ReleaseCapture();
  if (!released) return;
  if (mode == Mode::Drag) Notify(window, TB_THUMBPOSITION, s->pos);
  Notify(window, TB_ENDTRACK, 0);
}

bool OnKey(HWND window, WPARAM vk, bool down) {
  TrackState* s = StateOf(window);
  if (!s) return false;
  int code;
  switch (vk) {
    case VK_LEFT: case VK_UP: code = TB_LINEUP; break;
    case VK_RIGHT: case VK_DOWN: code = TB_LINEDOWN; break;
    case VK_PRIOR: code = TB_PAGEUP; break;
    case VK_NEXT: code = TB_PAGEDOWN; break;
    case VK_HOME: code = TB_TOP; break;
    case VK_END: code = TB_BOTTOM; break;
    default: return false;
  }
  if (down) {
    s->keyTracking = true;
    Move(window, code);
  } else if (s->keyTracking) {
    s->keyTracking = false;
    Notify(window, TB_ENDTRACK, 0);
  }
  return true;
}

LRESULT SetRange(HWND window, TrackState& s, int min, int max, bool redraw) {
  s.min = min;
  s.max = max;
  s.pos = Clamp(s, s.pos);
  if (redraw) Refresh(window);
  return 0;
}

void SetSel(HWND window, TrackState& s, int start, int end, bool redraw) {
  s.selStart = Clamp(s, start);
  s.selEnd = Clamp(s, end);
  if (redraw) Refresh(window);
}

LRESULT Message(HWND window, TrackState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TBM_GETPOS: return s.pos;
    case TBM_SETPOS:
      s.pos = Clamp(s, static_cast<int>(lParam));
      if (wParam) Refresh(window);
      return 0;
    case TBM_GETRANGEMIN: return s.min;
    case TBM_GETRANGEMAX: return s.max;
    case TBM_SETRANGE: return SetRange(window, s, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), wParam);
    case TBM_SETRANGEMIN: return SetRange(window, s, static_cast<int>(lParam), s.max, wParam);
    case TBM_SETRANGEMAX: return SetRange(window, s, s.min, static_cast<int>(lParam), wParam);
    case TBM_SETTIC: {
      int pos = static_cast<int>(lParam);
      if (pos <= s.min || pos >= s.max) return FALSE;
      if (std::find(s.ticks.begin(), s.ticks.end(), pos) == s.ticks.end()) s.ticks.push_back(pos);
      Refresh(window);
      return TRUE;
    }
    case TBM_GETTIC: {
      std::vector<int> ticks = TickPositions(window, s);
      return wParam < ticks.size() ? ticks[wParam] : -1;
    }
    case TBM_GETTICPOS: {
      std::vector<int> ticks = TickPositions(window, s);
      if (wParam >= ticks.size()) return -1;
      return CentreOf(GeometryOf(window, s), s, ticks[wParam]);
    }
    case TBM_GETNUMTICS:
      return (Style(window) & TBS_NOTICKS) ? 0 : static_cast<LRESULT>(TickPositions(window, s).size()) + 2;
    case TBM_CLEARTICS:
      s.ticks.clear();
      if (wParam) Refresh(window);
      return 0;
    case TBM_SETTICFREQ:
      s.freq = std::max(1, static_cast<int>(wParam));
      Refresh(window);
      return 0;
    case TBM_SETSEL: SetSel(window, s, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), wParam); return 0;
    case TBM_SETSELSTART: SetSel(window, s, static_cast<int>(lParam), s.selEnd, wParam); return 0;
    case TBM_SETSELEND: SetSel(window, s, s.selStart, static_cast<int>(lParam), wParam); return 0;
    case TBM_GETSELSTART: return s.selStart;
    case TBM_GETSELEND: return s.selEnd;
    case TBM_CLEARSEL:
      s.selStart = s.selEnd = 0;
      if (wParam) Refresh(window);
      return 0;
    case TBM_SETPAGESIZE: { int previous = s.page; s.page = static_cast<int>(lParam); return previous; }
    case TBM_GETPAGESIZE: return s.page;
    case TBM_SETLINESIZE: { int previous = s.line; s.line = static_cast<int>(lParam); return previous; }
    case TBM_GETLINESIZE: return s.line;
    case TBM_GETTHUMBRECT:
      if (auto* r = reinterpret_cast<RECT*>(lParam)) *r = ThumbRect(window, s);
      return 0;
    case TBM_GETCHANNELRECT:
      if (auto* r = reinterpret_cast<RECT*>(lParam)) *r = ChannelRect(window, s);
      return 0;
    case TBM_SETTHUMBLENGTH:
      s.thumbLength = std::max(4, static_cast<int>(wParam));
      Refresh(window);
      return 0;
    case TBM_GETTHUMBLENGTH: return s.thumbLength;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

LRESULT TrackBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TrackState* s = StateOf(window);
  switch (message) {
    case WM_CREATE: SetProp(window, kStateProp, std::make_unique<TrackState>().release()); return 0;
    case WM_NCDESTROY: {
      std::unique_ptr<TrackState> owned(s);
      RemoveProp(window, kStateProp);
      break;
    }
    case WM_PAINT: case WM_PRINTCLIENT: return PaintControl(window, wParam, [window](HDC dc, const RECT&) { Paint(window, dc); });
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: OnButtonDown(window, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_LBUTTONUP: EndPress(window, true); return 0;
    case WM_CAPTURECHANGED: if (reinterpret_cast<HWND>(lParam) != window) EndPress(window, false); return 0;
    case WM_TIMER: if (wParam == kRepeatTimer) OnTimer(window); return 0;
    case WM_KEYDOWN: case WM_KEYUP:
      if (OnKey(window, wParam, message == WM_KEYDOWN)) return 0;
      break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: Refresh(window); return 0;
  }
  if (!s) return DefWindowProc(window, message, wParam, lParam);
  if (message >= WM_USER && message <= TBM_GETBUDDY) return Message(window, *s, message, wParam, lParam);
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterTrackBarClass() {
  RegisterControlClass(TRACKBAR_CLASS, TrackBarProc, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}
