// The default procedures of MDI frames and children, the MDI keys, and MDI children made
// with CreateMDIWindow or CreateWindowEx.

#include <algorithm>

#include "platform/user/MdiClient.h"
#include "platform/user/MdiScroll.h"

namespace {

// ---- The frame ----

// A choice from the window menu names a child by its id; a system command from the merged
// window menu of a maximised child goes to that child.
LRESULT OnFrameCommand(MdiClient& client, WPARAM wParam, LPARAM lParam) {
  HWND child = lParam ? nullptr : client.ChildWithId(LOWORD(wParam));  // not a control's notice
  if (child) {
    if (IsIconic(child)) ShowWindow(child, SW_RESTORE);
    SendMessage(client.Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    return 0;
  }
  if ((LOWORD(wParam) & 0xF000) == 0xF000)
    if (HWND maximized = client.Maximized()) return SendMessage(maximized, WM_SYSCOMMAND, LOWORD(wParam), lParam);
  return 0;
}

// The active child's frame is drawn active and inactive with the frame's.
LRESULT OnFrameNcActivate(MdiClient& client, HWND frame, WPARAM wParam, LPARAM lParam) {
  if (HWND child = client.Active()) SendMessage(child, WM_NCACTIVATE, wParam, lParam);
  return DefWindowProc(frame, WM_NCACTIVATE, wParam, lParam);
}

// The client fills the frame's client area (a minimised frame leaves it as it is).
LRESULT OnFrameSize(HWND client, WPARAM kind, LPARAM lParam) {
  if (kind != SIZE_MINIMIZED) MoveWindow(client, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return 0;
}

LRESULT OnFrameSetFocus(HWND client) {
  if (IsWindowVisible(client) && IsWindowEnabled(client)) SetFocus(client);
  return 0;
}

LRESULT OnFrameSetText(MdiClient& client, LPARAM text) {
  client.SetFrameTitle(text ? reinterpret_cast<const char*>(text) : "");
  return TRUE;
}

// ---- The children ----

// A child maximises to put its client area over the whole MDI client.
LRESULT OnChildGetMinMaxInfo(MdiClient& client, HWND child, LPARAM lParam) {
  auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
  if (!mmi) return 0;
  RECT r = client.MaximizedChildRect(child);
  mmi->ptMaxPosition = POINT{r.left, r.top};
  mmi->ptMaxSize = POINT{r.right - r.left, r.bottom - r.top};
  mmi->ptMaxTrackSize.x = std::max(mmi->ptMaxTrackSize.x, mmi->ptMaxSize.x);
  mmi->ptMaxTrackSize.y = std::max(mmi->ptMaxTrackSize.y, mmi->ptMaxSize.y);
  return 0;
}

LRESULT OnChildSysCommand(MdiClient& client, HWND child, WPARAM command, LPARAM lParam) {
  switch (command & 0xFFF0) {
    case SC_NEXTWINDOW: SendMessage(client.Client(), WM_MDINEXT, reinterpret_cast<WPARAM>(child), 0); return 0;
    case SC_PREVWINDOW: SendMessage(client.Client(), WM_MDINEXT, reinterpret_cast<WPARAM>(child), 1); return 0;
    case SC_MOVE: case SC_SIZE:
      if (IsZoomed(child)) return 0;  // a maximised child stays where it is
      break;
    case SC_MAXIMIZE:
      // Maximising a maximised child maximises the frame.
      if (IsZoomed(child) && client.Frame()) return SendMessage(client.Frame(), WM_SYSCOMMAND, command, lParam);
      break;
  }
  return DefWindowProc(child, WM_SYSCOMMAND, command, lParam);
}

LRESULT OnChildSetText(MdiClient& client, HWND child, LPARAM text) {
  LRESULT result = DefWindowProc(child, WM_SETTEXT, 0, text);
  client.ChildRetitled(child);
  return result;
}

}  // namespace

LRESULT DefFrameProc(HWND frame, HWND clientWindow, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MdiClient> client = MdiClient::Of(clientWindow);
  if (!client) return DefWindowProc(frame, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND: return OnFrameCommand(*client, wParam, lParam);
    case WM_NCACTIVATE: return OnFrameNcActivate(*client, frame, wParam, lParam);
    case WM_SIZE: return OnFrameSize(clientWindow, wParam, lParam);
    case WM_SETFOCUS: return OnFrameSetFocus(clientWindow);
    case WM_SETTEXT: return OnFrameSetText(*client, lParam);
    case WM_MENUCHAR:
      // '-' opens the active child's own system menu, once the frame's menus are closed.
      if (LOWORD(wParam) == '-' && client->Active()) {
        PostMessage(client->Active(), WM_SYSCOMMAND, SC_KEYMENU, '-');
        return MAKELRESULT(0, MNC_CLOSE);
      }
      break;
  }
  return DefWindowProc(frame, message, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MdiClient> client = MdiClient::OfChild(child);
  if (!client) return DefWindowProc(child, message, wParam, lParam);
  switch (message) {
    case WM_CHILDACTIVATE: client->Activate(child); return 0;
    case WM_SETFOCUS:
      if (child != client->Active()) client->Activate(child);
      return DefWindowProc(child, message, wParam, lParam);
    case WM_GETMINMAXINFO: return OnChildGetMinMaxInfo(*client, child, lParam);
    case WM_SIZE:
      client->ChildSized(child, wParam);
      ScheduleMdiScrollRanges(client->Client());
      return DefWindowProc(child, message, wParam, lParam);
    case WM_MOVE: case WM_SHOWWINDOW:
      ScheduleMdiScrollRanges(client->Client());
      return DefWindowProc(child, message, wParam, lParam);
    case WM_SYSCOMMAND: return OnChildSysCommand(*client, child, wParam, lParam);
    case WM_CLOSE: SendMessage(client->Client(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0); return 0;
    case WM_SETTEXT: return OnChildSetText(*client, child, lParam);
    case WM_MENUCHAR: return client->Frame() ? SendMessage(client->Frame(), message, wParam, lParam) : 0;
    case WM_MDIACTIVATE: return 0;
    case WM_DESTROY:
      client->ChildGone(child);
      ScheduleMdiScrollRanges(client->Client());
      return DefWindowProc(child, message, wParam, lParam);
  }
  return DefWindowProc(child, message, wParam, lParam);
}

BOOL TranslateMDISysAccel(HWND clientWindow, const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  std::shared_ptr<MdiClient> client = MdiClient::Of(clientWindow);
  HWND active = client ? client->Active() : nullptr;
  if (!active || !IsWindowEnabled(active)) return FALSE;
  if (!(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return FALSE;
  WPARAM command;
  switch (msg->wParam) {
    case VK_F6: case VK_TAB:
      command = (GetKeyState(VK_SHIFT) & 0x8000) ? SC_PREVWINDOW : SC_NEXTWINDOW;
      break;
    case VK_F4: command = SC_CLOSE; break;
    default: return FALSE;
  }
  SendMessage(active, WM_SYSCOMMAND, command, static_cast<LPARAM>(msg->wParam));
  return TRUE;
}

HWND CreateMDIWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height, HWND client,
                     HINSTANCE instance, LPARAM lParam) {
  MDICREATESTRUCT create{className, title, instance, x, y, width, height, style, lParam};
  return reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

bool IsMdiChildBeingMade(HWND client, LPVOID param) {
  std::shared_ptr<MdiClient> state = MdiClient::Of(client);
  return state && state->IsMaking(param);
}

// CreateWindowEx with WS_EX_MDICHILD: the client makes the child as WM_MDICREATE would, with
// the creation parameter as the MDICREATESTRUCT's lParam. Any other parent refuses.
HWND CreateMdiChild(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                    HWND client, HINSTANCE instance, LPVOID param) {
  std::shared_ptr<MdiClient> state = MdiClient::Of(client);
  if (!state) return nullptr;
  MDICREATESTRUCT create{className, title, instance, x, y, width, height, style, reinterpret_cast<LPARAM>(param)};
  return state->Create(create, exStyle);
}
