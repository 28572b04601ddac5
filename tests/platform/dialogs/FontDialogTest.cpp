// The font dialog driven as a user drives it: a family typed, a style clicked, a size typed,
// effects, Apply while the dialog stays, sizes outside the limits refused with a message.

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/dialogs/CommDlgError.h"
#include "platform/user/Desktop.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

class FontDialogTest : public ::testing::Test {
protected:
  UiDriver ui;
  LOGFONT font;
  CHOOSEFONT cf;

  FontDialogTest() { cf.lpLogFont = &font; }

  BOOL Run(std::function<void(HWND)> steps) {
    ui.WhenModalWaits([this, steps] {
      HWND dialog = UiDriver::FindDialog("Font");
      ASSERT_TRUE(dialog);
      steps(dialog);
    });
    return ChooseFont(&cf);
  }

  // key: the mnemonic's letter, either case.
  void Alt(char key) {
    ui.KeyDown(VK_MENU);
    ui.Press(std::toupper(static_cast<unsigned char>(key)));
    ui.KeyUp(VK_MENU);
  }
  // Alt+mnemonic to the field (its text selected), then the text typed over it.
  void TypeField(char mnemonic, const std::string& text) {
    Alt(mnemonic);
    ui.Type(text);
  }
  void ClickItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    RECT r;
    GetClientRect(item, &r);
    POINT p = UiDriver::At(item, r.right / 2, r.bottom / 2);
    ui.Click(p.x, p.y);
  }
  // Clicks the entry of a simple combo box's list.
  void ClickListEntry(HWND dialog, int id, const char* text) {
    HWND combo = GetDlgItem(dialog, id);
    HWND list = FindWindowEx(combo, nullptr, kComboListBoxClass, nullptr);
    ASSERT_TRUE(list);
    LRESULT index = SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    ASSERT_GE(index, 0) << text;
    RECT r;
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    POINT p = UiDriver::At(list, r.left + 5, (r.top + r.bottom) / 2);
    ui.Click(p.x, p.y);
  }
  static std::string Text(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemText(dialog, id, text, sizeof text);
    return text;
  }
  static std::string Face(const LOGFONT& f) { return std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)); }
  // Whether any pixel of the sample shows this colour (0x00RRGGBB).
  bool SampleShows(HWND dialog, std::uint32_t rgb) const {
    HWND sample = GetDlgItem(dialog, stc5);
    RECT r;
    GetClientRect(sample, &r);
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        POINT p = UiDriver::At(sample, x, y);
        if (ui.Pixel(p.x, p.y) == rgb) return true;
      }
    return false;
  }
};

TEST_F(FontDialogTest, FamilyStyleSizeAndEffectsChosen) {
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS;
  EXPECT_TRUE(Run([&](HWND d) {
    TypeField('F', "times new roman");
    ClickListEntry(d, cmb2, "Bold Italic");
    TypeField('S', "14");
    ClickItem(d, chx2);  // underline
    Alt('C');
    for (int i = 0; i < 9; ++i) ui.Press(VK_DOWN);  // Black .. Red
    EXPECT_EQ(Text(d, cmb4), "Red");
    EXPECT_TRUE(SampleShows(d, 0xFF0000));
    ClickItem(d, IDOK);
  }));
  EXPECT_EQ(Face(font), "Times New Roman");  // the list's spelling
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfItalic, 1);
  EXPECT_EQ(font.lfUnderline, 1);
  EXPECT_EQ(font.lfStrikeOut, 0);
  EXPECT_EQ(font.lfHeight, -19);  // 14 points at 96 pixels an inch
  EXPECT_EQ(cf.iPointSize, 140);
  EXPECT_EQ(cf.rgbColors, RGB(255, 0, 0));
  EXPECT_EQ(cf.nFontType & (BOLD_FONTTYPE | ITALIC_FONTTYPE | REGULAR_FONTTYPE), BOLD_FONTTYPE | ITALIC_FONTTYPE);
}

TEST_F(FontDialogTest, StartsFromTheLogFontAndGivesItBackUnchanged) {
  std::strcpy(font.lfFaceName, "Courier New");
  font.lfHeight = -16;
  font.lfWeight = FW_BOLD;
  font.lfStrikeOut = 1;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  cf.rgbColors = RGB(1, 2, 3);  // not a named colour: shown as a custom one
  EXPECT_TRUE(Run([&](HWND d) {
    EXPECT_EQ(Text(d, cmb1), "Courier New");
    EXPECT_EQ(Text(d, cmb2), "Bold");
    EXPECT_EQ(Text(d, cmb3), "12");
    EXPECT_EQ(IsDlgButtonChecked(d, chx1), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, chx2), static_cast<UINT>(BST_UNCHECKED));
    ui.Press(VK_RETURN);
  }));
  EXPECT_EQ(Face(font), "Courier New");
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfStrikeOut, 1);
  EXPECT_EQ(cf.iPointSize, 120);
  EXPECT_EQ(cf.rgbColors, RGB(1, 2, 3));
}

