// Window device contexts, update regions and the paint cycle.

#include <algorithm>
#include <cstring>

#include "platform/user/DesktopScreen.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

// Whether drawing on the window is held back by LockWindowUpdate.
bool IsLocked(HWND window) {
  HWND locked = wm::Screen().Locked();
  if (!locked || !LiveWindow(locked)) return false;
  return locked == wm::Windows().Desktop() || window == locked || (window && IsChild(locked, window));
}

// A client-coordinate region of a window in screen coordinates.
Region OnScreen(Region region, HWND window) {
  RECT c = ScreenClientRect(window);
  region.Offset(c.left, c.top);
  return region;
}

// A context on a window's part of the desktop, shaped by the DCX_ flags; area (screen)
// narrows it further. Asked again after every layout change.
HDC NewWindowDc(HWND window, DWORD flags, std::shared_ptr<Region> area) {
  EnsureDesktop();
  DeviceContext* dc = NewDeviceContext(window ? DeviceContext::Kind::Window : DeviceContext::Kind::Screen);
  bool full = flags & DCX_WINDOW;
  dc->window = window;
  dc->fullWindow = full;
  // The update region as it is now: DCX_VALIDATE may empty it right after.
  WindowObject* owner = LiveWindow(window);
  Region update = owner ? owner->update : Region();
  dc->refresh = [window, flags, full, area, update](DeviceContext& target) {
    DesktopScreen& screen = wm::Screen();
    target.surface = screen.Pixels();
    screen.MarkChanged();
    if (!window || window == wm::Windows().Desktop()) {
      target.origin = POINT{0, 0};
      target.visible = Region(screen.Bounds());
    } else if (WindowObject* w = LiveWindow(window)) {
      RECT r = full ? ScreenRect(window) : ScreenClientRect(window);
      target.origin = POINT{r.left, r.top};
      if (flags & DCX_PARENTCLIP)
        target.visible = IsVisibleOnScreen(window) ? VisibleRegion(w->parent, true, false) : Region();
      else
        target.visible = VisibleRegion(window, !full, (flags & DCX_CLIPCHILDREN) != 0);
      if (flags & DCX_INTERSECTUPDATE) target.visible = target.visible.Intersect(OnScreen(update, window));
      if (flags & DCX_EXCLUDEUPDATE) target.visible = target.visible.Subtract(OnScreen(update, window));
    } else {
      target.visible = Region();
    }
    if (area) target.visible = target.visible.Intersect(*area);
    // A locked window draws nothing; what it would have drawn is painted when it unlocks.
    if (!(flags & DCX_LOCKWINDOWUPDATE) && IsLocked(window ? window : wm::Windows().Desktop())) {
      screen.NoteDrawnWhileLocked(target.visible);
      target.visible = Region();
    }
  };
  dc->Prepare();
  return dc;
}

DWORD StyleFlags(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && (w->style & WS_CLIPCHILDREN) ? DCX_CLIPCHILDREN : 0;
}

bool IncludeChildren(const WindowObject& w, UINT flags) {
  if (flags & RDW_NOCHILDREN) return false;
  if (flags & RDW_ALLCHILDREN) return true;
  return !(w.style & WS_CLIPCHILDREN);
}

// Applies the invalidate and validate parts of RedrawWindow to a window and, as the flags
// say, its children; area is in screen coordinates.
void ChangeUpdate(HWND window, const Region& area, UINT flags) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  RECT client = ScreenClientRect(window);
  Region mine = area.Intersect(client);
  mine.Offset(-client.left, -client.top);
  if (flags & RDW_INVALIDATE) {
    w->update = w->update.Union(mine);
    if (flags & RDW_ERASE) w->erase = true;
    if ((flags & RDW_FRAME) && !area.Intersect(ScreenRect(window)).Subtract(Region(client)).Empty()) w->ncDirty = true;
  }
  if (flags & RDW_VALIDATE) {
    w->update = w->update.Subtract(mine);
    if (flags & RDW_NOERASE) w->erase = false;
    if (flags & RDW_NOFRAME) w->ncDirty = false;
    if (w->update.Empty()) w->erase = false;
  }
  if (IncludeChildren(*w, flags))
    for (HWND c : w->children) ChangeUpdate(c, area, flags);
}

void EraseNow(HWND window, bool children) {
  WindowObject* w = LiveWindow(window);
  if (!w || !IsVisibleOnScreen(window)) return;
  if (w->ncDirty) {
    w->ncDirty = false;
    SendMessage(window, WM_NCPAINT, 1, 0);
    if (!LiveWindow(window)) return;
  }
  if (w->erase && !w->update.Empty()) {
    w->erase = false;
    auto area = std::make_shared<Region>(w->update);
    RECT c = ScreenClientRect(window);
    area->Offset(c.left, c.top);
    HDC dc = NewWindowDc(window, StyleFlags(window), area);
    SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    FreeDeviceContext(dc);
  }
  if (children && LiveWindow(window))
    for (HWND c : std::vector<HWND>(w->children)) EraseNow(c, true);
}

