#include "platform/vcl/Dialogs.h"

#include <algorithm>

#include "platform/controls/Button.h"
#include "platform/user/Dialog.h"
#include "platform/user/MessageBoxScript.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"

QUILLO_DEFINE_ENUM_TYPE(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom")
QUILLO_DEFINE_ENUM_TYPE(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll",
                        "mbNoToAll", "mbYesToAll", "mbHelp")

namespace {

struct ButtonKind {
  const char* name;
  const char* caption;
  TModalResult result;
};

const ButtonKind& KindOf(TMsgDlgBtn button) {
  static const ButtonKind kinds[] = {
      {"Yes", VclText::MsgDlgYes, mrYes},          {"No", VclText::MsgDlgNo, mrNo},
      {"OK", VclText::MsgDlgOK, mrOk},             {"Cancel", VclText::MsgDlgCancel, mrCancel},
      {"Abort", VclText::MsgDlgAbort, mrAbort},    {"Retry", VclText::MsgDlgRetry, mrRetry},
      {"Ignore", VclText::MsgDlgIgnore, mrIgnore}, {"All", VclText::MsgDlgAll, mrAll},
      {"NoToAll", VclText::MsgDlgNoToAll, mrNoToAll}, {"YesToAll", VclText::MsgDlgYesToAll, mrYesToAll},
      {"Help", VclText::MsgDlgHelp, mrNone},
  };
  return kinds[static_cast<int>(button)];
}

UINT IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return MB_ICONEXCLAMATION;
    case mtError: return MB_ICONHAND;
    case mtInformation: return MB_ICONASTERISK;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
  }
}

AnsiString CaptionOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return VclText::MsgDlgWarning;
    case mtError: return VclText::MsgDlgError;
    case mtInformation: return VclText::MsgDlgInformation;
    case mtConfirmation: return VclText::MsgDlgConfirm;
    default: return Application()->GetTitle();
  }
}

// The message box flags closest to a dialog's type and buttons, for a test's script.
UINT BoxFlagsOf(TMsgDlgType type, TMsgDlgButtons buttons) {
  UINT set = MB_OK;
  if (buttons.Contains(mbYes) && buttons.Contains(mbNo)) set = buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (buttons.Contains(mbAbort)) set = MB_ABORTRETRYIGNORE;
  else if (buttons.Contains(mbRetry)) set = MB_RETRYCANCEL;
  else if (buttons.Contains(mbCancel)) set = MB_OKCANCEL;
  return set | IconOf(type);
}

// The icon of a message dialog, drawn as the message box draws it.
class TMessageIcon : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  TMessageIcon(TComponent* owner, UINT icon) : TGraphicControl(owner), icon_(icon) { SetBounds(0, 0, 32, 32); }

protected:
  void Paint() override { DrawMessageBoxIcon(GetCanvas()->GetHandle(), 0, 0, icon_); }

private:
  UINT icon_;
};
QUILLO_DEFINE_CLASS(TMessageIcon, TGraphicControl)

constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;

}  // namespace

TOwnedPtr<TForm> CreateMessageDialog(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto form = MakeObject<TForm>(Application());
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(CaptionOf(type));
  form->SetColor(clBtnFace);

  // The text, wrapped at a readable width.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, form->GetFont()->GetHandle());
  RECT text{0, 0, std::max(200, Screen()->GetWidth() / 2), 0};
  DrawText(dc, message.empty() ? " " : message.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);

  UINT icon = IconOf(type);
  int textLeft = kMargin;
  if (icon) {
    auto* image = NewComponent<TMessageIcon>(form.get(), icon);
    image->SetName("Image");
    image->SetParent(form.get());
    image->SetBounds(kMargin, kMargin, 32, 32);
    textLeft += 32 + kMargin;
  }
  auto* label = NewComponent<TLabel>(form.get());
  label->SetName("Message");
  label->SetParent(form.get());
  label->SetShowAccelChar(false);
  label->SetWordWrap(true);
  label->SetAutoSize(false);
  label->SetCaption(message);
  int textHeight = text.bottom - text.top;
  label->SetBounds(textLeft, kMargin + (icon && textHeight < 32 ? (32 - textHeight) / 2 : 0), text.right + 1, textHeight);

  std::vector<TMsgDlgBtn> kinds;
  for (int b = mbYes; b <= mbHelp; ++b)
    if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) kinds.push_back(static_cast<TMsgDlgBtn>(b));
  if (kinds.empty()) kinds.push_back(mbOK);
  int n = static_cast<int>(kinds.size());
  int rowWidth = n * kButtonWidth + (n - 1) * kButtonGap;
  int contentHeight = std::max(textHeight, icon ? 32 : 0);
  int clientWidth = std::max<int>(textLeft + text.right + kMargin, rowWidth + 2 * kMargin);
  int buttonsTop = kMargin + contentHeight + kMargin + 4;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonsTop + kButtonHeight + kMargin);

  // The default button: OK, else Yes, else the first; Esc: Cancel, else No, else OK.
  TMsgDlgBtn defaultKind = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : kinds.front();
  TMsgDlgBtn cancelKind = buttons.Contains(mbCancel) ? mbCancel : buttons.Contains(mbNo) ? mbNo : mbOK;
  int x = (clientWidth - rowWidth) / 2;
  for (TMsgDlgBtn kind : kinds) {
    const ButtonKind& info = KindOf(kind);
    auto* button = NewComponent<TButton>(form.get());
    button->SetName(info.name);
    button->SetParent(form.get());
    button->SetCaption(info.caption);
    button->SetModalResult(info.result);
    button->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
    if (kind == defaultKind) {
      button->SetDefault(true);
      button->SetTabOrder(0);  // the first to have the focus
    }
    if (kind == cancelKind) button->SetCancel(true);
    x += kButtonWidth + kButtonGap;
  }
  return form;
}