TEST_F(FontDialogTest, RefusedEntriesShowAMessageAndKeepTheDialogOpen) {
  struct Case {
    DWORD flags;
    const char* face;
    const char* size;
    std::string message;
  };
  const Case cases[] = {
      {CF_LIMITSIZE, "Arial", "36", "Size must be between 8 and 24 points."},
      {CF_LIMITSIZE, "Arial", "7.5", "Size must be between 8 and 24 points."},
      {0, "Arial", "big", FontDialogText::SizeNotNumber},
      {0, "Arial", "5000", "Size must be between 1 and 1638 points."},
      {CF_FORCEFONTEXIST, "No Such Face", "10", FontDialogText::NoSuchFont},
      {0, "", "10", FontDialogText::NoFontChosen},
  };
  for (const Case& c : cases) {
    cf.Flags = CF_SCREENFONTS | c.flags;
    cf.nSizeMin = 8;
    cf.nSizeMax = 24;
    font = LOGFONT{};
    ui.AnswerMessageBoxes({IDOK});
    size_t boxes = ui.MessageBoxTexts().size();
    EXPECT_FALSE(Run([&](HWND) {
      if (*c.face) TypeField('F', c.face);
      TypeField('S', c.size);
      ui.Press(VK_RETURN);
      ASSERT_EQ(ui.MessageBoxTexts().size(), boxes + 1) << c.size;
      EXPECT_EQ(ui.MessageBoxTexts().back(), c.message);
      EXPECT_TRUE(UiDriver::FindDialog("Font"));
      ui.Press(VK_ESCAPE);
    }));
    EXPECT_EQ(Face(font), "");  // Cancel leaves the LOGFONT alone
  }
  // Within the limits, and a face not in the list without CF_FORCEFONTEXIST, are taken.
  cf.Flags = CF_SCREENFONTS | CF_LIMITSIZE;
  EXPECT_TRUE(Run([&](HWND d) {
    HWND list = FindWindowEx(GetDlgItem(d, cmb3), nullptr, kComboListBoxClass, nullptr);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 11);  // 8 .. 24
    TypeField('F', "Some Face");
    TypeField('S', "24");
    ui.Press(VK_RETURN);
  }));
  EXPECT_EQ(Face(font), "Some Face");
  EXPECT_EQ(cf.iPointSize, 240);
}

TEST_F(FontDialogTest, ApplyReachesTheHookWhileTheDialogStays) {
  std::vector<std::string> applied;
  int inits = 0;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_APPLY | CF_ENABLEHOOK;
  cf.lCustData = 5;
  cf.lpfnHook = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> UINT_PTR {
    if (message == WM_INITDIALOG) {
      ++inits;
      EXPECT_EQ(reinterpret_cast<CHOOSEFONT*>(lParam)->lCustData, 5);
    }
    if (message == WM_COMMAND && LOWORD(wParam) == psh3) {
      LOGFONT now;
      SendMessage(dialog, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&now));
      applied.push_back(Face(now) + "/" + std::to_string(now.lfHeight) + "/" + std::to_string(now.lfStrikeOut));
    }
    return 0;
  };
  EXPECT_FALSE(Run([&](HWND d) {
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, psh3)));
    TypeField('F', "Arial");
    TypeField('S', "12");
    ClickItem(d, psh3);
    ClickItem(d, chx1);  // strikeout
    Alt('A');
    EXPECT_TRUE(UiDriver::FindDialog("Font"));
    // The caller may set the choice while the dialog is open.
    LOGFONT set;
    std::strcpy(set.lfFaceName, "Courier New");
    set.lfHeight = -24;
    set.lfWeight = FW_BOLD;
    SendMessage(d, WM_CHOOSEFONT_SETLOGFONT, 0, reinterpret_cast<LPARAM>(&set));
    EXPECT_EQ(Text(d, cmb1), "Courier New");
    EXPECT_EQ(Text(d, cmb2), "Bold");
    EXPECT_EQ(Text(d, cmb3), "18");
    EXPECT_EQ(IsDlgButtonChecked(d, chx1), static_cast<UINT>(BST_UNCHECKED));
    ClickItem(d, IDCANCEL);
  }));
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(applied, (std::vector<std::string>{"Arial/-16/0", "Arial/-16/1"}));
}

