// Hot keys over the desktop's HotKeyTable.

#include "platform/user/HotKey.h"

#include "platform/rtl/LastError.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/Window.h"

namespace {
constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
}

bool HotKeyTable::Add(const Entry& entry) {
  for (const Entry& e : entries_)
    if (e.modifiers == entry.modifiers && e.vk == entry.vk && !(e.window == entry.window && e.id == entry.id))
      return false;
  for (Entry& e : entries_)
    if (e.window == entry.window && e.id == entry.id) {
      e = entry;
      return true;
    }
  entries_.push_back(entry);
  return true;
}

bool HotKeyTable::Remove(HWND window, int id) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (it->window == window && it->id == id) {
      entries_.erase(it);
      return true;
    }
  return false;
}

void HotKeyTable::ForgetWindow(HWND window) {
  std::erase_if(entries_, [window](const Entry& e) { return e.window == window; });
}

const HotKeyTable::Entry* HotKeyTable::Match(UINT modifiers, UINT vk) const {
  for (const Entry& e : entries_)
    if (e.modifiers == modifiers && e.vk == vk) return &e;
  return nullptr;
}

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) {
  EnsureDesktop();
  if (window && !LiveWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (vk == 0 || vk > 0xFE || (modifiers & ~(kModifierMask | MOD_NOREPEAT))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HotKeyTable::Entry entry{window, id, modifiers & kModifierMask, vk, (modifiers & MOD_NOREPEAT) != 0};
  if (!wm::HotKeys().Add(entry)) {
    SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
    return FALSE;
  }
  return TRUE;
}

BOOL UnregisterHotKey(HWND window, int id) {
  EnsureDesktop();
  if (!wm::HotKeys().Remove(window, id)) {
    SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
    return FALSE;
  }
  return TRUE;
}
