// The colour and font dialog components: what they hand the dialogs, what they take back,
// custom colours kept as strings, Apply with the dialog still open.

#include "VclFixture.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "platform/dialogs/ColorDialog.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/user/Dialog.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ColorDialogs.h"
#include "platform/vcl/FontDialogs.h"

namespace {

class ColorFontDialogsTest : public VclTest {
protected:
  // key: the mnemonic's letter, either case.
  void Alt(char key) {
    ui.KeyDown(VK_MENU);
    ui.Press(std::toupper(static_cast<unsigned char>(key)));
    ui.KeyUp(VK_MENU);
  }
  void ClickItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    RECT r;
    GetClientRect(item, &r);
    POINT p = UiDriver::At(item, r.right / 2, r.bottom / 2);
    ui.Click(p.x, p.y);
  }
  void ClickBasic(HWND dialog, int index) {
    HWND grid = GetDlgItem(dialog, COLOR_BOX1);
    RECT r;
    GetClientRect(grid, &r);
    int w = r.right / 8, h = r.bottom / 6;
    POINT p = UiDriver::At(grid, (index % 8) * w + w / 2, (index / 8) * h + h / 2);
    ui.Click(p.x, p.y);
  }
  void WhenShown(const char* caption, std::function<void(HWND)> steps) {
    ui.WhenModalWaits([caption, steps] {
      HWND dialog = UiDriver::FindDialog(caption);
      ASSERT_TRUE(dialog);
      steps(dialog);
    });
  }
};

TEST_F(ColorFontDialogsTest, ColorDialogTakesTheChosenColourAndKeepsCustomColours) {
  TOwnedPtr<TColorDialog> dialog = MakeObject<TColorDialog>(nullptr);
  dialog->SetColor(clRed);
  dialog->GetCustomColors()->Add("ColorA=563412");  // the colour value 0x563412 in hex
  dialog->GetCustomColors()->Add("ColorC=not hex");   // taken as unset
  HWND shown = nullptr;
  int closes = 0;
  dialog->SetOnShow([&](TObject*) { shown = dialog->GetHandle(); });
  dialog->SetOnClose([&](TObject*) { ++closes; });
  dialog->SetOptions(TColorDialogOptions{cdFullOpen});
  WhenShown("Color", [&](HWND d) {
    EXPECT_EQ(shown, d);
    EXPECT_EQ(GetFocus(), GetDlgItem(d, COLOR_BOX1));  // the first control has the focus
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, COLOR_RAINBOW)));
    EXPECT_EQ(GetDlgItemInt(d, COLOR_RED, nullptr, FALSE), 255u);  // starts from Color
    HWND custom = GetDlgItem(d, COLOR_CUSTOM1);
    RECT r;
    GetClientRect(custom, &r);
    POINT first = UiDriver::At(custom, r.right / 16, r.bottom / 4);
    EXPECT_EQ(ui.Pixel(first.x, first.y), 0x123456u);
    POINT second = UiDriver::At(custom, r.right * 3 / 16, r.bottom / 4);
    ui.Click(second.x, second.y);  // the box the next custom colour goes to
    ClickBasic(d, 28);             // blue
    ClickItem(d, COLOR_ADD);
    ClickItem(d, IDOK);
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetColor(), static_cast<TColor>(RGB(0, 0, 255)));
  EXPECT_EQ(dialog->GetHandle(), nullptr);
  EXPECT_EQ(closes, 1);
  TStrings* colours = dialog->GetCustomColors();
  EXPECT_EQ(colours->Values("ColorA"), "563412");
  EXPECT_EQ(colours->Values("ColorB"), "FF0000");  // blue, as the colour value 0xFF0000
  EXPECT_EQ(colours->Values("ColorC"), "FFFFFF");
  EXPECT_EQ(colours->Values("ColorP"), "FFFFFF");

  // Cancel keeps the colour.
  WhenShown("Color", [&](HWND d) {
    ClickBasic(d, 0);
    ui.Press(VK_ESCAPE);
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetColor(), static_cast<TColor>(RGB(0, 0, 255)));
}

TEST_F(ColorFontDialogsTest, ColorDialogOptionsReachTheDialog) {
  TOwnedPtr<TColorDialog> dialog = MakeObject<TColorDialog>(nullptr);
  dialog->SetOptions(TColorDialogOptions{cdPreventFullOpen, cdShowHelp});
  WhenShown("Color", [&](HWND d) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, COLOR_MIX)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, pshHelp)));
    ui.Press(VK_ESCAPE);
  });
  EXPECT_FALSE(dialog->Execute());
}

