// Where windows are on the desktop, what of them can be seen, and exposing what a change
// uncovered.

#include "platform/user/DesktopScreen.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

POINT ParentClientOrigin(const WindowObject& w) {
  WindowObject* p = LiveWindow(w.parent);
  if (!p || w.parent == wm::Windows().Desktop()) return POINT{0, 0};
  RECT pc = ScreenClientRect(w.parent);
  return POINT{pc.left, pc.top};
}

// Invalidates the parts of a window and its descendants under a screen region.
void ExposeWindow(HWND window, const Region& screen) {
  WindowObject* w = LiveWindow(window);
  if (!w || !(w->style & WS_VISIBLE)) return;
  Region under = screen.Intersect(ScreenRect(window));
  if (under.Empty()) return;
  RECT client = ScreenClientRect(window);
  Region inClient = under.Intersect(client);
  if (!under.Subtract(Region(client)).Empty()) w->ncDirty = true;
  if (!inClient.Empty()) {
    inClient.Offset(-client.left, -client.top);
    w->update = w->update.Union(inClient);
    w->erase = true;
  }
  for (HWND c : w->children) ExposeWindow(c, screen);
}

}  // namespace

RECT ScreenRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return RECT{};
  POINT o = ParentClientOrigin(*w);
  return RECT{w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
}

RECT ScreenClientRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return RECT{};
  RECT r = ScreenRect(window);
  return RECT{r.left + w->client.left, r.top + w->client.top, r.left + w->client.right, r.top + w->client.bottom};
}

bool IsVisibleOnScreen(HWND window) {
  for (WindowObject* w = LiveWindow(window); w; w = LiveWindow(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (w == wm::Windows().Desktop()) return true;
  }
  return false;
}

Region VisibleRegion(HWND window, bool clientOnly, bool clipChildren) {
  WindowObject* w = LiveWindow(window);
  if (!w || !IsVisibleOnScreen(window)) return Region();
  if (window == wm::Windows().Desktop()) {
    // The desktop sees what no top-level window covers.
    Region r(wm::Screen().Bounds());
    for (HWND c : w->children)
      if (c->style & WS_VISIBLE) r = r.Subtract(ScreenRect(c));
    return r;
  }
  Region r(clientOnly ? ScreenClientRect(window) : ScreenRect(window));
  if (clipChildren) {
    // Children show only inside the client area: one reaching past it hides none of the
    // frame (a scroll box's bars stay visible beside content larger than the box).
    RECT client = ScreenClientRect(window);
    for (HWND c : w->children) {
      RECT shown, child = ScreenRect(c);
      if ((c->style & WS_VISIBLE) && IntersectRect(&shown, &child, &client)) r = r.Subtract(shown);
    }
  }
  // Each level: inside the parent's client area, under no sibling above. A transparent child
  // (WS_EX_TRANSPARENT, as a group box around its buttons) hides none of its siblings below.
  for (HWND cur = window; cur != wm::Windows().Desktop();) {
    WindowObject* c = LiveWindow(cur);
    WindowObject* p = LiveWindow(c->parent);
    if (!p) return Region();
    if (c->parent != wm::Windows().Desktop()) r = r.Intersect(ScreenClientRect(c->parent));
    for (HWND sibling : p->children) {
      if (sibling == cur) break;
      bool seeThrough = (sibling->style & WS_CHILD) && (sibling->exStyle & WS_EX_TRANSPARENT);
      if ((sibling->style & WS_VISIBLE) && !seeThrough) r = r.Subtract(ScreenRect(sibling));
    }
    cur = c->parent;
  }
  // A top-level window may reach past the screen's edges; what lies beyond cannot be seen.
  return r.Intersect(wm::Screen().Bounds());
}

void ExposeScreenRegion(const Region& screen, HWND except) {
  if (screen.Empty() || !wm::Windows().Desktop()) return;
  if (except != wm::Windows().Desktop()) PaintWallpaper(screen.Intersect(VisibleRegion(wm::Windows().Desktop(), false, false)));
  for (HWND top : wm::Windows().Desktop()->children)
    if (top != except) ExposeWindow(top, screen);
  wm::Screen().MarkChanged();
}

BOOL GetWindowRect(HWND window, RECT* out) {
  if (!LiveWindow(window) || !out) return FALSE;
  *out = ScreenRect(window);
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* out) {
  WindowObject* w = LiveWindow(window);
  if (!w || !out) return FALSE;
  *out = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  if (!LiveWindow(window) || !point) return FALSE;
  RECT c = ScreenClientRect(window);
  point->x += c.left;
  point->y += c.top;
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  if (!LiveWindow(window) || !point) return FALSE;
  RECT c = ScreenClientRect(window);
  point->x -= c.left;
  point->y -= c.top;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  RECT a = from ? ScreenClientRect(from) : RECT{};
  RECT b = to ? ScreenClientRect(to) : RECT{};
  int dx = a.left - b.left, dy = a.top - b.top;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(dx, dy);
}

namespace {

enum class Probe { Found, Blocked, Missed };

// Looks for the window a point belongs to among the children of parent, topmost first: the
// deepest visible window containing it whose WM_NCHITTEST does not answer HTTRANSPARENT. A
// transparent window (a static, a group box around its buttons) lets the point through to the
// siblings beneath it, and only when none of them takes it to the parent. A disabled child
// blocks the point: its parent takes it.
Probe HitTestChildren(HWND parent, POINT p, WindowHit& out) {
  WindowObject* w = LiveWindow(parent);
  if (!w) return Probe::Missed;
  const std::vector<HWND> children = w->children;  // a window procedure may change the order
  for (HWND c : children) {
    if (!LiveWindow(c) || !(c->style & WS_VISIBLE)) continue;
    RECT r = ScreenRect(c);
    if (p.x < r.left || p.x >= r.right || p.y < r.top || p.y >= r.bottom) continue;
    if ((c->style & WS_CHILD) && (c->style & WS_DISABLED)) return Probe::Blocked;
    RECT cr = ScreenClientRect(c);
    if (p.x >= cr.left && p.x < cr.right && p.y >= cr.top && p.y < cr.bottom &&
        HitTestChildren(c, p, out) == Probe::Found)
      return Probe::Found;
    if (!LiveWindow(c)) continue;
    int hit = static_cast<short>(SendMessage(c, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)));
    if (hit == HTTRANSPARENT || !LiveWindow(c)) continue;
    out = WindowHit{c, hit};
    return Probe::Found;
  }
  return Probe::Missed;
}

}  // namespace

WindowHit HitTestPoint(POINT point) {
  EnsureDesktop();
  WindowHit found;
  if (HitTestChildren(wm::Windows().Desktop(), point, found) == Probe::Found) return found;
  return WindowHit{wm::Windows().Desktop(), HTNOWHERE};
}

HWND WindowFromPoint(POINT point) { return HitTestPoint(point).window; }

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  WindowObject* p = LiveWindow(parent);
  if (!p) return nullptr;
  POINT s = point;
  ClientToScreen(parent, &s);
  RECT pr = ScreenRect(parent);
  if (s.x < pr.left || s.x >= pr.right || s.y < pr.top || s.y >= pr.bottom) return nullptr;
  for (HWND c : p->children) {
    RECT r = ScreenRect(c);
    if (s.x >= r.left && s.x < r.right && s.y >= r.top && s.y < r.bottom) return c;
  }
  return parent;
}
