#pragma once
// The date dialog: a title with the month and year, buttons a year and a month back and on,
// and the month calendar. Enter or a double click on a day closes it with OK, Escape with
// Cancel; Tab and Shift+Tab, Page Up and Page Down turn the month (with Ctrl the year); a
// double click on the title goes to today. SelectDate and its relatives show it modally.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/dates/Calendar.h"
#include "quillo/components/dates/CalendarNavigation.h"

class TSelectDateDlg : public TForm {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSelectDateDlg(TComponent* owner);

  TDateTime GetDate() const { return calendar_->GetCalendarDate(); }
  // The null date means today.
  void SetDate(TDateTime value);
  TExCalendar* Calendar() const { return calendar_; }
  TPanel* Title() const { return title_; }
  TExTimerSpeedButton* NavButton(TCalendarButton which) const { return buttons_[which]; }

private:
  void UpdateTitle();
  void FormKeyDown(WORD& key, TShiftState shift);

  TPanel* title_ = nullptr;
  TExCalendar* calendar_ = nullptr;
  TExTimerSpeedButton* buttons_[4] = {};
  TButton* ok_ = nullptr;
  TButton* cancel_ = nullptr;
};

// Shows the dialog below edit with date set; OK stores the chosen date and answers true.
bool PopupDate(TDateTime& date, TWinControl* edit);
bool SelectDate(TDateTime& date, const AnsiString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, TStrings* buttonHints);
// The same for a date as text in the short date format (empty: today).
bool SelectDateStr(AnsiString& date, const AnsiString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                   TColor weekendColor, TStrings* buttonHints);
