#include "quillo/components/dates/CalendarNavigation.h"

TOwnedPtr<TBitmap> MakeCalendarArrowGlyph(bool next, int count) {
  auto bitmap = MakeObject<TBitmap>();
  // A clear column on each side keeps the bottom-left pixel (the transparent colour) off the ink.
  const int w = 4 * count + 2, h = 7;
  bitmap->SetSize(w, h);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(clOlive);  // the transparent colour (bottom-left pixel)
  c->FillRect(TRect(0, 0, w, h));
  for (int k = 0; k < count; ++k)
    for (int col = 0; col < 4; ++col) {
      const int half = next ? 3 - col : col;  // the tip has one pixel, the base seven
      const int x = 1 + 4 * k + col;
      for (int y = 3 - half; y <= 3 + half; ++y) c->SetPixel(x, y, clBlack);
    }
  return bitmap;
}

QUILLO_DEFINE_CLASS(TExTimerSpeedButton, TExSpeedButton)

TExTimerSpeedButton::TExTimerSpeedButton(TComponent* owner) : TExSpeedButton(owner) {
  SetStyle(bsNew);
  SetAllowTimer(true);
  SetControlStyle(ControlStyle() << csReplicatable);
}

void TurnCalendarPage(TExCalendar* calendar, TCalendarButton which) {
  switch (which) {
    case cbPrevYear: calendar->PrevYear(); break;
    case cbNextYear: calendar->NextYear(); break;
    case cbPrevMonth: calendar->PrevMonth(); break;
    case cbNextMonth: calendar->NextMonth(); break;
  }
}
