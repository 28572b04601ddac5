#include <gtest/gtest.h>

#include "platform/user/TimerService.h"

namespace {

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1000 * n)); }

bool Anyone(HWND) { return true; }

// The timer due longest goes first, across the wrap of the tick count; taking it with
// restart moves it an interval past now, so the other one comes next.
TEST(TimerService, LongestDueFirstAcrossTheTickWrap) {
  TimerService timers;
  const DWORD start = 0xFFFFFFC0u;
  timers.Set(FakeWindow(2), 2, 100, nullptr, start);  // due 0x24, after the wrap
  timers.Set(FakeWindow(1), 1, 40, nullptr, start);   // due 0xFFFFFFE8, before it
  EXPECT_EQ(timers.TakeDue(start + 10, Anyone, true), nullptr);
  EXPECT_EQ(timers.NextDelay(start + 10), 30);
  const DWORD now = start + 0x200;
  const TimerEntry* first = timers.TakeDue(now, Anyone, true);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->window, FakeWindow(1));
  EXPECT_EQ(first->due, now + 40);
  const TimerEntry* second = timers.TakeDue(now, Anyone, false);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->window, FakeWindow(2));
  EXPECT_EQ(timers.TakeDue(now, [](HWND w) { return w == FakeWindow(1); }, false), nullptr);
}

// Window timers answer their own id; thread timers get fresh ids, and keep theirs when set
// again. An interval below 10 ms is raised to 10.
TEST(TimerService, IdsAndIntervals) {
  TimerService timers;
  EXPECT_EQ(timers.Set(FakeWindow(1), 0, 5, nullptr, 0), 1u);
  EXPECT_EQ(timers.Set(FakeWindow(1), 7, 5, nullptr, 0), 7u);
  EXPECT_EQ(timers.Set(FakeWindow(1), 7, 30, nullptr, 0), 1u);  // set again
  EXPECT_EQ(timers.Find(FakeWindow(1), 7)->interval, 30u);
  EXPECT_EQ(timers.Find(FakeWindow(1), 0)->interval, 10u);
  UINT_PTR a = timers.Set(nullptr, 0, 20, nullptr, 0);
  UINT_PTR b = timers.Set(nullptr, 0, 20, nullptr, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(timers.Set(nullptr, a, 40, nullptr, 0), a);
  EXPECT_EQ(timers.Find(nullptr, a)->interval, 40u);
  EXPECT_TRUE(timers.Kill(nullptr, a));
  EXPECT_FALSE(timers.Kill(nullptr, a));
  timers.KillAllOf(FakeWindow(1));
  EXPECT_EQ(timers.Find(FakeWindow(1), 7), nullptr);
  EXPECT_NE(timers.Find(nullptr, b), nullptr);
}

}  // namespace
