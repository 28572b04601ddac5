// The threaded timer: a worker thread or a window timer, and the switch between them.

#include "ComponentFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/rtl/Clock.h"
#include "quillo/components/timers/ExTimer.h"

namespace {

class ExTimerTest : public ComponentTest {
protected:
  TExTimer* timer = nullptr;
  std::atomic<int> ticks{0};
  void SetUp() override { timer = NewComponent<TExTimer>(Application()); }
  void TearDown() override { FreeObject(timer); }
  // Moves the clock on and lets synchronized ticks run until ticks reaches count (or a few
  // seconds of real time pass).
  bool WaitForTicks(int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ticks < count && std::chrono::steady_clock::now() < deadline) {
      AdvanceClock(timer->GetInterval());
      CheckSynchronize();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return ticks >= count;
  }
};

TEST_F(ExTimerTest, NothingRunsWithoutAHandlerOrAnInterval) {
  EXPECT_FALSE(timer->ThreadRunning());
  EXPECT_FALSE(timer->WindowTimerRunning());
  timer->SetOnTimer([this](TObject*) { ++ticks; });
  EXPECT_TRUE(timer->ThreadRunning());
  timer->SetInterval(0);
  EXPECT_FALSE(timer->ThreadRunning());
  timer->SetThreaded(false);
  EXPECT_FALSE(timer->WindowTimerRunning());
  timer->SetInterval(100);
  EXPECT_TRUE(timer->WindowTimerRunning());
  timer->SetOnTimer(nullptr);
  EXPECT_FALSE(timer->WindowTimerRunning());
}

TEST_F(ExTimerTest, TheWorkerTicksOnTheInterfaceThread) {
  const auto uiThread = std::this_thread::get_id();
  std::atomic<bool> onUiThread{true};
  timer->SetInterval(100);
  timer->SetOnTimer([&](TObject*) {
    if (std::this_thread::get_id() != uiThread) onUiThread = false;
    ++ticks;
  });
  ASSERT_TRUE(WaitForTicks(3));
  EXPECT_TRUE(onUiThread);
}

TEST_F(ExTimerTest, WithoutSyncEventTheWorkerTicksItself) {
  const auto uiThread = std::this_thread::get_id();
  std::atomic<bool> onWorker{false};
  timer->SetSyncEvent(false);
  timer->SetInterval(100);
  timer->SetOnTimer([&](TObject*) {
    if (std::this_thread::get_id() != uiThread) onWorker = true;
    ++ticks;
  });
  ASSERT_TRUE(WaitForTicks(2));
  EXPECT_TRUE(onWorker);
}

TEST_F(ExTimerTest, SwitchingThreadedOffHandsOverToAWindowTimer) {
  timer->SetInterval(200);
  timer->SetOnTimer([this](TObject*) { ++ticks; });
  ASSERT_TRUE(WaitForTicks(1));
  timer->SetThreaded(false);
  EXPECT_FALSE(timer->ThreadRunning());
  EXPECT_TRUE(timer->WindowTimerRunning());
  // Let anything the paused worker had under way finish, then count window ticks only.
  CheckSynchronize();
  ui.RunUntilIdle();
  const int before = ticks;
  for (int i = 0; i < 5; ++i) ui.Advance(200);
  EXPECT_EQ(ticks - before, 5);
  timer->SetThreaded(true);
  EXPECT_TRUE(timer->ThreadRunning());
  EXPECT_FALSE(timer->WindowTimerRunning());
}

TEST_F(ExTimerTest, DisabledTimerDoesNotTick) {
  timer->SetThreaded(false);
  timer->SetInterval(100);
  timer->SetOnTimer([this](TObject*) { ++ticks; });
  timer->SetEnabled(false);
  for (int i = 0; i < 5; ++i) ui.Advance(100);
  EXPECT_EQ(ticks, 0);
  timer->SetEnabled(true);
  for (int i = 0; i < 3; ++i) ui.Advance(100);
  EXPECT_EQ(ticks, 3);
}

}  // namespace
