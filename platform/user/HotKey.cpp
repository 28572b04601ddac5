// Hot keys over the desktop's HotKeyTable.

#include "platform/user/HotKey.h"

#include <optional>

#include "platform/rtl/LastError.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/Window.h"
#include "platform/user/WinConst.h"

namespace {

constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
static_assert(MOD_ALT == Host::HotKeyAlt && MOD_CONTROL == Host::HotKeyControl &&
              MOD_SHIFT == Host::HotKeyShift && MOD_WIN == Host::HotKeyWin);

// The host takes the combinations for the user's whole screen where it shares one with other
// programs; null: the program's desktop alone.
Host* ScreenHost() { return wm::Screen().Display(); }

void ReleaseOnHost(const HotKeyTable::Entry& entry) {
  if (Host* host = ScreenHost()) host->ReleaseHotKey(entry.modifiers, static_cast<int>(entry.vk));
}

}  // namespace

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

std::vector<HotKeyTable::Entry> HotKeyTable::ForgetWindow(HWND window) {
  std::vector<Entry> gone;
  for (const Entry& e : entries_)
    if (e.window == window) gone.push_back(e);
  std::erase_if(entries_, [window](const Entry& e) { return e.window == window; });
  return gone;
}

const HotKeyTable::Entry* HotKeyTable::Find(HWND window, int id) const {
  for (const Entry& e : entries_)
    if (e.window == window && e.id == id) return &e;
  return nullptr;
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
  std::optional<HotKeyTable::Entry> previous;
  if (const HotKeyTable::Entry* e = wm::HotKeys().Find(window, id)) previous = *e;
  if (!wm::HotKeys().Add(entry)) {
    SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
    return FALSE;
  }
  const bool sameKeys = previous && previous->modifiers == entry.modifiers && previous->vk == entry.vk;
  if (Host* host = ScreenHost(); host && !sameKeys) {
    if (host->GrabHotKey(entry.modifiers, static_cast<int>(vk)) == Host::HotKeyGrab::InUse) {
      // Another program of the user's screen holds it: the registration stays as it was.
      if (previous) wm::HotKeys().Add(*previous);
      else wm::HotKeys().Remove(window, id);
      SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
      return FALSE;
    }
    if (previous) ReleaseOnHost(*previous);
  }
  return TRUE;
}

BOOL UnregisterHotKey(HWND window, int id) {
  EnsureDesktop();
  const HotKeyTable::Entry* e = wm::HotKeys().Find(window, id);
  if (!e) {
    SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
    return FALSE;
  }
  const HotKeyTable::Entry gone = *e;
  wm::HotKeys().Remove(window, id);
  ReleaseOnHost(gone);
  return TRUE;
}

void ForgetWindowHotKeys(HWND window) {
  for (const HotKeyTable::Entry& gone : wm::HotKeys().ForgetWindow(window)) ReleaseOnHost(gone);
}

bool DeliverHotKey(UINT modifiers, UINT vk, bool repeat) {
  const HotKeyTable::Entry* hotKey = wm::HotKeys().Match(modifiers, vk);
  if (!hotKey) return false;
  if (!(repeat && hotKey->noRepeat))
    PostMessage(hotKey->window, WM_HOTKEY, static_cast<WPARAM>(hotKey->id),
                MAKELPARAM(static_cast<int>(modifiers), static_cast<int>(vk)));
  return true;
}