HWND FindDirty(HWND window, HWND filter, bool inside) {
  WindowObject* w = LiveWindow(window);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  inside = inside || window == filter || !filter;
  if (inside && window != wm::Windows().Desktop() && (!w->update.Empty() || w->ncDirty)) return window;
  for (HWND c : w->children)
    if (HWND found = FindDirty(c, filter, inside)) return found;
  return nullptr;
}

bool NeedsPaint(const WindowObject& w) { return !w.update.Empty() || w.ncDirty; }

// Sends WM_PAINT now to a shown window and, when asked, its shown children, parents first;
// each at most once, so a window that never validates cannot hold the caller.
void PaintNow(HWND window, bool children) {
  if (!IsVisibleOnScreen(window)) return;
  std::vector<HWND> order{window};
  for (size_t i = 0; children && i < order.size(); ++i)
    if (WindowObject* w = LiveWindow(order[i]))
      for (HWND c : w->children)
        if (c->style & WS_VISIBLE) order.push_back(c);
  for (HWND w : order) {
    WindowObject* o = LiveWindow(w);
    if (o && w != wm::Windows().Desktop() && NeedsPaint(*o) && IsVisibleOnScreen(w)) SendMessage(w, WM_PAINT, 0, 0);
  }
}

}  // namespace

HWND NextWindowToPaint(HWND filter) {
  EnsureDesktop();
  return FindDirty(wm::Windows().Desktop(), filter, false);
}

HDC GetDC(HWND window) {
  if (window && !LiveWindow(window)) return nullptr;
  return NewWindowDc(window, StyleFlags(window), nullptr);
}

HDC GetWindowDC(HWND window) {
  if (window && !LiveWindow(window)) return nullptr;
  return NewWindowDc(window, DCX_WINDOW | StyleFlags(window), nullptr);
}

HDC GetDCEx(HWND window, HRGN clip, DWORD flags) {
  WindowObject* w = LiveWindow(window);
  if (window && !w) return nullptr;
  RegionObject* r = LiveRegion(clip);
  std::shared_ptr<Region> area;
  if (r && (flags & DCX_INTERSECTRGN)) area = std::make_shared<Region>(r->region);
  if (r && (flags & DCX_EXCLUDERGN))
    area = std::make_shared<Region>(Region(wm::Screen().Bounds()).Subtract(r->region));
  HDC dc = NewWindowDc(window, flags, area);
  if (w && (flags & DCX_VALIDATE) && (flags & DCX_INTERSECTUPDATE)) {
    w->update = Region();
    w->erase = false;
  }
  return dc;
}

