#pragma once
// Menus: the HMENU interface (menu bars, popup menus, their items and states), the popup
// tracking loop, the system menu and accelerator tables. A window's menu bar is painted and
// hit-tested in its non-client area; popup menus are top-most popup windows on the desktop.

#include "platform/user/WinConst.h"

// Item flags of AppendMenu, InsertMenu, ModifyMenu, EnableMenuItem, CheckMenuItem and
// GetMenuState.
constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
               MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0,
               MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8,
               MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100,
               MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0,
               MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000, MF_HELP = 0x4000,
               MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000;
// MENUITEMINFO types and states.
constexpr UINT MFT_STRING = MF_STRING, MFT_BITMAP = MF_BITMAP, MFT_MENUBARBREAK = MF_MENUBARBREAK,
               MFT_MENUBREAK = MF_MENUBREAK, MFT_OWNERDRAW = MF_OWNERDRAW, MFT_RADIOCHECK = 0x200,
               MFT_SEPARATOR = MF_SEPARATOR, MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = MFS_GRAYED, MFS_CHECKED = MF_CHECKED, MFS_HILITE = MF_HILITE,
               MFS_ENABLED = MF_ENABLED, MFS_UNCHECKED = MF_UNCHECKED, MFS_UNHILITE = MF_UNHILITE,
               MFS_DEFAULT = MF_DEFAULT;
constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
               MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;

struct MENUITEMINFO {
  UINT cbSize = sizeof(MENUITEMINFO);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  LPSTR dwTypeData = nullptr;  // the text (or with MFT_BITMAP the bitmap)
  UINT cch = 0;                // the text's length; on reading, the buffer's size
  HBITMAP hbmpItem = nullptr;  // a picture beside the text
};
using MENUITEMINFOA = MENUITEMINFO;
using LPMENUITEMINFO = MENUITEMINFO*;
using LPCMENUITEMINFO = const MENUITEMINFO*;

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
               TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
               TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100,
               TPM_RECURSE = 0x1;
struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  RECT rcExclude;  // screen rectangle the menu must not cover
};

// WM_MENUCHAR answers (in the high word).
constexpr WORD MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
constexpr LRESULT MAKELRESULT(int lo, int hi) { return static_cast<LRESULT>(MAKELPARAM(lo, hi)); }

// The mouse in the menu bar or on the caption icon (WM_SYSCOMMAND).
constexpr UINT SC_MOUSEMENU = 0xF090, SC_ARRANGE = 0xF110, SC_TASKLIST = 0xF130, SC_HOTKEY = 0xF150,
               SC_DEFAULT = 0xF160;

// Menu functions.
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR item);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR item);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR item);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info);
// RemoveMenu detaches an item (its submenu lives on); DeleteMenu destroys the submenu too.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// The item's previous MF_GRAYED/MF_DISABLED (or MF_CHECKED) state; -1 when there is none.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
BOOL HiliteMenuItem(HWND window, HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
// The item's id; -1 for a submenu or an item that is not there.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuString(HMENU menu, UINT item, LPSTR out, int size, UINT flags);
// The item's flags (MF_ state and type bits); for a submenu the high byte holds its count.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// The item's rectangle on the screen as last laid out (the window's bar, or an open popup).
BOOL GetMenuItemRect(HWND window, HMENU menu, UINT position, RECT* out);
// The position of the item at a screen point, -1 for none.
int MenuItemFromPoint(HWND window, HMENU menu, POINT screen);
// The window's copy of the system menu, made on first use; revert restores the standard one
// (and answers null).
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL DrawMenuBar(HWND window);
// Shows a popup menu and tracks it until the user chooses or cancels. Answers the chosen id
// with TPM_RETURNCMD, else TRUE when something was chosen (its WM_COMMAND is posted to owner).
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* ignored);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL EndMenu();
// The menu loop running now, if any: the window that owns it.
HWND MenuLoopOwner();
// The classic check-mark size.
LONG GetMenuCheckMarkDimensions();
inline constexpr auto& AppendMenuA = AppendMenu;
inline constexpr auto& InsertMenuA = InsertMenu;
inline constexpr auto& ModifyMenuA = ModifyMenu;
inline constexpr auto& InsertMenuItemA = InsertMenuItem;
inline constexpr auto& SetMenuItemInfoA = SetMenuItemInfo;
inline constexpr auto& GetMenuItemInfoA = GetMenuItemInfo;
inline constexpr auto& GetMenuStringA = GetMenuString;

// Accelerator tables.
struct AcceleratorTable;
using HACCEL = AcceleratorTable*;
constexpr BYTE FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10;
struct ACCEL {
  BYTE fVirt = 0;  // FVIRTKEY: key is a virtual key; else a character
  WORD key = 0;
  WORD cmd = 0;
};
using LPACCEL = ACCEL*;
HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// Copies up to count entries out (all with a null buffer: answers how many there are).
int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count);
// A key message matching an entry becomes WM_COMMAND (high word 1) or, for an item of the
// system menu, WM_SYSCOMMAND, sent to the window; TRUE when it matched.
int TranslateAccelerator(HWND window, HACCEL table, const MSG* msg);
inline constexpr auto& CreateAcceleratorTableA = CreateAcceleratorTable;
inline constexpr auto& TranslateAcceleratorA = TranslateAccelerator;
