// The HMENU interface: menus and their items, states and texts, the system menu, and the
// window's menu bar.

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/user/MenuObject.h"

namespace {

// Handles are serial numbers, never reused, so a stale handle finds nothing instead of a
// newer menu.
struct MenuTable {
  std::map<std::uintptr_t, std::unique_ptr<MenuObject>> menus;
  std::uintptr_t next = 0x10000;
  std::map<HWND, HMENU> systemMenus;
};

MenuTable& Table() {
  static Everlasting<MenuTable> table;
  return *table;
}

HMENU NewMenu(bool popup) {
  MenuTable& t = Table();
  std::uintptr_t key = t.next;
  t.next += 4;
  auto menu = std::make_unique<MenuObject>();
  menu->popup = popup;
  t.menus.emplace(key, std::move(menu));
  return reinterpret_cast<HMENU>(key);
}

// Menus shown in a window's bar are redrawn by DrawMenuBar; an open popup repaints itself.
void Changed(HMENU menu) {
  if (MenuObject* m = LiveMenu(menu); m && m->popupWindow) InvalidateRect(m->popupWindow, nullptr, TRUE);
}

bool ContainsMenu(HMENU menu, HMENU sought, int depth = 0) {
  if (menu == sought) return true;
  MenuObject* m = LiveMenu(menu);
  if (!m || depth > 32) return false;
  for (const MenuItem& item : m->items)
    if (item.submenu && ContainsMenu(item.submenu, sought, depth + 1)) return true;
  return false;
}

// An item from the flags of AppendMenu, InsertMenu and ModifyMenu.
bool ItemFromFlags(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text, MenuItem& item) {
  item.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP) {
    HMENU sub = reinterpret_cast<HMENU>(idOrPopup);
    if (!LiveMenu(sub) || ContainsMenu(sub, menu)) return false;  // no cycles
    item.submenu = sub;
    item.id = static_cast<UINT>(idOrPopup);
  } else {
    item.submenu = nullptr;
    item.id = static_cast<UINT>(idOrPopup);
  }
  item.text.clear();
  item.bitmap = nullptr;
  item.data = 0;
  if (flags & MF_BITMAP) item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  else if (flags & MF_OWNERDRAW) item.data = reinterpret_cast<ULONG_PTR>(text);
  else if (!(flags & MF_SEPARATOR) && text) item.text = text;
  return true;
}

void DestroyMenuTree(HMENU menu, int depth) {
  MenuTable& t = Table();
  auto it = t.menus.find(reinterpret_cast<std::uintptr_t>(menu));
  if (it == t.menus.end() || depth > 32) return;
  std::unique_ptr<MenuObject> doomed = std::move(it->second);
  t.menus.erase(it);
  if (doomed->popupWindow && IsWindow(doomed->popupWindow)) DestroyWindow(doomed->popupWindow);
  for (const MenuItem& item : doomed->items)
    if (item.submenu) DestroyMenuTree(item.submenu, depth + 1);
}

bool ApplyInfo(HMENU menu, MenuItem& item, LPCMENUITEMINFO info) {
  if (info->fMask & MIIM_SUBMENU) {
    if (info->hSubMenu && (!LiveMenu(info->hSubMenu) || ContainsMenu(info->hSubMenu, menu))) return false;
    item.submenu = info->hSubMenu;
  }
  if (info->fMask & MIIM_TYPE) {
    item.type = info->fType;
    item.text.clear();
    item.bitmap = nullptr;
    if (info->fType & MFT_BITMAP) item.bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
    else if (!(info->fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) && info->dwTypeData) item.text = info->dwTypeData;
  }
  if (info->fMask & MIIM_FTYPE) item.type = (item.type & MFT_BITMAP) | (info->fType & ~MFT_BITMAP);
  if (info->fMask & MIIM_STRING) item.text = info->dwTypeData ? info->dwTypeData : "";
  if (info->fMask & MIIM_BITMAP) item.picture = info->hbmpItem;
  if (info->fMask & MIIM_STATE) item.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
  if (info->fMask & MIIM_ID) item.id = info->wID;
  if (info->fMask & MIIM_DATA) item.data = info->dwItemData;
  if (info->fMask & MIIM_CHECKMARKS) {
    item.checkedMark = info->hbmpChecked;
    item.uncheckedMark = info->hbmpUnchecked;
  }
  return true;
}

