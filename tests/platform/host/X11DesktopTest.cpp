// The SDL host on the user's X screen, against other X clients: a capture takes the whole
// screen or the active window (its frame included) without the program's own window; hot keys
// fire while another client has the keyboard and a combination another client holds is
// refused; the keyboard layout follows the X keyboard extension. On an X server of the
// test's own. The names X gives layouts map to languages without any display.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "OtherXClient.h"
#include "platform/host/KeyboardLanguage.h"
#include "platform/rtl/LastError.h"
#include "platform/user/Desktop.h"
#include "platform/user/HotKey.h"
#include "platform/user/KeyboardLayout.h"
#include "platform/user/ScreenCapture.h"
#include "platform/user/User.h"
#include "support/PrivateDisplay.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

TEST(KeyboardLanguage, LayoutNamesAsATable) {
  struct Case {
    const char* layout;
    const char* variant;
    int language;
  } cases[] = {
      {"us", "", 1033}, {"ru", "", 1049}, {"ru", "phonetic", 1049}, {" de ", "", 1031}, {"RU", "", 1049},
      {"rs", "", 3098}, {"rs", "latinyz", 2074}, {"cz", "qwerty", 1029}, {"gr", "", 1032}, {"tr", "", 1055},
      {"lt", "", 1063}, {"xx", "", 0}, {"", "", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(LanguageOfXkbLayout(c.layout, c.variant), c.language) << c.layout;
}

TEST(KeyboardLanguage, GroupsOfTheLayoutLists) {
  struct Case {
    const char* layouts;
    const char* variants;
    int group;
    const char* layout;
    const char* variant;
  } cases[] = {
      {"us,ru", ",phonetic", 0, "us", ""}, {"us,ru", ",phonetic", 1, "ru", "phonetic"},
      {"us,ru", "", 1, "ru", ""},          {"us", "", 1, "us", ""}, {"us,ru", "", 3, "ru", ""}, {"", "", 0, "", ""},
      {"de", "nodeadkeys", 0, "de", "nodeadkeys"}, {"us,ru", "", -1, "", ""},
  };
  for (const Case& c : cases) {
    const XkbGroupLayout got = XkbLayoutOfGroup(c.layouts, c.variants, c.group);
    EXPECT_EQ(got.layout, c.layout) << c.layouts << " group " << c.group;
    EXPECT_EQ(got.variant, c.variant) << c.layouts << " group " << c.group;
  }
  struct SymbolsCase {
    const char* symbols;
    int group;
    const char* layout;
    const char* variant;
  } symbols[] = {
      {"pc+us+ru:2+inet(evdev)", 0, "us", ""},
      {"pc+us+ru:2+inet(evdev)", 1, "ru", ""},
      {"pc+us+rs(latin):2+inet(evdev)+group(alt_shift_toggle)", 1, "rs", "latin"},
      {"pc+de(nodeadkeys)+inet(evdev)", 0, "de", "nodeadkeys"},
      {"pc+us+inet(evdev)", 1, "us", ""},
      {"", 0, "", ""},
  };
  for (const SymbolsCase& c : symbols) {
    const XkbGroupLayout got = XkbLayoutOfSymbols(c.symbols, c.group);
    EXPECT_EQ(got.layout, c.layout) << c.symbols << " group " << c.group;
    EXPECT_EQ(got.variant, c.variant) << c.symbols << " group " << c.group;
  }
}

// Runs the program's loop, waiting on the host, until the condition holds; false when it has
// not after a long while.
bool RunUntil(UiDriver& ui, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    ui.RunUntilIdle();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    DesktopHost().WaitEvent(20);
  }
}

class UserScreenOnX : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(display_.Ready()) << display_.Problem(); }
  PrivateDisplay display_;
  ScopedEnv sdlHost_{"QUILLO_HOST", "sdl"};
};

// In a process of its own, as each test here: SDL's video start-up keeps a D-Bus connection
// that SDL 2.26 never frees, which the leak check at a normal exit would report.
#define IN_OWN_PROCESS(body)                                           \
  EXPECT_EXIT(                                                         \
      {                                                                \
        body();                                                        \
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);             \
      },                                                               \
      ::testing::ExitedWithCode(0), "")

