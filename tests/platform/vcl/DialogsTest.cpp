// Message dialogs: their make-up, and answers by script, keys and clicks.

#include "VclFixture.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"

namespace {

class DialogsTest : public VclTest {};

TEST_F(DialogsTest, CreateMessageDialogBuildsIconTextAndButtons) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    bool icon;
    std::vector<std::string> names;
    const char* defaultName;
    const char* cancelName;
  };
  const Case cases[] = {
      {mtConfirmation, mbYesNoCancel, "Confirm", true, {"Yes", "No", "Cancel"}, "Yes", "Cancel"},
      {mtWarning, mbOKCancel, "Warning", true, {"OK", "Cancel"}, "OK", "Cancel"},
      {mtError, TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, "Error", true, {"Abort", "Retry", "Ignore"}, "Abort", ""},
      {mtInformation, TMsgDlgButtons{mbYes, mbNo}, "Information", true, {"Yes", "No"}, "Yes", "No"},
      {mtCustom, TMsgDlgButtons{mbOK}, "", false, {"OK"}, "OK", "OK"},
  };
  for (const Case& c : cases) {
    TOwnedPtr<TForm> form = CreateMessageDialog("Go on?", c.type, c.buttons);
    if (*c.caption) {
      EXPECT_EQ(form->GetCaption(), c.caption);
    }
    EXPECT_EQ(form->FindComponent("Image") != nullptr, c.icon) << c.caption;
    std::vector<std::string> names;
    std::string def, cancel;
    int lastLeft = -1;
    for (int i = 0; i < form->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TButton*>(form->Controls(i))) {
        names.push_back(b->GetName());
        EXPECT_GT(b->GetLeft(), lastLeft);  // left to right in the set's order
        lastLeft = b->GetLeft();
        if (b->GetDefault()) def = b->GetName();
        if (b->GetCancel()) cancel = b->GetName();
      }
    EXPECT_EQ(names, c.names) << c.caption;
    EXPECT_EQ(def, c.defaultName) << c.caption;
    EXPECT_EQ(cancel, c.cancelName) << c.caption;
  }
  std::string text;
  for (int i = 0; i < 80; ++i) text += "word ";
  TOwnedPtr<TForm> wide = CreateMessageDialog(text, mtInformation, TMsgDlgButtons{mbOK});
  auto* label = dynamic_cast<TLabel*>(wide->FindComponent("Message"));
  ASSERT_TRUE(label);
  EXPECT_LE(wide->GetWidth(), 1280 / 2 + 100);
  EXPECT_GT(label->GetHeight(), 3 * 10);  // wrapped on several lines
}

TEST_F(DialogsTest, AnsweredByScriptKeysAndClicks) {
  ui.AnswerMessageBoxes({mrNo});
  EXPECT_EQ(MessageDlg("Save?", mtConfirmation, mbYesNoCancel), mrNo);
  ui.AnswerMessageBoxes({mrAll});  // no such button: given back as it is
  EXPECT_EQ(MessageDlg("Save?", mtConfirmation, mbYesNoCancel), mrAll);
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{"Save?", "Save?"}));

  ui.DriveMessageBoxes();
  struct Case {
    TMsgDlgButtons buttons;
    std::function<void()> act;
    int answer;
  };
  const Case cases[] = {
      {mbYesNoCancel, [&] { ui.Press(VK_RETURN); }, mrYes},
      {mbYesNoCancel, [&] { ui.Press(VK_ESCAPE); }, mrCancel},
      {TMsgDlgButtons{mbYes, mbNo}, [&] { ui.Press(VK_ESCAPE); }, mrNo},
      {mbOKCancel,
       [&] {
         ui.Press(VK_TAB);
         ui.Press(VK_RETURN);
       },
       mrCancel},
      {mbAbortRetryIgnore,
       [&] {
         TCustomForm* box = Screen()->ActiveForm();
         ASSERT_TRUE(box);
         ClickOn(static_cast<TControl*>(box->FindComponent("Ignore")), 10, 10);
       },
       mrIgnore},
  };
  for (const Case& c : cases) {
    ui.WhenModalWaits(c.act);
    EXPECT_EQ(MessageDlg("Really?", mtWarning, c.buttons), c.answer);
  }
  ui.WhenModalWaits([&] { ui.Press(VK_RETURN); });
  ShowMessage("Done.");
  EXPECT_EQ(ui.MessageBoxTexts().back(), "Done.");
}

TEST_F(DialogsTest, ApplicationMessageBoxIsARealBoxOverTheActiveForm) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 400, 300);
  form->Show();
  ui.RunUntilIdle();
  ui.DriveMessageBoxes();
  bool formEnabled = true;
  HWND box = nullptr;
  ui.WhenModalWaits([&] {
    formEnabled = IsWindowEnabled(form->GetHandle());
    box = UiDriver::FindDialog("Title");
    ui.Press(VK_TAB);  // Retry to Cancel
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Application()->MessageBox("Try again?", "Title", MB_RETRYCANCEL | MB_ICONEXCLAMATION), IDCANCEL);
  EXPECT_TRUE(box);
  EXPECT_FALSE(formEnabled);
  EXPECT_TRUE(IsWindowEnabled(form->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), form->GetHandle());
}

}  // namespace
