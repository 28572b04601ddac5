#pragma once
// The tab control (WC_TABCONTROL): a row, or rows, of tabs above (or below) a framed display
// area, or a row of buttons. The parent hears TCN_SELCHANGING (answer TRUE to keep the old
// tab) and TCN_SELCHANGE when the user picks a tab with the mouse or the arrow keys;
// TCM_SETCURSEL changes the selection without asking.

#include "platform/controls/CommonNotify.h"
#include "platform/controls/ImageList.h"

inline constexpr const char* WC_TABCONTROL = "SysTabControl32";

constexpr DWORD TCS_SCROLLOPPOSITE = 0x0001, TCS_BOTTOM = 0x0002, TCS_RIGHT = 0x0002,
                TCS_MULTISELECT = 0x0004, TCS_FLATBUTTONS = 0x0008, TCS_FORCEICONLEFT = 0x0010,
                TCS_FORCELABELLEFT = 0x0020, TCS_HOTTRACK = 0x0040, TCS_VERTICAL = 0x0080,
                TCS_TABS = 0x0000, TCS_BUTTONS = 0x0100, TCS_SINGLELINE = 0x0000,
                TCS_MULTILINE = 0x0200, TCS_RIGHTJUSTIFY = 0x0000, TCS_FIXEDWIDTH = 0x0400,
                TCS_RAGGEDRIGHT = 0x0800, TCS_FOCUSONBUTTONDOWN = 0x1000,
                TCS_OWNERDRAWFIXED = 0x2000, TCS_TOOLTIPS = 0x4000, TCS_FOCUSNEVER = 0x8000;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2, TCM_SETIMAGELIST = TCM_FIRST + 3,
               TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETITEM = TCM_FIRST + 5,
               TCM_SETITEM = TCM_FIRST + 6, TCM_INSERTITEM = TCM_FIRST + 7,
               TCM_DELETEITEM = TCM_FIRST + 8, TCM_DELETEALLITEMS = TCM_FIRST + 9,
               TCM_GETITEMRECT = TCM_FIRST + 10, TCM_GETCURSEL = TCM_FIRST + 11,
               TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
               TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_SETITEMSIZE = TCM_FIRST + 41,
               TCM_SETPADDING = TCM_FIRST + 43, TCM_GETROWCOUNT = TCM_FIRST + 44,
               TCM_GETCURFOCUS = TCM_FIRST + 47, TCM_SETCURFOCUS = TCM_FIRST + 48,
               TCM_SETMINTABWIDTH = TCM_FIRST + 49;
inline constexpr UINT TCM_GETITEMA = TCM_GETITEM, TCM_SETITEMA = TCM_SETITEM, TCM_INSERTITEMA = TCM_INSERTITEM;

constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_RTLREADING = 0x4, TCIF_PARAM = 0x8, TCIF_STATE = 0x10;
constexpr DWORD TCIS_BUTTONPRESSED = 0x1, TCIS_HIGHLIGHTED = 0x2;
constexpr UINT TCHT_NOWHERE = 0x1, TCHT_ONITEMICON = 0x2, TCHT_ONITEMLABEL = 0x4,
               TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

constexpr UINT TCN_KEYDOWN = static_cast<UINT>(-550), TCN_SELCHANGE = static_cast<UINT>(-551),
               TCN_SELCHANGING = static_cast<UINT>(-552);

struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};
using TCITEMA = TCITEM;

struct TCHITTESTINFO {
  POINT pt;
  UINT flags = 0;
};

struct NMTCKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};

void RegisterTabControlClass();
