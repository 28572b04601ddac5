// Keyboard focus and window activation, in the order Windows sends their messages.

#include "platform/user/DesktopScreen.h"
#include "platform/user/DialogState.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/InputState.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

bool AppActive() { return wm::Focus().Active() != nullptr; }

// The program becoming active or inactive is told to every one of its top-level windows.
void TellEveryTopLevel(BOOL active) {
  std::vector<HWND> tops = wm::Windows().Desktop()->children;
  for (HWND top : tops)
    if (LiveWindow(top)) SendMessage(top, WM_ACTIVATEAPP, active, 0);
}

}  // namespace

HWND GetFocus() { return wm::Focus().Focused(); }
HWND GetActiveWindow() { return wm::Focus().Active(); }
// The program's active window; with none active (all minimised, say) the desktop is what is
// in front, as the desktop's own window is on Windows then.
HWND GetForegroundWindow() {
  HWND active = wm::Focus().Active();
  return active ? active : GetDesktopWindow();
}

HWND SetFocus(HWND window) {
  HWND old = wm::Focus().Focused();
  if (window && !LiveWindow(window)) return nullptr;
  if (window == old) return old;
  if (window) {
    // A disabled or hidden window cannot take the focus.
    for (HWND w = window; w && w != wm::Windows().Desktop(); w = LiveWindow(w)->parent)
      if (LiveWindow(w)->style & WS_DISABLED) return nullptr;
  }
  if (wm::Hooks().Call(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(old)))
    return nullptr;
  if (window) {
    HWND top = TopLevelOf(window);
    if (top != wm::Focus().Active()) ActivateWindow(top, WA_ACTIVE, true);
    // The focus lives in the active window: a top-level window that could not be activated
    // (hidden, or refused) takes none, or keys would go to a window no one sees. A dialog
    // still hidden (a modal one during WM_INITDIALOG) keeps the control instead, and gives
    // it the focus when it is shown and activated.
    if (top != wm::Focus().Active()) {
      DialogState* dialog = DialogStateOf(top);
      if (!dialog || (LiveWindow(top)->style & WS_VISIBLE)) return nullptr;
      dialog->savedFocus = window;
      return old;
    }
    if (wm::Focus().Focused() == window) return old;  // activation gave it the focus already
  }
  wm::Focus().SetFocused(window);
  if (old && LiveWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window && wm::Focus().Focused() == window && LiveWindow(window)) SendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

void ActivateWindow(HWND window, WPARAM how, bool changeZOrder) {
  HWND old = wm::Focus().Active();
  if (window == old) return;
  if (window && (!LiveWindow(window) || !(LiveWindow(window)->style & WS_VISIBLE) ||
                 (LiveWindow(window)->style & WS_DISABLED)))
    return;
  CBTACTIVATESTRUCT cbt{how == WA_CLICKACTIVE, old};
  if (window && wm::Hooks().Call(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&cbt)))
    return;
  bool wasActive = AppActive();
  if (window && changeZOrder)
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  wm::Focus().SetActive(window);
  if (old && LiveWindow(old)) {
    SendMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(window));
    SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), reinterpret_cast<LPARAM>(window));
  }
  if (!window) {
    if (wasActive) TellEveryTopLevel(FALSE);
    if (wm::Focus().Focused()) SetFocus(nullptr);
    return;
  }
  if (!wasActive) TellEveryTopLevel(TRUE);
  if (wm::Focus().Active() != window || !LiveWindow(window)) return;
  SendMessage(window, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
  SendMessage(window, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(window)), reinterpret_cast<LPARAM>(old));
  // A window that kept no focus inside itself loses the old one.
  if (wm::Focus().Active() == window && wm::Focus().Focused() && TopLevelOf(wm::Focus().Focused()) != window) SetFocus(nullptr);
}

void ActivateNextAfterLosing(HWND lost) {
  if (wm::Focus().Active() != lost) return;
  HWND next = nullptr;
  WindowObject* l = LiveWindow(lost);
  // The owner first, then the topmost other visible, enabled top-level window.
  if (l && l->owner && LiveWindow(l->owner) && (l->owner->style & WS_VISIBLE) && !(l->owner->style & WS_DISABLED))
    next = l->owner;
  if (!next)
    for (HWND top : wm::Windows().Desktop()->children)
      if (top != lost && (top->style & WS_VISIBLE) && !(top->style & (WS_DISABLED | WS_MINIMIZE)) && !top->destroying) {
        next = top;
        break;
      }
  ActivateWindow(next, WA_ACTIVE, false);
}

HWND SetActiveWindow(HWND window) {
  HWND old = wm::Focus().Active();
  if (window && !LiveWindow(window)) return nullptr;
  ActivateWindow(window ? TopLevelOf(window) : nullptr, WA_ACTIVE, true);
  return old;
}

BOOL SetForegroundWindow(HWND window) {
  if (!LiveWindow(window)) return FALSE;
  SetActiveWindow(window);
  return TRUE;
}

void ForgetWindowInput(HWND window) {
  ForgetCaret(window);
  wm::Focus().Forget(window);
  wm::Input().Forget(window);
  if (wm::Screen().Locked() == window) LockWindowUpdate(nullptr);  // what it held back is painted
}

BOOL EnableWindow(HWND window, BOOL enable) {
  WindowObject* w = LiveWindow(window);
  if (!w) return FALSE;
  bool wasDisabled = w->style & WS_DISABLED;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    SendMessage(window, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    SendMessage(window, WM_CANCELMODE, 0, 0);
    w->style |= WS_DISABLED;
    // Only the window itself loses the focus. A control inside keeps it until the activation
    // moves, so that a dialog disabled under its message box still sees, as it is
    // deactivated, which control to give the focus back to.
    if (wm::Focus().Focused() == window) SetFocus(nullptr);
    if (wm::Focus().Captured() == window) ReleaseCapture();
    SendMessage(window, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

HWND SetCapture(HWND window) {
  HWND old = wm::Focus().Captured();
  if (window && !LiveWindow(window)) return nullptr;
  if (old == window) return old;
  wm::Focus().SetCaptured(window);
  if (old && LiveWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  return old;
}

BOOL ReleaseCapture() {
  HWND old = wm::Focus().Captured();
  if (!old) return TRUE;
  wm::Focus().SetCaptured(nullptr);
  if (LiveWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return wm::Focus().Captured(); }
