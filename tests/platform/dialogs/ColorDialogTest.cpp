// The colour dialog driven as a user drives it: swatches clicked and walked with the arrows,
// colours typed and picked from the square, custom colours kept, Cancel, the hook.

#include <gtest/gtest.h>

#include <cctype>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>

#include "platform/controls/Edit.h"
#include "platform/dialogs/ColorDialog.h"
#include "platform/dialogs/ColorDialogParts.h"
#include "platform/dialogs/CommDlgError.h"
#include "platform/user/Desktop.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

class ColorDialogTest : public ::testing::Test {
protected:
  UiDriver ui;
  CHOOSECOLOR cc;
  std::array<COLORREF, 16> custom{};

  ColorDialogTest() {
    custom.fill(RGB(255, 255, 255));
    cc.lpCustColors = custom.data();
  }

  // Runs the dialog; steps act on it once it waits for input.
  BOOL Run(std::function<void(HWND)> steps) {
    ui.WhenModalWaits([this, steps] {
      HWND dialog = UiDriver::FindDialog("Color");
      ASSERT_TRUE(dialog);
      steps(dialog);
    });
    return ChooseColor(&cc);
  }

  static POINT Swatch(HWND dialog, int id, int index) {
    HWND grid = GetDlgItem(dialog, id);
    RECT r;
    GetClientRect(grid, &r);
    int w = r.right / 8, h = r.bottom / (id == COLOR_BOX1 ? 6 : 2);
    return UiDriver::At(grid, (index % 8) * w + w / 2, (index / 8) * h + h / 2);
  }
  void ClickSwatch(HWND dialog, int id, int index) {
    POINT p = Swatch(dialog, id, index);
    ui.Click(p.x, p.y);
  }
  void ClickItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    RECT r;
    GetClientRect(item, &r);
    POINT p = UiDriver::At(item, r.right / 2, r.bottom / 2);
    ui.Click(p.x, p.y);
  }
  // key: the mnemonic's letter, either case.
  void Alt(char key) {
    ui.KeyDown(VK_MENU);
    ui.Press(std::toupper(static_cast<unsigned char>(key)));
    ui.KeyUp(VK_MENU);
  }
  // Alt+mnemonic to the field (its text selected), then the number typed over it.
  void TypeField(char mnemonic, const std::string& number) {
    Alt(mnemonic);
    ui.Type(number);
  }
  static int Field(HWND dialog, int id) {
    BOOL ok = FALSE;
    int value = static_cast<int>(GetDlgItemInt(dialog, id, &ok, FALSE));
    return ok ? value : -1;
  }
};

TEST_F(ColorDialogTest, BasicColourChosenByMouseOrKeyboard) {
  const COLORREF* basic = BasicColors();
  struct Case {
    const char* how;
    std::function<void(HWND)> steps;
    COLORREF expected;
  };
  const Case cases[] = {
      {"click and OK",
       [&](HWND d) {
         ClickSwatch(d, COLOR_BOX1, 8);
         ClickItem(d, IDOK);
       },
       basic[8]},
      {"click and Enter",
       [&](HWND d) {
         ClickSwatch(d, COLOR_BOX1, 45);
         ui.Press(VK_RETURN);
       },
       basic[45]},
      {"arrows from the selection",
       [&](HWND d) {
         ClickSwatch(d, COLOR_BOX1, 9);
         ui.Press(VK_RIGHT);
         ui.Press(VK_DOWN);
         ui.Press(VK_DOWN);
         ui.Press(VK_LEFT);
         ui.Press(VK_RETURN);
       },
       basic[25]},
      {"arrows stop at the edge",
       [&](HWND d) {
         ClickSwatch(d, COLOR_BOX1, 47);
         ui.Press(VK_RIGHT);
         ui.Press(VK_DOWN);
         ui.Press(VK_RETURN);
       },
       basic[47]},
  };
  for (const Case& c : cases) {
    cc.Flags = 0;
    cc.rgbResult = RGB(1, 2, 3);
    EXPECT_TRUE(Run(c.steps)) << c.how;
    EXPECT_EQ(cc.rgbResult, c.expected) << c.how;
  }
}

