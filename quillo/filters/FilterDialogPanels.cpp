#include "quillo/filters/FilterDialogPanels.h"

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/DialogPlace.h"

namespace {

// Far above the desktop: the form's window exists but is never seen.
constexpr int kOffScreenTop = -20000;

}  // namespace

void SetUpHostForm(TForm* form, const char* name, int width, int height) {
  form->SetName(name);
  form->SetBorderStyle(bsNone);
  form->SetClientWidth(width);
  form->SetClientHeight(height);
  form->GetFont()->SetName("MS Sans Serif");
  form->GetFont()->SetHeight(-11);
}

TPanel* MakeLentPanel(TForm* form, int width, int height) {
  TPanel* panel = DialogControl<TPanel>(form, form, "Panel1", 0, 0, width, height);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption("");
  panel->SetShowHint(true);
  return panel;
}

TScrollBar* MakeEntryChooser(TForm* form, TPanel* panel, TNotifyEvent onChange) {
  TScrollBar* chooser = DialogControl<TScrollBar>(form, panel, "FilterIndex", 290, 6, 124, 17);
  chooser->SetParams(1, 1, 1);
  chooser->SetEnabled(false);
  chooser->OnChange = std::move(onChange);
  return chooser;
}

void MakeWindowsOffScreen(TForm* form) {
  form->SetTop(kOffScreenTop);
  form->SetVisible(true);
  form->SetVisible(false);
}

void ShowRightAligned(TLabel* label, const AnsiString& caption, int right, int leftmost) {
  label->SetShowAccelChar(false);
  label->SetAutoSize(true);
  label->SetCaption(caption);
  const int width = label->GetWidth();
  if (right - width >= leftmost) {
    label->SetBounds(right - width, label->GetTop(), width, label->GetHeight());
  } else {
    label->SetAutoSize(false);
    label->SetBounds(leftmost, label->GetTop(), right - leftmost, label->GetHeight());
  }
  label->Invalidate();
}
