// Hot keys: a registered combination reaches its window as WM_HOTKEY, wherever the focus is,
// and no window sees it as a key; other combinations stay keys; a combination has one owner;
// hot keys go with their window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/LastError.h"
#include "platform/user/User.h"
#include "support/UiDriver.h"

namespace {

// Windows of this class log the keys and hot keys they hear as "key 41", "hotkey 7 3 41".
class KeyLog {
public:
  KeyLog() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      char line[64];
      if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        std::snprintf(line, sizeof line, "key %X", static_cast<unsigned>(wp));
        if (static_cast<int>(wp) >= 'A' && wp != VK_LWIN && wp != VK_RWIN) log.push_back(line);
      }
      if (m == WM_HOTKEY) {
        std::snprintf(line, sizeof line, "hotkey %d %X %X", static_cast<int>(wp), LOWORD(lp), HIWORD(lp));
        log.push_back(line);
        hotKeyWindows.push_back(w);
      }
      return DefWindowProc(w, m, wp, lp);
    };
    wc.lpszClassName = "HotKeyLog";
    RegisterClass(&wc);
  }
  // The windows go first: their procedure is this object.
  ~KeyLog() {
    for (HWND w : made_)
      if (IsWindow(w)) DestroyWindow(w);
    UnregisterClass("HotKeyLog", nullptr);
  }
  HWND Make(int x) {
    made_.push_back(CreateWindowEx(0, "HotKeyLog", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 10, 200, 150, nullptr,
                                   nullptr, nullptr, nullptr));
    return made_.back();
  }
  std::vector<std::string> log;
  std::vector<HWND> hotKeyWindows;

private:
  std::vector<HWND> made_;
};

// Presses the modifiers, the key, and lets go in reverse order.
void Chord(UiDriver& ui, const std::vector<int>& modifiers, int vk) {
  for (int m : modifiers) ui.KeyDown(m);
  ui.Press(vk);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) ui.KeyUp(*it);
}

TEST(HotKey, CombinationsAsATable) {
  UiDriver ui;
  KeyLog keys;
  HWND owner = keys.Make(10), other = keys.Make(300);
  SetFocus(other);
  ASSERT_TRUE(RegisterHotKey(owner, 13417, MOD_CONTROL | MOD_ALT, 'K'));
  ASSERT_TRUE(RegisterHotKey(owner, 2, MOD_WIN, 'A'));
  ASSERT_TRUE(RegisterHotKey(owner, 3, MOD_SHIFT, VK_F5));
  ASSERT_TRUE(RegisterHotKey(owner, 4, 0, VK_F9));
  struct Case {
    const char* what;
    std::vector<int> modifiers;
    int vk;
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {"registered Ctrl+Alt+K", {VK_CONTROL, VK_MENU}, 'K', {"hotkey 13417 3 4B"}},
      {"the same keys pressed the other way round", {VK_MENU, VK_CONTROL}, 'K', {"hotkey 13417 3 4B"}},
      {"Win+A", {VK_LWIN}, 'A', {"hotkey 2 8 41"}},
      {"the right Win key", {VK_RWIN}, 'A', {"hotkey 2 8 41"}},
      {"Shift+F5", {VK_SHIFT}, VK_F5, {"hotkey 3 4 74"}},
      {"F9 with no modifier", {}, VK_F9, {"hotkey 4 0 78"}},
      {"Ctrl+K: a modifier missing", {VK_CONTROL}, 'K', {"key 4B"}},
      {"Ctrl+Alt+Shift+K: a modifier more", {VK_CONTROL, VK_MENU, VK_SHIFT}, 'K', {"key 4B"}},
      {"Ctrl+Alt+J: not registered", {VK_CONTROL, VK_MENU}, 'J', {"key 4A"}},
      {"Ctrl+F9: F9 alone is the hot key", {VK_CONTROL}, VK_F9, {"key 78"}},
  };
  for (const Case& c : cases) {
    keys.log.clear();
    keys.hotKeyWindows.clear();
    Chord(ui, c.modifiers, c.vk);
    EXPECT_EQ(keys.log, c.heard) << c.what;
    for (HWND w : keys.hotKeyWindows) EXPECT_EQ(w, owner) << c.what;
  }
}