bool OpenedOnX(UiDriver&) {
  if (std::string(DesktopHost().Name()) == "sdl") return true;
  ADD_FAILURE() << "the SDL host did not open";
  return false;
}

std::uint32_t At(const Host::ScreenImage& image, int x, int y) {
  return image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
}

void CaptureTakesTheScreenAndTheActiveWindow() {
  TempHome home;
  UiDriver ui(320, 240);
  if (!OpenedOnX(ui)) return;
  FlushDesktop();
  const std::uint32_t programDesktop = ui.Pixel(2, 2);
  OtherXClient other;
  ASSERT_TRUE(other.Ready());
  const unsigned long front = other.Show(100, 100, 200, 150, 0x123456);
  other.Activate(front);

  // The whole screen: the other program's window, and nothing of the program's own.
  Host::ScreenImage shot;
  ASSERT_TRUE(CaptureUserScreen(CaptureSource::WholeScreen, shot));
  ASSERT_EQ(shot.width, 1024);
  ASSERT_EQ(shot.height, 768);
  EXPECT_EQ(At(shot, 100, 100), 0x123456u);
  EXPECT_EQ(At(shot, 299, 249), 0x123456u);
  const std::uint32_t background = At(shot, 0, 0);
  EXPECT_NE(background, programDesktop);
  int strays = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const bool inFront = x >= 100 && x < 300 && y >= 100 && y < 250;
      if (!inFront && At(shot, x, y) != background) ++strays;
    }
  EXPECT_EQ(strays, 0) << "pixels of the program's own window";

  // The active window alone, and clipped to the screen when it stands partly off it.
  ASSERT_TRUE(CaptureUserScreen(CaptureSource::ActiveWindow, shot));
  ASSERT_EQ(shot.width, 200);
  ASSERT_EQ(shot.height, 150);
  EXPECT_EQ(At(shot, 0, 0), 0x123456u);
  EXPECT_EQ(At(shot, 199, 149), 0x123456u);
  other.Move(front, -50, 700);
  ASSERT_TRUE(CaptureUserScreen(CaptureSource::ActiveWindow, shot));
  EXPECT_EQ(shot.width, 150);
  EXPECT_EQ(shot.height, 68);

  // A window a window manager framed: the frame comes with it.
  const unsigned long frame = other.Show(400, 50, 220, 180, 0xAA0000);
  const unsigned long client = other.Show(10, 20, 200, 150, 0x00BB00, frame);
  other.Activate(client);
  ASSERT_TRUE(CaptureUserScreen(CaptureSource::ActiveWindow, shot));
  ASSERT_EQ(shot.width, 220);
  ASSERT_EQ(shot.height, 180);
  EXPECT_EQ(At(shot, 2, 2), 0xAA0000u);
  EXPECT_EQ(At(shot, 15, 25), 0x00BB00u);

  // The program's window is back once the picture is taken.
  EXPECT_EQ(other.ViewableTopLevels(), 3) << "the two others' and the program's";
}

TEST_F(UserScreenOnX, CaptureTakesTheScreenAndTheActiveWindow) {
  IN_OWN_PROCESS(CaptureTakesTheScreenAndTheActiveWindow);
}

// Windows of this class count the hot keys they are posted.
class HotKeyCounter {
public:
  HotKeyCounter() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_HOTKEY) heard.push_back(static_cast<int>(wp));
      return DefWindowProc(w, m, wp, lp);
    };
    wc.lpszClassName = "HotKeyCounter";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "HotKeyCounter", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150, nullptr,
                            nullptr, nullptr, nullptr);
  }
  ~HotKeyCounter() {
    if (IsWindow(window)) DestroyWindow(window);
    UnregisterClass("HotKeyCounter", nullptr);
  }
  HWND window = nullptr;
  std::vector<int> heard;
};

