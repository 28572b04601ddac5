// Message dialogs: their make-up, and answers by script, keys and clicks.

#include "VclFixture.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Edit.h"
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

// A box stands centred over the window it belongs to, or over the work area when there is none
// (when its centre would take it off the work area, it stays at the nearest place inside).
TEST_F(DialogsTest, MessageBoxesStandCentredOverTheirOwnerOrTheWorkArea) {
  struct Case {
    bool owned;
    RECT formAt;
  };
  const Case cases[] = {{true, RECT{600, 380, 1100, 680}}, {true, RECT{200, 150, 700, 550}}, {false, RECT{}}};
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  for (const Case& c : cases) {
    TForm* form = nullptr;
    if (c.owned) {
      form = Application()->CreateForm<TForm>();
      form->SetBounds(c.formAt.left, c.formAt.top, c.formAt.right - c.formAt.left, c.formAt.bottom - c.formAt.top);
      form->Show();
      ui.RunUntilIdle();
    }
    ui.DriveMessageBoxes();
    RECT box{};
    ui.WhenModalWaits([&] {
      GetWindowRect(UiDriver::FindDialog("Where"), &box);
      ui.Press(VK_RETURN);
    });
    Application()->MessageBox("Centred?", "Where", MB_OK);
    RECT around = c.owned ? c.formAt : work;
    EXPECT_NEAR((box.left + box.right) / 2, (around.left + around.right) / 2, 1) << c.owned;
    EXPECT_NEAR((box.top + box.bottom) / 2, (around.top + around.bottom) / 2, 1) << c.owned;
    if (form) form->Release();
    ui.RunUntilIdle();
  }
}

}  // namespace

namespace {

class InputQueryTest : public VclTest {
protected:
  static TCustomForm* Box() { return Screen()->ActiveForm(); }
  static TControl* Part(const char* name) { return static_cast<TControl*>(Box()->FindComponent(name)); }
};

TEST_F(InputQueryTest, TheTypedValueComesBackOnlyWhenAccepted) {
  ui.DriveMessageBoxes();
  struct Case {
    const char* name;
    std::function<void(UiDriver&)> act;
    bool accepted;
    const char* value;
  };
  auto clickOn = [](const char* name) {
    return [name](UiDriver& d) {
      TControl* button = Part(name);
      TPoint p = button->ClientToScreen(TPoint(10, 10));
      d.Click(p.x, p.y);
    };
  };
  const Case cases[] = {
      // The old value is selected: typing replaces it.
      {"typed, Enter", [](UiDriver& d) { d.Type("Blue\n"); }, true, "Blue"},
      {"typed, Esc", [](UiDriver& d) { d.Type("Blue"); d.Press(VK_ESCAPE); }, false, "Red"},
      {"typed, OK clicked", [&](UiDriver& d) { d.Type("Green"); clickOn("OK")(d); }, true, "Green"},
      {"typed, Cancel clicked", [&](UiDriver& d) { d.Type("Green"); clickOn("Cancel")(d); }, false, "Red"},
      {"End, appended, Tab to OK, Space",
       [](UiDriver& d) {
         d.Press(VK_END);
         d.Type("dish");
         d.Press(VK_TAB);
         d.Press(VK_SPACE);
       },
       true, "Reddish"},
      {"closed by its close box",
       [](UiDriver& d) { PostMessage(Box()->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); d.RunUntilIdle(); }, false,
       "Red"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnsiString value = "Red";
    bool focusedOnEdit = false;
    ui.WhenModalWaits([&] {
      ASSERT_TRUE(Box());
      focusedOnEdit = Box()->GetActiveControl() == Part("Value") && GetFocus() == static_cast<TWinControl*>(Part("Value"))->GetHandle();
      c.act(ui);
    });
    EXPECT_EQ(InputQuery("Colour", "&Name of the colour:", value), c.accepted);
    EXPECT_EQ(value, c.value);
    EXPECT_TRUE(focusedOnEdit);
    EXPECT_EQ(Screen()->ActiveForm(), nullptr);  // the form is gone
  }

  ui.WhenModalWaits([&] { ui.Type("Circle\n"); });
  EXPECT_EQ(InputBox("Shape", "Shape:", "Square"), "Circle");
  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  EXPECT_EQ(InputBox("Shape", "Shape:", "Square"), "Square");
}

TEST_F(InputQueryTest, TheFormIsSizedToItsTextAndHoldsTheValue) {
  struct Case {
    AnsiString caption, prompt;
  };
  const Case cases[] = {
      {"Short", "Name:"},
      {"Short", "A prompt much longer than the usual width of the box, so that the box must grow to show it all"},
      {"A caption much longer than the usual width of the box, so the box grows for it", "Name:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prompt + " / " + c.caption);
    TOwnedPtr<TForm> form = CreateInputDialog(c.caption, c.prompt, "Value");
    auto* prompt = static_cast<TLabel*>(form->FindComponent("Prompt"));
    auto* edit = static_cast<TEdit*>(form->FindComponent("Value"));
    auto* ok = static_cast<TButton*>(form->FindComponent("OK"));
    auto* cancel = static_cast<TButton*>(form->FindComponent("Cancel"));
    ASSERT_TRUE(prompt && edit && ok && cancel);
    EXPECT_EQ(form->GetCaption(), c.caption);
    EXPECT_EQ(edit->GetText(), "Value");
    EXPECT_EQ(prompt->GetFocusControl(), edit);
    EXPECT_TRUE(ok->GetDefault());
    EXPECT_TRUE(cancel->GetCancel());
    const int width = form->GetClientWidth();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form->GetFont()->GetHandle());
    SIZE text{};
    GetTextExtentPoint32(dc, c.prompt.c_str(), static_cast<int>(c.prompt.size()), &text);
    SIZE title{};
    GetTextExtentPoint32(dc, c.caption.c_str(), static_cast<int>(c.caption.size()), &title);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // Everything inside the client area, nothing overlapping, the whole prompt and caption shown.
    EXPECT_GE(prompt->GetWidth(), text.cx - 1);
    EXPECT_LE(prompt->GetLeft() + prompt->GetWidth(), width);
    EXPECT_GT(width, title.cx);
    EXPECT_GE(edit->GetTop(), prompt->GetTop() + prompt->GetHeight());
    EXPECT_LE(edit->GetLeft() + edit->GetWidth(), width);
    EXPECT_GE(ok->GetTop(), edit->GetTop() + edit->GetHeight());
    EXPECT_LE(cancel->GetLeft() + cancel->GetWidth(), width);
    EXPECT_GE(cancel->GetLeft(), ok->GetLeft() + ok->GetWidth());
    EXPECT_LE(ok->GetTop() + ok->GetHeight(), form->GetClientHeight());
  }
}

}  // namespace
