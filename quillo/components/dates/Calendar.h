#pragma once
// TExCalendar: one month as a grid of day numbers under a row of day names, the selected
// cell being the calendar's date. Keys and clicks move the date; PrevMonth/NextMonth and
// PrevYear/NextYear turn the page, keeping the day where the new month has it. TLocCalendar
// is its flat, borderless variant for the date edit's drop-down, which also frames today.

#include "platform/rtl/DateTime.h"
#include "platform/vcl/Grids.h"

enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
using TDaysOfWeek = SetOf<TDayOfWeekName>;
QUILLO_DECLARE_ENUM_TYPE(TDayOfWeekName)
QUILLO_DECLARE_SET_TYPE(TDayOfWeekName)

class TExCalendar : public TCustomGrid {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExCalendar(TComponent* owner);

  TDateTime GetCalendarDate() const { return date_; }
  void SetCalendarDate(TDateTime value);
  int GetYear() const;
  void SetYear(int value);
  int GetMonth() const;
  void SetMonth(int value);
  int GetDay() const;
  void SetDay(int value);
  bool GetUseCurrentDate() const { return useCurrentDate_; }
  void SetUseCurrentDate(bool value);
  TDayOfWeekName GetStartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDayOfWeekName value);
  TDaysOfWeek GetWeekends() const { return weekends_; }
  void SetWeekends(TDaysOfWeek value);
  TColor GetWeekendColor() const { return weekendColor_; }
  void SetWeekendColor(TColor value);
  bool GetReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }

  void PrevMonth();
  void NextMonth();
  void PrevYear();
  void NextYear();
  // The text of a cell: a day name in row 0, a day number or nothing below.
  AnsiString CellText(int col, int row) const;
  // The grid position of day 1 (added to a column to get its day number in the first row).
  int MonthOffset() const { return monthOffset_; }
  // Rebuilds the month from the date: day 1's place and the selected cell.
  void UpdateCalendar();

  // Keys and characters handed over by an owner that keeps the focus (the date edit).
  void HandleKey(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void HandleChar(char& key) { KeyPress(key); }

  // Raised after every change of the date.
  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
  bool SelectCell(int col, int row) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Click() override;
  // Sets the date from its parts (already checked) and tells who follows it.
  void ChangeDate(int year, int month, int day);
  virtual void Change();
  // Draws the framing that a variant adds to a cell (today's frame in the popup).
  virtual void DecorateCell(int col, int row, const TRect& rect) {
    (void)col;
    (void)row;
    (void)rect;
  }
  bool IsToday(int col, int row) const;

private:
  int DayNumber(int col, int row) const;
  int DaysThisMonth() const;
  void ResizeCells();

  TDateTime date_ = 0;
  bool useCurrentDate_ = true;
  TDayOfWeekName startOfWeek_ = Mon;
  TDaysOfWeek weekends_{Sun};
  TColor weekendColor_ = clRed;
  bool readOnly_ = false;
  int monthOffset_ = 0;
  bool updating_ = false;
};

class TLocCalendar : public TExCalendar {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TLocCalendar(TComponent* owner);
  void WndProc(TMessage& message) override;
  // It never takes the focus: the edit that opened it keeps the caret and the keys.
  bool CanFocus() const override { return false; }

protected:
  void CreateParams(TCreateParams& params) override;
  void DecorateCell(int col, int row, const TRect& rect) override;
};
