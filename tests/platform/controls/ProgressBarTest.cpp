// The progress bar: its PBM_ messages and the block, smooth and vertical looks.

#include <gtest/gtest.h>

#include "RangeParent.h"
#include "platform/controls/ProgressBar.h"
#include "support/UiDriver.h"

namespace {

TEST(ProgressBarControl, MessagesMoveThePositionWithinTheRange) {
  UiDriver ui;
  RangeParent parent;
  HWND bar = parent.Child(PROGRESS_CLASS, 0, 10, 10, 200, 20);
  struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    int posAfter;
  };
  const Step steps[] = {
      {PBM_GETPOS, 0, 0, 0, 0},
      {PBM_SETPOS, 40, 0, 0, 40},
      {PBM_SETPOS, 140, 0, 40, 100},                          // kept within the range
      {PBM_DELTAPOS, static_cast<WPARAM>(-30), 0, 100, 70},
      {PBM_SETSTEP, 25, 0, 10, 70},                           // answers the old step
      {PBM_STEPIT, 0, 0, 70, 95},
      {PBM_STEPIT, 0, 0, 95, 20},                             // past the end it starts over
      {PBM_SETRANGE, 0, MAKELPARAM(50, 60), MAKELONG(0, 100), 50},
      {PBM_SETRANGE32, 1000, 200000, MAKELONG(50, 60), 1000},
      {PBM_SETPOS, 150000, 0, 1000, 150000},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.message - WM_USER);
    EXPECT_EQ(SendMessage(bar, s.message, s.wParam, s.lParam), s.answer);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), s.posAfter);
  }
  PBRANGE range;
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 1000);
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, FALSE, 0), 200000);
  EXPECT_EQ(range.iLow, 1000);
  EXPECT_EQ(range.iHigh, 200000);
}

TEST(ProgressBarControl, BlocksFillFromTheStartInTheHighlightColour) {
  UiDriver ui;
  RangeParent parent;
  HWND blocks = parent.Child(PROGRESS_CLASS, 0, 10, 10, 202, 20);
  HWND smooth = parent.Child(PROGRESS_CLASS, PBS_SMOOTH, 10, 40, 202, 20);
  HWND vertical = parent.Child(PROGRESS_CLASS, PBS_VERTICAL | PBS_SMOOTH, 250, 10, 20, 102);
  for (HWND bar : {blocks, smooth, vertical}) SendMessage(bar, PBM_SETPOS, 50, 0);
  ui.RunUntilIdle();
  std::uint32_t highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT)), face = Rgb(GetSysColor(COLOR_3DFACE));
  auto at = [&](HWND w, int x, int y) {
    POINT p = UiDriver::At(w, x, y);
    return ui.Pixel(p.x, p.y);
  };
  // Inside the one-pixel sunken frame and a pixel of margin: 198 pixels, half of them filled.
  EXPECT_EQ(at(smooth, 2, 10), highlight);
  EXPECT_EQ(at(smooth, 100, 10), highlight);
  EXPECT_EQ(at(smooth, 101, 10), face);
  EXPECT_EQ(at(smooth, 199, 10), face);
  EXPECT_EQ(at(smooth, 0, 0), Rgb(GetSysColor(COLOR_BTNSHADOW))) << "the sunken frame";
  // Blocks of 10 pixels (two thirds of the 16-pixel inner height), two apart.
  EXPECT_EQ(at(blocks, 2, 10), highlight);
  EXPECT_EQ(at(blocks, 11, 10), highlight);
  EXPECT_EQ(at(blocks, 12, 10), face) << "the gap";
  EXPECT_EQ(at(blocks, 14, 10), highlight);
  EXPECT_EQ(at(blocks, 150, 10), face);
  // Vertical bars fill from the bottom.
  EXPECT_EQ(at(vertical, 10, 99), highlight);
  EXPECT_EQ(at(vertical, 10, 51), highlight);
  EXPECT_EQ(at(vertical, 10, 49), face);
}

}  // namespace
