#pragma once
// The date edit: a combo edit for one date. Its text is masked to the short date order
// (two- or four-digit years), its button drops the month calendar (or, as a dialog, opens
// the date dialog), and the keyboard steps the date: numeric-pad plus and minus a day on or
// back, T today. While the calendar is open the navigation keys move the calendar's date.

#include "platform/vcl/Strings.h"
#include "quillo/components/dates/Calendar.h"
#include "quillo/components/dates/DateUtil.h"
#include "quillo/components/edits/ComboEdit.h"

enum TCalendarStyle { csPopup, csDialog };
enum TYearDigits { dyDefault, dyFour, dyTwo };
QUILLO_DECLARE_ENUM_TYPE(TCalendarStyle)
QUILLO_DECLARE_ENUM_TYPE(TYearDigits)

using TExecDateDialog = std::function<void(TObject* sender, TDateTime& date, bool& action)>;

class TCustomDateEdit : public TCustomComboEdit {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomDateEdit(TComponent* owner);
  ~TCustomDateEdit() override;

  // NullDate when the text holds no date (today with DefaultToday).
  TDateTime GetDate();
  void SetDate(TDateTime value);
  char GetBlanksChar() const { return blanksChar_; }
  void SetBlanksChar(char value);
  TStrings* GetCalendarHints() const { return hints_.get(); }
  void SetCalendarHints(TStrings* value);
  bool GetCheckOnExit() const { return checkOnExit_; }
  void SetCheckOnExit(bool value) { checkOnExit_ = value; }
  bool GetDefaultToday() const { return defaultToday_; }
  void SetDefaultToday(bool value) { defaultToday_ = value; }
  AnsiString GetDialogTitle() const { return dialogTitle_; }
  void SetDialogTitle(const AnsiString& value) { dialogTitle_ = value; }
  TColor GetPopupColor() const;
  void SetPopupColor(TColor value);
  TCalendarStyle GetCalendarStyle() const { return calendarStyle_; }
  void SetCalendarStyle(TCalendarStyle value);
  TDayOfWeekName GetStartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDayOfWeekName value);
  TDaysOfWeek GetWeekends() const { return weekends_; }
  void SetWeekends(TDaysOfWeek value);
  TColor GetWeekendColor() const { return weekendColor_; }
  void SetWeekendColor(TColor value);
  TYearDigits GetYearDigits() const { return yearDigits_; }
  void SetYearDigits(TYearDigits value);
  AnsiString DateFormat() const { return dateFormat_; }
  bool FourDigits() const;

  virtual void UpdateMask();
  // Sets the date and selects the whole text.
  virtual void ApplyDate(TDateTime value);

  TExecDateDialog OnAcceptDate;

  void WndProc(TMessage& message) override;

protected:
  TOwnedPtr<TBitmap> GetDefaultBitmap() override;
  bool AcceptPopup(TPopupValue& value) override;
  void AcceptValue(const TPopupValue& value) override;
  void ButtonClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Change() override;

private:
  void CalendarSettingsChanged();
  void CheckExit();

  char blanksChar_ = ' ';
  TOwnedPtr<TStringList> hints_;
  bool checkOnExit_ = false;
  bool defaultToday_ = false;
  AnsiString dialogTitle_;
  TColor popupColor_ = clBtnFace;
  TCalendarStyle calendarStyle_ = csPopup;
  TDayOfWeekName startOfWeek_ = Mon;
  TDaysOfWeek weekends_{Sun};
  TColor weekendColor_ = clRed;
  TYearDigits yearDigits_ = dyDefault;
  AnsiString dateFormat_;
  bool checking_ = false;
};

class TDateEdit : public TCustomDateEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TDateEdit(TComponent* owner) : TCustomDateEdit(owner) {}
};

// Runs UpdateMask on every date edit of every open form (after the regional settings changed).
void DateFormatChanged();
// The date edit's default glyph: a small calendar, normal and greyed, side by side.
TOwnedPtr<TBitmap> MakeDateEditGlyph();
