// The modal loops of the non-client area: dragging by the caption, sizing by the border,
// and pressing a caption button.

#include <algorithm>

#include "platform/user/HookService.h"
#include "platform/user/Window.h"

namespace {

RECT ParentRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w->rect;
}

// The rectangle after the mouse moved by (dx, dy) from where sizing began.
RECT Sized(RECT r, int edge, int dx, int dy, const MINMAXINFO& mmi) {
  bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  int minW = mmi.ptMinTrackSize.x, minH = mmi.ptMinTrackSize.y;
  int maxW = std::max(minW, static_cast<int>(mmi.ptMaxTrackSize.x));
  int maxH = std::max(minH, static_cast<int>(mmi.ptMaxTrackSize.y));
  if (left) r.left = std::clamp<LONG>(r.left + dx, r.right - maxW, r.right - minW);
  if (right) r.right = std::clamp<LONG>(r.right + dx, r.left + minW, r.left + maxW);
  if (top) r.top = std::clamp<LONG>(r.top + dy, r.bottom - maxH, r.bottom - minH);
  if (bottom) r.bottom = std::clamp<LONG>(r.bottom + dy, r.top + minH, r.top + maxH);
  return r;
}

void Apply(HWND window, const RECT& r) {
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void RunMoveSizeLoop(HWND window, WPARAM command) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  bool moving = (command & 0xFFF0) == SC_MOVE;
  int edge = static_cast<int>(command & 0x0F);
  RECT original = ParentRect(window);
  if (wm::Hooks().Call(WH_CBT, HCBT_MOVESIZE, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&original))) return;
  MINMAXINFO mmi;
  mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  POINT start;
  GetCursorPos(&start);
  SetCapture(window);
  SendMessage(window, WM_ENTERSIZEMOVE, 0, 0);
  MSG msg;
  bool running = true;
  while (running && LiveWindow(window) && GetCapture() == window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
      break;
    }
    if (CallMsgFilter(&msg, MSGF_NEXTWINDOW + 1)) continue;
    switch (msg.message) {
      case WM_MOUSEMOVE: {
        int dx = msg.pt.x - start.x, dy = msg.pt.y - start.y;
        RECT r = moving ? RECT{original.left + dx, original.top + dy, original.right + dx, original.bottom + dy}
                        : Sized(original, edge, dx, dy, mmi);
        SendMessage(window, moving ? WM_MOVING : WM_SIZING, moving ? 0 : static_cast<WPARAM>(edge), reinterpret_cast<LPARAM>(&r));
        Apply(window, r);
        break;
      }
      case WM_LBUTTONUP: running = false; break;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          Apply(window, original);
          running = false;
        } else if (msg.wParam == VK_RETURN) {
          running = false;
        }
        break;
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_CHAR: case WM_KEYUP: break;
      default:
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
  }
  if (GetCapture() == window) ReleaseCapture();
  if (LiveWindow(window)) SendMessage(window, WM_EXITSIZEMOVE, 0, 0);
}

void TrackCaptionButton(HWND window, int hit) {
  WindowObject* w = LiveWindow(window);
  RECT button = CaptionButtonRect(window, hit);
  if (!w || IsRectEmpty(&button)) return;
  if (hit == HTMAXBUTTON && !(w->style & WS_MAXIMIZEBOX)) return;
  if (hit == HTMINBUTTON && !(w->style & WS_MINIMIZEBOX)) return;
  auto inside = [&](POINT screen) {
    RECT wr = ScreenRect(window);
    POINT p{screen.x - wr.left, screen.y - wr.top};
    return PtInRect(&button, p) != FALSE;
  };
  w->pressedButton = hit;
  PaintNonClient(window);
  SetCapture(window);
  MSG msg;
  bool pressed = true;
  while (LiveWindow(window) && GetCapture() == window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      bool now = inside(msg.pt);
      if (now != pressed) {
        pressed = now;
        w->pressedButton = now ? hit : 0;
        PaintNonClient(window);
      }
    } else if (msg.message == WM_LBUTTONUP) {
      pressed = inside(msg.pt);
      break;
    } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  if (GetCapture() == window) ReleaseCapture();
  if (!LiveWindow(window)) return;
  w->pressedButton = 0;
  PaintNonClient(window);
  if (!pressed) return;
  WPARAM command = hit == HTCLOSE ? SC_CLOSE : hit == HTMINBUTTON ? SC_MINIMIZE
                                           : (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  SendMessage(window, WM_SYSCOMMAND, command, 0);
}
