// The main window's undo commands: Edit/Undo and Edit/Redo, which Ctrl+Z and the Undo and
// Redo buttons also run, and their captions, hints and enabling from the active picture's
// history; the buttons' drop-down part opens the history list (UndoForm).

#include "platform/user/User.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/UndoForm.h"
#include "quillo/tools/Tool.h"

using tbx::TToolbarButtonX;

namespace {

// "&Undo" (or the hint's "Undo") alone, or followed by the operation of the newest step.
AnsiString ItemCaption(const char* key, const UndoEntry* newest) {
  AnsiString caption = LangMessage(key);
  if (newest != nullptr) {
    caption += ' ';
    caption += LangMessage(newest->Description);
  }
  return caption;
}

void ShowHint(TToolbarButtonX* button, const AnsiString& hint) {
  if (button != nullptr && button->GetHint() != hint) button->SetHint(hint);
}

const UndoEntry* NewestStep(bool redo) {
  if (ImgFormCount == 0 || CurrentPicture == nullptr) return nullptr;
  return redo ? CurrentPicture->RedoChain : CurrentPicture->UndoChain;
}

void ShowUndoItem(TMenuItem* item, TToolbarButtonX* button, const AnsiString& caption, bool enabled) {
  if (item != nullptr) {
    if (item->GetCaption() != caption) item->SetCaption(caption);
    if (item->GetEnabled() != enabled) item->SetEnabled(enabled);
  }
  if (button != nullptr && button->GetEnabled() != enabled) button->SetEnabled(enabled);
}

// One step of the active picture's history, back or forward. Undo and Redo wait while a
// tool is in the middle of an operation; the tool steps aside while the picture changes
// under it.
void StepHistory(TMainForm& form, bool redo) {
  UDBuffer* picture = CurrentPicture;
  if (ToolPhase != 0 || picture == nullptr || (redo ? picture->RedoChain : picture->UndoChain) == nullptr) return;
  form.ClosePopupForms();
  SuspendTool();
  if (redo) picture->Redo();
  else picture->Undo(UDBuffer::RedoRecord::Keep);
  if (ImageForm != nullptr) UpdateDocumentCaption(ImageForm);
  ResumeTool();
  form.UpdateUndoItems();
}

}  // namespace

void TMainForm::ConnectUndoCommands() {
  MenuItemNamed("Undo1")->OnClick = [this](TObject* sender) { Undo1Click(sender); };
  MenuItemNamed("Redo1")->OnClick = [this](TObject* sender) { Redo1Click(sender); };
}

void TMainForm::Undo1Click(TObject*) { StepHistory(*this, false); }

void TMainForm::Redo1Click(TObject*) { StepHistory(*this, true); }

void TMainForm::ConnectUndoButtons() {
  DummyPopup = NewComponent<TPopupMenu>(this);
  DummyPopup->SetName("DummyPopup");
  DummyPopup->OnPopup = [this](TObject* sender) { DummyPopupPopup(sender); };
  for (TToolbarButtonX* button : {UndoBtn, RedoBtn}) {
    // The button's face undoes or redoes one step; the arrow beside it lists them.
    button->SetDropdownMenu(DummyPopup);
    button->SetDropdownCombo(true);
  }
  UndoBtn->OnClick = [this](TObject* sender) { Undo1Click(sender); };
  RedoBtn->OnClick = [this](TObject* sender) { Redo1Click(sender); };
  UndoBtn->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { UndoBtnMouseMove(sender, shift, x, y); };
  RedoBtn->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { RedoBtnMouseMove(sender, shift, x, y); };
}

void TMainForm::UpdateUndoItems() {
  const UndoEntry* undo = CurrentPicture != nullptr ? CurrentPicture->UndoChain : nullptr;
  const UndoEntry* redo = CurrentPicture != nullptr ? CurrentPicture->RedoChain : nullptr;
  const bool idle = ToolPhase == 0;
  ShowUndoItem(MenuItemNamed("Undo1"), UndoBtn, ItemCaption("UndoMenu", undo), undo != nullptr && idle);
  ShowUndoItem(MenuItemNamed("Redo1"), RedoBtn, ItemCaption("RedoMenu", redo), redo != nullptr && idle);
  // The hints follow the history too, so that one shown after an undo is already right.
  UndoBtnMouseMove(UndoBtn, TShiftState(), 0, 0);
  RedoBtnMouseMove(RedoBtn, TShiftState(), 0, 0);
}

void TMainForm::UndoBtnMouseMove(TObject*, TShiftState, int, int) { ShowHint(UndoBtn, ItemCaption("Undo", NewestStep(false))); }

void TMainForm::RedoBtnMouseMove(TObject*, TShiftState, int, int) { ShowHint(RedoBtn, ItemCaption("Redo", NewestStep(true))); }

// The drop-down part of either button: the history of that button's chain at the pointer.
void TMainForm::DummyPopupPopup(TObject*) {
  const HistoryMode mode = DummyPopup->GetPopupComponent() == UndoBtn ? HistoryMode::Undo : HistoryMode::Redo;
  if (NewestStep(mode == HistoryMode::Redo) == nullptr) return;
  if (UndoForm == nullptr) NewComponent<TUndoForm>(this);
  POINT pointer{0, 0};
  GetCursorPos(&pointer);
  UndoForm->ShowHistory(*CurrentPicture, mode, TPoint(pointer.x, pointer.y));
}
