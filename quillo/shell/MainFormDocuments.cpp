// What the main window does with the open documents: the commands that act on them, the
// activity tick's work on them, hiding them with the application, the active one's caption
// colours, their rectangles for snapping, and the private messages about them.

#include "quillo/shell/MainForm.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/plugins/FilterSharedPictures.h"
#include "quillo/shell/WindowMenu.h"
#include "quillo/tools/Spray.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

void TMainForm::ConnectDocumentCommands() {
  auto on = [this](const char* name, TNotifyEvent handler) { MenuItemNamed(name)->OnClick = std::move(handler); };
  on("Save1", [](TObject* sender) { SavePicture(sender); });
  on("Saveas1", [](TObject* sender) { SavePictureAs(sender); });
  on("Close1", [](TObject*) {
    if (ImageForm) ImageForm->Close();
  });
  on("CloseAll1", [](TObject*) { CloseAllDocuments(); });
  on("WindowMenu", WindowMenuClick);
  on("Cascade1", Cascade1Click);
  on("PrevImage1", PrevImage1Click);
  on("NextImage1", NextImage1Click);
}

void TMainForm::ConnectDocumentButtons() {
  // The standard toolbar's buttons for Save and Close All do what their items do.
  for (auto [itemName, buttonName] : {std::pair{"Save1", "SaveBtn"}, std::pair{"CloseAll1", "CloseAllBtn"}}) {
    TMenuItem* item = MenuItemNamed(itemName);
    auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent(buttonName));
    if (!item || !button) continue;
    button->OnClick = item->OnClick;
    button->SetEnabled(item->GetEnabled());
  }
}

bool TMainForm::OpenBlankDocument() {
  TImageForm* window = CreateDocumentWindow(BlankDocumentWidth, BlankDocumentHeight, "");
  if (!window || !CurrentPicture) return false;
  CurrentPicture->BlankStart = 1;
  UpdateDocumentCaption(window);
  window->Show();
  FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
  return true;
}

void TMainForm::ActivityOnDocuments() {
  // A held spray or airbrush keeps painting with the pointer still.
  if (ImgFormCount > 0 && ImageForm && CurrentPicture == &ImageForm->Picture) {
    SprayDab();
    AirbrushDab();
    ShowPolygonClosingCursor();
  }
  // The selection outline marches one step on every second tick, on the active picture only.
  if (outlineTick_ && ImgFormCount > 0 && ImageForm && CurrentPicture == &ImageForm->Picture)
    CurrentPicture->PaintSelectionOutline(true);
  if (WindowsRearranged) {
    WindowsRearranged = false;
    LinkAdjacentWindows();
  }
}

void TMainForm::ShowPolygonClosingCursor() {
  // A click now would close the polygon: the view says so while the pointer is that near.
  if (ToolPointOutside != 0 || !ImageForm->ShowBuf) return;
  if (CurrentTool != &FillPolyTool && CurrentTool != &CutPolyTool) return;
  TBuffer* view = ImageForm->ShowBuf;
  const bool near = IsNearPolygonStart(*static_cast<P_filled*>(CurrentTool));
  // Away from the start the tool's own cursor comes back, but one the keys gave (Ctrl adds
  // to the selection, Alt takes from it) stays.
  if (near) view->SetCursor(crPolygonCloses);
  else if (view->GetCursor() == crPolygonCloses) view->SetCursor(CurrentTool->Cursor);
}

void TMainForm::HideDocumentWindows() {
  for (int i = 0; i < ImgFormCount; ++i) ShowWindow(ImgForms[i]->GetHandle(), SW_HIDE);
}

void TMainForm::PaintActiveDocumentCaption(bool active) {
  // Until the first activity tick the document windows keep the colours they were made with.
  if (ImgFormCount == 0 || !ImageForm || !activitySeen_) return;
  ImageForm->SetGradientInactiveStartColor(active ? clActiveCaption : clInactiveCaption);
  ImageForm->SetGradientInactiveStopColor(active ? ActiveCaptionEndColor : InactiveCaptionEndColor);
}

std::vector<TRect> TMainForm::DocumentWindowRects() const {
  std::vector<TRect> rects;
  for (int i = 0; i < ImgFormCount; ++i) {
    RECT r{};
    GetWindowRect(ImgForms[i]->GetHandle(), &r);
    rects.emplace_back(r.left, r.top, r.right, r.bottom);
  }
  return rects;
}

void TMainForm::UMLastDocClosed(TMessage&) {
  if (ImgFormCount > 0) return;
  // The shared block kept for the next filter plug-in run was sized for pictures now closed.
  FilterSharedPictures::ReleaseKeptBlock();
  // There is always a document while the program runs, but none is made as it closes.
  if (closing_) return;
  OpenBlankDocument();
}

void TMainForm::UMDocOpened(TMessage&) { CloseUntouchedBlankDocuments(); }

void TMainForm::WMMouseWheel(TMessage& message) {
  if (ImageForm) message.Result = SendMessage(ImageForm->GetHandle(), WM_MOUSEWHEEL, message.WParam, message.LParam);
}

// The main window takes the keys first; the active document acts on them.
void TMainForm::HotKeys(TObject*, WORD& key, TShiftState shift) {
  if (ImgFormCount > 0 && ImageForm && ImageForm->OnKeyDown) ImageForm->OnKeyDown(ImageForm, key, shift);
}

void TMainForm::FormKeyUp(TObject*, WORD& key, TShiftState shift) {
  if (ImgFormCount > 0 && ImageForm && ImageForm->OnKeyUp) ImageForm->OnKeyUp(ImageForm, key, shift);
}

void TMainForm::FitToImage1Click(TObject*) {
  if (ImageForm) FitWindowToImage(ImageForm, FitZoom::Fitting);
}
