// The SDL host's window on an X server without a GPU (the test's own) shows the desktop pixel
// for pixel, whichever renderer presents it: the software one the host picks there, or the
// OpenGL one SDL_RENDER_DRIVER names.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/host/Host.h"
#include "platform/host/X11Desktop.h"
#include "support/PrivateDisplay.h"
#include "support/ScopedEnv.h"

namespace {

// No smaller than the window may be (320 x 240), so that each desktop pixel is one of the window.
constexpr int kWidth = 400, kHeight = 300;

std::uint32_t Pattern(int x, int y) {
  return (static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u) & 0xFFFFFFu;
}

// Where the window's pixels show on the screen; false when they show nowhere.
bool FindWindow(const Host::ScreenImage& screen, int& left, int& top) {
  for (top = 0; top + kHeight <= screen.height; ++top)
    for (left = 0; left + kWidth <= screen.width; ++left) {
      const std::uint32_t* row = &screen.pixels[static_cast<size_t>(top) * screen.width + left];
      bool same = true;
      for (int x = 0; x < kWidth && same; ++x) same = (row[x] & 0xFFFFFFu) == Pattern(x, 0);
      if (same) return true;
    }
  return false;
}

int Mismatches(const Host::ScreenImage& screen, int left, int top) {
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      wrong += (screen.pixels[static_cast<size_t>(top + y) * screen.width + left + x] & 0xFFFFFFu) != Pattern(x, y);
  return wrong;
}

// In a process of its own: SDL's video start-up keeps a D-Bus connection that SDL 2.26 never
// frees, which the leak check at a normal exit would report.
void PresentAndCapture(const char* renderDriver) {
  ScopedEnv driver("SDL_RENDER_DRIVER", renderDriver);
  std::unique_ptr<Host> host = CreateSdlHost();
  ASSERT_TRUE(host->Open(kWidth, kHeight));
  std::vector<std::uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) pixels[static_cast<size_t>(y) * kWidth + x] = Pattern(x, y);
  Surface desktop;
  desktop.top = pixels.data();
  desktop.stride = kWidth;
  desktop.width = kWidth;
  desktop.height = kHeight;
  std::unique_ptr<X11Desktop> screen = X11Desktop::Open();
  ASSERT_TRUE(screen);
  // The server maps the window in its own time, and what was drawn before comes back when
  // the host hears that the window is exposed.
  Host::ScreenImage image;
  int left = 0, top = 0;
  bool shown = false;
  for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
       !shown && std::chrono::steady_clock::now() < until;) {
    for (InputEvent event; host->PollEvent(event);) {
    }
    host->Present(desktop, SurfaceRect{0, 0, kWidth, kHeight});
    ASSERT_TRUE(screen->Capture(Host::ScreenArea::Whole, 0, image));
    shown = FindWindow(image, left, top);
    if (!shown) host->WaitEvent(50);
  }
  ASSERT_TRUE(shown) << "the desktop's top row is on the screen";
  EXPECT_EQ(Mismatches(image, left, top), 0);
}

TEST(SdlPresentOnX, TheWindowShowsTheDesktopWhicheverRendererPresents) {
  PrivateDisplay display;
  ASSERT_TRUE(display.Ready()) << display.Problem();
  ScopedEnv host("QUILLO_HOST", "sdl");
  for (const char* renderDriver : {static_cast<const char*>(nullptr), "software", "opengl"}) {
    EXPECT_EXIT(
        {
          PresentAndCapture(renderDriver);
          std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "")
        << (renderDriver ? renderDriver : "(default)");
  }
}

}  // namespace
