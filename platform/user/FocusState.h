#pragma once
// Who has the keyboard focus, which top-level window is active (the foreground window:
// there is one program) and which window holds the mouse capture. Only the state: the
// messages that changing it sends are Focus.cpp's.

#include "platform/user/UserTypes.h"

class FocusState {
 public:
  HWND Focused() const { return focus_; }
  void SetFocused(HWND window) { focus_ = window; }
  HWND Active() const { return active_; }
  void SetActive(HWND window) { active_ = window; }
  HWND Captured() const { return capture_; }
  void SetCaptured(HWND window) { capture_ = window; }
  // A window going away holds none of them any more.
  void Forget(HWND window);
  void Clear() { focus_ = active_ = capture_ = nullptr; }

 private:
  HWND focus_ = nullptr;
  HWND active_ = nullptr;
  HWND capture_ = nullptr;
};

namespace wm {
FocusState& Focus();
}
