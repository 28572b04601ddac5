#pragma once
// The framework's buttons over the BUTTON window class: TButtonControl (what they share),
// TButton (a push button: Default answers Enter, Cancel answers Esc, ModalResult closes a
// modal form), TCheckBox (two or three states) and TRadioButton (one of its parent's radio
// buttons checked at a time).

#include "platform/vcl/WinControl.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
QUILLO_DECLARE_ENUM_TYPE(TCheckBoxState)

class TButtonControl : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TButtonControl(TComponent* owner);
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

protected:
  // What a button that can be checked answers; the others have no check.
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool value) { (void)value; }
  void CreateParams(TCreateParams& params) override;
  // A press on an unfocused button first focuses it; a handler of that focus may take the
  // focus elsewhere, and then the press is no click.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool value) { clicksDisabled_ = value; }
  void CNCtlColor(TMessage& m);

private:
  bool clicksDisabled_ = false;
  bool wordWrap_ = false;
};

using TModalResult = int;

class TButton : public TButtonControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TButton(TComponent* owner);
  bool GetDefault() const { return default_; }
  void SetDefault(bool value);
  bool GetCancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Whether Enter clicks the button now: it is the default one and no other button has the
  // focus, or it has the focus itself.
  bool Active() const { return active_; }
  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // Shows the button as the default one or not (BM_SETSTYLE).
  virtual void SetButtonStyle(bool isDefault);
  void CNCommand(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMFocusChanged(TMessage& m);

private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = 0;
};

class TCustomCheckBox : public TButtonControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomCheckBox(TComponent* owner);
  TCheckBoxState GetState() const { return state_; }
  void SetState(TCheckBoxState state);
  bool GetAllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  TLeftRight GetAlignment() const { return alignment_; }
  void SetAlignment(TLeftRight value);
  bool GetChecked() const override { return state_ == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The next state of a click: unchecked, checked (grayed between them when allowed).
  virtual void Toggle();
  void CNCommand(TMessage& m);
  void CMDialogChar(TMessage& m);

private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TLeftRight alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCheckBox(TComponent* owner);
};

class TRadioButton : public TButtonControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TRadioButton(TComponent* owner);
  bool GetChecked() const override { return checked_; }
  // Checking one unchecks the other radio buttons of the same parent, and fires OnClick.
  void SetChecked(bool value) override;
  TLeftRight GetAlignment() const { return alignment_; }
  void SetAlignment(TLeftRight value);
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& m);
  void CMDialogChar(TMessage& m);

private:
  bool checked_ = false;
  TLeftRight alignment_ = taRightJustify;
};