TEST(HotKey, ReachesItsWindowWhenNoWindowHasTheFocus) {
  UiDriver ui;
  KeyLog keys;
  HWND owner = keys.Make(10);
  ASSERT_TRUE(RegisterHotKey(owner, 7, MOD_CONTROL, 'P'));
  ShowWindow(owner, SW_MINIMIZE);
  SetFocus(nullptr);
  ui.RunUntilIdle();
  keys.log.clear();
  Chord(ui, {VK_CONTROL}, 'P');
  EXPECT_EQ(keys.log, std::vector<std::string>{"hotkey 7 2 50"});
}

TEST(HotKey, ACombinationHasOneOwnerAndGoesWithItsWindow) {
  UiDriver ui;
  KeyLog keys;
  HWND a = keys.Make(10), b = keys.Make(300);
  SetFocus(b);
  ASSERT_TRUE(RegisterHotKey(a, 1, MOD_ALT, 'Q'));
  SetLastError(0);
  EXPECT_FALSE(RegisterHotKey(b, 1, MOD_ALT, 'Q')) << "another window's combination";
  EXPECT_EQ(GetLastError(), ERROR_HOTKEY_ALREADY_REGISTERED);
  EXPECT_FALSE(RegisterHotKey(a, 2, MOD_ALT, 'Q')) << "the same window under another identifier";
  EXPECT_EQ(GetLastError(), ERROR_HOTKEY_ALREADY_REGISTERED);
  EXPECT_FALSE(RegisterHotKey(b, 1, MOD_ALT | 0x100, 'R')) << "an unknown modifier";
  EXPECT_FALSE(UnregisterHotKey(b, 1)) << "b has none";
  EXPECT_EQ(GetLastError(), ERROR_HOTKEY_NOT_REGISTERED);

  // Registering an identifier again moves it to the new combination.
  ASSERT_TRUE(RegisterHotKey(a, 1, MOD_ALT, 'W'));
  ASSERT_TRUE(RegisterHotKey(b, 1, MOD_ALT, 'Q'));
  keys.log.clear();
  Chord(ui, {VK_MENU}, 'Q');
  Chord(ui, {VK_MENU}, 'W');
  EXPECT_EQ(keys.log, (std::vector<std::string>{"hotkey 1 1 51", "hotkey 1 1 57"}));
  EXPECT_EQ(keys.hotKeyWindows, (std::vector<HWND>{b, a}));

  // Unregistered, the combination is a key again.
  EXPECT_TRUE(UnregisterHotKey(b, 1));
  keys.log.clear();
  Chord(ui, {VK_MENU}, 'Q');
  EXPECT_EQ(keys.log, std::vector<std::string>{"key 51"});

  // A destroyed window's hot keys are freed, and another window may take them.
  DestroyWindow(a);
  keys.log.clear();
  Chord(ui, {VK_MENU}, 'W');
  EXPECT_EQ(keys.log, std::vector<std::string>{"key 57"});
  EXPECT_TRUE(RegisterHotKey(b, 9, MOD_ALT, 'W'));
}

TEST(HotKey, RepeatsUnlessAskedNotTo) {
  UiDriver ui;
  KeyLog keys;
  HWND w = keys.Make(10);
  ASSERT_TRUE(RegisterHotKey(w, 1, MOD_CONTROL, 'R'));
  ASSERT_TRUE(RegisterHotKey(w, 2, MOD_CONTROL | MOD_NOREPEAT, 'N'));
  keys.log.clear();
  ui.KeyDown(VK_CONTROL);
  ui.KeyDown('R');
  ui.KeyDown('R');  // held: the keyboard repeats
  ui.KeyUp('R');
  ui.KeyDown('N');
  ui.KeyDown('N');
  ui.KeyUp('N');
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(keys.log, (std::vector<std::string>{"hotkey 1 2 52", "hotkey 1 2 52", "hotkey 2 2 4E"}));
}

}  // namespace
