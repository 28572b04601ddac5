// The tool options window's frame.

#include "quillo/tools/ToolForm.h"

#include "quillo/components/captions/BandCaption.h"

TToolForm* ToolForm = nullptr;

QUILLO_DEFINE_CLASS(TToolForm, TForm)

namespace {

template <class T>
T* Named(TComponent* owner, const char* name) {
  T* c = NewComponent<T>(owner);
  c->SetName(name);
  return c;
}

}  // namespace

bool KeyGoesToImage(int, int) { return true; }

TToolForm::TToolForm(TComponent* owner) : TForm(owner) {
  SetName("ToolForm");
  SetBorderStyle(bsToolWindow);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  Cap = Named<TBandCaption>(this, "Cap");
  PageControl = Named<TPageControl>(this, "PageControl");
  PageControl->SetParent(this);
  PageControl->SetBounds(0, 0, 270, 200);
  TTabSheet** sheets[] = {&PaletteSheet, &HistogramSheet, &TextSheet, &GridSheet, &IconSheet, &CompSheet, &BrushSheet};
  const char* names[] = {"PaletteSheet", "HistogramSheet", "TextSheet", "GridSheet", "IconSheet", "CompSheet", "BrushSheet"};
  for (int i = 0; i < 7; ++i) {
    *sheets[i] = Named<TTabSheet>(this, names[i]);
    (*sheets[i])->SetPageControl(PageControl);
    (*sheets[i])->SetTabVisible(false);
  }
  ToolForm = this;
}

TToolForm::~TToolForm() {
  if (ToolForm == this) ToolForm = nullptr;
}

void TToolForm::ShowSheet(TTabSheet* sheet, bool visible, bool force) {
  sheet->SetTabVisible(visible);
  int shown = 0;
  for (int i = 0; i < PageControl->PageCount(); ++i)
    if (PageControl->Pages(i)->GetTabVisible()) ++shown;
  if (shown == 0) {
    Hide();
    return;
  }
  if ((shown == 1 || force) && visible) {
    PageControl->SetActivePage(sheet);
    PageControlChange(this);
    Show();
  }
}

void TToolForm::PageControlChange(TObject*) {}
void TToolForm::ApplyUserLevel(int) {}
void TToolForm::FormActivate(TObject*) {}
void TToolForm::FormClose(TObject*, TCloseAction&) {}
void TToolForm::FormKeyDown(TObject*, WORD&, TShiftState) {}
void TToolForm::HelpBtnClick(TObject*) {}
void TToolForm::Dispatch(TMessage& message) { TForm::Dispatch(message); }
void TToolForm::ReadPlace() {}
void TToolForm::WritePlace() {}
