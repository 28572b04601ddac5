#include "platform/vcl/StdButtons.h"

#include "platform/controls/Button.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_ENUM_TYPE(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")

// --- TButtonControl -------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TButtonControl, TWinControl)

const TPropTable* TButtonControl::PublishedProperties() {
  static const TPropTable table = TPublisher<TButtonControl>()
                                      .Property("WordWrap", &TButtonControl::GetWordWrap, &TButtonControl::SetWordWrap)
                                      .Table();
  return &table;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  parentColor_ = false;
  color_ = clBtnFace;
  GetBrush()->SetColor(color_);
}

void TButtonControl::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_BUTTON);
  if (wordWrap_) p.Style |= BS_MULTILINE;
}

void TButtonControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      if (!ComponentState().Contains(csDesigning) && !Focused() && GetEnabled()) {
        clicksDisabled_ = true;
        ::SetFocus(GetHandle());
        clicksDisabled_ = false;
        if (!Focused()) return;
      }
      break;
  }
  TWinControl::WndProc(m);
}

void TButtonControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  SetBkColor(dc, ColorToRGB(GetColor()));
  m.Result = reinterpret_cast<LRESULT>(GetBrush()->GetHandle());
}

void TButtonControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_CTLCOLORBTN: case CN_CTLCOLORSTATIC: CNCtlColor(m); return;
  }
  TWinControl::Dispatch(m);
}

// --- TButton --------------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TButton, TButtonControl)

const TPropTable* TButton::PublishedProperties() {
  static const TPropTable table = TPublisher<TButton>()
                                      .Property("Cancel", &TButton::GetCancel, &TButton::SetCancel)
                                      .Property("Default", &TButton::GetDefault, &TButton::SetDefault)
                                      .Property("ModalResult", &TButton::GetModalResult, &TButton::SetModalResult)
                                      .Table();
  return &table;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  active_ = default_;
}

void TButton::SetButtonStyle(bool isDefault) {
  if (!HandleAllocated()) return;
  DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((static_cast<DWORD>(GetWindowLongPtr(GetHandle(), GWL_STYLE)) & BS_TYPEMASK) != style)
    SendMessage(GetHandle(), BM_SETSTYLE, style, TRUE);
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (!HandleAllocated()) return;
  TCustomForm* form = GetParentForm(this);
  if (form) form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->GetActiveControl()));
  else SetButtonStyle(value);
}

void TButton::Click() {
  // The form's result first: an OnClick may still change it.
  if (TCustomForm* form = GetParentForm(this); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == BN_CLICKED && !ClicksDisabled()) Click();
}

void TButton::CMDialogKey(TMessage& m) {
  bool plain = KeyDataToShiftState(m.LParam).Empty();
  if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) && plain && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TButton::CMDialogChar(TMessage& m) {
  if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TButton::CMFocusChanged(TMessage& m) {
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  active_ = dynamic_cast<TButton*>(focused) ? focused == this : default_;
  SetButtonStyle(active_);
  TButtonControl::Dispatch(m);
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_FOCUSCHANGED: CMFocusChanged(m); return;
  }
  TButtonControl::Dispatch(m);
}

// --- TCustomCheckBox and TCheckBox ----------------------------------------------------------

QUILLO_DEFINE_CLASS(TCustomCheckBox, TButtonControl)

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessage(GetHandle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
  if (state == state_) return;
  state_ = state;
  if (HandleAllocated()) SendMessage(GetHandle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == BN_CLICKED && !ClicksDisabled()) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& m) {
  if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TCustomCheckBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
  }
  TButtonControl::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TCheckBox, TCustomCheckBox)

const TPropTable* TCheckBox::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TCheckBox>()
          .Property("Alignment", &TCheckBox::GetAlignment, &TCheckBox::SetAlignment)
          .Property("AllowGrayed", &TCheckBox::GetAllowGrayed, &TCheckBox::SetAllowGrayed)
          .Property("Checked", &TCheckBox::GetChecked, &TCheckBox::SetChecked)
          .Property("State", &TCheckBox::GetState, &TCheckBox::SetState)
          .Table();
  return &table;
}

TCheckBox::TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}

// --- TRadioButton ---------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TRadioButton, TButtonControl)

const TPropTable* TRadioButton::PublishedProperties() {
  static const TPropTable table = TPublisher<TRadioButton>()
                                      .Property("Alignment", &TRadioButton::GetAlignment, &TRadioButton::SetAlignment)
                                      .Property("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked)
                                      .Table();
  return &table;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessage(GetHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  if (HandleAllocated()) SendMessage(GetHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  if (TWinControl* parent = GetParent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TLeftRight value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TRadioButton::CNCommand(TMessage& m) {
  switch (HIWORD(m.WParam)) {
    case BN_CLICKED:
      if (!ClicksDisabled()) SetChecked(true);
      break;
    case BN_DOUBLECLICKED: DblClick(); break;
  }
}

void TRadioButton::CMDialogChar(TMessage& m) {
  if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TRadioButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
  }
  TButtonControl::Dispatch(m);
}
