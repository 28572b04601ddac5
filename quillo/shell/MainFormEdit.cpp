// The Edit menu of the main window and its standard-toolbar buttons, undo and redo aside:
// cut, copy, paste, paste as a new image, delete, clearing and inverting the selection. The
// work on the pictures is in quillo/files/EditCommands.

#include <new>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/user/User.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/EditCommands.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/Tool.h"

namespace {

// The background swatch as a pixel word (0x00RRGGBB; the framework holds 0x00BBGGRR).
uint BackgroundPixel(const TMainForm& form) {
  const COLORREF rgb = ColorToRGB(form.BackCol ? form.BackCol->GetColor() : clWhite);
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

void RefreshActiveView() {
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
}

}  // namespace

void TMainForm::ConnectEditCommands() {
  auto connect = [this](const char* itemName, const char* buttonName, void (TMainForm::*handler)(TObject*)) {
    TNotifyEvent click = [this, handler](TObject* sender) { (this->*handler)(sender); };
    if (TMenuItem* item = MenuItemNamed(itemName)) {
      item->OnClick = click;
      item->SetEnabled(true);
    }
    if (!buttonName) return;
    if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent(buttonName))) {
      button->OnClick = click;
      button->SetEnabled(true);
    }
  };
  connect("Cut1", "CutBtn", &TMainForm::Cut1Click);
  connect("Copy1", "CopyBtn", &TMainForm::Copy1Click);
  connect("Paste1", "PasteBtn", &TMainForm::Paste1Click);
  connect("PasteAsNew1", "PasteAsNewBtn", &TMainForm::PasteAsNew1Click);
  connect("Delete1", "DeleteBtn", &TMainForm::Delete1Click);
  connect("ClearSel1", nullptr, &TMainForm::ClearSel1Click);
  connect("InvertSel1", nullptr, &TMainForm::InvertSel1Click);
  // Opening the menu may already run another part's update (undo and redo captions): both run.
  if (TMenuItem* edit = MenuItemNamed("Edit1")) {
    TNotifyEvent previous = edit->OnClick;
    edit->OnClick = [this, previous](TObject* sender) {
      if (previous) previous(sender);
      Edit1Click(sender);
    };
  }
}

void TMainForm::Edit1Click(TObject*) {
  const bool picture = ClipboardHasPicture();
  MenuItemNamed("Paste1")->SetEnabled(picture);
  MenuItemNamed("PasteAsNew1")->SetEnabled(picture);
}

void TMainForm::ClearSel1Click(TObject*) {
  if (!CurrentPicture || !HasSelection(*CurrentPicture)) return;
  ToolSuspension suspension;
  CurrentPicture->ClearSelection(true);
}

void TMainForm::InvertSel1Click(TObject*) {
  if (!CurrentPicture) return;
  ToolSuspension suspension;
  if (!CurrentPicture->PushUndo("InvSel")) return;
  InvertSelectionMask(*CurrentPicture);
  CurrentPicture->RebuildSelectionOutline();
  RefreshActiveView();
}

void TMainForm::Copy1Click(TObject* sender) {
  if (!CurrentPicture) return;
  ToolSuspension suspension(sender != nullptr);
  switch (CopyPictureToClipboard(*CurrentPicture, GetHandle())) {
    case ClipboardWrite::Written: break;
    case ClipboardWrite::NoMemory: LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION); break;
    case ClipboardWrite::Refused: LangMessageBox("ErrClpWrite", "Err", MB_ICONEXCLAMATION); break;
  }
}

void TMainForm::Cut1Click(TObject*) {
  if (!CurrentPicture) return;
  ToolSuspension suspension;
  // What could not be copied is not erased.
  const ClipboardWrite copied = CopyPictureToClipboard(*CurrentPicture, GetHandle());
  if (copied != ClipboardWrite::Written) {
    LangMessageBox(copied == ClipboardWrite::NoMemory ? "NoMem" : "ErrClpWrite", "Err", MB_ICONEXCLAMATION);
    return;
  }
  Delete1Click(nullptr);
}

void TMainForm::Delete1Click(TObject* sender) {
  if (!CurrentPicture) return;
  ToolSuspension suspension(sender != nullptr);
  if (!CurrentPicture->PushUndo(sender ? "DeleteImg" : "CutImg")) return;
  ErasePicture(*CurrentPicture, BackgroundPixel(*this));
  MarkPictureChanged();
  ApplyZoom();
}

void TMainForm::Paste1Click(TObject* sender) {
  if (!CurrentPicture || !ClipboardHasPicture()) return;
  ToolSuspension suspension;
  Buffer pasted;
  switch (ReadClipboardPicture(GetHandle(), pasted)) {
    case ClipboardRead::Read: break;
    case ClipboardRead::NoPicture:
    case ClipboardRead::Damaged: return;  // nothing to paste, and nothing to say
    case ClipboardRead::Busy:
    case ClipboardRead::Failed: LangMessageBox("ErrClp", "Err", MB_ICONEXCLAMATION); return;
  }
  // The step opens only now that there is something to paste: a paste that fails leaves none.
  if (!CurrentPicture->PushUndo("PasteImg")) return;
  PasteIntoPicture(*CurrentPicture, pasted, sender ? PastePlacement::AsSelection : PastePlacement::TopLeft,
                   !Settings.InstBrush);
  pasted.Free();
  MarkPictureChanged();
  RefreshActiveView();
}

void TMainForm::PasteAsNew1Click(TObject*) {
  const bool maximised = ImageForm != nullptr && IsZoomed(ImageForm->GetHandle());
  if (!ClipboardHasPicture()) return;
  ToolSuspension suspension;
  Buffer pasted;
  switch (ReadClipboardPicture(GetHandle(), pasted)) {
    case ClipboardRead::Read: break;
    case ClipboardRead::NoPicture:
    case ClipboardRead::Damaged: return;
    case ClipboardRead::Busy:
    case ClipboardRead::Failed: LangMessageBox("ErrClp", "Err", MB_ICONEXCLAMATION); return;
  }
  TImageForm* window = nullptr;
  try {
    window = CreateDocumentWindow(pasted.Width(), pasted.Height(), "");
  } catch (const EAbort&) {
    return;  // too many documents: the window said so
  } catch (const EOutOfMemory&) {
    LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION);
    return;
  } catch (const std::bad_alloc&) {
    LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION);
    return;
  }
  // Undoing the paste gives the blank picture the window was made with. Without room for the
  // step the paste still goes ahead: a new picture has nothing to lose.
  window->Picture.PushUndo("PasteImgNew");
  PasteIntoPicture(window->Picture, pasted, PastePlacement::TopLeft, false);
  pasted.Free();
  MarkPictureChanged();
  if (maximised) {
    window->SetWindowState(wsMaximized);
    GatherToolbars(window, GatherWhich::DocumentToolbars);
  }
  UpdateDocumentCaption(window);
  window->Show();
  FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
  RefreshActiveView();
}
