#include "quillo/base/DialogPlace.h"

#include <algorithm>

#include "platform/vcl/Form.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"

TBandCaption* MakeDialogCaption(TForm* dialog, const char* title) {
  auto* cap = NewNamedComponent<TBandCaption>(dialog, "Cap");
  cap->SetApplicationName(title);
  cap->SetActiveBeginColor(clActiveCaption);
  cap->SetActiveEndColor(ActiveCaptionEndColor);
  cap->SetInactiveBeginColor(clInactiveCaption);
  cap->SetInactiveEndColor(InactiveCaptionEndColor);
  return cap;
}

void PlaceDialog(TForm* dialog, int rememberedLeft, int rememberedTop) {
  const int width = dialog->GetWidth();
  const int height = dialog->GetHeight();
  if (rememberedLeft != -1) {
    dialog->SetBounds(rememberedLeft, rememberedTop, width, height);
    return;
  }
  int left = WorkArea.left + (WorkArea.right - WorkArea.left - width) / 2;
  int top = WorkArea.top + (WorkArea.bottom - WorkArea.top - height) / 2;
  left = std::max(std::min(left, WorkArea.right - width), static_cast<int>(WorkArea.left));
  top = std::max(std::min(top, WorkArea.bottom - height), static_cast<int>(WorkArea.top));
  dialog->SetBounds(left, top, width, height);
}

void KeepDialogInFront(TForm* dialog) {
  if (dialog->GetVisible() && dialog->GetModalResult() == mrNone) dialog->BringToFront();
}

void SetUpStayOnTopDialog(TForm* dialog, const char* name, const char* caption, TFormBorderStyle border,
                          int helpContext) {
  dialog->SetName(name);
  dialog->SetBorderStyle(border);
  dialog->SetBorderIcons({biSystemMenu});
  dialog->SetFormStyle(fsStayOnTop);
  dialog->SetKeyPreview(true);
  dialog->SetHelpContext(helpContext);
  dialog->SetColor(clBtnFace);
  dialog->GetFont()->SetName("MS Sans Serif");
  dialog->GetFont()->SetSize(8);
  dialog->SetCaption(caption);
}
