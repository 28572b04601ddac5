// The main window's undo commands: Edit/Undo and Edit/Redo, which Ctrl+Z and the Undo and
// Redo buttons also run, and their captions and enabling from the active picture's history.

#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Tool.h"

using tbx::TToolbarButtonX;

namespace {

// "&Undo" alone, or followed by the operation of the newest step.
AnsiString ItemCaption(const char* key, const UndoEntry* newest) {
  AnsiString caption = LangMessage(key);
  if (newest != nullptr) {
    caption += ' ';
    caption += LangMessage(newest->Description);
  }
  return caption;
}

void ShowUndoItem(TMenuItem* item, TToolbarButtonX* button, const AnsiString& caption, bool enabled) {
  if (item != nullptr) {
    if (item->GetCaption() != caption) item->SetCaption(caption);
    if (item->GetEnabled() != enabled) item->SetEnabled(enabled);
  }
  if (button != nullptr && button->GetEnabled() != enabled) button->SetEnabled(enabled);
}

}  // namespace

void TMainForm::ConnectUndoCommands() {
  MenuItemNamed("Undo1")->OnClick = [this](TObject* sender) { Undo1Click(sender); };
  MenuItemNamed("Redo1")->OnClick = [this](TObject* sender) { Redo1Click(sender); };
}

// Undo and Redo wait while a tool is in the middle of an operation; the tool steps aside
// while the picture changes under it.
void TMainForm::Undo1Click(TObject*) {
  if (ToolPhase != 0 || CurrentPicture == nullptr || CurrentPicture->UndoChain == nullptr) return;
  ClosePopupForms();
  SuspendTool();
  CurrentPicture->Undo(UDBuffer::RedoRecord::Keep);
  if (ImageForm != nullptr) UpdateDocumentCaption(ImageForm);
  ResumeTool();
  UpdateUndoItems();
}

void TMainForm::Redo1Click(TObject*) {
  if (ToolPhase != 0 || CurrentPicture == nullptr || CurrentPicture->RedoChain == nullptr) return;
  ClosePopupForms();
  SuspendTool();
  CurrentPicture->Redo();
  if (ImageForm != nullptr) UpdateDocumentCaption(ImageForm);
  ResumeTool();
  UpdateUndoItems();
}

void TMainForm::UpdateUndoItems() {
  const UndoEntry* undo = CurrentPicture != nullptr ? CurrentPicture->UndoChain : nullptr;
  const UndoEntry* redo = CurrentPicture != nullptr ? CurrentPicture->RedoChain : nullptr;
  const bool idle = ToolPhase == 0;
  ShowUndoItem(MenuItemNamed("Undo1"), UndoBtn, ItemCaption("UndoMenu", undo), undo != nullptr && idle);
  ShowUndoItem(MenuItemNamed("Redo1"), RedoBtn, ItemCaption("RedoMenu", redo), redo != nullptr && idle);
}

void TMainForm::UndoBtnMouseMove(TObject*, TShiftState, int, int) {}
void TMainForm::RedoBtnMouseMove(TObject*, TShiftState, int, int) {}
void TMainForm::DummyPopupPopup(TObject*) {}
