#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/host/Host.h"

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
