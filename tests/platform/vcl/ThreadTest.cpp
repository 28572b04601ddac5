#include "platform/vcl/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/vcl/AllocateHWnd.h"
#include "support/UiDriver.h"

namespace {

// Runs the UI thread's message loop until done() holds; false after 10 s of real time.
bool PumpUntil(UiDriver& ui, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (ui.RunUntilIdle() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Runs the message loop for a while of real time, for what must not happen.
void PumpFor(UiDriver& ui, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    ui.RunUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// A thread whose Execute is given; it stops itself in its destructor, as a subclass must.
class LambdaThread : public TThread {
public:
  explicit LambdaThread(std::function<void(LambdaThread&)> body, bool* destroyed = nullptr)
      : body_(std::move(body)), destroyed_(destroyed) {}
  ~LambdaThread() override {
    Terminate();
    if (!FreeOnTerminate && !Suspended()) WaitFor();
    if (destroyed_ != nullptr) *destroyed_ = true;
  }
  void SetReturnValue(int value) { ReturnValue = value; }

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(LambdaThread&)> body_;
  bool* destroyed_;
};

}  // namespace

// A synchronized call runs on the UI thread when its message loop dispatches, while the
// worker waits for it.
TEST(TThread, SynchronizeRunsOnTheUiThreadThroughItsMessageLoop) {
  UiDriver ui;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::vector<std::string> events;  // touched only on the UI thread, or while the worker waits
  std::atomic<bool> workerDone{false};
  LambdaThread thread([&](LambdaThread& self) {
    for (int i = 0; i < 3; ++i)
      self.Synchronize([&, i] {
        events.push_back((std::this_thread::get_id() == uiThread ? "ui " : "worker ") + std::to_string(i));
      });
    events.push_back("worker after");
    workerDone = true;
  });
  thread.Start();
  ASSERT_TRUE(PumpUntil(ui, [&] { return workerDone.load(); }));
  EXPECT_EQ(events, (std::vector<std::string>{"ui 0", "ui 1", "ui 2", "worker after"}));
  EXPECT_EQ(thread.WaitFor(), 0);
}

// A UI thread asleep in GetMessage wakes for a worker's call.
TEST(TThread, SynchronizeWakesAUiThreadWaitingForMessages) {
  UiDriver ui;
  SetManualClock(false);  // a real wait in GetMessage
  bool called = false;
  LambdaThread thread([&](LambdaThread& self) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the UI thread is waiting by now
    self.Synchronize([&] {
      called = true;
      PostQuitMessage(3);
    });
  });
  thread.Start();
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_TRUE(called);
  thread.WaitFor();
}

// WaitFor on the UI thread lets the thread's synchronized calls and OnTerminate run.
TEST(TThread, WaitForOnTheUiThreadRunsSynchronizedCalls) {
  UiDriver ui;
  int ticks = 0;
  std::thread::id terminatedOn;
  LambdaThread thread([&](LambdaThread& self) {
    for (int i = 0; i < 5; ++i) self.Synchronize([&] { ++ticks; });
    self.SetReturnValue(42);
  });
  thread.OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, &thread);
    terminatedOn = std::this_thread::get_id();
  };
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 42);
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(terminatedOn, std::this_thread::get_id());
  EXPECT_TRUE(thread.Finished());
}

TEST(TThread, HandsExceptionsBack) {
  UiDriver ui;
  std::string caught;
  LambdaThread syncing([&](LambdaThread& self) {
    try {
      self.Synchronize([] { throw EAbort("from the UI thread"); });
    } catch (const EAbort& error) {
      caught = error.Message;
    }
  });
  syncing.Start();
  syncing.WaitFor();
  EXPECT_EQ(caught, "from the UI thread");
  EXPECT_EQ(syncing.FatalException(), nullptr);

  LambdaThread failing([](LambdaThread&) { throw std::runtime_error("in Execute"); });
  failing.Start();
  failing.WaitFor();
  ASSERT_NE(failing.FatalException(), nullptr);
  EXPECT_THROW(std::rethrow_exception(failing.FatalException()), std::runtime_error);
}

