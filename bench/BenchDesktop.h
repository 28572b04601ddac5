#pragma once
// What the window and framework benchmarks share: a fresh headless desktop with the manual
// clock, and the queue run dry with the desktop brought up to date.

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"

inline void FreshDesktop() {
  DesktopConfig config;
  config.width = 1280;
  config.height = 800;
  RestartDesktop(config, "headless");
  SetManualClock(true);
}

inline void RunQueue() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  FlushDesktop();
}
