// The default window procedure: one switch into named handlers.

#include <algorithm>
#include <cstring>

#include "platform/user/HookService.h"
#include "platform/user/MenuObject.h"
#include "platform/user/Window.h"

namespace {

LRESULT OnNcCalcSize(HWND window, LPARAM lParam) {
  RECT* r = reinterpret_cast<RECT*>(lParam);  // the first rectangle, with or without params
  if (!r) return 0;
  *r = ClientFromWindowRect(window, *r);
  return 0;
}

LRESULT OnNcActivate(HWND window, WPARAM active) {
  LiveWindow(window)->ncActive = active != FALSE;
  PaintNonClient(window);
  return TRUE;
}

LRESULT OnActivate(HWND window, WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(window);
  return 0;
}

LRESULT OnMouseActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  if (w->style & WS_CHILD) {
    LRESULT r = SendMessage(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
    if (r) return r;
  }
  return MA_ACTIVATE;
}

HCURSOR StandardCursor(LPCSTR id) { return LoadCursor(nullptr, id); }

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  if ((w->style & WS_CHILD) && SendMessage(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  int hit = static_cast<short>(LOWORD(lParam));
  switch (hit) {
    case HTCLIENT:
      if (!w->cls->cursor) return FALSE;
      SetCursor(w->cls->cursor);
      return TRUE;
    case HTLEFT: case HTRIGHT: SetCursor(StandardCursor(IDC_SIZEWE)); return TRUE;
    case HTTOP: case HTBOTTOM: SetCursor(StandardCursor(IDC_SIZENS)); return TRUE;
    case HTTOPLEFT: case HTBOTTOMRIGHT: case HTSIZE: SetCursor(StandardCursor(IDC_SIZENWSE)); return TRUE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: SetCursor(StandardCursor(IDC_SIZENESW)); return TRUE;
    case HTERROR:
      if (HIWORD(lParam) == WM_LBUTTONDOWN) MessageBeep(0);
      break;
  }
  SetCursor(StandardCursor(IDC_ARROW));
  return TRUE;
}

LRESULT OnEraseBackground(HWND window, WPARAM wParam) {
  WindowObject* w = LiveWindow(window);
  if (!w->cls->background) return 0;
  RECT r;
  GetClientRect(window, &r);
  FillRect(reinterpret_cast<HDC>(wParam), &r, w->cls->background);
  return 1;
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT ps;
  if (BeginPaint(window, &ps)) EndPaint(window, &ps);
  return 0;
}

LRESULT OnGetText(HWND window, WPARAM size, LPARAM out) {
  WindowObject* w = LiveWindow(window);
  char* buffer = reinterpret_cast<char*>(out);
  if (!buffer || size == 0) return 0;
  size_t n = std::min<size_t>(w->text.size(), size - 1);
  std::memcpy(buffer, w->text.data(), n);
  buffer[n] = 0;
  return static_cast<LRESULT>(n);
}

// Help nobody answered goes on to the parent, or from a top-level window to its owner.
LRESULT OnHelp(HWND window, LPARAM info) {
  WindowObject* w = LiveWindow(window);
  HWND next = (w->style & WS_CHILD) ? GetParent(window) : GetWindow(window, GW_OWNER);
  return next ? SendMessage(next, WM_HELP, 0, info) : FALSE;
}

LRESULT OnSetText(HWND window, LPARAM text) {
  WindowObject* w = LiveWindow(window);
  w->text = text ? reinterpret_cast<const char*>(text) : "";
  if ((w->style & WS_CAPTION) == WS_CAPTION) PaintNonClient(window);
  return TRUE;
}

LRESULT OnWindowPosChanging(HWND window, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if ((pos->flags & SWP_NOSIZE) || (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) return 0;
  if (!(w->style & WS_THICKFRAME) && (w->style & (WS_POPUP | WS_CHILD))) return 0;
  MINMAXINFO mmi;
  mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (w->style & WS_THICKFRAME) {
    pos->cx = std::clamp<int>(pos->cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    pos->cy = std::clamp<int>(pos->cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
  }
  return 0;
}

LRESULT OnWindowPosChanged(HWND window, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (!(pos->flags & SWP_NOMOVE))
    SendMessage(window, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
  if (!(pos->flags & SWP_NOSIZE)) {
    WPARAM kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessage(window, WM_SIZE, kind, MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
  }
  return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM lParam) {
  if (wm::Hooks().Call(WH_CBT, HCBT_SYSCOMMAND, command, lParam)) return 0;
  WindowObject* w = LiveWindow(window);
  switch (command & 0xFFF0) {
    case SC_MOVE: case SC_SIZE: RunMoveSizeLoop(window, command); break;
    case SC_CLOSE:
      if (!(w->cls->style & CS_NOCLOSE)) SendMessage(window, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
    case SC_HSCROLL: case SC_VSCROLL:
      scrollbars::Track(window, (command & 0xFFF0) == SC_HSCROLL ? SB_HORZ : SB_VERT,
                        POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      break;
    case SC_KEYMENU:
      // Alt+'-' opens an MDI child's own system menu; the menu bar belongs to the top-level window.
      if ((w->exStyle & WS_EX_MDICHILD) && lParam == '-') {
        KeyMenu(window, ' ');
        break;
      }
      if (w->style & WS_CHILD) return SendMessage(TopLevelOf(window), WM_SYSCOMMAND, command, lParam);
      KeyMenu(window, static_cast<char>(lParam));
      break;
    case SC_MOUSEMENU: TrackMenuBar(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
  }
  return 0;
}

WPARAM SizeCommand(int hit) {
  switch (hit) {
    case HTLEFT: return SC_SIZE + WMSZ_LEFT;
    case HTRIGHT: return SC_SIZE + WMSZ_RIGHT;
    case HTTOP: return SC_SIZE + WMSZ_TOP;
    case HTTOPLEFT: return SC_SIZE + WMSZ_TOPLEFT;
    case HTTOPRIGHT: return SC_SIZE + WMSZ_TOPRIGHT;
    case HTBOTTOM: return SC_SIZE + WMSZ_BOTTOM;
    case HTBOTTOMLEFT: return SC_SIZE + WMSZ_BOTTOMLEFT;
    case HTBOTTOMRIGHT: case HTSIZE: return SC_SIZE + WMSZ_BOTTOMRIGHT;
  }
  return 0;
}

LRESULT OnNcLButtonDown(HWND window, WPARAM hit, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  switch (static_cast<int>(hit)) {
    case HTCAPTION:
      if (!(w->style & WS_MAXIMIZE)) SendMessage(window, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
      break;
    case HTCLOSE: case HTMINBUTTON: case HTMAXBUTTON: TrackCaptionButton(window, static_cast<int>(hit)); break;
    case HTHSCROLL: SendMessage(window, WM_SYSCOMMAND, SC_HSCROLL + HTHSCROLL, lParam); break;
    case HTVSCROLL: SendMessage(window, WM_SYSCOMMAND, SC_VSCROLL + HTVSCROLL, lParam); break;
    case HTMENU: case HTSYSMENU: SendMessage(window, WM_SYSCOMMAND, SC_MOUSEMENU + hit, lParam); break;
    default:
      if (WPARAM command = SizeCommand(static_cast<int>(hit)); command && (w->style & WS_THICKFRAME))
        SendMessage(window, WM_SYSCOMMAND, command, lParam);
  }
  return 0;
}

LRESULT OnNcLButtonDblClk(HWND window, WPARAM hit, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  if (hit == HTHSCROLL || hit == HTVSCROLL) return OnNcLButtonDown(window, hit, lParam);  // a second press
  if (hit == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
    SendMessage(window, WM_SYSCOMMAND, (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lParam);
  else if (hit == HTSYSMENU)
    SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, lParam);
  return 0;
}

LRESULT OnSysKeyDown(HWND window, WPARAM vk, LPARAM lParam) {
  if (vk == VK_F4 && (lParam & (1 << 29))) SendMessage(TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

// Draws the window into a caller's context: its frame, background and client as the flags
// ask, then its children in their places.
LRESULT OnPrint(HWND window, HDC dc, LPARAM flags) {
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(window)) return 0;
  WindowObject* w = LiveWindow(window);
  int saved = SaveDC(dc);
  POINT client{0, 0};
  if (flags & PRF_NONCLIENT) {
    PaintNonClientOn(window, dc);
    client = POINT{w->client.left, w->client.top};
  }
  OffsetViewportOrgEx(dc, client.x, client.y, nullptr);
  IntersectClipRect(dc, 0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top);
  if (flags & PRF_ERASEBKGND) SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (flags & PRF_CLIENT) SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if ((flags & PRF_CHILDREN) && LiveWindow(window)) {
    std::vector<HWND> children(w->children.rbegin(), w->children.rend());  // bottom first
    for (HWND c : children) {
      WindowObject* child = LiveWindow(c);
      if (!child || !(child->style & WS_VISIBLE)) continue;
      int inner = SaveDC(dc);
      OffsetViewportOrgEx(dc, child->rect.left, child->rect.top, nullptr);
      IntersectClipRect(dc, 0, 0, child->rect.right - child->rect.left, child->rect.bottom - child->rect.top);
      SendMessage(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
      RestoreDC(dc, inner);
    }
  }
  RestoreDC(dc, saved);
  return 0;
}

LRESULT OnSysChar(HWND window, WPARAM character, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  if (!(lParam & (1 << 29))) {  // a character of the menu mode without Alt: nothing matches
    MessageBeep(0);
    return 0;
  }
  if (character == VK_TAB || character == VK_ESCAPE) return 0;
  if (character == VK_SPACE && (w->style & WS_CHILD)) return SendMessage(w->parent, WM_SYSCHAR, character, lParam);
  SendMessage(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(character));
  return 0;
}

// Alt or F10 pressed and released alone enters the menu bar.
bool& MenuKeyArmed() {
  static bool armed = false;
  return armed;
}

LRESULT OnContextKeys(HWND window, UINT message, WPARAM vk, LPARAM lParam) {
  constexpr LPARAM kFromKeyboard = -1;
  bool repeat = lParam & (1 << 30);
  if (message == WM_SYSKEYDOWN || message == WM_KEYDOWN) {
    MenuKeyArmed() = (vk == VK_MENU || vk == VK_F10) && !repeat;
    if (vk == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
      MenuKeyArmed() = false;
      SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), kFromKeyboard);
    }
    if (message == WM_SYSKEYDOWN) return OnSysKeyDown(window, vk, lParam);
    return 0;
  }
  if (vk == VK_APPS && message == WM_KEYUP)
    SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), kFromKeyboard);
  if (message == WM_SYSKEYUP && (vk == VK_MENU || vk == VK_F10) && MenuKeyArmed()) {
    MenuKeyArmed() = false;
    SendMessage(TopLevelOf(window), WM_SYSCOMMAND, SC_KEYMENU, 0);
  }
  return 0;
}

// The right button's release asks for the context menu where it happened, on the screen.
LRESULT OnRightButtonUp(HWND window, UINT message, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (message == WM_RBUTTONUP) ClientToScreen(window, &p);
  SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.x, p.y));
  return 0;
}

// A child that shows no menu of its own hands the request to its parent; on a window's
// caption (or its icon) the request opens the system menu there.
LRESULT OnContextMenu(HWND window, WPARAM wParam, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam != -1 && (w->style & WS_SYSMENU) && reinterpret_cast<HWND>(wParam) == window) {
    LRESULT hit = SendMessage(window, WM_NCHITTEST, 0, lParam);
    if (hit == HTCAPTION || hit == HTSYSMENU) {
      TrackSystemMenuAt(window, p);
      return 0;
    }
  }
  if (w->style & WS_CHILD) SendMessage(w->parent, WM_CONTEXTMENU, wParam, lParam);
  return 0;
}

// Drawing off: the window keeps its place but is not drawn (nor validated) until it is on.
LRESULT OnSetRedraw(HWND window, WPARAM on) {
  WindowObject* w = LiveWindow(window);
  if (on) {
    w->style |= WS_VISIBLE;
  } else {
    RedrawWindow(window, nullptr, nullptr, RDW_ALLCHILDREN | RDW_VALIDATE);
    w->style &= ~WS_VISIBLE;
  }
  BumpLayoutSerial();
  return 0;
}

// The classic colours of the controls: window colours for edits and lists, the face colour
// for buttons, dialogs, static text and message boxes.
LRESULT OnCtlColor(UINT message, HDC dc) {
  if (message == WM_CTLCOLORSCROLLBAR) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
  bool window = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE));
}

LRESULT OnGetIcon(HWND window, WPARAM kind) {
  WindowObject* w = LiveWindow(window);
  if (kind == ICON_BIG) return reinterpret_cast<LRESULT>(w->bigIcon);
  if (kind == ICON_SMALL) return reinterpret_cast<LRESULT>(w->smallIcon);
  HICON icon = w->smallIcon ? w->smallIcon : w->bigIcon ? w->bigIcon : w->cls->icon;
  return reinterpret_cast<LRESULT>(icon);
}

LRESULT OnSetIcon(HWND window, WPARAM kind, LPARAM icon) {
  WindowObject* w = LiveWindow(window);
  HICON& slot = kind == ICON_BIG ? w->bigIcon : w->smallIcon;
  HICON previous = slot;
  slot = reinterpret_cast<HICON>(icon);
  if ((w->style & WS_CAPTION) == WS_CAPTION) PaintNonClient(window);
  return reinterpret_cast<LRESULT>(previous);
}

// The mouse left the frame: a caption button shown pressed comes up again.
LRESULT OnNcMouseLeave(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (w->pressedButton && GetCapture() != window) {
    w->pressedButton = 0;
    PaintNonClient(window);
  }
  return 0;
}

LRESULT ToParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowObject* w = LiveWindow(window);
  if (w->style & WS_CHILD) return SendMessage(w->parent, message, wParam, lParam);
  return 0;
}

}  // namespace

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!LiveWindow(window)) return 0;
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_NCCALCSIZE: return OnNcCalcSize(window, lParam);
    case WM_NCHITTEST: return NcHitTest(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: PaintNonClient(window); return 0;
    case WM_NCACTIVATE: return OnNcActivate(window, wParam);
    case WM_ACTIVATE: return OnActivate(window, wParam);
    case WM_MOUSEACTIVATE: return OnMouseActivate(window, wParam, lParam);
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(window, wParam);
    case WM_PAINT: return OnPaint(window);
    case WM_GETTEXT: return OnGetText(window, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(LiveWindow(window)->text.size());
    case WM_SETTEXT: return OnSetText(window, lParam);
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_HELP: return OnHelp(window, lParam);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(window, lParam);
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(window, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(window, wParam, lParam);
    case WM_NCLBUTTONDBLCLK: return OnNcLButtonDblClk(window, wParam, lParam);
    case WM_SYSKEYDOWN: case WM_KEYDOWN: case WM_SYSKEYUP: case WM_KEYUP:
      return OnContextKeys(window, message, wParam, lParam);
    case WM_SYSCHAR: return OnSysChar(window, wParam, lParam);
    case WM_RBUTTONUP: case WM_NCRBUTTONUP: return OnRightButtonUp(window, message, lParam);
    case WM_CONTEXTMENU: return OnContextMenu(window, wParam, lParam);
    case WM_SETREDRAW: return OnSetRedraw(window, wParam);
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
      return OnCtlColor(message, reinterpret_cast<HDC>(wParam));
    case WM_GETICON: return OnGetIcon(window, wParam);
    case WM_SETICON: return OnSetIcon(window, wParam, lParam);
    case WM_NCMOUSELEAVE: return OnNcMouseLeave(window);
    case WM_MOUSEWHEEL: return ToParent(window, message, wParam, lParam);
    case WM_PRINT: return OnPrint(window, reinterpret_cast<HDC>(wParam), lParam);
    case WM_CANCELMODE:
      if (MenuLoopOwner() == window) EndMenu();
      if (GetCapture() == window) ReleaseCapture();
      return 0;
  }
  return 0;
}