TEST_F(FontDialogTest, FlagsShapeTheDialog) {
  struct Case {
    DWORD flags;
    bool effects, apply, help, script;
  };
  const Case cases[] = {
      {CF_SCREENFONTS, false, false, false, true},
      {CF_SCREENFONTS | CF_EFFECTS | CF_APPLY, true, true, false, true},
      {CF_SCREENFONTS | CF_SHOWHELP | CF_NOSCRIPTSEL, false, false, true, false},
  };
  for (const Case& c : cases) {
    cf.Flags = c.flags;
    EXPECT_FALSE(Run([&](HWND d) {
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, chx1)) != 0, c.effects) << c.flags;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, cmb4)) != 0, c.effects) << c.flags;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, psh3)) != 0, c.apply) << c.flags;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(d, pshHelp)) != 0, c.help) << c.flags;
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(d, cmb5)) != 0, c.script) << c.flags;
      ui.Press(VK_ESCAPE);
    }));
  }
}

TEST_F(FontDialogTest, StylesAreTheFamilysOwnAndFollowTheFace) {
  auto styles = [](HWND d) {
    std::vector<std::string> names;
    HWND combo = GetDlgItem(d, cmb2);
    for (LRESULT i = 0; i < SendMessage(combo, CB_GETCOUNT, 0, 0); ++i) {
      char name[64] = {};
      SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
      names.emplace_back(name);
    }
    return names;
  };
  cf.Flags = CF_SCREENFONTS | CF_USESTYLE;
  char style[LF_FACESIZE] = {};
  cf.lpszStyle = style;
  EXPECT_TRUE(Run([&](HWND d) {
    TypeField('F', "Times New Roman");
    EXPECT_EQ(styles(d), (std::vector<std::string>{"Regular", "Italic", "Bold", "Bold Italic"}));
    ClickListEntry(d, cmb2, "Bold Italic");
    TypeField('F', "DejaVu Sans");
    EXPECT_EQ(styles(d), (std::vector<std::string>{"Book", "Oblique", "Bold", "Bold Oblique"}));
    EXPECT_EQ(Text(d, cmb2), "Bold Oblique");  // the same style in the new family's words
    TypeField('S', "10");
    ui.Press(VK_RETURN);
  }));
  EXPECT_STREQ(style, "Bold Oblique");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfItalic, 1);
  EXPECT_EQ(cf.nFontType & SIMULATED_FONTTYPE, 0);
}

TEST_F(FontDialogTest, FamiliesComeFromTheTextEngine) {
  struct Case {
    DWORD flags;
    const char* present;
    const char* absent;
  };
  const Case cases[] = {
      {CF_SCREENFONTS | CF_TTONLY, "Arial", nullptr},
      {CF_SCREENFONTS | CF_FIXEDPITCHONLY, "Courier New", "Arial"},
  };
  for (const Case& c : cases) {
    cf.Flags = c.flags;
    EXPECT_FALSE(Run([&](HWND d) {
      HWND combo = GetDlgItem(d, cmb1);
      EXPECT_GE(SendMessage(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(c.present)), 0);
      if (c.absent) {
        EXPECT_EQ(SendMessage(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(c.absent)), CB_ERR);
      }
      ui.Press(VK_ESCAPE);
    }));
  }
}

TEST_F(FontDialogTest, MalformedRequestsAreRefused) {
  cf.Flags = CF_LIMITSIZE;
  cf.nSizeMin = 20;
  cf.nSizeMax = 10;
  EXPECT_FALSE(ChooseFont(&cf));
  EXPECT_EQ(CommDlgExtendedError(), CFERR_MAXLESSTHANMIN);
  CHOOSEFONT noFont;
  EXPECT_FALSE(ChooseFont(&noFont));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
  EXPECT_FALSE(ChooseFont(nullptr));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

// FontDialogShot.Effects shows the dialog with effects and Apply, a choice made; with
// QUILLO_SHOT=<file.bmp> it saves the desktop, and with QUILLO_DEMO_HOLD_MS it keeps the screen
// that long (scripts/screenshot-color-dialog.sh --font reads the X screen meanwhile).
class FontDialogShot : public FontDialogTest {};

TEST_F(FontDialogShot, Effects) {
  std::strcpy(font.lfFaceName, "Times New Roman");
  font.lfHeight = -19;
  font.lfItalic = 1;
  font.lfUnderline = 1;
  cf.rgbColors = RGB(128, 0, 0);
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_APPLY | CF_INITTOLOGFONTSTRUCT;
  EXPECT_FALSE(Run([&](HWND) {
    ui.ShowToViewer();
    ui.Press(VK_ESCAPE);
  }));
}

}  // namespace