int ReleaseDC(HWND, HDC dc) {
  DeviceContext* d = LiveDc(dc);
  if (!d || d->kind == DeviceContext::Kind::Memory) return 0;
  FreeDeviceContext(d);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  DeviceContext* d = LiveDc(dc);
  return d ? d->window : nullptr;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  WindowObject* w = LiveWindow(window);
  if (!w || !paint) return nullptr;
  HideCaretForPaint(window);
  if (w->ncDirty) {
    w->ncDirty = false;
    SendMessage(window, WM_NCPAINT, 1, 0);
    if (!LiveWindow(window)) return nullptr;
  }
  Region update = w->update;
  bool erase = w->erase;
  w->update = Region();
  w->erase = false;
  auto area = std::make_shared<Region>(update);
  RECT c = ScreenClientRect(window);
  area->Offset(c.left, c.top);
  HDC dc = NewWindowDc(window, StyleFlags(window), area);
  paint->hdc = dc;
  paint->rcPaint = update.Bounds();
  paint->fErase = FALSE;
  if (erase) paint->fErase = SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(nullptr, paint->hdc);
  RestoreCaretAfterPaint(window);
  return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
  EnsureDesktop();
  if (!window) window = wm::Windows().Desktop();
  WindowObject* w = LiveWindow(window);
  if (!w) return FALSE;
  RECT client = ScreenClientRect(window);
  Region area;
  if (RegionObject* r = LiveRegion(region)) {
    area = r->region;
    area.Offset(client.left, client.top);
  } else if (rect) {
    area = Region(RECT{rect->left + client.left, rect->top + client.top, rect->right + client.left, rect->bottom + client.top});
  } else {
    area = Region((flags & RDW_FRAME) ? ScreenRect(window) : client);
  }
  if (window == wm::Windows().Desktop() && (flags & RDW_INVALIDATE)) {
    ExposeScreenRegion(area, nullptr);
  } else {
    ChangeUpdate(window, area, flags);
  }
  wm::Screen().MarkChanged();
  if (flags & (RDW_ERASENOW | RDW_UPDATENOW)) EraseNow(window, !(flags & RDW_NOCHILDREN));
  if (flags & RDW_UPDATENOW) PaintNow(window, !(flags & RDW_NOCHILDREN));
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  return RedrawWindow(window, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
  return RedrawWindow(window, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND window, const RECT* rect) {
  return RedrawWindow(window, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND window, HRGN region) {
  return RedrawWindow(window, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

// Paints the window and its dirty children now; hidden windows wait until they are shown.
BOOL UpdateWindow(HWND window) {
  if (!LiveWindow(window)) return FALSE;
  PaintNow(window, true);
  return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* out, BOOL erase) {
  WindowObject* w = LiveWindow(window);
  if (!w) return FALSE;
  if (out) *out = w->update.Bounds();
  if (erase && !w->update.Empty()) EraseNow(window, false);
  return w->update.Empty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND window, HRGN out, BOOL erase) {
  WindowObject* w = LiveWindow(window);
  RegionObject* r = LiveRegion(out);
  if (!w || !r) return ERROR;
  r->region = w->update;
  if (erase && !w->update.Empty()) EraseNow(window, false);
  return r->region.Complexity();
}

namespace {

// Moves the desktop's pixels that land in a screen region by (dx, dy), in place. Rows are
// taken against the direction of the move (and spans within a row likewise), so every source
// is read before a write can reach it. Only pixels whose source and destination both lie on
// the surface move.
void MovePixels(const Region& destination, int dx, int dy) {
  const Surface& surface = wm::Screen().Pixels();
  const RECT screen{0, 0, surface.width, surface.height};
  const RECT fromScreen{dx, dy, surface.width + dx, surface.height + dy};
  struct Span {
    int y, left, right;
  };
  const Region moving = destination.Intersect(screen).Intersect(fromScreen);
  std::vector<Span> spans;
  for (const RECT& r : moving.Rects())
    for (int y = r.top; y < r.bottom; ++y) spans.push_back(Span{y, r.left, r.right});
  std::sort(spans.begin(), spans.end(), [dx, dy](const Span& a, const Span& b) {
    if (a.y != b.y) return dy > 0 ? a.y > b.y : a.y < b.y;
    return dx > 0 ? a.left > b.left : a.left < b.left;
  });
  for (const Span& s : spans)
    std::memmove(surface.Row(s.y) + s.left, surface.Row(s.y - dy) + (s.left - dx),
                 static_cast<size_t>(s.right - s.left) * sizeof(std::uint32_t));
  wm::Screen().MarkChanged();
}

// Scrolls part of a window's client area (client coordinates): the pixels that can be seen
// move; the pending update region moves with them; what was uncovered, or would have come
// from where the window cannot be seen, is answered (client coordinates) for painting.
Region ScrollArea(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, bool moveChildren) {
  WindowObject* w = LiveWindow(window);
  RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  RECT source = scroll ? RectIntersection(*scroll, client) : client;
  RECT bounds = clip ? RectIntersection(*clip, client) : client;
  RECT c = ScreenClientRect(window);
  Region visible = IsLocked(window) ? Region() : VisibleRegion(window, true, true);
  visible.Offset(-c.left, -c.top);
  Region moved = visible.Intersect(source);
  moved.Offset(dx, dy);
  moved = moved.Intersect(bounds).Intersect(visible);
  Region onScreen = moved;
  onScreen.Offset(c.left, c.top);
  MovePixels(onScreen, dx, dy);
  Region movedUpdate = w->update.Intersect(source);
  movedUpdate.Offset(dx, dy);
  w->update = w->update.Subtract(moved).Union(movedUpdate.Intersect(moved));
  Region shifted(source);
  shifted.Offset(dx, dy);
  Region uncovered = Region(source).Union(shifted).Intersect(bounds).Subtract(moved);
  if (moveChildren)
    for (HWND ch : std::vector<HWND>(w->children)) {
      WindowObject* child = LiveWindow(ch);
      if (child) SetWindowPos(ch, nullptr, child->rect.left + dx, child->rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  return uncovered;
}

}  // namespace

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip) {
  UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(window, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR ? TRUE : FALSE;
}

// One window at a time may be locked; unlocking paints what its contexts would have drawn.
BOOL LockWindowUpdate(HWND window) {
  EnsureDesktop();
  DesktopScreen& screen = wm::Screen();
  if (window) {
    if (!LiveWindow(window) || (screen.Locked() && LiveWindow(screen.Locked()))) return FALSE;
    screen.Lock(window);
    BumpLayoutSerial();  // contexts already out ask again, and find it locked
    return TRUE;
  }
  if (!screen.Locked()) return FALSE;
  Region drawn = screen.Unlock();
  BumpLayoutSerial();
  ExposeScreenRegion(drawn, nullptr);
  return TRUE;
}

int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags) {
  if (!LiveWindow(window) || window == wm::Windows().Desktop()) return ERROR;
  Region uncovered = ScrollArea(window, dx, dy, scroll, clip, (flags & SW_SCROLLCHILDREN) != 0);
  if (RegionObject* r = LiveRegion(update)) r->region = uncovered;
  if (updateRect) *updateRect = uncovered.Bounds();
  if ((flags & SW_INVALIDATE) && !uncovered.Empty() && LiveWindow(window)) {
    RECT c = ScreenClientRect(window);
    Region area = uncovered;
    area.Offset(c.left, c.top);
    ChangeUpdate(window, area, RDW_INVALIDATE | RDW_NOCHILDREN | ((flags & SW_ERASE) ? RDW_ERASE : 0));
    wm::Screen().MarkChanged();
  }
  return uncovered.Complexity();
}
