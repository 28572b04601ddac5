#pragma once
// A menu as the window manager keeps it, and what the menu files share: the handle table,
// layout and painting of bars and popups, and the window manager's hooks into them.

#include <string>
#include <vector>

#include "platform/rtl/HandleStorage.h"
#include "platform/user/Menu.h"
#include "platform/user/Window.h"

struct MenuItem {
  UINT type = MFT_STRING;  // MFT_ bits
  UINT state = 0;          // MFS_ bits
  UINT id = 0;
  HMENU submenu = nullptr;
  std::string text;  // with '&' before the mnemonic and '\t' before the shortcut text
  HBITMAP bitmap = nullptr;   // MFT_BITMAP: the item is this picture
  HBITMAP picture = nullptr;  // beside the text, in the check column
  HBITMAP checkedMark = nullptr;
  HBITMAP uncheckedMark = nullptr;
  ULONG_PTR data = 0;
  RECT rect{};  // as last laid out: a bar's items window-relative, a popup's client-relative
  int shortcutLeft = 0;  // where a popup column's shortcut texts start, from the item's left

  bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
  bool Grayed() const { return (state & MFS_GRAYED) != 0; }
};

struct MenuObject : HandleStorage {
  bool popup = false;
  std::vector<MenuItem> items;
  HWND barWindow = nullptr;    // the window whose bar shows it
  HWND popupWindow = nullptr;  // its popup window while open
  HWND systemOf = nullptr;     // a window's system menu
  bool barOpen = false;        // the highlighted bar item has its popup open
  SIZE size{};                 // a popup's laid-out size, frame included
};

// The menu behind a handle; null for a handle that is not (or no longer) a menu.
MenuObject* LiveMenu(HMENU menu);
// The position of an item named by command (searched through submenus: the menu that holds
// it comes back in holder) or by position; -1 when there is none.
int FindMenuItem(HMENU menu, UINT item, UINT flags, HMENU* holder);

// Layout and painting (MenuDraw.cpp).
constexpr int kPopupFrame = 3;
// Lays a bar out in a window's bar area (window-relative, one row high at first) and answers
// the bar's height: it wraps into more rows when the window is narrow.
int LayOutMenuBar(HMENU menu, HWND window, const RECT& firstRow);
void PaintMenuBar(HMENU menu, HWND window, HDC dc, const RECT& bar);
// Lays a popup's items out (asking the owner to measure owner-drawn ones) and sets its size.
void LayOutPopup(HMENU menu, HWND owner);
void PaintPopup(HMENU menu, HWND owner, HDC dc);
// The character after the single '&' of a caption, lower-cased; 0 when there is none.
char MenuMnemonic(const std::string& text);

// The frame, caption and scroll bars around the client area, without the menu bar (NonClient.cpp).
RECT NonClientInsets(DWORD style, DWORD exStyle, bool menu);

// The window manager's hooks (Menu.cpp, MenuTracking.cpp).
// The height of the window's menu bar for a window rectangle of that width; 0 without a bar.
int MenuBarHeight(HWND window, int windowWidth);
// The bar's area, window-relative; empty without a bar.
RECT MenuBarRect(HWND window);
void PaintWindowMenuBar(HWND window, HDC dc);
// Paints the window's menu bar alone, on the screen: the rest of its frame (a caption the
// window paints itself) is left as it is.
void RepaintMenuBar(HWND window);
// The window is going: its menus go with it.
void ForgetWindowMenus(HWND window);
// The menu loop of DefWindowProc's SC_MOUSEMENU and SC_KEYMENU.
void TrackMenuBar(HWND window, POINT screen);
void KeyMenu(HWND window, char key);
// The system menu at a screen point, as a right click on the caption opens it.
void TrackSystemMenuAt(HWND window, POINT screen);
// The system menu's states follow the window's.
void UpdateSystemMenu(HWND window, HMENU menu);
// Registers the popup menu window class.
void RegisterPopupMenuClass();
