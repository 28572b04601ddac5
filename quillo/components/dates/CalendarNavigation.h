#pragma once
// What the calendar's drop-down and the date dialog share: the navigation buttons that turn
// the calendar's page a month or a year back and on, and keep turning while held.

#include "platform/vcl/Bitmap.h"
#include "quillo/components/buttons/ExSpeedButton.h"
#include "quillo/components/dates/Calendar.h"

// The calendar's navigation button: a speed button in the new style that keeps clicking
// while it is held.
class TExTimerSpeedButton : public TExSpeedButton {
  QUILLO_DECLARE_CLASS()

public:
  explicit TExTimerSpeedButton(TComponent* owner);
};

enum TCalendarButton { cbPrevYear, cbNextYear, cbPrevMonth, cbNextMonth };

// Turns the calendar's page as the navigation button does.
void TurnCalendarPage(TExCalendar* calendar, TCalendarButton which);

// The navigation arrows: one or two black triangles pointing left or right.
TOwnedPtr<TBitmap> MakeCalendarArrowGlyph(bool next, int count);
