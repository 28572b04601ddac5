// What a post answers: a window that has gone refuses it, from any thread, and a queue
// holds at most ten thousand posted messages.

#include <gtest/gtest.h>

#include <thread>

#include "Recorder.h"
#include "platform/rtl/LastError.h"
#include "support/UiDriver.h"

namespace {

HWND Popup(const char* cls) {
  return CreateWindowEx(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(PostedMessages, AWorkersPostToADestroyedWindowFails) {
  UiDriver ui;
  Recorder rec("PostGone");
  HWND gone = Popup("PostGone");
  DestroyWindow(gone);
  ui.RunUntilIdle();
  HWND live = Popup("PostGone");
  BOOL toGone = TRUE, toLive = FALSE;
  DWORD error = ERROR_SUCCESS;
  std::thread worker([&] {
    toGone = PostMessage(gone, WM_APP, 0, 0);
    error = GetLastError();
    toLive = PostMessage(live, WM_APP, 0, 0);
  });
  worker.join();
  EXPECT_FALSE(toGone);
  EXPECT_EQ(error, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_TRUE(toLive);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(m.hwnd, live);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST(PostedMessages, AQueueRefusesPostsPastTenThousand) {
  UiDriver ui;
  Recorder rec("PostFull");
  HWND w = Popup("PostFull");
  for (WPARAM i = 0; i < 10000; ++i) ASSERT_TRUE(PostMessage(w, WM_APP, i, 0)) << i;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(PostMessage(w, WM_APP, 10000, 0));
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
  BOOL fromWorker = TRUE;
  DWORD workerError = ERROR_SUCCESS;
  std::thread worker([&] {
    fromWorker = PostMessage(w, WM_APP, 10001, 0);
    workerError = GetLastError();
  });
  worker.join();
  EXPECT_FALSE(fromWorker);
  EXPECT_EQ(workerError, ERROR_NOT_ENOUGH_QUOTA);

  MSG m;
  ASSERT_TRUE(PeekMessage(&m, w, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_TRUE(PostMessage(w, WM_APP, 10002, 0));  // room for one again
  WPARAM last = 0;
  int left = 0;
  for (; PeekMessage(&m, w, WM_APP, WM_APP, PM_REMOVE); ++left) last = m.wParam;
  EXPECT_EQ(left, 10000);
  EXPECT_EQ(last, 10002u);
}

}  // namespace
