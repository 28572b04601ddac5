#pragma once
// The COMBOBOX window class: a selection field (an EDIT window, or a field the combo box
// paints itself) with a list of choices, either always shown below it (CBS_SIMPLE) or
// dropped from a button as a top-most popup list (class "ComboLBox") that closes on a
// choice, a click outside, Enter, Esc, F4 or Alt+Down. It answers the CB_ messages and
// notifies its parent with CBN_ codes in WM_COMMAND, as Windows does.

#include "platform/user/User.h"

inline constexpr const char* kComboBoxClass = "COMBOBOX";

// Styles.
constexpr DWORD CBS_SIMPLE = 0x0001, CBS_DROPDOWN = 0x0002, CBS_DROPDOWNLIST = 0x0003,
                CBS_OWNERDRAWFIXED = 0x0010, CBS_OWNERDRAWVARIABLE = 0x0020,
                CBS_AUTOHSCROLL = 0x0040, CBS_OEMCONVERT = 0x0080, CBS_SORT = 0x0100,
                CBS_HASSTRINGS = 0x0200, CBS_NOINTEGRALHEIGHT = 0x0400,
                CBS_DISABLENOSCROLL = 0x0800, CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;

// Messages.
constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142,
               CB_ADDSTRING = 0x0143, CB_DELETESTRING = 0x0144, CB_DIR = 0x0145,
               CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148,
               CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B,
               CB_FINDSTRING = 0x014C, CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E,
               CB_SHOWDROPDOWN = 0x014F, CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151,
               CB_GETDROPPEDCONTROLRECT = 0x0152, CB_SETITEMHEIGHT = 0x0153,
               CB_GETITEMHEIGHT = 0x0154, CB_SETEXTENDEDUI = 0x0155, CB_GETEXTENDEDUI = 0x0156,
               CB_GETDROPPEDSTATE = 0x0157, CB_FINDSTRINGEXACT = 0x0158, CB_SETLOCALE = 0x0159,
               CB_GETLOCALE = 0x015A, CB_GETTOPINDEX = 0x015B, CB_SETTOPINDEX = 0x015C,
               CB_GETHORIZONTALEXTENT = 0x015D, CB_SETHORIZONTALEXTENT = 0x015E,
               CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160, CB_INITSTORAGE = 0x0161,
               CB_GETCOMBOBOXINFO = 0x0164, CB_SETMINVISIBLE = 0x1701, CB_GETMINVISIBLE = 0x1702;

// Answers.
constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;

// Notifications (the high word of WM_COMMAND's wParam).
constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1), CBN_SELCHANGE = 1, CBN_DBLCLK = 2,
               CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5, CBN_EDITUPDATE = 6,
               CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;

// The parts of a combo box (CB_GETCOMBOBOXINFO), in its client coordinates.
struct COMBOBOXINFO {
  DWORD cbSize = sizeof(COMBOBOXINFO);
  RECT rcItem{};
  RECT rcButton{};
  DWORD stateButton = 0;
  HWND hwndCombo = nullptr;
  HWND hwndItem = nullptr;  // the edit, or the combo box itself
  HWND hwndList = nullptr;
};

// The edit of a combo box has this control ID, its list this one.
constexpr int kComboEditId = 1001, kComboListId = 1000;

void RegisterComboBoxClass();
