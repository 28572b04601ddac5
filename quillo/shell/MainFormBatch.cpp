// The main window's File > Batch Convert and Image > Information.

#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/files/InfoForm.h"
#include "quillo/files/ScriptForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Tool.h"

void TMainForm::ConnectBatchCommands() {
  if (TMenuItem* item = MenuItemNamed("BatchConvert1")) item->OnClick = [this](TObject* sender) { BatchConvert1Click(sender); };
  if (TMenuItem* item = MenuItemNamed("Info1")) item->OnClick = [this](TObject* sender) { Info1Click(sender); };
}

void TMainForm::BatchConvert1Click(TObject*) {
  {
    const ToolSuspension aside;
    TOwnedPtr<TScriptForm> batch(NewComponent<TScriptForm>(Application()));
    batch->ShowModal();
  }
  BringToFront();
}

void TMainForm::Info1Click(TObject*) {
  if (CurrentPicture == nullptr) return;
  const ToolSuspension aside;
  TOwnedPtr<TInfoForm> info(NewComponent<TInfoForm>(Application()));
  info->ShowModal();
}