MenuItem* ItemAt(HMENU menu, UINT item, UINT flags, HMENU* holder = nullptr) {
  HMENU found = nullptr;
  int index = FindMenuItem(menu, item, flags, &found);
  if (index < 0) return nullptr;
  if (holder) *holder = found;
  return &LiveMenu(found)->items[static_cast<size_t>(index)];
}

}  // namespace

MenuObject* LiveMenu(HMENU menu) {
  if (!menu) return nullptr;
  MenuTable& t = Table();
  auto it = t.menus.find(reinterpret_cast<std::uintptr_t>(menu));
  return it == t.menus.end() ? nullptr : it->second.get();
}

int FindMenuItem(HMENU menu, UINT item, UINT flags, HMENU* holder) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return -1;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return -1;
    if (holder) *holder = menu;
    return static_cast<int>(item);
  }
  // By command: the menu's own items first, then inside each submenu, as Windows searches.
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    if (it.submenu) {
      int inner = FindMenuItem(it.submenu, item, flags, holder);
      if (inner >= 0) return inner;
      if (it.id == item && reinterpret_cast<UINT_PTR>(it.submenu) == item) {
        if (holder) *holder = menu;
        return static_cast<int>(i);
      }
    } else if (it.id == item && !it.Separator()) {
      if (holder) *holder = menu;
      return static_cast<int>(i);
    }
  }
  return -1;
}

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL IsMenu(HMENU menu) { return LiveMenu(menu) ? TRUE : FALSE; }

BOOL DestroyMenu(HMENU menu) {
  if (!LiveMenu(menu)) return FALSE;
  // A window showing it in its bar forgets it, so the bar never paints a freed menu.
  MenuObject* m = LiveMenu(menu);
  if (WindowObject* w = LiveWindow(m->barWindow); w && w->menu == menu) w->menu = nullptr;
  // A menu held as another's submenu is detached from it first; the item it hung from is
  // left grey, with nothing to open or send.
  for (auto& [key, other] : Table().menus)
    for (MenuItem& item : other->items)
      if (item.submenu == menu) {
        item.submenu = nullptr;
        item.id = 0;
        item.state |= MF_GRAYED;
      }
  for (auto it = Table().systemMenus.begin(); it != Table().systemMenus.end(); ++it)
    if (it->second == menu) {
      Table().systemMenus.erase(it);
      break;
    }
  DestroyMenuTree(menu, 0);
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  return InsertMenu(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, idOrPopup, text);
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return FALSE;
  MenuItem item;
  if (!ItemFromFlags(menu, flags, idOrPopup, text, item)) return FALSE;
  HMENU target = menu;
  size_t at = m->items.size();
  if (flags & MF_BYPOSITION) {
    if (position < m->items.size()) at = position;
  } else {
    HMENU holder = nullptr;
    int found = FindMenuItem(menu, position, flags, &holder);
    if (found < 0) return FALSE;
    target = holder;
    at = static_cast<size_t>(found);
  }
  MenuObject* t = LiveMenu(target);
  t->items.insert(t->items.begin() + static_cast<std::ptrdiff_t>(at), item);
  Changed(target);
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  HMENU holder = nullptr;
  MenuItem* item = ItemAt(menu, position, flags, &holder);
  if (!item) return FALSE;
  MenuItem changed = *item;
  if (!ItemFromFlags(holder, flags, idOrPopup, text, changed)) return FALSE;
  // The submenu an item leaves is destroyed, as Windows does.
  HMENU old = item->submenu;
  item = ItemAt(menu, position, flags);
  *item = changed;
  if (old && old != changed.submenu) DestroyMenu(old);
  Changed(holder);
  return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT position, BOOL byPosition, LPCMENUITEMINFO info) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !info) return FALSE;
  MenuItem item;
  if (!ApplyInfo(menu, item, info)) return FALSE;
  HMENU target = menu;
  size_t at = m->items.size();
  if (byPosition) {
    if (position < m->items.size()) at = position;
  } else {
    HMENU holder = nullptr;
    int found = FindMenuItem(menu, position, MF_BYCOMMAND, &holder);
    if (found < 0) return FALSE;
    target = holder;
    at = static_cast<size_t>(found);
  }
  MenuObject* t = LiveMenu(target);
  t->items.insert(t->items.begin() + static_cast<std::ptrdiff_t>(at), item);
  Changed(target);
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT position, BOOL byPosition, LPCMENUITEMINFO info) {
  HMENU holder = nullptr;
  MenuItem* item = ItemAt(menu, position, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &holder);
  if (!item || !info) return FALSE;
  MenuItem changed = *item;
  if (!ApplyInfo(holder, changed, info)) return FALSE;
  *item = changed;
  Changed(holder);
  return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT position, BOOL byPosition, LPMENUITEMINFO info) {
  MenuItem* item = ItemAt(menu, position, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!item || !info) return FALSE;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = item->type;
  if (info->fMask & MIIM_STATE) info->fState = item->state;
  if (info->fMask & MIIM_ID) info->wID = item->id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = item->submenu;
  if (info->fMask & MIIM_DATA) info->dwItemData = item->data;
  if (info->fMask & MIIM_BITMAP) info->hbmpItem = item->picture;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = item->checkedMark;
    info->hbmpUnchecked = item->uncheckedMark;
  }
  bool wantsText = (info->fMask & MIIM_STRING) || ((info->fMask & MIIM_TYPE) && !(item->type & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)));
  if ((info->fMask & MIIM_TYPE) && (item->type & MFT_BITMAP))
    info->dwTypeData = reinterpret_cast<LPSTR>(item->bitmap);
  else if (wantsText) {
    // Copies what fits, always terminated; cch comes back as the text's length.
    if (info->dwTypeData && info->cch > 0) {
      size_t n = std::min<size_t>(item->text.size(), info->cch - 1);
      std::memcpy(info->dwTypeData, item->text.data(), n);
      info->dwTypeData[n] = 0;
    }
    info->cch = static_cast<UINT>(item->text.size());
  }
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  HMENU holder = nullptr;
  int index = FindMenuItem(menu, position, flags, &holder);
  if (index < 0) return FALSE;
  MenuObject* m = LiveMenu(holder);
  m->items.erase(m->items.begin() + index);
  Changed(holder);
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  HMENU holder = nullptr;
  int index = FindMenuItem(menu, position, flags, &holder);
  if (index < 0) return FALSE;
  HMENU sub = LiveMenu(holder)->items[static_cast<size_t>(index)].submenu;
  RemoveMenu(holder, static_cast<UINT>(index), MF_BYPOSITION);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

