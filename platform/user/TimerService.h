#pragma once
// The timers (SetTimer): window timers named by their window and id, thread timers by the id
// the service hands out. Times are GetTickCount's, compared so that they may wrap.

#include <functional>
#include <vector>

#include "platform/user/UserTypes.h"

struct TimerEntry {
  HWND window = nullptr;
  UINT_PTR id = 0;
  UINT interval = 0;
  DWORD due = 0;
  TIMERPROC proc;
};

class TimerService {
 public:
  // Sets a timer, or sets an existing one again; the answer is SetTimer's.
  UINT_PTR Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc, DWORD now);
  bool Kill(HWND window, UINT_PTR id);
  void KillAllOf(HWND window);
  const TimerEntry* Find(HWND window, UINT_PTR id) const;
  // The timer that has been due longest among those accepts takes; it runs again an
  // interval after now when restart is asked. Null when none is due.
  const TimerEntry* TakeDue(DWORD now, const std::function<bool(HWND)>& accepts, bool restart);
  // Milliseconds until the next timer is due; -1 when there is none.
  int NextDelay(DWORD now) const;
  void Clear() { timers_.clear(); }

 private:
  std::vector<TimerEntry> timers_;
  UINT_PTR nextThreadTimerId_ = 0x7F00;
};

namespace wm {
TimerService& Timers();
}
