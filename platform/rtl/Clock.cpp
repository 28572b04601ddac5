#include "platform/rtl/Clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Worker threads read the clock while the UI thread (or a test) moves it, so every field is
// atomic.
struct ClockState {
  std::atomic<std::int64_t> startNs{SteadyClock::now().time_since_epoch().count()};
  std::atomic<bool> manual{false};
  std::atomic<DWORD> manualTicks{0};
};

ClockState& State() {
  static ClockState state;
  return state;
}

DWORD RealTicks() {
  const SteadyClock::time_point start{SteadyClock::duration(State().startNs.load())};
  const auto elapsed = SteadyClock::now() - start;
  // Starts at a non-zero reading so that "0" never looks like "never".
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) + 1000;
}

}  // namespace

DWORD GetTickCount() { return State().manual ? State().manualTicks.load() : RealTicks(); }

void SetManualClock(bool manual) {
  ClockState& s = State();
  if (manual == s.manual) return;
  if (manual) {
    s.manualTicks = RealTicks();
  } else {
    // Real time resumes from the manual reading, so the clock never runs backwards.
    const auto start = SteadyClock::now() - std::chrono::milliseconds(s.manualTicks - 1000);
    s.startNs = start.time_since_epoch().count();
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
