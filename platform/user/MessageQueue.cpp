// The UI thread's message queue.

#include "platform/user/MessageQueue.h"

#include <algorithm>

#include "platform/user/WinConst.h"

void MessageQueue::Add(Order order, const MSG& message) {
  posted_.emplace(order, message);
  byWindow_[message.hwnd].insert(order);
  byMessage_[message.message].insert(order);
  postedCount_.store(posted_.size());
}

void MessageQueue::Erase(Order order) {
  auto it = posted_.find(order);
  if (it == posted_.end()) return;
  auto unindex = [order](auto& index, auto key) {
    auto entry = index.find(key);
    entry->second.erase(order);
    if (entry->second.empty()) index.erase(entry);
  };
  unindex(byWindow_, it->second.hwnd);
  unindex(byMessage_, it->second.message);
  posted_.erase(it);
  postedCount_.store(posted_.size());
}

bool MessageQueue::TakePosted(const PostedFilter& filter, bool remove, MSG* out) {
  const bool anyMessage = filter.first == 0 && filter.last == 0;
  auto inRange = [&](UINT message) { return anyMessage || (message >= filter.first && message <= filter.last); };
  std::optional<Order> oldest;
  auto consider = [&](Order order) {
    if (!oldest || order < *oldest) oldest = order;
  };
  const std::vector<HWND> windows = filter.threadOnly ? std::vector<HWND>{nullptr} : filter.windows;
  if (!windows.empty()) {
    for (HWND window : windows) {
      auto mine = byWindow_.find(window);
      if (mine == byWindow_.end()) continue;
      for (Order order : mine->second) {
        if (oldest && order > *oldest) break;
        if (inRange(posted_.at(order).message)) {
          consider(order);
          break;
        }
      }
    }
  } else if (!anyMessage) {
    for (auto it = byMessage_.lower_bound(filter.first); it != byMessage_.end() && it->first <= filter.last; ++it)
      consider(*it->second.begin());
  } else if (!posted_.empty()) {
    oldest = posted_.begin()->first;
  }
  if (!oldest) return false;
  *out = posted_.at(*oldest);
  if (remove) Erase(*oldest);
  return true;
}

void MessageQueue::QueueInput(const MSG& message, int hit) {
  input_.push_back(InputMessage{message, hit, ++nextInputSerial_});
}

void MessageQueue::QueueInputFirst(const MSG& message, int hit) {
  input_.push_front(InputMessage{message, hit, ++nextInputSerial_});
}

std::optional<InputMessage> MessageQueue::FirstInput(const Filter& matches) const {
  auto it = std::find_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return matches(m.msg); });
  if (it == input_.end()) return std::nullopt;
  return *it;
}

void MessageQueue::RetargetKeyboardInput(HWND window) {
  for (InputMessage& m : input_)
    if (m.msg.message >= WM_KEYFIRST && m.msg.message <= WM_KEYLAST) m.msg.hwnd = window;
}

void MessageQueue::DropInput(unsigned serial) {
  auto it = std::find_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return m.serial == serial; });
  if (it != input_.end()) input_.erase(it);
}

void MessageQueue::RemoveMessagesFor(HWND window) {
  if (auto mine = byWindow_.find(window); mine != byWindow_.end())
    for (Order order : std::set<Order>(mine->second)) Erase(order);
  input_.erase(std::remove_if(input_.begin(), input_.end(), [&](const InputMessage& m) { return m.msg.hwnd == window; }),
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
  byWindow_.clear();
  byMessage_.clear();
  postedCount_.store(0);
  input_.clear();
  quitPosted_ = false;
}