// A thread that frees itself ends by deleting its object, after OnTerminate.
TEST(TThread, FreeOnTerminateDeletesTheObjectAtTheEnd) {
  UiDriver ui;
  bool destroyed = false, terminated = false;
  auto owned = std::make_unique<LambdaThread>([](LambdaThread&) {}, &destroyed);
  LambdaThread* thread = owned.get();
  thread->FreeOnTerminate = true;
  thread->OnTerminate = [&](TObject*) { terminated = true; };
  EXPECT_THROW(thread->WaitFor(), EThread) << "not started";
  owned.release()->Start();  // the thread owns itself from here
  ASSERT_TRUE(PumpUntil(ui, [&] { return destroyed; }));
  EXPECT_TRUE(terminated);
}

// The threaded timer's pattern: sleep on the layer's clock, tick through Synchronize, be
// suspended and resumed, and end when terminated.
TEST(TThread, SuspendStopsTheThreadAtItsNextSleepOrSynchronize) {
  UiDriver ui;
  std::atomic<int> ticks{0};
  LambdaThread thread([&](LambdaThread& self) {
    while (!self.Terminated()) {
      TThread::Sleep(100);
      if (!self.Terminated()) self.Synchronize([&] { ++ticks; });
    }
  });
  thread.SetPriority(tpLower);
  EXPECT_EQ(thread.Priority(), tpLower);
  EXPECT_TRUE(thread.Suspended()) << "a thread is built suspended";
  thread.Resume();
  EXPECT_FALSE(thread.Suspended());
  PumpFor(ui, 20);
  EXPECT_EQ(ticks, 0) << "the manual clock has not moved";
  AdvanceClock(100);
  ASSERT_TRUE(PumpUntil(ui, [&] { return ticks == 1; }));

  thread.Suspend();
  thread.Suspend();
  AdvanceClock(100);
  PumpFor(ui, 50);
  AdvanceClock(100);
  PumpFor(ui, 50);
  EXPECT_EQ(ticks, 1) << "suspended";
  thread.Resume();
  EXPECT_TRUE(thread.Suspended()) << "suspended twice, resumed once";
  PumpFor(ui, 20);
  EXPECT_EQ(ticks, 1);
  thread.Resume();
  ASSERT_TRUE(PumpUntil(ui, [&] { return ticks == 2; }));

  thread.Terminate();  // ends the sleep at once, though the clock stands still
  thread.WaitFor();
  EXPECT_EQ(ticks, 2);
  EXPECT_THROW(thread.Start(), EThread);
}

// Deleting a thread that runs, or one never started, ends cleanly.
TEST(TThread, DeletingAThreadEndsIt) {
  UiDriver ui;
  bool destroyed = false;
  auto running = std::make_unique<LambdaThread>(
      [](LambdaThread& self) {
        while (!self.Terminated()) TThread::Sleep(1000);
      },
      &destroyed);
  running->Start();
  running.reset();
  EXPECT_TRUE(destroyed);

  bool ran = false;
  auto never = std::make_unique<LambdaThread>([&](LambdaThread&) { ran = true; });
  never.reset();
  EXPECT_FALSE(ran) << "a thread never started does not run";
}

// Waiting for a thread on the UI thread answers what the thread sends to a window meanwhile,
// so a worker that sends before it ends cannot hold the wait for ever.
TEST(TThread, WaitForAnswersMessagesTheThreadSends) {
  UiDriver ui;
  const std::thread::id uiThread = std::this_thread::get_id();
  bool ranOnUi = false;
  HWND window = nullptr;
  window = AllocateHWnd([&](TMessage& message) {
    if (message.Msg != WM_APP) {
      message.Result = DefWindowProc(window, message.Msg, message.WParam, message.LParam);
      return;
    }
    ranOnUi = std::this_thread::get_id() == uiThread;
    message.Result = 7;
  });
  LRESULT answer = 0;
  LambdaThread thread([&](LambdaThread&) { answer = SendMessage(window, WM_APP, 0, 0); });
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 0);
  EXPECT_EQ(answer, 7);
  EXPECT_TRUE(ranOnUi);
  DeallocateHWnd(window);
}