UINT EnableMenuItem(HMENU menu, UINT position, UINT flags) {
  MenuItem* item = ItemAt(menu, position, flags);
  if (!item) return static_cast<UINT>(-1);
  UINT previous = item->state & (MF_GRAYED | MF_DISABLED);
  item->state &= ~MFS_GRAYED;
  if (flags & MF_GRAYED) item->state |= MF_GRAYED;
  if (flags & MF_DISABLED) item->state |= MF_DISABLED;
  Changed(menu);
  return previous;
}

DWORD CheckMenuItem(HMENU menu, UINT position, UINT flags) {
  MenuItem* item = ItemAt(menu, position, flags);
  if (!item) return static_cast<DWORD>(-1);
  DWORD previous = item->state & MF_CHECKED;
  if (flags & MF_CHECKED) item->state |= MF_CHECKED;
  else item->state &= ~MF_CHECKED;
  Changed(menu);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  HMENU holder = nullptr;
  int firstAt = FindMenuItem(menu, first, flags, &holder);
  HMENU lastHolder = nullptr;
  int lastAt = FindMenuItem(menu, last, flags, &lastHolder);
  HMENU checkHolder = nullptr;
  int checkAt = FindMenuItem(menu, check, flags, &checkHolder);
  if (firstAt < 0 || lastAt < 0 || holder != lastHolder) return FALSE;
  if (firstAt > lastAt) std::swap(firstAt, lastAt);
  MenuObject* m = LiveMenu(holder);
  bool found = false;
  for (int i = firstAt; i <= lastAt; ++i) {
    MenuItem& item = m->items[static_cast<size_t>(i)];
    if (item.Separator()) continue;
    if (checkHolder == holder && i == checkAt) {
      item.state |= MFS_CHECKED;
      item.type |= MFT_RADIOCHECK;
      found = true;
    } else {
      item.state &= ~MFS_CHECKED;
    }
  }
  Changed(holder);
  return found ? TRUE : FALSE;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT position, UINT byPosition) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return FALSE;
  int index = -1;
  if (position != static_cast<UINT>(-1)) {
    if (byPosition) index = position < m->items.size() ? static_cast<int>(position) : -1;
    else
      for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].id == position && !m->items[i].Separator()) index = static_cast<int>(i);
    if (index < 0) return FALSE;
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    if (static_cast<int>(i) == index) m->items[i].state |= MFS_DEFAULT;
    else m->items[i].state &= ~MFS_DEFAULT;
  }
  Changed(menu);
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return static_cast<UINT>(-1);
  for (size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].state & MFS_DEFAULT) return byPosition ? static_cast<UINT>(i) : m->items[i].id;
  return static_cast<UINT>(-1);
}