TEST_F(ColorDialogTest, SwatchesShowTheirColoursAndTheInitialOneIsSelected) {
  const COLORREF* basic = BasicColors();
  custom[3] = RGB(12, 34, 56);
  cc.Flags = CC_RGBINIT;
  cc.rgbResult = custom[3];
  EXPECT_TRUE(Run([&](HWND d) {
    for (int i : {0, 8, 21, 47}) {
      POINT p = Swatch(d, COLOR_BOX1, i);
      COLORREF c = basic[i];
      EXPECT_EQ(ui.Pixel(p.x, p.y), (GetRValue(c) << 16u | GetGValue(c) << 8u | GetBValue(c))) << i;
    }
    POINT p = Swatch(d, COLOR_CUSTOM1, 3);
    EXPECT_EQ(ui.Pixel(p.x, p.y), 0x0C2238u);
    EXPECT_EQ(SendDlgItemMessage(d, COLOR_CUSTOM1, CPM_GETSEL, 0, 0), 3);
    EXPECT_EQ(Field(d, COLOR_RED), 12);
    ui.Press(VK_RETURN);
  }));
  EXPECT_EQ(cc.rgbResult, RGB(12, 34, 56));
}

TEST_F(ColorDialogTest, CancelKeepsTheOldColour) {
  struct Case {
    const char* how;
    std::function<void(HWND)> cancel;
  };
  const Case cases[] = {
      {"Esc", [&](HWND) { ui.Press(VK_ESCAPE); }},
      {"Cancel button", [&](HWND d) { ClickItem(d, IDCANCEL); }},
      {"close box", [&](HWND d) { PostMessage(d, WM_SYSCOMMAND, SC_CLOSE, 0); ui.RunUntilIdle(); }},
  };
  for (const Case& c : cases) {
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    cc.rgbResult = RGB(10, 20, 30);
    EXPECT_FALSE(Run([&](HWND d) {
      ClickSwatch(d, COLOR_BOX1, 8);
      TypeField('R', "200");
      c.cancel(d);
    })) << c.how;
    EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30)) << c.how;
  }
}

TEST_F(ColorDialogTest, CustomColourDefinedByTypingIsAddedAndKept) {
  cc.Flags = CC_FULLOPEN;
  EXPECT_TRUE(Run([&](HWND d) {
    TypeField('R', "18");
    TypeField('G', "52");
    TypeField('u', "86");
    WORD h, l, s;
    ColorRGBToHLS(RGB(18, 52, 86), &h, &l, &s);
    EXPECT_EQ(Field(d, COLOR_HUE), h);
    EXPECT_EQ(Field(d, COLOR_SAT), s);
    EXPECT_EQ(Field(d, COLOR_LUM), l);
    POINT sample = UiDriver::At(GetDlgItem(d, COLOR_CURRENT), 6, 6);
    EXPECT_EQ(ui.Pixel(sample.x, sample.y), 0x123456u);
    ClickItem(d, COLOR_ADD);
    TypeField('R', "300");  // beyond the channel: the field takes the largest value
    EXPECT_EQ(Field(d, COLOR_RED), 255);
    ClickItem(d, COLOR_ADD);
    ClickItem(d, IDOK);
  }));
  EXPECT_EQ(cc.rgbResult, RGB(255, 52, 86));
  EXPECT_EQ(custom[0], RGB(18, 52, 86));
  EXPECT_EQ(custom[1], RGB(255, 52, 86));
  EXPECT_EQ(custom[2], RGB(255, 255, 255));

  // The next time the custom colours are there to pick, and a picked box takes the next one.
  cc.Flags = 0;
  EXPECT_TRUE(Run([&](HWND d) {
    POINT p = Swatch(d, COLOR_CUSTOM1, 1);
    EXPECT_EQ(ui.Pixel(p.x, p.y), 0xFF3456u);
    ClickSwatch(d, COLOR_CUSTOM1, 0);
    ui.Press(VK_RETURN);
  }));
  EXPECT_EQ(cc.rgbResult, RGB(18, 52, 86));
}

TEST_F(ColorDialogTest, TypingHueSaturationAndLuminance) {
  cc.Flags = CC_FULLOPEN;
  EXPECT_TRUE(Run([&](HWND d) {
    TypeField('e', "80");   // hue of green
    TypeField('S', "240");
    TypeField('L', "120");
    EXPECT_EQ(Field(d, COLOR_RED), 0);
    EXPECT_EQ(Field(d, COLOR_GREEN), 255);
    EXPECT_EQ(Field(d, COLOR_BLUE), 0);
    TypeField('e', "999");
    EXPECT_EQ(Field(d, COLOR_HUE), 239);
    TypeField('e', "160");  // blue
    ui.Press(VK_RETURN);
  }));
  EXPECT_EQ(cc.rgbResult, RGB(0, 0, 255));
}

