#include "platform/rtl/Clock.h"

#include <chrono>
#include <thread>

namespace {

struct ClockState {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  bool manual = false;
  DWORD manualTicks = 0;
};

ClockState& State() {
  static ClockState state;
  return state;
}

DWORD RealTicks() {
  auto elapsed = std::chrono::steady_clock::now() - State().start;
  // Starts at a non-zero reading so that "0" never looks like "never".
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) + 1000;
}

}  // namespace

DWORD GetTickCount() { return State().manual ? State().manualTicks : RealTicks(); }

void SetManualClock(bool manual) {
  ClockState& s = State();
  if (manual == s.manual) return;
  if (manual) {
    s.manualTicks = RealTicks();
  } else {
    // Real time resumes from the manual reading, so the clock never runs backwards.
    s.start = std::chrono::steady_clock::now() - std::chrono::milliseconds(s.manualTicks - 1000);
  }
  s.manual = manual;
}

bool IsManualClock() { return State().manual; }

void AdvanceClock(DWORD ms) {
  if (State().manual) State().manualTicks += ms;
}

void Sleep(DWORD ms) {
  if (State().manual)
    AdvanceClock(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
