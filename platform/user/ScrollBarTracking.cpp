// The modal loop of a press on a scroll bar, and the keys of a SCROLLBAR control.
//
// An arrow or the track scrolls once at the press, then again after a first delay and at a
// steady rate while it stays held under the mouse, on the layer's clock. The thumb follows the
// mouse (SB_THUMBTRACK with each new position) and snaps back when the mouse strays far from
// the bar; the release reports SB_THUMBPOSITION. Every press ends with SB_ENDSCROLL.

#include "platform/user/HookService.h"
#include "platform/user/ScrollBars.h"
#include "platform/user/Window.h"

namespace scrollbars {

namespace {

constexpr UINT_PTR kRepeatTimer = 0xFFFA;
constexpr UINT kFirstDelay = 200;
constexpr UINT kRepeatDelay = 50;

struct Target {
  HWND window;
  int bar;
  HWND notify;
  UINT message;
  LPARAM from;

  void Send(int code, int pos) const {
    if (notify && LiveWindow(notify))
      SendMessage(notify, message, MAKEWPARAM(code, static_cast<WORD>(pos)), from);
  }
};

Target TargetOf(HWND window, int bar) {
  bool vertical = bar == SB_VERT || (bar == SB_CTL && IsControlVertical(window));
  Target t{window, bar, window, vertical ? WM_VSCROLL : WM_HSCROLL, 0};
  if (bar == SB_CTL) {
    t.notify = GetParent(window);
    t.from = reinterpret_cast<LPARAM>(window);
  }
  return t;
}

// The bar's layout with its rectangle in screen coordinates.
bool ScreenLayout(HWND window, int bar, Layout* out) {
  Values* v = ValuesOf(window, bar);
  if (!v) return false;
  RECT r;
  bool enabled = true;
  if (bar == SB_CTL) {
    r = ScreenClientRect(window);
    enabled = IsWindowEnabled(window) != FALSE;
  } else {
    RECT local = WindowBarRect(window, bar), wr = ScreenRect(window);
    if (IsRectEmpty(&local)) return false;
    r = RECT{local.left + wr.left, local.top + wr.top, local.right + wr.left, local.bottom + wr.top};
  }
  *out = LayoutOf(r, bar == SB_VERT || (bar == SB_CTL && IsControlVertical(window)), *v, enabled);
  return true;
}

int CodeOf(Part part) {
  switch (part) {
    case Part::LineUp: return SB_LINEUP;
    case Part::LineDown: return SB_LINEDOWN;
    case Part::PageUp: return SB_PAGEUP;
    case Part::PageDown: return SB_PAGEDOWN;
    default: return -1;
  }
}

bool PartEnabled(const Values& v, Part part) {
  if (part == Part::None) return false;
  if (part == Part::LineUp && (v.disabledArrows & ESB_DISABLE_LTUP)) return false;
  if (part == Part::LineDown && (v.disabledArrows & ESB_DISABLE_RTDN)) return false;
  return true;
}

// Whether the mouse has strayed so far from the bar that the thumb goes back.
bool Strayed(const Layout& l, POINT p) {
  int thickness = l.vertical ? l.bar.right - l.bar.left : l.bar.bottom - l.bar.top;
  RECT near = l.bar;
  if (l.vertical) InflateRect(&near, 2 * thickness, thickness);
  else InflateRect(&near, thickness, 2 * thickness);
  return !PtInRect(&near, p);
}

void ShowPressed(HWND window, int bar, Part part) {
  Values* v = ValuesOf(window, bar);
  if (!v || v->pressed == part) return;
  v->pressed = part;
  Redraw(window, bar);
}

// The loop of an arrow or the track: repeats while the part stays under the mouse.
void RepeatPart(const Target& t, Part part) {
  t.Send(CodeOf(part), 0);
  SetTimer(t.window, kRepeatTimer, kFirstDelay, nullptr);
  MSG msg;
  while (LiveWindow(t.window) && GetCapture() == t.window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (CallMsgFilter(&msg, MSGF_SCROLLBAR)) continue;
    if (msg.message == WM_LBUTTONUP) break;
    Layout l;
    if (msg.message == WM_MOUSEMOVE) {
      if (!ScreenLayout(t.window, t.bar, &l)) break;
      // An arrow shows pressed only under the mouse; the track only while the part is held.
      Part under = PartAt(l, msg.pt);
      ShowPressed(t.window, t.bar, under == part ? part : Part::None);
    } else if (msg.message == WM_TIMER && msg.hwnd == t.window && msg.wParam == kRepeatTimer) {
      SetTimer(t.window, kRepeatTimer, kRepeatDelay, nullptr);
      POINT cursor;
      GetCursorPos(&cursor);
      if (!ScreenLayout(t.window, t.bar, &l)) break;
      // The track stops repeating once the thumb has reached the mouse.
      Part under = PartAt(l, cursor);
      ShowPressed(t.window, t.bar, under == part ? part : Part::None);
      if (under == part) t.Send(CodeOf(part), 0);
    } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  if (LiveWindow(t.window)) KillTimer(t.window, kRepeatTimer);
}

// The loop of the thumb: the tracking position follows the mouse.
void DragThumb(const Target& t, int grab) {
  Values* v = ValuesOf(t.window, t.bar);
  int original = v->pos;
  v->tracking = true;
  v->trackPos = original;
  MSG msg;
  while (LiveWindow(t.window) && GetCapture() == t.window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (CallMsgFilter(&msg, MSGF_SCROLLBAR)) continue;
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_MOUSEMOVE) {
      Layout l;
      if (!ScreenLayout(t.window, t.bar, &l)) break;
      v = ValuesOf(t.window, t.bar);
      int along = l.vertical ? msg.pt.y - l.bar.top : msg.pt.x - l.bar.left;
      int pos = Strayed(l, msg.pt) ? original : PositionAtThumb(l, *v, along - grab);
      if (pos == v->trackPos) continue;
      v->trackPos = pos;
      Redraw(t.window, t.bar);
      t.Send(SB_THUMBTRACK, pos);
    } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  v = ValuesOf(t.window, t.bar);
  if (!v) return;
  int released = v->trackPos;
  t.Send(SB_THUMBPOSITION, released);
  if ((v = ValuesOf(t.window, t.bar))) v->tracking = false;
}

}  // namespace

void Track(HWND window, int bar, POINT screen) {
  Layout l;
  if (!ScreenLayout(window, bar, &l)) return;
  Values* v = ValuesOf(window, bar);
  Part part = PartAt(l, screen);
  if (!PartEnabled(*v, part)) return;
  if (bar == SB_CTL && !IsWindowEnabled(window)) return;
  Target t = TargetOf(window, bar);
  SetCapture(window);
  if (part == Part::Thumb) {
    int along = l.vertical ? screen.y - l.bar.top : screen.x - l.bar.left;
    ShowPressed(window, bar, Part::Thumb);
    DragThumb(t, along - l.thumbStart);
  } else {
    ShowPressed(window, bar, part);
    RepeatPart(t, part);
  }
  if (GetCapture() == window) ReleaseCapture();
  if (!LiveWindow(window)) return;
  if (Values* now = ValuesOf(window, bar)) now->pressed = Part::None;
  Redraw(window, bar);
  t.Send(SB_ENDSCROLL, 0);
}

bool ControlKey(HWND control, WPARAM vk, bool down) {
  int code = -1;
  switch (vk) {
    case VK_UP: case VK_LEFT: code = SB_LINEUP; break;
    case VK_DOWN: case VK_RIGHT: code = SB_LINEDOWN; break;
    case VK_PRIOR: code = SB_PAGEUP; break;
    case VK_NEXT: code = SB_PAGEDOWN; break;
    case VK_HOME: code = SB_TOP; break;
    case VK_END: code = SB_BOTTOM; break;
    default: return false;
  }
  Target t = TargetOf(control, SB_CTL);
  t.Send(down ? code : SB_ENDSCROLL, 0);
  return true;
}

}  // namespace scrollbars
