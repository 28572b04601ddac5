#pragma once
// The desktop as a screen: its size and depth, its pixels, the host that shows them, whether
// something changed since they were last shown, the cursor SetCursor chose, and the window
// LockWindowUpdate holds back with what its contexts would have drawn meanwhile.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/host/Host.h"
#include "platform/user/UserTypes.h"

class DesktopScreen {
 public:
  // A fresh black surface of the configured size.
  void Start(const DesktopConfig& config);
  // A fresh black surface of another size, the depth kept.
  void Resize(int width, int height);
  const DesktopConfig& Config() const { return config_; }
  RECT Bounds() const { return RECT{0, 0, config_.width, config_.height}; }
  const Surface& Pixels() const { return surface_; }

  // The host showing the desktop; null before the desktop starts.
  Host* Display() const { return host_.get(); }
  void SetDisplay(std::unique_ptr<Host> host) { host_ = std::move(host); }

  // Something on the surface changed and waits to be shown.
  void MarkChanged() { changed_ = true; }
  // Whether anything waited to be shown; it is shown now.
  bool TakeChanged();

  HCURSOR Cursor() const { return cursor_; }
  void SetCursorHandle(HCURSOR cursor) { cursor_ = cursor; }

  HWND Locked() const { return locked_; }
  // Holds the window back, forgetting what was held back before.
  void Lock(HWND window);
  // Lets it go; answers what its contexts would have drawn (screen coordinates).
  Region Unlock();
  void NoteDrawnWhileLocked(const Region& screen) { drawnWhileLocked_ = drawnWhileLocked_.Union(screen); }

  // The desktop ends: its host closes and nothing is held back any more.
  void End();

 private:
  DesktopConfig config_;
  std::unique_ptr<Host> host_;
  std::vector<std::uint32_t> pixels_;
  Surface surface_;
  bool changed_ = true;
  HCURSOR cursor_ = nullptr;
  HWND locked_ = nullptr;
  Region drawnWhileLocked_;
};

namespace wm {
DesktopScreen& Screen();
}
