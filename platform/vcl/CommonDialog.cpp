#include "platform/vcl/CommonDialog.h"

#include "platform/controls/Button.h"
#include "platform/dialogs/DialogIds.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TCommonDialog, TComponent)

const TPropTable* TCommonDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TCommonDialog>()
                                      .Property("Ctl3D", &TCommonDialog::GetCtl3D, &TCommonDialog::SetCtl3D)
                                      .Property("HelpContext", &TCommonDialog::GetHelpContext,
                                                &TCommonDialog::SetHelpContext)
                                      .Table();
  return &table;
}

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

TCommonDialog::~TCommonDialog() = default;

HWND TCommonDialog::OwnerWindow() {
  if (TCustomForm* form = Screen()->ActiveForm(); form && form->HandleAllocated()) return form->GetHandle();
  return Application()->GetHandle();
}

void TCommonDialog::DialogShown(HWND dialog) {
  handle_ = dialog;
  if (onShow_) onShow_(this);
}

void TCommonDialog::HelpCommand(UINT message, WPARAM wParam) {
  if (message != WM_COMMAND || LOWORD(wParam) != pshHelp || HIWORD(wParam) != BN_CLICKED) return;
  int context = helpContext_;
  if (context == 0)
    if (TCustomForm* form = Screen()->ActiveForm()) context = form->GetHelpContext();
  Application()->HelpContext(context);
}

void TCommonDialog::DialogClosed() {
  if (onClose_) onClose_(this);
  handle_ = nullptr;
}
