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

// What the monkey found, each as the shortest script that showed it.
class MonkeyFindingTest : public VclTest {};

TEST_F(MonkeyFindingTest, AFormFreedInsideItsModalLoopEndsTheLoop) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  ui.RunUntilIdle();
  auto* dialog = NewComponent<TForm>(Application());
  dialog->SetBounds(50, 50, 200, 100);
  bool waitedOn = false;
  ui.WhenModalWaits([&] { FreeObject(dialog); });
  ui.WhenModalWaits([&] { waitedOn = true; });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(waitedOn);  // the loop woke at once
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), main->GetHandle());
  EXPECT_EQ(Screen()->FormCount(), 1);
}

TEST_F(MonkeyFindingTest, AFormFreedWhileAnotherIsModalIsNotGivenTheFocusBack) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  auto* other = NewComponent<TForm>(Application());
  other->SetBounds(100, 100, 300, 200);
  other->Show();
  ui.RunUntilIdle();
  ASSERT_EQ(Screen()->FocusedForm(), other);
  auto dialog = MakeObject<TForm>(nullptr);
  ui.WhenModalWaits([&] {
    FreeObject(other);
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(Screen()->FocusedForm(), nullptr);
  ui.Click(50, 50);  // the main form takes the focus as before
  EXPECT_EQ(Screen()->FocusedForm(), main);
}