TEST_F(ColorDialogTest, CustomColourDefinedByClickingTheSquareAndTheBar) {
  cc.Flags = CC_RGBINIT;
  cc.rgbResult = RGB(128, 128, 128);
  int hue = -1, sat = -1, lum = -1;
  EXPECT_TRUE(Run([&](HWND d) {
    HWND square = GetDlgItem(d, COLOR_RAINBOW);
    EXPECT_FALSE(IsWindowVisible(square));
    RECT small;
    GetWindowRect(d, &small);
    ClickItem(d, COLOR_MIX);
    RECT full;
    GetWindowRect(d, &full);
    EXPECT_GT(full.right - full.left, (small.right - small.left) * 3 / 2);
    EXPECT_TRUE(IsWindowVisible(square));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, COLOR_MIX)));

    RECT r;
    GetClientRect(square, &r);
    // A sixth across (hue 40, yellow), at the top (full saturation).
    POINT p = UiDriver::At(square, 2 + (r.right - 4) / 6, 3);
    ui.Click(p.x, p.y);
    hue = Field(d, COLOR_HUE);
    sat = Field(d, COLOR_SAT);
    EXPECT_NEAR(hue, 40, 2);
    EXPECT_NEAR(sat, 240, 3);
    EXPECT_EQ(Field(d, COLOR_LUM), 120);  // the luminance stays
    // Three quarters down the luminance bar.
    HWND bar = GetDlgItem(d, COLOR_LUMSCROLL);
    GetClientRect(bar, &r);
    p = UiDriver::At(bar, 4, 2 + (r.bottom - 4) * 3 / 4);
    ui.Click(p.x, p.y);
    lum = Field(d, COLOR_LUM);
    EXPECT_NEAR(lum, 60, 2);
    EXPECT_EQ(Field(d, COLOR_HUE), hue);
    ClickItem(d, COLOR_ADD);
    ClickItem(d, IDOK);
  }));
  COLORREF expected = ColorHLSToRGB(static_cast<WORD>(hue), static_cast<WORD>(lum), static_cast<WORD>(sat));
  EXPECT_EQ(cc.rgbResult, expected);
  EXPECT_EQ(custom[0], expected);
  EXPECT_GT(GetRValue(expected), 100);  // a dark yellow
  EXPECT_GT(GetGValue(expected), 100);
  EXPECT_LT(GetBValue(expected), 10);
}

TEST_F(ColorDialogTest, FlagsShapeTheDialog) {
  struct Case {
    DWORD flags;
    bool full, mixEnabled, help;
  };
  const Case cases[] = {
      {0, false, true, false},
      {CC_FULLOPEN, true, false, false},
      {CC_PREVENTFULLOPEN | CC_FULLOPEN, false, false, false},
      {CC_SHOWHELP | CC_SOLIDCOLOR | CC_ANYCOLOR, false, true, true},
  };
  for (const Case& c : cases) {
    cc.Flags = c.flags;
    EXPECT_FALSE(Run([&](HWND d) {
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, COLOR_RAINBOW)) != 0, c.full) << c.flags;
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(d, COLOR_MIX)) != 0, c.mixEnabled) << c.flags;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, pshHelp)) != 0, c.help) << c.flags;
      ClickItem(d, COLOR_MIX);  // refused when prevented
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, COLOR_RAINBOW)) != 0, !(c.flags & CC_PREVENTFULLOPEN)) << c.flags;
      ui.Press(VK_ESCAPE);
    }));
  }
}

TEST_F(ColorDialogTest, HookSeesInitDialogAndMayRefuseOk) {
  std::vector<UINT> seen;
  LPARAM initParam = 0;
  int vetoes = 1;
  std::vector<COLORREF> offered;
  const UINT okMessage = RegisterWindowMessage(COLOROKSTRING);
  cc.Flags = CC_ENABLEHOOK | CC_RGBINIT;
  cc.rgbResult = RGB(9, 9, 9);
  cc.lCustData = 77;
  cc.lpfnHook = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> UINT_PTR {
    if (message == WM_INITDIALOG) {
      initParam = lParam;
      seen.push_back(message);
    }
    if (message == okMessage) {
      seen.push_back(message);
      offered.push_back(reinterpret_cast<CHOOSECOLOR*>(lParam)->rgbResult);
      return vetoes-- > 0;
    }
    return 0;
  };
  EXPECT_TRUE(Run([&](HWND d) {
    ClickSwatch(d, COLOR_BOX1, 0);
    ui.Press(VK_RETURN);  // refused: the dialog stays
    EXPECT_TRUE(UiDriver::FindDialog("Color"));
    EXPECT_EQ(cc.rgbResult, RGB(9, 9, 9));
    // The caller's colour message sets the current colour.
    SendMessage(d, RegisterWindowMessage(SETRGBSTRING), 0, RGB(1, 2, 3));
    EXPECT_EQ(Field(d, COLOR_BLUE), 3);
    ui.Press(VK_RETURN);
  }));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], static_cast<UINT>(WM_INITDIALOG));
  ASSERT_EQ(initParam, reinterpret_cast<LPARAM>(&cc));
  EXPECT_EQ(reinterpret_cast<CHOOSECOLOR*>(initParam)->lCustData, 77);
  EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
  EXPECT_EQ(offered, (std::vector<COLORREF>{BasicColors()[0], RGB(1, 2, 3)}));
}

