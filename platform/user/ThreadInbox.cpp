#include "platform/user/ThreadInbox.h"

#include <chrono>

bool ThreadInbox::OnUiThread() const {
  std::thread::id ui = uiThread_.load();
  return ui != std::thread::id{} && ui == std::this_thread::get_id();
}

void ThreadInbox::SetWaker(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void ThreadInbox::Post(const MSG& message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
    if (wake_) wake_();  // under the lock: the host cannot go away meanwhile
  }
  posted_.notify_all();
}

std::vector<MSG> ThreadInbox::TakeAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<MSG> out(messages_.begin(), messages_.end());
  messages_.clear();
  return out;
}

bool ThreadInbox::Empty() {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.empty();
}

std::size_t ThreadInbox::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

bool ThreadInbox::WaitForPost(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !messages_.empty(); });
}

ThreadInbox& Inbox() {
  static ThreadInbox inbox;
  return inbox;
}
