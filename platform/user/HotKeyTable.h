#pragma once
// The desktop's registered hot keys, by window and identifier. The keyboard input asks it
// for a combination before delivering a key; a destroyed window's hot keys go with it.

#include <vector>

#include "platform/user/UserTypes.h"

class HotKeyTable {
public:
  struct Entry {
    HWND window = nullptr;  // null: the hot key belongs to the thread (posted without a window)
    int id = 0;
    UINT modifiers = 0;  // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN; without MOD_NOREPEAT
    UINT vk = 0;
    bool noRepeat = false;
  };
  // False when the combination belongs to another registration.
  bool Add(const Entry& entry);
  bool Remove(HWND window, int id);
  // The window's entries, taken out.
  std::vector<Entry> ForgetWindow(HWND window);
  const Entry* Find(HWND window, int id) const;
  const Entry* Match(UINT modifiers, UINT vk) const;
  void Clear() { entries_.clear(); }

private:
  std::vector<Entry> entries_;
};

namespace wm {
HotKeyTable& HotKeys();
}

// A destroyed window's hot keys go, and the host lets their combinations go too.
void ForgetWindowHotKeys(HWND window);
// Posts WM_HOTKEY to the owner of the combination (not for a repeat when it asked for none);
// false when no hot key has it. Keys of the desktop and the host's grabs come here alike.
bool DeliverHotKey(UINT modifiers, UINT vk, bool repeat);
