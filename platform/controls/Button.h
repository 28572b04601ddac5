#pragma once
// The BUTTON window class: push and default push buttons, check boxes (two- and three-state,
// manual and automatic), radio buttons (an automatic one unchecks the others of its group),
// group boxes and owner-drawn buttons, with the styles, messages and notifications Windows
// gives them.

#include "platform/user/User.h"

inline constexpr const char* WC_BUTTON = "BUTTON";

// Styles.
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                BS_USERBUTTON = 0x8, BS_AUTORADIOBUTTON = 0x9, BS_PUSHBOX = 0xA, BS_OWNERDRAW = 0xB,
                BS_TYPEMASK = 0xF, BS_LEFTTEXT = 0x20, BS_RIGHTBUTTON = BS_LEFTTEXT, BS_TEXT = 0x0,
                BS_ICON = 0x40, BS_BITMAP = 0x80, BS_LEFT = 0x100, BS_RIGHT = 0x200, BS_CENTER = 0x300,
                BS_TOP = 0x400, BS_BOTTOM = 0x800, BS_VCENTER = 0xC00, BS_PUSHLIKE = 0x1000,
                BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000;

// Messages.
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5, BM_GETIMAGE = 0x00F6, BM_SETIMAGE = 0x00F7;
// Check and drawing states (BM_GETCHECK, BM_SETCHECK, BM_GETSTATE).
constexpr LRESULT BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_INDETERMINATE = 0x2, BST_PUSHED = 0x4,
                  BST_FOCUS = 0x8;
// Image kinds of BM_SETIMAGE and STM_SETIMAGE.
constexpr WPARAM IMAGE_BITMAP = 0, IMAGE_ICON = 1;

// Notifications (WM_COMMAND, high word of wParam). BN_SETFOCUS and BN_KILLFOCUS come with BS_NOTIFY.
constexpr WORD BN_CLICKED = 0, BN_PAINT = 1, BN_HILITE = 2, BN_UNHILITE = 3, BN_DISABLE = 4,
               BN_DOUBLECLICKED = 5, BN_PUSHED = BN_HILITE, BN_UNPUSHED = BN_UNHILITE, BN_DBLCLK = BN_DOUBLECLICKED,
               BN_SETFOCUS = 6, BN_KILLFOCUS = 7;

// The size of a check box's or radio button's box, in pixels.
constexpr int kButtonCheckBoxSize = 13;

void RegisterButtonClass();
