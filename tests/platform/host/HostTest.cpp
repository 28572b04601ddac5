#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/host/Host.h"
#include "platform/host/KeyCodes.h"

namespace {

// Sets or clears an environment variable for one scope.
class EnvScope {
public:
  EnvScope(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) had_ = true, old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~EnvScope() {
    if (had_) setenv(name_, old_.c_str(), 1);
    else unsetenv(name_);
  }

private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

TEST(Host, SelectionFollowsTheEnvironment) {
  struct Case {
    const char* host;
    const char* display;
    const char* wayland;
    const char* expected;
  } cases[] = {{"headless", ":0", nullptr, "headless"}, {"sdl", nullptr, nullptr, "sdl"},
               {nullptr, ":0", nullptr, "sdl"},         {nullptr, nullptr, "wayland-0", "sdl"},
               {nullptr, nullptr, nullptr, "headless"}, {nullptr, "", nullptr, "headless"}};
  for (const Case& c : cases) {
    EnvScope host("QUILLO_HOST", c.host), display("DISPLAY", c.display), wayland("WAYLAND_DISPLAY", c.wayland);
    EXPECT_STREQ(CreateHost()->Name(), c.expected) << (c.host ? c.host : "-") << " " << (c.display ? c.display : "-");
  }
}

TEST(Host, InjectedInputComesFirstAndInOrder) {
  auto host = CreateHeadlessHost();
  ASSERT_TRUE(host->Open(100, 100));
  InputEvent a, b;
  a.kind = InputEvent::Kind::MouseMove;
  a.x = 5;
  b.kind = InputEvent::Kind::KeyDown;
  b.vk = 'A';
  host->Inject(a);
  host->Inject(b);
  InputEvent out;
  ASSERT_TRUE(host->PollEvent(out));
  EXPECT_EQ(out.x, 5);
  ASSERT_TRUE(host->PollEvent(out));
  EXPECT_EQ(out.vk, 'A');
  EXPECT_FALSE(host->PollEvent(out));
}

}  // namespace

namespace {

void PushKey(Uint32 type, SDL_Keycode key) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&e);
}

void PushText(const char* text) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  SDL_strlcpy(e.text.text, text, sizeof e.text.text);
  SDL_PushEvent(&e);
}

// The SDL host on SDL's dummy video driver, its start-up events taken; events pushed into
// SDL's queue come out of it as the host translates them.
class SdlHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    host = CreateSdlHost();
    if (!host->Open(64, 48)) GTEST_SKIP() << "SDL's dummy video driver is not available: " << SDL_GetError();
    InputEvent drained;
    while (host->PollEvent(drained)) {
    }
  }

  EnvScope driver{"SDL_VIDEODRIVER", "dummy"};
  std::unique_ptr<Host> host;
};

// Typing on a real display: the key messages and then the character, for plain ASCII
// characters (digits in a number field, letters of a file name) as for any other.
TEST_F(SdlHostTest, TypedCharactersArriveAfterTheirKeys) {
  PushKey(SDL_KEYDOWN, SDLK_5);
  PushText("5");
  PushKey(SDL_KEYUP, SDLK_5);
  PushText("a b");
  PushText("\xc3\xa9");
  std::vector<InputEvent> events;
  for (InputEvent e; host->PollEvent(e);) events.push_back(e);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].kind, InputEvent::Kind::KeyDown);
  EXPECT_EQ(events[0].vk, '5');
  EXPECT_EQ(events[1].kind, InputEvent::Kind::Text);
  EXPECT_EQ(events[1].text, "5");
  EXPECT_EQ(events[2].kind, InputEvent::Kind::KeyUp);
  EXPECT_EQ(events[3].text, "a b");
  EXPECT_EQ(events[4].text, "\xc3\xa9");
}

void PushKeyWith(SDL_Keycode key, Uint16 mod) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  e.key.keysym.mod = mod;
  e.key.state = SDL_PRESSED;
  SDL_PushEvent(&e);
}

// Alt with a letter is a menu's letter, not typing; the right Alt as AltGr ('@' of AltGr+Q on
// a German keyboard) types.
TEST_F(SdlHostTest, TextOfTheRightAltsThirdLevelIsMarkedAndAltLettersAreNot) {
  const struct {
    SDL_Keycode alt, key;
    Uint16 mod;
    const char* text;
    bool thirdLevel;
  } cases[] = {
      {SDLK_LALT, SDLK_f, KMOD_LALT, "f", false},
      {SDLK_RALT, SDLK_f, KMOD_RALT, "f", false},
      {SDLK_RALT, SDLK_f, KMOD_RALT | KMOD_LSHIFT, "F", false},
      {SDLK_RALT, SDLK_q, KMOD_RALT, "@", true},
      {SDLK_LALT, SDLK_q, KMOD_LALT, "@", false},
      {SDLK_RALT, SDLK_e, KMOD_RALT, "\xe2\x82\xac", true},
  };
  for (const auto& c : cases) {
    PushKeyWith(c.alt, c.mod);
    PushKeyWith(c.key, c.mod);
    PushText(c.text);
    std::vector<InputEvent> events;
    for (InputEvent e; host->PollEvent(e);) events.push_back(e);
    ASSERT_EQ(events.size(), 3u) << c.text;
    EXPECT_EQ(events[2].kind, InputEvent::Kind::Text) << c.text;
    EXPECT_EQ(events[2].thirdLevel, c.thirdLevel) << c.text;
  }
}

// Keys held when the window loses the keyboard (Alt of an Alt+Tab away) are let go then, or
// the program would take every later click as Alt+click; SDL's own events carry their age.
TEST_F(SdlHostTest, KeysHeldWhenTheWindowLosesTheKeyboardAreReleased) {
  PushKeyWith(SDLK_LALT, KMOD_LALT);
  PushKeyWith(SDLK_LSHIFT, KMOD_LALT | KMOD_LSHIFT);
  PushKey(SDL_KEYUP, SDLK_LSHIFT);
  SDL_Event lost{};
  lost.type = SDL_WINDOWEVENT;
  lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&lost);
  std::vector<InputEvent> events;
  for (InputEvent e; host->PollEvent(e);) events.push_back(e);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_TRUE(events[0].ageMs.has_value());
  EXPECT_EQ(events[3].kind, InputEvent::Kind::KeyUp);
  EXPECT_EQ(events[3].vk, VK_MENU);
  for (InputEvent e; host->PollEvent(e);) ADD_FAILURE() << "nothing more is owed";
}

}  // namespace
