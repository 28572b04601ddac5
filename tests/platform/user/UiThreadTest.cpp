// Which thread is the UI thread, and how long a loop on it waits for other threads.

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/user/ThreadInbox.h"
#include "platform/user/WindowRegistry.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

// Before any thread has made the desktop or asked for a message, a worker's post does not
// make the desktop on the worker: it waits for the UI thread, which is the first to ask.
// (In a process of its own, so that there is no desktop yet.)
TEST(UiThread, AWorkersPostBeforeTheDesktopWaitsForTheThreadThatAsks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        TempHome home;
        BOOL posted = FALSE;
        std::thread worker([&] { posted = PostMessage(nullptr, WM_APP, 7, 0); });
        worker.join();
        const bool noDesktopYet = wm::Windows().Desktop() == nullptr;
        MSG m{};
        const bool got = PeekMessage(&m, nullptr, WM_APP, WM_APP, PM_REMOVE) && m.wParam == 7;
        const bool askerIsUi = Inbox().OnUiThread();
        bool workerIsUi = true;
        std::thread later([&] { workerIsUi = Inbox().OnUiThread(); });
        later.join();
        std::exit(posted && noDesktopYet && got && askerIsUi && !workerIsUi ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// On the manual clock as on the real one, a loop with nothing to do waits a while for another
// thread's post instead of giving up at once.
TEST(UiThread, GetMessageOnTheManualClockWaitsForAWorkersPost) {
  UiDriver ui;
  ASSERT_TRUE(IsManualClock());
  std::promise<void> loopWaits;
  bool released = false;
  std::thread worker([ready = loopWaits.get_future()] {
    ready.wait();
    PostMessage(nullptr, WM_APP, 9, 0);
  });
  ui.WhenModalWaits([&] {
    released = true;
    loopWaits.set_value();
  });
  MSG m{};
  EXPECT_NO_THROW(GetMessage(&m, nullptr, WM_APP, WM_APP));
  if (!released) loopWaits.set_value();
  worker.join();
  EXPECT_EQ(m.message, UINT{WM_APP});
  EXPECT_EQ(m.wParam, 9u);
}

}  // namespace
