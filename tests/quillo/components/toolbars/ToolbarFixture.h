#pragma once
// What the toolbar UI tests share: a fresh desktop with the UI driver, the check that no
// toolbar leaves hooks, timers, glyph lists or floating windows behind, glyph bitmaps drawn
// in code, and the demonstration form (docks on four sides, docked and floating toolbars).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/user/HookService.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "support/UiDriver.h"

namespace tbx::testing {

class ToolbarUiTest : public ::testing::Test {
protected:
  void TearDown() override {
    ResetApplication();
    ExpectNothingLeft();
  }
  static void ExpectNothingLeft() {
    EXPECT_EQ(RegisteredHookProcCount(), 0);
    EXPECT_EQ(InstalledThreadHookCount(), 0);
    EXPECT_FALSE(wm::Hooks().Has(WH_CALLWNDPROC));
    EXPECT_FALSE(wm::Hooks().Has(WH_CBT));
    EXPECT_FALSE(wm::Hooks().Has(WH_GETMESSAGE));
    EXPECT_EQ(GlyphCache(), nullptr);
    EXPECT_FALSE(ButtonMouseTimerExists());
    EXPECT_EQ(ButtonMouseInControl(), nullptr);
    EXPECT_TRUE(FloatingToolWindows().empty());
  }

  static POINT At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
  }
  static TRect WindowRect(TWinControl* c) {
    RECT r;
    GetWindowRect(c->GetHandle(), &r);
    return TRect(r);
  }

  UiDriver ui;
};

// 0x00RRGGBB of a framework colour, as the desktop's pixels read.
inline std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A glyph strip of cells of size x size: each cell a filled square of its colour with a
// 2-pixel border of background (whose bottom-left pixel makes it transparent).
TOwnedPtr<TBitmap> MakeGlyph(std::initializer_list<TColor> cells, int size = 16, TColor background = clFuchsia);

struct DemoLayout {
  TForm* form = nullptr;
  TDockX* top = nullptr;
  TDockX* bottom = nullptr;
  TDockX* left = nullptr;
  TDockX* right = nullptr;
  TToolbarX* standard = nullptr;  // full size on the top dock, not draggable off it
  TToolbarX* tools = nullptr;     // on the top dock's second row
  TToolbarX* palette = nullptr;   // floating
  TToolbarX* colours = nullptr;   // on the left dock
};

// Builds and shows the demonstration form at (100, 60), 700 x 500.
DemoLayout BuildDemoForm();
// Adds a toolbar of count buttons (with glyphs) to form.
TToolbarX* AddToolbar(TForm* form, const char* name, const char* caption, int count, bool separatorAfterFirst = false);

// The layout as text: per toolbar its visibility, dock or floating, row, position and
// rectangle on the screen.
std::string DescribeLayout(const DemoLayout& layout);

}  // namespace tbx::testing
