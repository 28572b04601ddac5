// The menus' classic look, read from the screen: the bar in the menu colour with underlined
// mnemonics and the open item pressed in, a popup's raised frame, the highlight bar, check
// marks, submenu arrows, separators and grey items embossed in white.

#include <gtest/gtest.h>

#include "MenuDesk.h"

namespace {

std::uint32_t Sys(int index) { return PixelFromColor(GetSysColor(index)); }

// How many pixels of a screen rectangle have the colour.
int CountColor(const UiDriver& ui, RECT r, std::uint32_t color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += ui.Pixel(x, y) == color;
  return n;
}

// The longest run of the colour along one row of a rectangle.
int LongestRun(const UiDriver& ui, RECT r, std::uint32_t color) {
  int best = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left, run = 0; x < r.right; ++x) {
      run = ui.Pixel(x, y) == color ? run + 1 : 0;
      best = std::max(best, run);
    }
  return best;
}

RECT ItemRect(HWND window, HMENU menu, int position) {
  RECT r;
  GetMenuItemRect(window, menu, static_cast<UINT>(position), &r);
  return r;
}

TEST(MenuLook, TheBarIsInTheMenuColourWithUnderlinedMnemonics) {
  MenuDesk desk;
  RECT file = ItemRect(desk.window, desk.bar, 0), help = ItemRect(desk.window, desk.bar, 2);
  EXPECT_EQ(file.bottom - file.top, GetSystemMetrics(SM_CYMENU));
  // Right of the last item the bar is plain.
  EXPECT_EQ(CountColor(desk.ui, RECT{help.right + 4, help.top, help.right + 60, help.bottom}, Sys(COLOR_MENU)),
            56 * (help.bottom - help.top));
  EXPECT_GT(CountColor(desk.ui, file, Sys(COLOR_MENUTEXT)), 10);
  // The '&' is not drawn: the F is underlined (a run as wide as the letter, low in the item).
  RECT lower{file.left, (file.top + file.bottom) / 2 + 3, file.right, file.bottom};
  EXPECT_GE(LongestRun(desk.ui, lower, Sys(COLOR_MENUTEXT)), 4);
}

TEST(MenuLook, AnOpenMenuShowsItsItemsInTheClassicStyle) {
  MenuDesk desk;
  CheckMenuItem(desk.file, MenuDesk::kSave, MF_CHECKED);
  desk.QueueAlt('F');  // File opens with Open highlighted
  bool looked = false;
  desk.ui.WhenModalWaits([&] {
    looked = true;
    RECT bar = ItemRect(desk.window, desk.bar, 0);
    // The open bar item is pressed in: shadow on its top edge, white on its bottom edge.
    EXPECT_EQ(desk.ui.Pixel(bar.left + 5, bar.top), Sys(COLOR_3DSHADOW));
    EXPECT_EQ(desk.ui.Pixel(bar.left + 5, bar.bottom - 1), Sys(COLOR_3DHILIGHT));
    RECT frame;
    GetWindowRect(MenuDesk::Popups().at(0), &frame);
    EXPECT_EQ(desk.ui.Pixel(frame.left + 1, frame.top + 1), Sys(COLOR_3DHILIGHT));
    EXPECT_EQ(desk.ui.Pixel(frame.right - 1, frame.bottom - 1), Sys(COLOR_3DDKSHADOW));
    RECT open = ItemRect(nullptr, desk.file, 0), save = ItemRect(nullptr, desk.file, 1);
    RECT print = ItemRect(nullptr, desk.file, 2), separator = ItemRect(nullptr, desk.file, 3);
    // The highlight bar spans the selected item; the others lie on the menu colour.
    EXPECT_EQ(desk.ui.Pixel(open.left + 2, open.top + 2), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(desk.ui.Pixel(open.right - 2, open.bottom - 2), Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(CountColor(desk.ui, open, Sys(COLOR_HIGHLIGHTTEXT)), 10);
    EXPECT_EQ(desk.ui.Pixel(save.left + 2, save.top + 2), Sys(COLOR_MENU));
    // The check mark in the check column of the checked item only.
    int column = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    EXPECT_GT(CountColor(desk.ui, RECT{save.left, save.top, save.left + column, save.bottom}, Sys(COLOR_MENUTEXT)), 8);
    EXPECT_EQ(CountColor(desk.ui, RECT{print.left, print.top, print.left + column, print.bottom}, Sys(COLOR_MENUTEXT)), 0);
    // The grey item: its text in the shadow colour over a white emboss, nothing in the text colour.
    RECT printText{print.left + column, print.top, print.right, print.bottom};
    EXPECT_GT(CountColor(desk.ui, printText, Sys(COLOR_3DSHADOW)), 8);
    EXPECT_GT(CountColor(desk.ui, printText, Sys(COLOR_3DHILIGHT)), 8);
    EXPECT_EQ(CountColor(desk.ui, printText, Sys(COLOR_MENUTEXT)), 0);
    // The shortcut texts start in one column ("Ctrl+O" over "Ctrl+S").
    auto leftmost = [&](RECT r, std::uint32_t color) {
      for (int x = (r.left + r.right) / 2; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
          if (desk.ui.Pixel(x, y) == color) return x;
      return -1;
    };
    int openShortcut = leftmost(open, Sys(COLOR_HIGHLIGHTTEXT)), saveShortcut = leftmost(save, Sys(COLOR_MENUTEXT));
    EXPECT_GT(openShortcut, 0);
    EXPECT_EQ(openShortcut, saveShortcut);
    // The separator: a shadow line over a white one.
    int width = separator.right - separator.left;
    EXPECT_GE(LongestRun(desk.ui, separator, Sys(COLOR_3DSHADOW)), width - 2);
    EXPECT_GE(LongestRun(desk.ui, separator, Sys(COLOR_3DHILIGHT)), width - 2);
    desk.ui.QueuePress(VK_RIGHT);  // on to Edit: its Size item has an arrow
  });
  desk.ui.WhenModalWaits([&] {
    RECT size = ItemRect(nullptr, desk.edit, 1), undo = ItemRect(nullptr, desk.edit, 0);
    RECT arrow{size.right - 16, size.top, size.right, size.bottom};
    EXPECT_GT(CountColor(desk.ui, arrow, Sys(COLOR_MENUTEXT)), 6);
    EXPECT_EQ(CountColor(desk.ui, RECT{undo.right - 16, undo.top, undo.right, undo.bottom}, Sys(COLOR_HIGHLIGHTTEXT)),
              0);
    desk.ui.QueuePress(VK_ESCAPE);
    desk.ui.QueuePress(VK_ESCAPE);
  });
  desk.ui.RunUntilIdle();
  EXPECT_TRUE(looked);
  // Closed, the menu leaves the window as it was.
  POINT inside = UiDriver::At(desk.window, 20, 20);
  EXPECT_EQ(desk.ui.Pixel(inside.x, inside.y), Sys(COLOR_WINDOW));
  RECT bar = ItemRect(desk.window, desk.bar, 0);
  EXPECT_EQ(desk.ui.Pixel(bar.left + 5, bar.top), Sys(COLOR_MENU));
}

}  // namespace
