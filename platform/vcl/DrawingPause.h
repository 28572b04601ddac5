#pragma once
// Drawing switched off around a batch of changes to a control's window. Switching drawing back
// on shows a window (as the system does), so only a window that showed is paused, and only a
// pause made here is ended: a control kept hidden stays hidden.

#include "platform/user/User.h"

class DrawingPause {
public:
  void Begin(HWND window) {
    if (paused_ || !IsWindowVisible(window)) return;
    SendMessage(window, WM_SETREDRAW, FALSE, 0);
    paused_ = true;
  }
  void End(HWND window) {
    if (!paused_) return;
    paused_ = false;
    SendMessage(window, WM_SETREDRAW, TRUE, 0);
  }

private:
  bool paused_ = false;
};
