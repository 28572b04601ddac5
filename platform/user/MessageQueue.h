#pragma once
// The UI thread's message queue: posted messages, the input messages host events were turned
// into, the quit request, what the last retrieved message said, and how deep sending is
// (windows and hooks are freed only when no message is being sent).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/user/UserTypes.h"

// A mouse or key message waiting in the input queue, with the part of the window the mouse
// was over; what it leads to (hooks, activation, the cursor) happens when it is taken.
struct InputMessage {
  MSG msg;
  int hit = 1;  // HTCLIENT
  unsigned serial = 0;
};

// What GetMessage and PeekMessage ask of the posted messages: those for any of the windows
// (every window when there are none listed; only messages for no window with threadOnly),
// within a message range (both 0: every message).
struct PostedFilter {
  std::vector<HWND> windows;
  bool threadOnly = false;
  UINT first = 0;
  UINT last = 0;
};

class MessageQueue {
 public:
  using Filter = std::function<bool(const MSG&)>;

  // Windows refuses a post once a queue holds this many.
  static constexpr std::size_t kPostedLimit = 10000;
  void Post(const MSG& message) { Add(nextBack_++, message); }
  // Ahead of everything posted (the character TranslateMessage makes comes next).
  void PostNext(const MSG& message) { Add(nextFront_--, message); }
  // How many posted messages wait; read from any thread.
  std::size_t PostedCount() const { return postedCount_.load(); }
  // The oldest posted message the filter takes. The messages are indexed by window and by
  // message, so a filter that takes none of many waiting messages finds that out at once.
  bool TakePosted(const PostedFilter& filter, bool remove, MSG* out);

  void QueueInput(const MSG& message, int hit);
  // Ahead of every input message waiting (a press handed back by a loop that ended on it).
  void QueueInputFirst(const MSG& message, int hit);
  // The oldest input message the filter takes, left in the queue.
  std::optional<InputMessage> FirstInput(const Filter& matches) const;
  void DropInput(unsigned serial);
  // Key and character input waiting in the queue goes to `window`: as on Windows, keys reach
  // the window that has the focus when they are taken, not when they were typed (a click
  // waiting before them may move the focus first).
  void RetargetKeyboardInput(HWND window);

  // Forgets every posted and input message for the window.
  void RemoveMessagesFor(HWND window);

  void PostQuit(int exitCode);
  // The quit request and its exit code, taken away when remove is asked.
  std::optional<int> TakeQuit(bool remove);

  void NoteRetrieved(const MSG& message);
  DWORD LastMessageTime() const { return lastTime_; }
  POINT LastMessagePos() const { return lastPos_; }

  // Held while a window procedure runs for a sent or dispatched message.
  class SendScope {
   public:
    explicit SendScope(MessageQueue& queue) : queue_(queue) { ++queue_.sendDepth_; }
    ~SendScope() { --queue_.sendDepth_; }
    SendScope(const SendScope&) = delete;
    SendScope& operator=(const SendScope&) = delete;

   private:
    MessageQueue& queue_;
  };
  bool Sending() const { return sendDepth_ > 0; }

  // The desktop ends: posted and input messages and the quit request go.
  void Clear();

 private:
  using Order = std::int64_t;  // the order posted messages are taken in
  void Add(Order order, const MSG& message);
  void Erase(Order order);

  std::map<Order, MSG> posted_;
  std::unordered_map<HWND, std::set<Order>> byWindow_;
  std::map<UINT, std::set<Order>> byMessage_;
  Order nextBack_ = 0;
  Order nextFront_ = -1;
  std::atomic<std::size_t> postedCount_{0};
  std::deque<InputMessage> input_;
  unsigned nextInputSerial_ = 0;
  bool quitPosted_ = false;
  int quitCode_ = 0;
  DWORD lastTime_ = 0;
  POINT lastPos_;
  int sendDepth_ = 0;
};

namespace wm {
MessageQueue& Queue();
}
