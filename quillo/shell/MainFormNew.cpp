// File/New: the new-image dialog, then a blank document of the size asked for.

#include <new>

#include "platform/rtl/Exceptions.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/NewForm.h"
#include "quillo/tools/Tool.h"

void TMainForm::ConnectNewCommand() {
  if (TMenuItem* item = MenuItemNamed("New1")) item->OnClick = [this](TObject* sender) { New1Click(sender); };
}

void TMainForm::ConnectNewButton() {
  if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent("NewBtn"))) {
    button->OnClick = [this](TObject* sender) { New1Click(sender); };
    button->SetEnabled(true);
  }
}

void TMainForm::New1Click(TObject*) {
  const ToolSuspension aside;  // while the dialog is open and the document is made
  {
    TOwnedPtr<TNewForm> dialog(NewComponent<TNewForm>(Application()));
    dialog->SizeX->SetAsInteger(LastImageSize.x);
    dialog->SizeY->SetAsInteger(LastImageSize.y);
    if (dialog->ShowModal() != mrOk) return;
    LastImageSize = TPoint(static_cast<int>(dialog->SizeX->GetAsInteger()), static_cast<int>(dialog->SizeY->GetAsInteger()));
  }
  try {
    CreateNewImage();
  } catch (const EAbort&) {
    // Refused with the document list's own warning.
  } catch (const EOutOfMemory&) {
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
  }
}
