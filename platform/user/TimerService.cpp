// Window and thread timers.

#include "platform/user/TimerService.h"

#include <algorithm>
#include <cstdint>

UINT_PTR TimerService::Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc, DWORD now) {
  // A thread timer keeps its id when it is set again; an id no thread timer has gets a new one.
  if (!window && std::none_of(timers_.begin(), timers_.end(), [&](const TimerEntry& t) { return !t.window && t.id == id; }))
    id = ++nextThreadTimerId_;
  elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
  for (TimerEntry& t : timers_)
    if (t.window == window && t.id == id) {
      t.interval = elapse;
      t.due = now + elapse;
      t.proc = std::move(proc);
      return window ? 1 : id;
    }
  timers_.push_back(TimerEntry{window, id, elapse, now + elapse, std::move(proc)});
  return window ? (id ? id : 1) : id;
}

bool TimerService::Kill(HWND window, UINT_PTR id) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const TimerEntry& t) { return t.window == window && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

void TimerService::KillAllOf(HWND window) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const TimerEntry& t) { return t.window == window; }),
                timers_.end());
}

const TimerEntry* TimerService::Find(HWND window, UINT_PTR id) const {
  for (const TimerEntry& t : timers_)
    if (t.window == window && t.id == id) return &t;
  return nullptr;
}

const TimerEntry* TimerService::TakeDue(DWORD now, const std::function<bool(HWND)>& accepts, bool restart) {
  TimerEntry* due = nullptr;
  for (TimerEntry& t : timers_) {
    if (static_cast<std::int32_t>(now - t.due) < 0) continue;
    if (!accepts(t.window)) continue;
    if (!due || static_cast<std::int32_t>(t.due - due->due) < 0) due = &t;
  }
  if (due && restart) due->due = now + due->interval;
  return due;
}

int TimerService::NextDelay(DWORD now) const {
  int best = -1;
  for (const TimerEntry& t : timers_) {
    int d = std::max(0, static_cast<int>(static_cast<std::int32_t>(t.due - now)));
    if (best < 0 || d < best) best = d;
  }
  return best;
}
