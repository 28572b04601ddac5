// Accelerator tables: key combinations that become commands, with the menu item of the same
// command consulted first (a grey item's shortcut does nothing).

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/user/MenuObject.h"

struct AcceleratorTable {
  std::vector<ACCEL> entries;
};

namespace {

std::map<HACCEL, std::unique_ptr<AcceleratorTable>>& Tables() {
  static Everlasting<std::map<HACCEL, std::unique_ptr<AcceleratorTable>>> tables;
  return *tables;
}

AcceleratorTable* LiveTable(HACCEL table) {
  auto it = Tables().find(table);
  return it == Tables().end() ? nullptr : it->second.get();
}

bool Down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

bool Matches(const ACCEL& entry, const MSG& msg) {
  bool virtualKey = entry.fVirt & FVIRTKEY;
  if (virtualKey) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (msg.wParam != entry.key) return false;
    bool alt = msg.message == WM_SYSKEYDOWN ? (msg.lParam & (1 << 29)) != 0 : Down(VK_MENU);
    return Down(VK_SHIFT) == ((entry.fVirt & FSHIFT) != 0) && Down(VK_CONTROL) == ((entry.fVirt & FCONTROL) != 0) &&
           alt == ((entry.fVirt & FALT) != 0);
  }
  // A character: WM_CHAR, or WM_SYSCHAR when Alt is part of it.
  bool alt = (entry.fVirt & FALT) != 0;
  if (msg.message != (alt ? WM_SYSCHAR : WM_CHAR)) return false;
  return msg.wParam == entry.key;
}

// The submenu that holds a menu, and its position there; false when it is the root.
bool ParentOf(HMENU root, HMENU sought, HMENU& parent, int& position, int depth = 0) {
  MenuObject* m = LiveMenu(root);
  if (!m || depth > 32) return false;
  for (size_t i = 0; i < m->items.size(); ++i) {
    HMENU sub = m->items[i].submenu;
    if (!sub) continue;
    if (sub == sought) {
      parent = root;
      position = static_cast<int>(i);
      return true;
    }
    if (ParentOf(sub, sought, parent, position, depth + 1)) return true;
  }
  return false;
}

// The item of the command in the window's menu or system menu, and whether it is there.
bool FindCommand(HWND window, WORD cmd, HMENU& menu, bool& grayed) {
  for (HMENU candidate : {GetMenu(window), GetSystemMenu(window, FALSE)}) {
    HMENU holder = nullptr;
    int at = FindMenuItem(candidate, cmd, MF_BYCOMMAND, &holder);
    if (at < 0) continue;
    menu = candidate;
    grayed = LiveMenu(holder)->items[static_cast<size_t>(at)].Grayed();
    return true;
  }
  return false;
}

}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
  if (!entries || count <= 0) return nullptr;
  auto table = std::make_unique<AcceleratorTable>();
  table->entries.assign(entries, entries + count);
  HACCEL handle = table.get();
  Tables().emplace(handle, std::move(table));
  return handle;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return Tables().erase(table) ? TRUE : FALSE; }

int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count) {
  AcceleratorTable* t = LiveTable(table);
  if (!t) return 0;
  int total = static_cast<int>(t->entries.size());
  if (!out) return total;
  int n = std::clamp(count, 0, total);
  std::copy_n(t->entries.begin(), n, out);
  return n;
}

int TranslateAccelerator(HWND window, HACCEL table, const MSG* msg) {
  AcceleratorTable* t = LiveTable(table);
  if (!t || !msg || !IsWindow(window)) return 0;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN && msg->message != WM_CHAR &&
      msg->message != WM_SYSCHAR)
    return 0;
  for (const ACCEL& entry : t->entries) {
    if (!Matches(entry, *msg)) continue;
    // A disabled window, or a menu open, takes no shortcuts; the key is still used up.
    if (!IsWindowEnabled(window) || MenuLoopOwner()) return 1;
    HMENU menu = nullptr;
    bool grayed = false;
    bool inMenu = FindCommand(window, entry.cmd, menu, grayed);
    bool system = inMenu && menu == GetSystemMenu(window, FALSE) && menu != GetMenu(window);
    if (inMenu) {
      // The program updates its items' states when the menu, and the popup that holds the
      // item, are about to be used.
      SendMessage(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
      if (!IsWindow(window)) return 1;
      HMENU holder = nullptr;
      int at = FindMenuItem(menu, entry.cmd, MF_BYCOMMAND, &holder);
      HMENU parent = nullptr;
      int position = 0;
      if (at >= 0 && holder != menu && ParentOf(menu, holder, parent, position)) {
        SendMessage(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(holder), MAKELPARAM(position, system ? 1 : 0));
        if (!IsWindow(window)) return 1;
        at = FindMenuItem(menu, entry.cmd, MF_BYCOMMAND, &holder);
      }
      if (at >= 0) grayed = LiveMenu(holder)->items[static_cast<size_t>(at)].Grayed();
      if (grayed || IsIconic(window)) return 1;
    }
    if (system) SendMessage(window, WM_SYSCOMMAND, entry.cmd, 0);
    else SendMessage(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}
