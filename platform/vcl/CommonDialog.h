#pragma once
// The base of the framework's dialog components (open and save, colour, font, folder): a
// non-visual component whose Execute runs the layer's dialog modally over the active form and
// answers whether the user accepted. Handle is the dialog's window while it is open (0
// otherwise); OnShow fires once the window exists, OnClose as it goes.

#include "platform/vcl/Component.h"
#include "platform/user/User.h"

class TCommonDialog : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCommonDialog(TComponent* owner);
  ~TCommonDialog() override;

  virtual bool Execute() = 0;

  HWND GetHandle() const { return handle_; }
  bool GetCtl3D() const { return ctl3D_; }
  void SetCtl3D(bool value) { ctl3D_ = value; }
  int GetHelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  void SetOnShow(TNotifyEvent handler) { onShow_ = std::move(handler); }
  void SetOnClose(TNotifyEvent handler) { onClose_ = std::move(handler); }

protected:
  // The window a dialog is owned by: the active form's, else the application's.
  static HWND OwnerWindow();
  // A dialog's hook calls these as its window comes and goes.
  void DialogShown(HWND dialog);
  void DialogClosed();
  // The hook's view of a command: the Help button (or F1) opens the application's help at the
  // dialog's context, or at the context of the form it was opened from when it has none.
  void HelpCommand(UINT message, WPARAM wParam);

private:
  HWND handle_ = nullptr;
  bool ctl3D_ = true;
  int helpContext_ = 0;
  TNotifyEvent onShow_;
  TNotifyEvent onClose_;
};
