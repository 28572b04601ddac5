#include "quillo/filters/PanelLabels.h"

#include "platform/vcl/Label.h"

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
