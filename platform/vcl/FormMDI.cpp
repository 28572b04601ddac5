// Multiple-document forms: an fsMDIForm holds an MDI client window, its fsMDIChild forms live
// in that window, and the frame arranges them.

#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"

void CreateMDIClient(TCustomForm*, HWND& client) { client = nullptr; }

LRESULT DefFrameProcFor(HWND frame, HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(frame, msg, wParam, lParam);
}

LRESULT DefMDIChildProcFor(HWND child, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(child, msg, wParam, lParam);
}

int TCustomForm::MDIChildCount() const {
  if (formStyle_ != fsMDIForm) return 0;
  int n = 0;
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i)->GetFormStyle() == fsMDIChild) ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (formStyle_ != fsMDIForm) return nullptr;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* f = Screen()->Forms(i);
    if (f->GetFormStyle() == fsMDIChild && index-- == 0) return f;
  }
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const { return nullptr; }
void TCustomForm::Cascade() {}
void TCustomForm::Tile() {}
void TCustomForm::ArrangeIcons() {}
void TCustomForm::Next() {}
void TCustomForm::Previous() {}
