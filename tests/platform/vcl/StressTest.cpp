// The monkey over a few seeds on every run; QUILLO_STRESS_SEEDS=first-last (or a count)
// runs more by hand, QUILLO_STRESS_STEPS sets how many steps each seed takes.

#include <cstdlib>
#include <string>

#include "Monkey.h"

namespace {

struct SeedRange {
  std::uint32_t first = 1;
  std::uint32_t last = 6;
};

SeedRange Seeds() {
  SeedRange range;
  if (const char* text = std::getenv("QUILLO_STRESS_SEEDS")) {
    std::string s = text;
    if (auto dash = s.find('-'); dash != std::string::npos) {
      range.first = static_cast<std::uint32_t>(std::stoul(s.substr(0, dash)));
      range.last = static_cast<std::uint32_t>(std::stoul(s.substr(dash + 1)));
    } else {
      range.last = static_cast<std::uint32_t>(std::stoul(s));
    }
  }
  return range;
}

int Steps() {
  const char* text = std::getenv("QUILLO_STRESS_STEPS");
  return text ? std::atoi(text) : 120;
}

}  // namespace

TEST(StressTest, RandomUseKeepsTheDesktopSound) {
  SeedRange range = Seeds();
  for (std::uint32_t seed = range.first; seed <= range.last; ++seed) {
    UiDriver ui;
    std::string broken;
    {
      Monkey monkey(ui, seed);
      broken = monkey.Run(Steps());
    }
    EXPECT_EQ(broken, "") << "seed " << seed;
    if (!broken.empty()) break;
  }
}
