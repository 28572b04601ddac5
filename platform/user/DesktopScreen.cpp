// The desktop's surface, host and update lock.

#include "platform/user/DesktopScreen.h"

void DesktopScreen::Start(const DesktopConfig& config) {
  config_ = config;
  pixels_.assign(static_cast<size_t>(config.width) * config.height, 0);
  surface_ = Surface{pixels_.data(), config.width, config.width, config.height};
}

void DesktopScreen::Resize(int width, int height) {
  DesktopConfig config = config_;
  config.width = width;
  config.height = height;
  Start(config);
  changed_ = true;
}

bool DesktopScreen::TakeChanged() {
  bool changed = changed_;
  changed_ = false;
  return changed;
}

void DesktopScreen::Lock(HWND window) {
  locked_ = window;
  drawnWhileLocked_ = Region();
}

Region DesktopScreen::Unlock() {
  locked_ = nullptr;
  Region drawn = drawnWhileLocked_;
  drawnWhileLocked_ = Region();
  return drawn;
}

void DesktopScreen::End() {
  locked_ = nullptr;
  drawnWhileLocked_ = Region();
  host_.reset();
}
