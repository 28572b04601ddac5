// The main window's Image > Custom Filter and Image > Filter Factory.

#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Tool.h"

void TMainForm::ConnectFilterCommands() {
  if (TMenuItem* item = MenuItemNamed("CustomFilter1"))
    item->OnClick = [this](TObject* sender) { CustomFilter1Click(sender); };
  if (TMenuItem* item = MenuItemNamed("FilterFactory1"))
    item->OnClick = [this](TObject* sender) { FilterFactory1Click(sender); };
}

void TMainForm::CustomFilter1Click(TObject*) {
  if (CurrentPicture == nullptr || CurrentPicture->Empty()) return;
  // A second choice while the dialog is open only brings it forward.
  if (CurrentTool == &CustomFilterTool && CustomFilterTool.DialogOpen) {
    if (CustomFilterTool.Form != nullptr) CustomFilterTool.Form->BringToFront();
    return;
  }
  SelectTool(&CustomFilterTool, true, -1);
}

void TMainForm::FilterFactory1Click(TObject*) {
  if (CurrentPicture == nullptr || CurrentPicture->Empty()) return;
  if (CurrentTool == &FFFilterTool && FFFilterTool.Form != nullptr) {
    FFFilterTool.Form->BringToFront();
    return;
  }
  SelectTool(&FFFilterTool, true, -1);
}
