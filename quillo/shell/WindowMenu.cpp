#include "quillo/shell/WindowMenu.h"

#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Zoom.h"
#include "quillo/shell/MainForm.h"

void ZoomClick(TObject*, TUDBtnType button) {
  const int position = ZoomPosition();
  if (GetKeyState(VK_SHIFT) < 0) {
    if (button == btNext && position < MaxZoomPosition) SetZoomPosition(position + 1);
    if (button == btPrev && position > MinZoomPosition) SetZoomPosition(position - 1);
  }
  if (MainForm) MainForm->ClosePopupForms();
  ApplyZoom();
}

AnsiString WindowMenuCaption(int index, const AnsiString& title) {
  const int number = index + 1;
  return AnsiString("[") + (number < 10 ? " " : "") + IntToStr(number) + "] " + title;
}

void WindowMenuClick(TObject*) {
  if (!MainForm || !MainForm->WindowMenu) return;
  TMenuItem* menu = MainForm->WindowMenu;
  for (int i = 0; i < ImgFormCount && i < menu->Count(); ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    TMenuItem* item = menu->Items(i);
    item->SetCaption(WindowMenuCaption(i, DocumentTitle(window->Picture)));
    item->SetChecked(&window->Picture == CurrentPicture);
    item->SetImageIndex(i);
    item->SetTag(i);
  }
}

void N1Click(TObject* sender) {
  if (auto* item = dynamic_cast<TComponent*>(sender)) MakeDocumentActive(static_cast<int>(item->GetTag()));
}

void PrevImage1Click(TObject*) {
  if (!ImageForm || ImgFormCount == 0) return;
  const int index = ImageForm->ListIndex - 1;
  MakeDocumentActive(index < 0 ? ImgFormCount - 1 : index);
}

void NextImage1Click(TObject*) {
  if (!ImageForm || ImgFormCount == 0) return;
  const int index = ImageForm->ListIndex + 1;
  MakeDocumentActive(index >= ImgFormCount ? 0 : index);
}

void Cascade1Click(TObject*) {
  if (!MainForm || !ImageForm) return;
  TImageForm* active = ImageForm;
  const TPoint start(MainForm->GetLeft(), MainForm->GetTop() + MainForm->GetHeight() - 1);
  TPoint at = start;
  auto placeAndStep = [&](TImageForm* window) {
    window->SetBounds(at.x, at.y, window->GetWidth(), window->GetHeight());
    at.x += WindowOffset;
    at.y += WindowOffset;
    if (at.x > WorkArea.right - 96 || at.y > WorkArea.bottom - WindowOffset) at = start;
  };
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    if (window == active || window->GetWindowState() == wsMinimized) continue;
    placeAndStep(window);
    MakeDocumentActive(i);
  }
  MakeDocumentActive(active->ListIndex);
  active->SetBounds(at.x, at.y, active->GetWidth(), active->GetHeight());
}
