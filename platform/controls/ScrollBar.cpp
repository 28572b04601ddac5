// The SCROLLBAR control: one message switch into the window interface's scroll-bar code.

#include "platform/controls/ScrollBar.h"

#include "platform/user/SystemClasses.h"

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterScrollBarClass);

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLong(window, GWL_STYLE)); }

bool IsSizeBox(HWND window) { return Style(window) & (SBS_SIZEBOX | SBS_SIZEGRIP); }

// The align styles give the bar the system's thickness at one edge of the rectangle asked for.
void AlignToEdge(HWND window, const CREATESTRUCT& cs) {
  DWORD style = static_cast<DWORD>(cs.style);
  int x = cs.x, y = cs.y, w = cs.cx, h = cs.cy;
  if (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) {
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    if (style & SBS_SIZEBOXBOTTOMRIGHTALIGN) {
      x += w - cx;
      y += h - cy;
    }
    if (style & (SBS_SIZEBOXTOPLEFTALIGN | SBS_SIZEBOXBOTTOMRIGHTALIGN)) {
      w = cx;
      h = cy;
    }
  } else if (style & SBS_VERT) {
    int thick = GetSystemMetrics(SM_CXVSCROLL);
    if (style & SBS_RIGHTALIGN) x += w - thick;
    if (style & (SBS_LEFTALIGN | SBS_RIGHTALIGN)) w = thick;
  } else {
    int thick = GetSystemMetrics(SM_CYHSCROLL);
    if (style & SBS_BOTTOMALIGN) y += h - thick;
    if (style & (SBS_TOPALIGN | SBS_BOTTOMALIGN)) h = thick;
  }
  if (x != cs.x || y != cs.y || w != cs.cx || h != cs.cy)
    SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT OnPaint(HWND window, HDC given) {
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(window, &ps);
  if (!dc) return 0;
  if (IsSizeBox(window)) {
    RECT r;
    GetClientRect(window, &r);
    if (Style(window) & SBS_SIZEGRIP) DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    else FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    scrollbars::PaintControl(window, dc);
  }
  if (!given) EndPaint(window, &ps);
  return 0;
}

// The sizable top-level window a size box sizes; null for none.
HWND SizedBy(HWND sizeBox) {
  HWND top = GetAncestor(sizeBox, GA_ROOT);
  return top && (GetWindowLong(top, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(top) ? top : nullptr;
}

LRESULT OnButtonDown(HWND window, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(window, &p);
  if (IsSizeBox(window)) {
    // A size box sizes its window by the bottom-right corner.
    if (HWND top = SizedBy(window)) SendMessage(top, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, MAKELPARAM(p.x, p.y));
    return 0;
  }
  if ((Style(window) & WS_TABSTOP) && GetFocus() != window) SetFocus(window);
  scrollbars::Track(window, SB_CTL, p);
  return 0;
}

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  if (IsSizeBox(window) && SizedBy(window)) {
    SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
    return TRUE;
  }
  return DefWindowProc(window, WM_SETCURSOR, wParam, lParam);
}

int Position(HWND window) {
  scrollbars::Values* v = scrollbars::ValuesOf(window, SB_CTL);
  return v ? v->pos : 0;
}

LRESULT SetPosition(HWND window, WPARAM pos, LPARAM redraw) {
  int previous = Position(window);
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = static_cast<int>(pos);
  scrollbars::SetValues(window, SB_CTL, info, redraw != 0);
  return previous;
}

LRESULT SetRange(HWND window, WPARAM min, LPARAM max, bool redraw) {
  int previous = Position(window);
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = static_cast<int>(min);
  info.nMax = static_cast<int>(max);
  scrollbars::SetValues(window, SB_CTL, info, redraw);
  return previous;
}

LRESULT GetRange(HWND window, WPARAM min, LPARAM max) {
  scrollbars::Values* v = scrollbars::ValuesOf(window, SB_CTL);
  if (int* out = reinterpret_cast<int*>(min)) *out = v ? v->min : 0;
  if (int* out = reinterpret_cast<int*>(max)) *out = v ? v->max : 0;
  return 0;
}

LRESULT EnableArrows(HWND window, WPARAM arrows) {
  scrollbars::Values* v = scrollbars::ValuesOf(window, SB_CTL);
  UINT wanted = static_cast<UINT>(arrows) & ESB_DISABLE_BOTH;
  if (!v || v->disabledArrows == wanted) return FALSE;
  v->disabledArrows = wanted;
  scrollbars::Redraw(window, SB_CTL);
  return TRUE;
}

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      AlignToEdge(window, *reinterpret_cast<const CREATESTRUCT*>(lParam));
      return 0;
    case WM_PAINT: case WM_PRINTCLIENT: return OnPaint(window, reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: return OnButtonDown(window, lParam);
    case WM_KEYDOWN: case WM_KEYUP:
      if (scrollbars::ControlKey(window, wParam, message == WM_KEYDOWN)) return 0;
      break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_ENABLE: case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      if (GetFocus() == window && !IsSizeBox(window)) scrollbars::ShowControlFocus(window, true);  // the thumb moved
      return 0;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      if (!IsSizeBox(window)) scrollbars::ShowControlFocus(window, message == WM_SETFOCUS);
      return 0;
    case SBM_SETPOS: return SetPosition(window, wParam, lParam);
    case SBM_GETPOS: return Position(window);
    case SBM_SETRANGE: return SetRange(window, wParam, lParam, false);
    case SBM_SETRANGEREDRAW: return SetRange(window, wParam, lParam, true);
    case SBM_GETRANGE: return GetRange(window, wParam, lParam);
    case SBM_ENABLE_ARROWS: return EnableArrows(window, wParam);
    case SBM_SETSCROLLINFO: {
      auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      return info ? scrollbars::SetValues(window, SB_CTL, *info, wParam != 0) : 0;
    }
    case SBM_GETSCROLLINFO:
      return scrollbars::GetValues(window, SB_CTL, reinterpret_cast<SCROLLINFO*>(lParam));
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterScrollBarClass() {
  RegisterControlClass(WC_SCROLLBAR, ScrollBarProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}
