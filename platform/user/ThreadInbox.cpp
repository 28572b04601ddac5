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

void ThreadInbox::SendAndWait(SentMessage& sent) {
  std::unique_lock<std::mutex> lock(mutex_);
  sent_.push_back(&sent);
  if (wake_) wake_();
  posted_.notify_all();
  answered_.wait(lock, [&sent] { return sent.done; });
}

SentMessage* ThreadInbox::TakeSent() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sent_.empty()) return nullptr;
  SentMessage* sent = sent_.front();
  sent_.pop_front();
  return sent;
}

void ThreadInbox::Answer(SentMessage& sent, LRESULT result) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sent.result = result;
    sent.done = true;
  }
  answered_.notify_all();
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
  return messages_.empty() && sent_.empty();
}

std::size_t ThreadInbox::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

bool ThreadInbox::WaitForPost(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !messages_.empty() || !sent_.empty(); });
}

ThreadInbox& Inbox() {
  static ThreadInbox inbox;
  return inbox;
}
