#include "platform/user/ScreenCapture.h"

#include "platform/user/DesktopScreen.h"
#include "platform/user/Window.h"

bool CaptureUserScreen(CaptureSource source, Host::ScreenImage& out) {
  EnsureDesktop();
  Host* host = wm::Screen().Display();
  if (!host) return false;
  return host->CaptureScreen(
      source == CaptureSource::ActiveWindow ? Host::ScreenArea::ActiveWindow : Host::ScreenArea::Whole, out);
}
