// Window device contexts, update regions and the paint cycle.

#include "platform/user/Window.h"

namespace {

// A context on a window's part of the desktop; paintArea (screen) narrows it further.
HDC NewWindowDc(HWND window, bool full, std::shared_ptr<Region> paintArea) {
  EnsureDesktop();
  DeviceContext* dc = NewDeviceContext(window ? DeviceContext::Kind::Window : DeviceContext::Kind::Screen);
  dc->window = window;
  dc->fullWindow = full;
  dc->refresh = [window, full, paintArea](DeviceContext& target) {
    WindowManager& wm = Wm();
    target.surface = wm.surface;
    wm.presentPending = true;
    if (!window || window == wm.desktop) {
      target.origin = POINT{0, 0};
      target.visible = Region(RECT{0, 0, wm.config.width, wm.config.height});
    } else if (!LiveWindow(window)) {
      target.visible = Region();
    } else {
      RECT r = full ? ScreenRect(window) : ScreenClientRect(window);
      target.origin = POINT{r.left, r.top};
      target.visible = VisibleRegion(window, !full, (LiveWindow(window)->style & WS_CLIPCHILDREN) != 0);
    }
    if (paintArea) target.visible = target.visible.Intersect(*paintArea);
  };
  dc->Prepare();
  return dc;
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
    HDC dc = NewWindowDc(window, false, area);
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
  if (inside && window != Wm().desktop && (!w->update.Empty() || w->ncDirty)) return window;
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
    if (o && w != Wm().desktop && NeedsPaint(*o) && IsVisibleOnScreen(w)) SendMessage(w, WM_PAINT, 0, 0);
  }
}

}  // namespace

HWND NextWindowToPaint(HWND filter) {
  EnsureDesktop();
  return FindDirty(Wm().desktop, filter, false);
}

HDC GetDC(HWND window) {
  if (window && !LiveWindow(window)) return nullptr;
  return NewWindowDc(window, false, nullptr);
}

HDC GetWindowDC(HWND window) {
  if (window && !LiveWindow(window)) return nullptr;
  return NewWindowDc(window, true, nullptr);
}

HDC GetDCEx(HWND window, HRGN clip, DWORD flags) {
  if (window && !LiveWindow(window)) return nullptr;
  RegionObject* r = LiveRegion(clip);
  std::shared_ptr<Region> area;
  if (r && (flags & DCX_INTERSECTRGN)) area = std::make_shared<Region>(r->region);
  if (r && (flags & DCX_EXCLUDERGN))
    area = std::make_shared<Region>(Region(RECT{0, 0, Wm().config.width, Wm().config.height}).Subtract(r->region));
  return NewWindowDc(window, (flags & DCX_WINDOW) != 0, area);
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
  HDC dc = NewWindowDc(window, false, area);
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
  WindowManager& wm = Wm();
  if (!window) window = wm.desktop;
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
  if (window == wm.desktop && (flags & RDW_INVALIDATE)) {
    ExposeScreenRegion(area, nullptr);
  } else {
    ChangeUpdate(window, area, flags);
  }
  wm.presentPending = true;
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

// Scrolls a window's client area: the area is painted again rather than moved (the same
// result, simply), and the children move with it when asked.
bool ScrollArea(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, bool moveChildren) {
  WindowObject* w = LiveWindow(window);
  if (!w) return false;
  if (moveChildren)
    for (HWND c : std::vector<HWND>(w->children)) {
      WindowObject* child = LiveWindow(c);
      SetWindowPos(c, nullptr, child->rect.left + dx, child->rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  RECT area = scroll ? *scroll : RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  if (clip) area = RectIntersection(area, *clip);
  InvalidateRect(window, &area, TRUE);
  return true;
}

}  // namespace

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip) {
  return ScrollArea(window, dx, dy, scroll, clip, scroll == nullptr) ? TRUE : FALSE;
}

BOOL LockWindowUpdate(HWND) { return TRUE; }

int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags) {
  if (!ScrollArea(window, dx, dy, scroll, clip, (flags & SW_SCROLLCHILDREN) != 0)) return ERROR;
  WindowObject* w = LiveWindow(window);
  if (RegionObject* r = LiveRegion(update)) r->region = w->update;
  if (updateRect) *updateRect = w->update.Bounds();
  if (flags & SW_ERASE) w->erase = true;
  return w->update.Complexity();
}
