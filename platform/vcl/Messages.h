#pragma once
// The framework's message record and its own messages: the control messages (CM_) that
// controls send one another when a property changes or the focus moves, and the notification
// messages (CN_) that a parent reflects back to the child control that sent them.

#include <functional>

#include "platform/user/User.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  int LParamLo() const { return static_cast<short>(LOWORD(LParam)); }
  int LParamHi() const { return static_cast<short>(HIWORD(LParam)); }
  int WParamLo() const { return static_cast<short>(LOWORD(WParam)); }
  int WParamHi() const { return static_cast<short>(HIWORD(WParam)); }
};

// A window procedure of the framework: a control's WindowProc, or what AllocateHWnd calls.
using TWndMethod = std::function<void(TMessage& message)>;

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
               CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
               CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
               CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
               CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
               CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
               CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
               CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19,
               CM_MOUSELEAVE = CM_BASE + 20, CM_APPKEYDOWN = CM_BASE + 22,
               CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
               CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
               CM_ICONCHANGED = CM_BASE + 29, CM_WANTSPECIALKEY = CM_BASE + 30,
               CM_RELEASE = CM_BASE + 33, CM_SHOWHINTCHANGED = CM_BASE + 34,
               CM_PARENTSHOWHINTCHANGED = CM_BASE + 35, CM_SYSCOLORCHANGE = CM_BASE + 36,
               CM_TABSTOPCHANGED = CM_BASE + 40, CM_CONTROLLISTCHANGE = CM_BASE + 44,
               CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
               CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
               CM_CONTROLCHANGE = CM_BASE + 54, CM_DOCKCLIENT = CM_BASE + 56,
               CM_UNDOCKCLIENT = CM_BASE + 57, CM_FLOAT = CM_BASE + 58,
               CM_BORDERCHANGED = CM_BASE + 59, CM_MOUSEWHEEL = CM_BASE + 67;

// A parent sends its child's notifications back to the child as CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND, CN_NOTIFY = CN_BASE + WM_NOTIFY,
               CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
               CN_DELETEITEM = CN_BASE + WM_DELETEITEM, CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
               CN_HSCROLL = CN_BASE + WM_HSCROLL, CN_VSCROLL = CN_BASE + WM_VSCROLL,
               CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN, CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
               CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
               CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC, CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
               CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
               CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
