#pragma once
// Messages posted from threads other than the UI thread. PostMessage and PostThreadMessage
// may be called from any thread (a worker wakes the UI thread this way); everything else
// belongs to the UI thread. A post from elsewhere waits here until the UI thread takes it
// into its queue, where the window it names is checked.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/user/UserTypes.h"

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
  // Waits until something is posted or the time has passed; true when something waits.
  bool WaitForPost(int timeoutMs);

private:
  std::atomic<std::thread::id> uiThread_{};
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<MSG> messages_;
  std::function<void()> wake_;
};

ThreadInbox& Inbox();