int MessageDlgPos(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int, int x, int y) {
  TOwnedPtr<TForm> form = CreateMessageDialog(message, type, buttons);
  if (x >= 0) {
    form->SetPosition(poDesigned);
    form->SetLeft(x);
  }
  if (y >= 0) {
    form->SetPosition(poDesigned);
    form->SetTop(y);
  }
  int answer = RunMessageBoxScript(GetActiveWindow(), message.c_str(), form->GetCaption().c_str(), BoxFlagsOf(type, buttons));
  if (answer) {
    // The script's answer presses its button, as a user would; an answer that is no button
    // of the dialog is given back as it is, without showing it.
    TButton* pressed = nullptr;
    for (int i = 0; i < form->ControlCount(); ++i)
      if (auto* button = dynamic_cast<TButton*>(form->Controls(i)); button && button->GetModalResult() == answer)
        pressed = button;
    if (!pressed) return answer;
    form->OnShow = [pressed](TObject*) { PostMessage(pressed->GetHandle(), BM_CLICK, 0, 0); };
  }
  return form->ShowModal();
}

int MessageDlg(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  return MessageDlgPos(message, type, buttons, helpContext, -1, -1);
}

void ShowMessage(const AnsiString& message) { MessageDlg(message, mtCustom, TMsgDlgButtons{mbOK}); }

namespace {

// The average width of a character of the font: a dialog unit is a quarter of it.
int AverageCharWidth(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size{};
  GetTextExtentPoint32(dc, letters, 52, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::max<int>(1, (size.cx / 26 + 1) / 2);
}

// The width of a single line of text in the font, the & of a mnemonic left out.
int TextWidth(TFont* font, const AnsiString& text, UINT flags) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  RECT r{0, 0, 0, 0};
  DrawText(dc, text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | flags);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r.right - r.left;
}

}  // namespace

TOwnedPtr<TForm> CreateInputDialog(const AnsiString& caption, const AnsiString& prompt, const AnsiString& value) {
  auto form = MakeObject<TForm>(Application());
  form->SetName("InputQuery");
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(caption);
  form->SetColor(clBtnFace);

  // Laid out in dialog units of the form's font, as the classic box is: 180 wide at least,
  // wider for a long prompt or caption, never wider than most of the screen.
  const int unit = AverageCharWidth(form->GetFont());
  auto dluX = [unit](int n) { return n * unit / 4; };
  const int margin = dluX(8);
  int promptWidth = TextWidth(form->GetFont(), prompt, 0);
  int captionWidth = TextWidth(form->GetFont(), caption, DT_NOPREFIX) + 2 * GetSystemMetrics(SM_CXSIZE) + 16;
  int clientWidth = std::max({dluX(180), promptWidth + 2 * margin, captionWidth});
  clientWidth = std::min(clientWidth, std::max(dluX(180), Screen()->GetWidth() * 9 / 10));

  auto* label = NewComponent<TLabel>(form.get());
  label->SetName("Prompt");
  label->SetParent(form.get());
  label->SetCaption(prompt);
  label->SetLeft(margin);
  label->SetTop(margin);
  if (label->GetWidth() > clientWidth - 2 * margin) {
    label->SetAutoSize(false);
    label->SetWidth(clientWidth - 2 * margin);
  }

  auto* edit = NewComponent<TEdit>(form.get());
  edit->SetName("Value");
  edit->SetParent(form.get());
  edit->SetBounds(margin, label->GetTop() + label->GetHeight() + 4, clientWidth - 2 * margin, edit->GetHeight());
  edit->SetMaxLength(255);
  edit->SetText(value);
  edit->SetTabOrder(0);
  label->SetFocusControl(edit);
  form->SetActiveControl(edit);

  int buttonsTop = edit->GetTop() + edit->GetHeight() + margin + 4;
  int buttonsLeft = clientWidth - margin - 2 * kButtonWidth - kButtonGap;
  auto makeButton = [&](const char* name, const char* text, TModalResult result, int left) {
    auto* button = NewComponent<TButton>(form.get());
    button->SetName(name);
    button->SetParent(form.get());
    button->SetCaption(text);
    button->SetModalResult(result);
    button->SetBounds(left, buttonsTop, kButtonWidth, kButtonHeight);
    return button;
  };
  makeButton("OK", VclText::MsgDlgOK, mrOk, buttonsLeft)->SetDefault(true);
  makeButton("Cancel", VclText::MsgDlgCancel, mrCancel, buttonsLeft + kButtonWidth + kButtonGap)->SetCancel(true);
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonsTop + kButtonHeight + margin);
  return form;
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) {
  TOwnedPtr<TForm> form = CreateInputDialog(caption, prompt, value);
  auto* edit = static_cast<TEdit*>(form->FindComponent("Value"));
  form->OnShow = [edit](TObject*) { edit->SelectAll(); };
  if (form->ShowModal() != mrOk) return false;
  value = edit->GetText();
  return true;
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue) {
  AnsiString value = defaultValue;
  InputQuery(caption, prompt, value);
  return value;
}
