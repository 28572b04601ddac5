#pragma once
// Messages posted or sent from threads other than the UI thread. PostMessage,
// PostThreadMessage and SendMessage may be called from any thread (a worker wakes the UI
// thread this way); everything else belongs to the UI thread. A post from elsewhere waits here
// until the UI thread takes it into its queue, where the window it names is checked; a sent
// message waits here, and its sender with it, until the UI thread has run it.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/user/UserTypes.h"

// A message another thread sends, with the answer the UI thread gives it.
struct SentMessage {
  MSG msg;
  LRESULT result = 0;
  bool done = false;
};

class ThreadInbox {
public:
  // The thread that runs the window manager: the one that made the desktop. Until it is
  // named no thread counts, and posts wait here for it.
  void SetUiThread(std::thread::id id) { uiThread_ = id; }
  bool OnUiThread() const;
  bool UiThreadNamed() const { return uiThread_.load() != std::thread::id{}; }
  // Called from the posting thread after each post, to wake a host waiting for its input.
  void SetWaker(std::function<void()> wake);

  void Post(const MSG& message);
  std::vector<MSG> TakeAll();
  bool Empty();
  std::size_t Size();
  // Waits until something is posted or sent, or the time has passed; true when something waits.
  bool WaitForPost(int timeoutMs);

  // From the sending thread: hands the message over and waits until the UI thread answered.
  void SendAndWait(SentMessage& sent);
  // On the UI thread: the oldest message sent and not yet taken; null when there is none.
  SentMessage* TakeSent();
  // On the UI thread: the answer, which lets the sender go on.
  void Answer(SentMessage& sent, LRESULT result);

private:
  std::atomic<std::thread::id> uiThread_{};
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<MSG> messages_;
  std::deque<SentMessage*> sent_;
  std::condition_variable answered_;
  std::function<void()> wake_;
};

ThreadInbox& Inbox();

// On the UI thread: runs the messages other threads sent, each while its sender waits; true
// when there were any. Every message loop does this; so does a wait for a worker that may send.
bool AnswerSentMessages();