void HotKeysFireWhileAnotherProgramHasTheKeyboard() {
  TempHome home;
  UiDriver ui(320, 240);
  if (!OpenedOnX(ui)) return;
  HotKeyCounter counter;
  OtherXClient other;
  ASSERT_TRUE(other.Ready());
  other.Activate(other.Show(100, 100, 200, 150, 0x123456));

  ASSERT_TRUE(RegisterHotKey(counter.window, 13417, MOD_CONTROL | MOD_ALT, 'K'));
  EXPECT_FALSE(other.CanGrab("k", OtherXClient::Control | OtherXClient::Alt)) << "the program holds it on the screen";
  EXPECT_FALSE(other.CanGrab("k", OtherXClient::Control | OtherXClient::Alt | OtherXClient::CapsLock)) << "with Caps Lock too";
  other.Chord({"Control_L", "Alt_L", "k"});
  ASSERT_TRUE(RunUntil(ui, [&] { return counter.heard.size() == 1; })) << "hot key not heard";
  EXPECT_EQ(counter.heard[0], 13417);

  // With Num Lock on, the same combination.
  other.Chord({"Num_Lock"});
  other.Chord({"Control_L", "Alt_L", "k"});
  ASSERT_TRUE(RunUntil(ui, [&] { return counter.heard.size() == 2; })) << "not heard with Num Lock";
  other.Chord({"Num_Lock"});
  // Another combination is the other program's key, not a hot key.
  other.Chord({"Control_L", "j"});
  ui.RunUntilIdle();

  // A combination another program holds is refused, and stays free for the program.
  other.Hold("j", OtherXClient::Control | OtherXClient::Shift);
  SetLastError(0);
  EXPECT_FALSE(RegisterHotKey(counter.window, 2, MOD_CONTROL | MOD_SHIFT, 'J'));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
  EXPECT_FALSE(UnregisterHotKey(counter.window, 2)) << "nothing was registered";
  other.LetGo("j", OtherXClient::Control | OtherXClient::Shift);
  EXPECT_TRUE(RegisterHotKey(counter.window, 2, MOD_CONTROL | MOD_SHIFT, 'J'));

  // Unregistered, and with its window destroyed, the combinations are free again.
  EXPECT_TRUE(UnregisterHotKey(counter.window, 13417));
  EXPECT_TRUE(other.CanGrab("k", OtherXClient::Control | OtherXClient::Alt));
  EXPECT_FALSE(other.CanGrab("j", OtherXClient::Control | OtherXClient::Shift));
  DestroyWindow(counter.window);
  EXPECT_TRUE(other.CanGrab("j", OtherXClient::Control | OtherXClient::Shift));
  EXPECT_EQ(counter.heard.size(), 2u);
}

TEST_F(UserScreenOnX, HotKeysFireWhileAnotherProgramHasTheKeyboard) {
  IN_OWN_PROCESS(HotKeysFireWhileAnotherProgramHasTheKeyboard);
}

int Language() { return static_cast<int>(GetKeyboardLayout(0) & 0xFFFF); }

bool SetXkbMap(const std::string& arguments) {
  return std::system(("setxkbmap " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

void KeyboardLayoutFollowsTheXKeyboard() {
  TempHome home;
  ASSERT_TRUE(SetXkbMap("-layout us,ru"));
  SetKeyboardLayoutLanguage(0);  // so that only the host can make it US English
  UiDriver ui(320, 240);
  if (!OpenedOnX(ui)) return;
  ASSERT_TRUE(RunUntil(ui, [] { return Language() == 1033; })) << Language();

  // The user switches to the keyboard's second group, then loads other layouts.
  OtherXClient other;
  ASSERT_TRUE(other.Ready());
  other.LockGroup(1);
  EXPECT_TRUE(RunUntil(ui, [] { return Language() == 1049; })) << Language();
  ASSERT_TRUE(SetXkbMap("-layout cz"));
  EXPECT_TRUE(RunUntil(ui, [] { return Language() == 1029; })) << Language();
  ASSERT_TRUE(SetXkbMap("-layout rs -variant latin"));
  EXPECT_TRUE(RunUntil(ui, [] { return Language() == 2074; })) << Language();
  ASSERT_TRUE(SetXkbMap("-layout us"));
  EXPECT_TRUE(RunUntil(ui, [] { return Language() == 1033; })) << Language();
}

TEST_F(UserScreenOnX, KeyboardLayoutFollowsTheXKeyboard) {
  IN_OWN_PROCESS(KeyboardLayoutFollowsTheXKeyboard);
}

}  // namespace