TEST_F(ColorDialogTest, HelpButtonTellsTheOwner) {
  const UINT helpMessage = RegisterWindowMessage(HELPMSGSTRING);
  std::vector<LPARAM> asked;
  WNDCLASS wc;
  wc.lpfnWndProc = [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == helpMessage) asked.push_back(lp);
    return DefWindowProc(w, m, wp, lp);
  };
  wc.lpszClassName = "ColorHelpOwner";
  RegisterClass(&wc);
  HWND owner = CreateWindowEx(0, "ColorHelpOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                              nullptr, nullptr, nullptr, nullptr);
  cc.hwndOwner = owner;
  cc.Flags = CC_SHOWHELP;
  EXPECT_FALSE(Run([&](HWND d) {
    EXPECT_FALSE(IsWindowEnabled(owner));  // modal over its owner
    ClickItem(d, pshHelp);
    ui.Press(VK_ESCAPE);
  }));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(asked, (std::vector<LPARAM>{reinterpret_cast<LPARAM>(&cc)}));
  DestroyWindow(owner);
  UnregisterClass("ColorHelpOwner", nullptr);
}

TEST_F(ColorDialogTest, MalformedStructureIsRefused) {
  EXPECT_FALSE(ChooseColor(nullptr));
  cc.lStructSize = 12;
  cc.rgbResult = RGB(5, 6, 7);
  EXPECT_FALSE(ChooseColor(&cc));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  EXPECT_EQ(cc.rgbResult, RGB(5, 6, 7));
}

TEST(ColorHls, ConversionsFollowTheDialogsScale) {
  struct Case {
    COLORREF rgb;
    WORD h, l, s;
  };
  const Case cases[] = {
      {RGB(255, 0, 0), 0, 120, 240},     {RGB(0, 255, 0), 80, 120, 240},  {RGB(0, 0, 255), 160, 120, 240},
      {RGB(255, 255, 255), 160, 240, 0}, {RGB(0, 0, 0), 160, 0, 0},       {RGB(128, 128, 128), 160, 120, 0},
      {RGB(255, 255, 0), 40, 120, 240},  {RGB(128, 0, 64), 220, 60, 240},
  };
  for (const Case& c : cases) {
    WORD h = 0, l = 0, s = 0;
    ColorRGBToHLS(c.rgb, &h, &l, &s);
    EXPECT_EQ(h, c.h) << std::hex << c.rgb;
    EXPECT_EQ(l, c.l) << std::hex << c.rgb;
    EXPECT_EQ(s, c.s) << std::hex << c.rgb;
  }
  // Every basic colour comes back within the rounding of the 240 scale.
  for (int i = 0; i < 48; ++i) {
    COLORREF c = BasicColors()[i];
    WORD h, l, s;
    ColorRGBToHLS(c, &h, &l, &s);
    COLORREF back = ColorHLSToRGB(h, l, s);
    EXPECT_LE(std::abs(GetRValue(back) - GetRValue(c)), 3) << i;
    EXPECT_LE(std::abs(GetGValue(back) - GetGValue(c)), 3) << i;
    EXPECT_LE(std::abs(GetBValue(back) - GetBValue(c)), 3) << i;
  }
}

// ColorDialogShot.FullOpen shows the fully open dialog with a custom colour being defined;
// with QUILLO_SHOT=<file.bmp> it saves the desktop, and with QUILLO_DEMO_HOLD_MS it keeps the
// screen that long (scripts/screenshot-color-dialog.sh reads the X screen meanwhile).
class ColorDialogShot : public ColorDialogTest {};

TEST_F(ColorDialogShot, FullOpen) {
  custom[0] = RGB(18, 52, 86);
  custom[1] = RGB(255, 128, 0);
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  cc.rgbResult = BasicColors()[13];
  EXPECT_FALSE(Run([&](HWND d) {
    ClickSwatch(d, COLOR_BOX1, 13);
    ui.ShowToViewer();
    ui.Press(VK_ESCAPE);
  }));
}

}  // namespace
