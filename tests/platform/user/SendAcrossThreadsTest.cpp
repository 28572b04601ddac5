// A message sent from another thread runs on the window's own thread, in its message loop,
// while the sender waits for the answer.

#include <gtest/gtest.h>

#include <thread>

#include "Recorder.h"
#include "support/UiDriver.h"

namespace {

TEST(SendAcrossThreads, TheProcedureRunsOnTheWindowsThreadWhileTheSenderWaits) {
  UiDriver ui;
  Recorder rec("SendAcross");
  const std::thread::id uiThread = std::this_thread::get_id();
  std::thread::id ranOn;
  BOOL fromOtherThread = FALSE, nestedFromOtherThread = TRUE;
  rec.OnMessage([&](HWND self, UINT m, WPARAM wp, LPARAM, LRESULT& result) {
    if (m == WM_APP) {
      ranOn = std::this_thread::get_id();
      fromOtherThread = InSendMessage();
      SendMessage(self, WM_APP + 1, 0, 0);
      result = static_cast<LRESULT>(wp * 2);
      return true;
    }
    if (m == WM_APP + 1) {
      nestedFromOtherThread = InSendMessage();
      return true;
    }
    return false;
  });
  HWND w = CreateWindowEx(0, "SendAcross", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  LRESULT answer = 0;
  HWND gone = CreateWindowEx(0, "SendAcross", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  LRESULT toGone = -1;
  std::thread worker([&] {
    toGone = SendMessage(gone, WM_APP, 1, 0);
    answer = SendMessage(w, WM_APP, 21, 0);
    PostMessage(w, WM_APP + 2, 0, 0);  // only once the answer came
  });
  MSG m{};
  ASSERT_TRUE(GetMessage(&m, w, WM_APP + 2, WM_APP + 2));  // runs the sent message meanwhile
  worker.join();
  EXPECT_EQ(toGone, 0);
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_TRUE(fromOtherThread);
  EXPECT_FALSE(nestedFromOtherThread);
  EXPECT_FALSE(InSendMessage());
}

}  // namespace
