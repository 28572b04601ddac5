#pragma once
// The calendar that drops down from a date edit: a title with the month and year, buttons
// for a year and a month back and on (they repeat while held), and the month grid. Releasing
// the mouse on a day closes it with that date; Page Up/Down turn the month (with Ctrl the
// year); a double click on the title goes to today. CreatePopupCalendar and
// SetupPopupCalendar are how a date edit makes and configures it.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/dates/CalendarNavigation.h"
#include "quillo/components/edits/ComboEdit.h"

class TPopupCalendar : public TPopupWindow {
  QUILLO_DECLARE_CLASS()

public:
  TPopupCalendar(TComponent* owner, TCustomComboEdit* editor);

  TPopupValue GetValue() override;
  void SetValue(const TPopupValue& value) override;
  TLocCalendar* Calendar() const { return calendar_; }
  TExTimerSpeedButton* NavButton(TCalendarButton which) const { return buttons_[which]; }
  TPanel* Title() const { return title_; }
  // The format typed dates are read in (the date edit's).
  void SetDateFormat(const AnsiString& format) { dateFormat_ = format; }
  bool GetFourDigitYear() const { return fourDigitYear_; }
  void SetFourDigitYear(bool value) { fourDigitYear_ = value; }

  // What the date edit hands over while the popup is open.
  void HandleKey(WORD& key, TShiftState shift);
  void HandleChar(char& key);

private:
  void UpdateTitle();
  void CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y);

  TPanel* title_ = nullptr;
  TLocCalendar* calendar_ = nullptr;
  TExTimerSpeedButton* buttons_[4] = {};
  AnsiString dateFormat_;
  bool fourDigitYear_ = true;
};

TPopupWindow* CreatePopupCalendar(TCustomComboEdit* owner);
// Passes the date edit's calendar settings to a calendar popup (any other popup: nothing).
void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                        TStrings* hints, bool fourDigitYear);
