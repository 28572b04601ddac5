// Moving, sizing, stacking, showing, hiding, minimizing and maximizing windows.

#include <algorithm>

#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/Window.h"
#include "platform/user/WindowArrange.h"
#include "platform/user/WindowRegistry.h"

RECT NonClientInsets(DWORD style, DWORD exStyle, bool menu);

namespace {

bool OwnedBy(HWND window, HWND owner) {
  for (WindowObject* w = LiveWindow(window); w && w->owner; w = LiveWindow(w->owner))
    if (w->owner == owner) return true;
  return false;
}

// A window owned by a topmost window is topmost too, so it never falls behind its owner.
bool OwnerIsTopmost(const WindowObject& w) {
  for (WindowObject* o = LiveWindow(w.owner); o; o = LiveWindow(o->owner))
    if (o->exStyle & WS_EX_TOPMOST) return true;
  return false;
}

// Windows owned by a top-level window stay above it, in their own order (topmost with it).
void KeepOwnedAbove(std::vector<HWND>& list, HWND owner) {
  std::vector<HWND> owned;
  for (HWND w : list)
    if (OwnedBy(w, owner)) owned.push_back(w);
  if (owned.empty()) return;
  if (LiveWindow(owner)->exStyle & WS_EX_TOPMOST)
    for (HWND w : owned) LiveWindow(w)->exStyle |= WS_EX_TOPMOST;
  list.erase(std::remove_if(list.begin(), list.end(), [&](HWND w) { return OwnedBy(w, owner); }), list.end());
  list.insert(std::find(list.begin(), list.end(), owner), owned.begin(), owned.end());
}

void Restack(WindowObject& w, HWND window, HWND after) {
  WindowObject* p = LiveWindow(w.parent);
  if (!p) return;
  auto& list = p->children;
  list.erase(std::remove(list.begin(), list.end(), window), list.end());
  if (after == HWND_TOPMOST || (after != HWND_NOTOPMOST && OwnerIsTopmost(w))) w.exStyle |= WS_EX_TOPMOST;
  if (after == HWND_NOTOPMOST) w.exStyle &= ~WS_EX_TOPMOST;
  if (after == HWND_BOTTOM) {
    list.push_back(window);
    return;
  }
  auto pos = list.begin();
  if (after != HWND_TOP && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
    auto it = std::find(list.begin(), list.end(), after);
    pos = it == list.end() ? list.begin() : it + 1;
  } else if (!(w.exStyle & WS_EX_TOPMOST)) {
    // Ordinary windows stay below the topmost ones.
    while (pos != list.end() && ((*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
  }
  list.insert(pos, window);
  KeepOwnedAbove(list, window);
}

void InvalidateWhole(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  w->ncDirty = true;
  w->erase = true;
  w->update = Region(RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top});
  for (HWND c : w->children) InvalidateWhole(c);
}

void ComputeClient(HWND window) {
  WindowObject* w = LiveWindow(window);
  RECT calc = w->rect;
  SendMessage(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
  if (!LiveWindow(window)) return;
  w->client = RECT{calc.left - w->rect.left, calc.top - w->rect.top, calc.right - w->rect.left,
                   calc.bottom - w->rect.top};
  if (w->client.right < w->client.left) w->client.right = w->client.left;
  if (w->client.bottom < w->client.top) w->client.bottom = w->client.top;
}

bool IsTopLevel(const WindowObject& w) { return w.parent == wm::Windows().Desktop(); }

// The focus inside a hidden child goes to its parent; a hidden top-level window passes
// activation (and with it the focus) on.
void LoseActivationAndFocus(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  if (IsTopLevel(*w)) {
    if (wm::Focus().Active() == window) ActivateNextAfterLosing(window);
  } else if (IsSelfOrChild(wm::Focus().Focused(), window)) {
    SetFocus(w->parent);
  }
  if (IsSelfOrChild(wm::Focus().Focused(), window)) SetFocus(nullptr);
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
  WindowObject* w = LiveWindow(window);
  if (!w || window == wm::Windows().Desktop()) return FALSE;
  bool wasVisible = w->style & WS_VISIBLE;
  if (wasVisible) flags &= ~SWP_SHOWWINDOW;
  else flags &= ~SWP_HIDEWINDOW;
  WINDOWPOS pos{window, after, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) pos.x = w->rect.left, pos.y = w->rect.top;
  if (flags & SWP_NOSIZE) pos.cx = w->rect.right - w->rect.left, pos.cy = w->rect.bottom - w->rect.top;
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessage(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!LiveWindow(window)) return FALSE;
  }
  Region oldVisible = VisibleRegion(window, false, false);
  RECT oldRect = w->rect, oldClient = w->client;
  if (!(pos.flags & SWP_NOZORDER)) Restack(*w, window, pos.hwndInsertAfter);
  // Far beyond any screen, but edges that still add up without overflowing.
  constexpr int kFarthest = 1 << 29;
  pos.x = std::clamp(pos.x, -kFarthest, kFarthest);
  pos.y = std::clamp(pos.y, -kFarthest, kFarthest);
  pos.cx = std::clamp(pos.cx, 0, kFarthest);
  pos.cy = std::clamp(pos.cy, 0, kFarthest);
  w->rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  bool sized = w->rect.right - w->rect.left != oldRect.right - oldRect.left ||
               w->rect.bottom - w->rect.top != oldRect.bottom - oldRect.top;
  if (sized || (pos.flags & SWP_FRAMECHANGED)) ComputeClient(window);
  if (!LiveWindow(window)) return FALSE;
  if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  BumpLayoutSerial();
  bool moved = w->rect.left != oldRect.left || w->rect.top != oldRect.top;
  bool clientChanged = !(w->client == oldClient) || sized;
  if ((pos.flags & SWP_SHOWWINDOW) && !(pos.flags & SWP_NOACTIVATE) && IsTopLevel(*w))
    ActivateWindow(window, WA_ACTIVE, false);
  if (!LiveWindow(window)) return FALSE;
  Region newVisible = VisibleRegion(window, false, false);
  ExposeScreenRegion(oldVisible.Subtract(newVisible), window);
  bool changed = moved || sized || (pos.flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED)) || !(pos.flags & SWP_NOZORDER);
  if (changed && (w->style & WS_VISIBLE) && !(pos.flags & SWP_NOREDRAW)) {
    InvalidateWhole(window);
    wm::Screen().MarkChanged();
  }
  if ((pos.flags & SWP_SHOWWINDOW) && !(pos.flags & SWP_NOREDRAW))
    RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_FRAME | RDW_NOCHILDREN);
  if (!LiveWindow(window)) return FALSE;
  // The flags say what really changed.
  pos.flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
  if (!moved) pos.flags |= SWP_NOMOVE;
  if (!clientChanged) pos.flags |= SWP_NOSIZE;
  pos.x = w->rect.left;
  pos.y = w->rect.top;
  pos.cx = w->rect.right - w->rect.left;
  pos.cy = w->rect.bottom - w->rect.top;
  // A child placed without SWP_NOACTIVATE hears that it is being activated (an MDI child
  // becomes the active one).
  if ((w->style & WS_CHILD) && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW))) {
    SendMessage(window, WM_CHILDACTIVATE, 0, 0);
    if (!LiveWindow(window)) return FALSE;
  }
  SendMessage(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  // A hidden window gives up activation and the focus after it has heard it is hidden.
  if (pos.flags & SWP_HIDEWINDOW) LoseActivationAndFocus(window);
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(window, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

namespace {

void Place(HWND window, const RECT& r, DWORD setStyle, DWORD clearStyle, UINT flags) {
  WindowObject* w = LiveWindow(window);
  w->style = (w->style & ~clearStyle) | setStyle;
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags | SWP_FRAMECHANGED);
}

}  // namespace

namespace {

// The maximised rectangle the window asks for with WM_GETMINMAXINFO: by default the work
// area (a child: its parent's client area) with the sizing frame beyond its edges.
RECT MaximizedRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  RECT area;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  if (w->style & WS_CHILD) GetClientRect(w->parent, &area);
  int frame = (w->style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : 0;
  MINMAXINFO mmi;
  mmi.ptMaxPosition = POINT{area.left - frame, area.top - frame};
  mmi.ptMaxSize = POINT{area.right - area.left + 2 * frame, area.bottom - area.top + 2 * frame};
  mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
              mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

// An overlapped window hears its size and place when it is first shown, not when it is made.
void SendFirstSizeAndMove(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w || !w->sizePending || !(w->style & WS_VISIBLE)) return;
  w->sizePending = false;
  WPARAM kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessage(window, WM_SIZE, kind, MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
  if (!LiveWindow(window)) return;
  SendMessage(window, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
}

BOOL ShowWindowNow(HWND window, int command);

}  // namespace

BOOL ShowWindow(HWND window, int command) {
  BOOL wasVisible = ShowWindowNow(window, command);
  SendFirstSizeAndMove(window);
  return wasVisible;
}

namespace {

BOOL ShowWindowNow(HWND window, int command) {
  WindowObject* w = LiveWindow(window);
  if (!w || window == wm::Windows().Desktop()) return FALSE;
  bool wasVisible = w->style & WS_VISIBLE;
  bool child = w->style & WS_CHILD;
  UINT activate = child ? SWP_NOACTIVATE | SWP_NOZORDER : 0;
  switch (command) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      SendMessage(window, WM_SHOWWINDOW, FALSE, 0);
      SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    case SW_MINIMIZE: case SW_SHOWMINIMIZED: case SW_SHOWMINNOACTIVE:
      if (wm::Hooks().Call(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(window), command)) return wasVisible;
      if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->restoreRect = w->rect;
      if (!wasVisible) SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
      Place(window, FreeIconSlot(window), WS_MINIMIZE | WS_VISIBLE, WS_MAXIMIZE, activate | SWP_SHOWWINDOW | SWP_NOACTIVATE);
      if (wm::Focus().Active() == window) ActivateNextAfterLosing(window);
      return wasVisible;
    case SW_MAXIMIZE: {
      if (wm::Hooks().Call(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(window), command)) return wasVisible;
      if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->restoreRect = w->rect;
      RECT r = MaximizedRect(window);
      if (!LiveWindow(window)) return wasVisible;
      if (!wasVisible) SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
      // Maximising is the one command that activates a child window too (WM_CHILDACTIVATE).
      Place(window, r, WS_MAXIMIZE | WS_VISIBLE, WS_MINIMIZE, SWP_SHOWWINDOW);
      return wasVisible;
    }
    case SW_RESTORE: case SW_SHOWNORMAL: case SW_SHOWDEFAULT:
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        if (wm::Hooks().Call(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(window), command)) return wasVisible;
        if (!wasVisible) SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
        Place(window, w->restoreRect, WS_VISIBLE, WS_MINIMIZE | WS_MAXIMIZE, activate | SWP_SHOWWINDOW);
        return wasVisible;
      }
      break;
  }
  if (wasVisible) {
    // Showing a visible window changes nothing; the commands that also restore activate it.
    bool activates = command != SW_SHOW && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
    if (activates && !child) ActivateWindow(window, WA_ACTIVE, true);
    return TRUE;
  }
  UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | activate;
  if (command == SW_SHOWNA || command == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, flags);
  return FALSE;
}

}  // namespace

BOOL IsWindowVisible(HWND window) { return IsVisibleOnScreen(window) ? TRUE : FALSE; }

BOOL IsIconic(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL BringWindowToTop(HWND window) {
  return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  RECT ins = NonClientInsets(style, exStyle, menu != FALSE);
  rect->left -= ins.left;
  rect->top -= ins.top;
  rect->right += ins.right;
  rect->bottom += ins.bottom;
  return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* out) {
  WindowObject* w = LiveWindow(window);
  if (!w || !out) return FALSE;
  out->showCmd = (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  out->rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->restoreRect : w->rect;
  return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  WindowObject* w = LiveWindow(window);
  if (!w || !placement) return FALSE;
  const RECT& r = placement->rcNormalPosition;
  if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    w->restoreRect = r;
  } else {
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(window, static_cast<int>(placement->showCmd));
  return TRUE;
}

void FitTopLevelWindowsToScreen() {
  RECT area;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  // A window keeps at least this much of its caption on the work area, to be taken by it.
  const int reach = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
  for (HWND top : std::vector<HWND>(wm::Windows().Desktop()->children)) {
    WindowObject* w = LiveWindow(top);
    if (!w || (w->style & WS_MINIMIZE)) continue;
    const UINT quiet = SWP_NOZORDER | SWP_NOACTIVATE;
    if (w->style & WS_MAXIMIZE) {
      const RECT r = MaximizedRect(top);
      if (LiveWindow(top)) SetWindowPos(top, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, quiet);
      continue;
    }
    const RECT r = w->rect;
    int x, y;
    if (w->exStyle & WS_EX_TOOLWINDOW) {
      // A tool window is wanted at hand: wholly on the work area where it fits, else with its
      // top-left corner there.
      x = std::max<int>(area.left, std::min<int>(r.left, area.right - (r.right - r.left)));
      y = std::max<int>(area.top, std::min<int>(r.top, area.bottom - (r.bottom - r.top)));
    } else {
      const int rightmost = std::max<int>(area.left, area.right - reach);
      x = std::clamp<int>(r.left, std::min<int>(rightmost, area.left - (r.right - r.left) + reach), rightmost);
      y = std::clamp<int>(r.top, area.top, std::max<int>(area.top, area.bottom - reach));
    }
    if (x != r.left || y != r.top) SetWindowPos(top, nullptr, x, y, 0, 0, quiet | SWP_NOSIZE);
  }
}

