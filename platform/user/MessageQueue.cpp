// The UI thread's message queue.

#include "platform/user/MessageQueue.h"

#include <algorithm>

bool MessageQueue::TakePosted(const Filter& matches, bool remove, MSG* out) {
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!matches(*it)) continue;
    *out = *it;
    if (remove) {
      posted_.erase(it);
      Recount();
    }
    return true;
  }
  return false;
}

void MessageQueue::QueueInput(const MSG& message, int hit) {
  input_.push_back(InputMessage{message, hit, ++nextInputSerial_});
}

std::optional<InputMessage> MessageQueue::FirstInput(const Filter& matches) const {
  auto it = std::find_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return matches(m.msg); });
  if (it == input_.end()) return std::nullopt;
  return *it;
}

void MessageQueue::DropInput(unsigned serial) {
  auto it = std::find_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return m.serial == serial; });
  if (it != input_.end()) input_.erase(it);
}

void MessageQueue::RemoveMessagesFor(HWND window) {
  auto mine = [&](const MSG& m) { return m.hwnd == window; };
  posted_.erase(std::remove_if(posted_.begin(), posted_.end(), mine), posted_.end());
  Recount();
  input_.erase(std::remove_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return mine(m.msg); }),
               input_.end());
}

void MessageQueue::PostQuit(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
}

std::optional<int> MessageQueue::TakeQuit(bool remove) {
  if (!quitPosted_) return std::nullopt;
  if (remove) quitPosted_ = false;
  return quitCode_;
}

void MessageQueue::NoteRetrieved(const MSG& message) {
  lastTime_ = message.time;
  lastPos_ = message.pt;
}

void MessageQueue::Clear() {
  posted_.clear();
  Recount();
  input_.clear();
  quitPosted_ = false;
}