BOOL HiliteMenuItem(HWND window, HMENU menu, UINT position, UINT flags) {
  MenuItem* item = ItemAt(menu, position, flags);
  if (!item) return FALSE;
  if (flags & MF_HILITE) item->state |= MFS_HILITE;
  else item->state &= ~MFS_HILITE;
  if (GetMenu(window) == menu) RepaintMenuBar(window);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  MenuObject* m = LiveMenu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  MenuObject* m = LiveMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = m->items[static_cast<size_t>(position)];
  return item.submenu ? static_cast<UINT>(-1) : item.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuObject* m = LiveMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<size_t>(position)].submenu;
}

int GetMenuString(HMENU menu, UINT position, LPSTR out, int size, UINT flags) {
  MenuItem* item = ItemAt(menu, position, flags);
  if (!item) return 0;
  if (!out || size <= 0) return static_cast<int>(item->text.size());
  size_t n = std::min<size_t>(item->text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, item->text.data(), n);
  out[n] = 0;
  return static_cast<int>(n);
}

UINT GetMenuState(HMENU menu, UINT position, UINT flags) {
  MenuItem* item = ItemAt(menu, position, flags);
  if (!item) return static_cast<UINT>(-1);
  UINT state = (item->type & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK)) |
               (item->state & (MF_CHECKED | MF_HILITE | MF_DEFAULT | MF_GRAYED | MF_DISABLED));
  if (item->submenu) {
    int count = GetMenuItemCount(item->submenu);
    state = MF_POPUP | (state & 0xFF) | (static_cast<UINT>(std::max(count, 0)) << 8);
  }
  return state;
}

BOOL GetMenuItemRect(HWND window, HMENU menu, UINT position, RECT* out) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !out || position >= m->items.size()) return FALSE;
  RECT r = m->items[position].rect;
  if (m->popupWindow && IsWindow(m->popupWindow)) {
    RECT wr;
    GetWindowRect(m->popupWindow, &wr);
    OffsetRect(&r, wr.left, wr.top);
  } else if (window && GetMenu(window) == menu) {
    RECT wr;
    GetWindowRect(window, &wr);
    OffsetRect(&r, wr.left, wr.top);
  } else {
    return FALSE;
  }
  *out = r;
  return TRUE;
}

int MenuItemFromPoint(HWND window, HMENU menu, POINT screen) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return -1;
  for (size_t i = 0; i < m->items.size(); ++i) {
    RECT r;
    if (GetMenuItemRect(window, menu, static_cast<UINT>(i), &r) && PtInRect(&r, screen)) return static_cast<int>(i);
  }
  return -1;
}

LONG GetMenuCheckMarkDimensions() {
  return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}

// ---- The system menu ----