// The Help button and F1 open the application's help at the dialog's context; F1 does nothing
// where the dialog shows no Help button.
TEST_F(ColorFontDialogsTest, HelpButtonAndF1OpenTheDialogsHelp) {
  std::vector<int> asked;
  Application()->OnHelp = [&](int context) {
    asked.push_back(context);
    return true;
  };
  TOwnedPtr<TColorDialog> colour = MakeObject<TColorDialog>(nullptr);
  colour->SetHelpContext(1234);
  TOwnedPtr<TFontDialog> font = MakeObject<TFontDialog>(nullptr);
  font->SetHelpContext(4321);
  struct Case {
    const char* what;
    bool showHelp;
    bool byKey;
    std::vector<int> expected;
  };
  const Case cases[] = {{"button", true, false, {1234, 4321}},
                        {"F1", true, true, {1234, 4321}},
                        {"F1 without the button", false, true, {}}};
  for (const Case& c : cases) {
    asked.clear();
    colour->SetOptions(c.showHelp ? TColorDialogOptions{cdShowHelp} : TColorDialogOptions{});
    font->SetOptions(c.showHelp ? TFontDialogOptions{fdShowHelp} : TFontDialogOptions{});
    for (const char* caption : {"Color", "Font"}) {
      WhenShown(caption, [&](HWND d) {
        if (c.byKey) ui.Press(VK_F1);
        else ClickItem(d, pshHelp);
        ui.Press(VK_ESCAPE);
      });
      if (caption[0] == 'C') colour->Execute();
      else font->Execute();
    }
    EXPECT_EQ(asked, c.expected) << c.what;
  }
  Application()->OnHelp = nullptr;
}

TEST_F(ColorFontDialogsTest, FontDialogApplyUpdatesFontWhileOpenThenOkTakesIt) {
  TOwnedPtr<TFontDialog> dialog = MakeObject<TFontDialog>(nullptr);
  dialog->GetFont()->SetName("Arial");
  dialog->GetFont()->SetSize(10);
  dialog->SetOptions(TFontDialogOptions{fdEffects, fdApplyButton});
  std::vector<std::string> applied;
  HWND appliedWindow = nullptr;
  dialog->SetOnApply([&](TObject* sender, HWND wnd) {
    EXPECT_EQ(sender, dialog.get());
    appliedWindow = wnd;
    applied.push_back(dialog->GetFont()->GetName() + "/" + std::to_string(dialog->GetFont()->GetSize()));
  });
  HWND open = nullptr;
  WhenShown("Font", [&](HWND d) {
    open = d;
    EXPECT_EQ(dialog->GetHandle(), d);
    EXPECT_TRUE(IsChild(GetDlgItem(d, cmb1), GetFocus()));  // the face field has the focus
    Alt('F');
    ui.Type("Courier New");
    Alt('S');
    ui.Type("14");
    ClickItem(d, psh3);
    EXPECT_TRUE(UiDriver::FindDialog("Font"));  // still open
    ClickItem(d, chx2);                         // underline
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(applied, (std::vector<std::string>{"Courier New/14"}));
  EXPECT_EQ(appliedWindow, open);
  EXPECT_EQ(dialog->GetFont()->GetName(), "Courier New");
  EXPECT_EQ(dialog->GetFont()->GetSize(), 14);
  EXPECT_EQ(dialog->GetFont()->GetStyle(), static_cast<TFontStyles>(fsUnderline));
}

TEST_F(ColorFontDialogsTest, FontDialogSizeLimitsRefuseWithAMessage) {
  TOwnedPtr<TFontDialog> dialog = MakeObject<TFontDialog>(nullptr);
  dialog->GetFont()->SetName("Arial");
  dialog->GetFont()->SetSize(12);
  dialog->GetFont()->SetColor(clBlue);
  dialog->SetOptions(TFontDialogOptions{fdEffects, fdLimitSize});
  dialog->SetMinFontSize(10);
  dialog->SetMaxFontSize(20);
  ui.AnswerMessageBoxes({IDOK});
  WhenShown("Font", [&](HWND) {
    Alt('S');
    ui.Type("40");
    ui.Press(VK_RETURN);
    EXPECT_TRUE(UiDriver::FindDialog("Font"));
    Alt('S');
    ui.Type("18");
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{"Size must be between 10 and 20 points."}));
  EXPECT_EQ(dialog->GetFont()->GetSize(), 18);
  EXPECT_EQ(dialog->GetFont()->GetColor(), clBlue);

  // Cancel leaves the font alone.
  WhenShown("Font", [&](HWND) {
    Alt('F');
    ui.Type("Times New Roman");
    ui.Press(VK_ESCAPE);
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetFont()->GetName(), "Arial");
}

}  // namespace
