// The remembered input: keys, cursor, last click and leave tracking.

#include "platform/user/InputState.h"

#include <algorithm>
#include <cstring>

void InputState::Press(int vk, bool repeat) {
  BYTE& k = keys_[vk & 0xFF];
  k = static_cast<BYTE>(0x80 | ((k & 1) ^ (repeat ? 0 : 1)));
}

void InputState::Release(int vk) {
  BYTE& k = keys_[vk & 0xFF];
  k = static_cast<BYTE>(k & 1);
}

void InputState::NotePointer(const PointerPlace& place) {
  trail_[trailNext_] = place;
  trailNext_ = (trailNext_ + 1) % kTrailLength;
  trailCount_ = std::min(trailCount_ + 1, kTrailLength);
}

void InputState::Forget(HWND window) {
  if (trackLeave_ == window) trackLeave_ = nullptr;
  if (trackNcLeave_ == window) trackNcLeave_ = nullptr;
  if (lastClick_.window == window) lastClick_ = ClickMemory{};
}

void InputState::Clear() {
  std::memset(keys_, 0, sizeof keys_);
  lastClick_ = ClickMemory{};
  trackLeave_ = trackNcLeave_ = nullptr;
  trailNext_ = trailCount_ = 0;
}