namespace {

HMENU MakeSystemMenu(HWND window) {
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(menu, MF_STRING, SC_MOVE, "&Move");
  AppendMenu(menu, MF_STRING, SC_SIZE, "&Size");
  AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  WindowObject* w = LiveWindow(window);
  bool mdiChild = w && (w->exStyle & WS_EX_MDICHILD);
  AppendMenu(menu, MF_STRING | MF_DEFAULT, SC_CLOSE, mdiChild ? "&Close\tCtrl+F4" : "&Close\tAlt+F4");
  if (mdiChild) AppendMenu(menu, MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
  LiveMenu(menu)->systemOf = window;
  return menu;
}

}  // namespace

HMENU GetSystemMenu(HWND window, BOOL revert) {
  WindowObject* w = LiveWindow(window);
  if (!w || !(w->style & WS_SYSMENU)) return nullptr;
  MenuTable& t = Table();
  auto it = t.systemMenus.find(window);
  if (revert) {
    if (it != t.systemMenus.end()) {
      HMENU old = it->second;
      t.systemMenus.erase(it);
      DestroyMenu(old);
    }
    return nullptr;
  }
  if (it != t.systemMenus.end() && LiveMenu(it->second)) return it->second;
  HMENU menu = MakeSystemMenu(window);
  t.systemMenus[window] = menu;
  return menu;
}

void UpdateSystemMenu(HWND window, HMENU menu) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  bool minimized = w->style & WS_MINIMIZE, maximized = w->style & WS_MAXIMIZE;
  bool sizable = (w->style & WS_THICKFRAME) && !minimized && !maximized;
  auto enable = [&](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(SC_RESTORE, minimized || maximized);
  enable(SC_MOVE, !maximized);
  enable(SC_SIZE, sizable);
  enable(SC_MINIMIZE, (w->style & WS_MINIMIZEBOX) && !minimized);
  enable(SC_MAXIMIZE, (w->style & WS_MAXIMIZEBOX) && !maximized);
  enable(SC_CLOSE, !(w->cls->style & CS_NOCLOSE));
}

// ---- The window's bar ----

int MenuBarHeight(HWND window, int windowWidth) {
  WindowObject* w = LiveWindow(window);
  if (!w || (w->style & WS_CHILD) || !w->menu || (w->style & WS_MINIMIZE)) return 0;
  if (!LiveMenu(w->menu)) return GetSystemMetrics(SM_CYMENU);
  RECT insets = NonClientInsets(w->style, w->exStyle, false);
  int top = insets.top - ((w->exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CYEDGE)
                          : (w->exStyle & WS_EX_STATICEDGE) ? GetSystemMetrics(SM_CYBORDER) : 0);
  int side = insets.left - ((w->exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CXEDGE)
                            : (w->exStyle & WS_EX_STATICEDGE) ? GetSystemMetrics(SM_CXBORDER) : 0);
  RECT row{side, top, std::max(side + 1, windowWidth - side), top + GetSystemMetrics(SM_CYMENU)};
  return LayOutMenuBar(w->menu, window, row);
}

RECT MenuBarRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return RECT{};
  int height = MenuBarHeight(window, w->rect.right - w->rect.left);
  if (!height) return RECT{};
  RECT wr = ScreenRect(window), c = ScreenClientRect(window);
  int edge = (w->exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CYEDGE)
             : (w->exStyle & WS_EX_STATICEDGE) ? GetSystemMetrics(SM_CYBORDER) : 0;
  int bottom = c.top - wr.top - edge;
  int left = c.left - wr.left - edge, right = c.right - wr.left + edge;
  if (w->style & WS_VSCROLL) right += GetSystemMetrics(SM_CXVSCROLL);
  return RECT{left, bottom - height, right, bottom};
}

void PaintWindowMenuBar(HWND window, HDC dc) {
  WindowObject* w = LiveWindow(window);
  if (!w || (w->style & WS_CHILD) || !w->menu) return;
  RECT bar = MenuBarRect(window);
  if (IsRectEmpty(&bar)) return;
  if (!LiveMenu(w->menu)) {
    FillRect(dc, &bar, GetSysColorBrush(COLOR_MENU));
    return;
  }
  PaintMenuBar(w->menu, window, dc, bar);
}

void RepaintMenuBar(HWND window) {
  if (!LiveWindow(window) || !IsVisibleOnScreen(window)) return;
  HDC dc = GetWindowDC(window);
  PaintWindowMenuBar(window, dc);
  ReleaseDC(window, dc);
}

BOOL DrawMenuBar(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w || (w->style & WS_CHILD)) return FALSE;
  // The bar may need another row: the frame is recalculated, then painted through the window,
  // so that a window painting its own caption keeps it.
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (IsVisibleOnScreen(window)) SendMessage(window, WM_NCPAINT, 1, 0);
  return TRUE;
}

void ForgetWindowMenus(HWND window) {
  MenuTable& t = Table();
  auto it = t.systemMenus.find(window);
  if (it != t.systemMenus.end()) {
    HMENU menu = it->second;
    t.systemMenus.erase(it);
    DestroyMenu(menu);
  }
  WindowObject* w = LiveWindow(window);
  if (w && !(w->style & WS_CHILD) && w->menu) {
    HMENU menu = w->menu;
    w->menu = nullptr;
    DestroyMenu(menu);
  }
}

HMENU GetMenu(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && !(w->style & WS_CHILD) ? w->menu : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu) {
  WindowObject* w = LiveWindow(window);
  if (!w || (w->style & WS_CHILD)) return FALSE;
  if (menu && !LiveMenu(menu)) return FALSE;
  if (MenuObject* old = LiveMenu(w->menu); old && old->barWindow == window) {
    old->barWindow = nullptr;
    old->barOpen = false;
  }
  w->menu = menu;
  if (MenuObject* m = LiveMenu(menu)) m->barWindow = window;
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}
