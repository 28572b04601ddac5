#include "quillo/components/panels/EventScrollBox.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TEventScrollBox, TScrollBox)

const TPropTable* TEventScrollBox::PublishedProperties() {
  static const TPropTable table = TPublisher<TEventScrollBox>().Table();
  return &table;
}

void TEventScrollBox::WndProc(TMessage& m) {
  TScrollBox::WndProc(m);
  if (m.Msg == WM_HSCROLL && OnScrollHorz) OnScrollHorz(this);
  else if (m.Msg == WM_VSCROLL && OnScrollVert) OnScrollVert(this);
}
