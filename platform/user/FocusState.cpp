// Focus, activation and capture, as state.

#include "platform/user/FocusState.h"

void FocusState::Forget(HWND window) {
  if (focus_ == window) focus_ = nullptr;
  if (active_ == window) active_ = nullptr;
  if (capture_ == window) capture_ = nullptr;
}
