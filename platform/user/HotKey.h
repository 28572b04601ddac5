#pragma once
// Hot keys: a key combination registered for a window is taken out of the keyboard input
// before it reaches any window, and the registering window is posted WM_HOTKEY instead
// (wParam the identifier, lParam MAKELPARAM(modifiers, virtual key)). They work anywhere on
// the program's desktop, whichever window has the focus or when none has; where the host
// shares the user's screen with other programs (X), the host takes the combination there too,
// so it fires while another program has the keyboard, and one another program holds fails.

#include "platform/rtl/LastError.h"
#include "platform/user/UserTypes.h"

constexpr UINT MOD_ALT = 0x0001, MOD_CONTROL = 0x0002, MOD_SHIFT = 0x0004, MOD_WIN = 0x0008,
               MOD_NOREPEAT = 0x4000;

// Fails (ERROR_HOTKEY_ALREADY_REGISTERED) when the combination is taken, by this window or
// another; registering an identifier the window already uses again replaces its combination.
BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk);
// Fails (ERROR_HOTKEY_NOT_REGISTERED) when the window has no hot key of that identifier.
BOOL UnregisterHotKey(HWND window, int id);
