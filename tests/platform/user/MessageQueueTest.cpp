#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "Recorder.h"
#include "platform/user/MessageQueue.h"
#include "support/UiDriver.h"

namespace {

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1000 * n)); }

MSG Message(HWND window, UINT message) { return MSG{window, message, 0, 0, 0, {}}; }

bool Anything(const MSG&) { return true; }
const PostedFilter kAnyPosted;

// Posted messages leave in order, a character put ahead of them first; a filter skips what
// it does not take; removing a window's messages leaves the others.
TEST(MessageQueueService, PostedOrderFiltersAndRemoval) {
  MessageQueue queue;
  queue.Post(Message(FakeWindow(1), WM_USER));
  queue.Post(Message(FakeWindow(2), WM_USER + 1));
  queue.Post(Message(FakeWindow(1), WM_USER + 2));
  queue.PostNext(Message(FakeWindow(2), WM_CHAR));
  MSG m;
  ASSERT_TRUE(queue.TakePosted(PostedFilter{{FakeWindow(1)}}, false, &m));
  EXPECT_EQ(m.message, UINT{WM_USER});  // only peeked
  ASSERT_TRUE(queue.TakePosted(kAnyPosted, true, &m));
  EXPECT_EQ(m.message, UINT{WM_CHAR});
  queue.RemoveMessagesFor(FakeWindow(1));
  ASSERT_TRUE(queue.TakePosted(kAnyPosted, true, &m));
  EXPECT_EQ(m.message, UINT{WM_USER + 1});
  EXPECT_FALSE(queue.TakePosted(kAnyPosted, true, &m));
}

// Each filter takes the oldest message it matches, whatever waits ahead of it for other
// windows or outside its range; what it leaves keeps its order.
struct FilterCase {
  const char* name;
  PostedFilter filter;
  std::vector<UINT> taken;  // until the filter takes nothing more
};

TEST(MessageQueueService, FiltersTakeTheOldestMessageTheyMatch) {
  auto windows = [](std::vector<HWND> list) {
    PostedFilter f;
    f.windows = std::move(list);
    return f;
  };
  auto range = [](PostedFilter f, UINT first, UINT last) {
    f.first = first;
    f.last = last;
    return f;
  };
  PostedFilter threadOnly;
  threadOnly.threadOnly = true;
  std::vector<FilterCase> cases;
  cases.push_back({"everything", kAnyPosted, {WM_CHAR, WM_USER, WM_USER + 1, WM_APP, WM_USER + 2, WM_TIMER, WM_USER + 3}});
  cases.push_back({"one window", windows({FakeWindow(2)}), {WM_CHAR, WM_USER + 1, WM_USER + 3}});
  cases.push_back({"two windows", windows({FakeWindow(3), FakeWindow(1)}), {WM_USER, WM_USER + 2, WM_TIMER}});
  cases.push_back({"thread messages", threadOnly, {WM_APP}});
  cases.push_back({"a range", range(kAnyPosted, WM_USER + 1, WM_APP), {WM_USER + 1, WM_APP, WM_USER + 2, WM_USER + 3}});
  cases.push_back({"a window and a range", range(windows({FakeWindow(1)}), WM_TIMER, WM_TIMER), {WM_TIMER}});
  cases.push_back({"a window without messages", windows({FakeWindow(9)}), {}});
  cases.push_back({"a range without messages", range(kAnyPosted, WM_MOUSEMOVE, WM_MOUSEMOVE), {}});
  // In the order they are taken: the character goes ahead of what was posted before it.
  const std::vector<MSG> waiting = {
      Message(FakeWindow(2), WM_CHAR),     Message(FakeWindow(1), WM_USER),  Message(FakeWindow(2), WM_USER + 1),
      Message(nullptr, WM_APP),            Message(FakeWindow(1), WM_USER + 2), Message(FakeWindow(1), WM_TIMER),
      Message(FakeWindow(2), WM_USER + 3)};
  for (const FilterCase& c : cases) {
    MessageQueue queue;
    for (size_t i = 1; i < waiting.size(); ++i) queue.Post(waiting[i]);
    queue.PostNext(waiting[0]);
    std::vector<UINT> taken, rest, expectedRest;
    MSG m;
    while (queue.TakePosted(c.filter, true, &m)) taken.push_back(m.message);
    EXPECT_EQ(taken, c.taken) << c.name;
    EXPECT_EQ(queue.PostedCount(), waiting.size() - c.taken.size()) << c.name;
    for (const MSG& w : waiting)
      if (std::find(c.taken.begin(), c.taken.end(), w.message) == c.taken.end()) expectedRest.push_back(w.message);
    while (queue.TakePosted(kAnyPosted, true, &m)) rest.push_back(m.message);
    EXPECT_EQ(rest, expectedRest) << c.name;
  }
}

// Input entries are told apart by serial, so dropping one that was found earlier drops that
// one even when another with the same message has been queued since.
TEST(MessageQueueService, InputIsDroppedBySerialAndQuitIsTakenOnce) {
  MessageQueue queue;
  queue.QueueInput(Message(FakeWindow(1), WM_MOUSEMOVE), HTCLIENT);
  std::optional<InputMessage> first = queue.FirstInput(Anything);
  ASSERT_TRUE(first);
  queue.QueueInput(Message(FakeWindow(1), WM_MOUSEMOVE), HTCAPTION);
  queue.DropInput(first->serial);
  std::optional<InputMessage> next = queue.FirstInput(Anything);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->hit, HTCAPTION);

  EXPECT_FALSE(queue.TakeQuit(true));
  queue.PostQuit(3);
  EXPECT_EQ(queue.TakeQuit(false), 3);
  EXPECT_EQ(queue.TakeQuit(true), 3);
  EXPECT_FALSE(queue.TakeQuit(true));
}

// A hook that throws while a message is being sent must not leave the queue believing a
// message is still being sent: freed windows and hooks would otherwise never be collected.
TEST(MessageQueueService, AThrowingSendHookEndsTheSend) {
  UiDriver ui;
  Recorder rec("MqThrow");
  HWND w = CreateWindowEx(0, "MqThrow", "", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  HHOOK hook = SetWindowsHookEx(WH_CALLWNDPROC, [](int, WPARAM, LPARAM) -> LRESULT {
    throw std::runtime_error("hook");
  }, nullptr, GetCurrentThreadId());
  EXPECT_THROW(SendMessage(w, WM_USER, 0, 0), std::runtime_error);
  UnhookWindowsHookEx(hook);
  EXPECT_FALSE(wm::Queue().Sending());
  DestroyWindow(w);
}

}  // namespace
