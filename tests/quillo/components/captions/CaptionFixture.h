#pragma once
// What the caption and panel UI tests share: the component fixture (fresh desktop, manual
// clock, fresh settings folder), pixels in the framework's colours, window rectangles, and a
// hold on a real display (QUILLO_DEMO_HOLD_MS=n keeps the screen for n ms of real time; run
// with QUILLO_HOST=sdl to look at it).

#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "quillo/components/ComponentFixture.h"

class CaptionUiTest : public ComponentTest {
protected:
  static std::uint32_t Rgb(TColor c) { return PixelFromColor(ColorToRGB(c)); }
  static TRect WindowRect(TWinControl* c) {
    RECT r{};
    GetWindowRect(c->GetHandle(), &r);
    return TRect(r);
  }
  static POINT At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
  }
};
