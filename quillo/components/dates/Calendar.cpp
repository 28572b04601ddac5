#include "quillo/components/dates/Calendar.h"

#include <cmath>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Messages.h"
#include "quillo/components/dates/DateUtil.h"

QUILLO_DEFINE_ENUM_TYPE(TDayOfWeekName, "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat")
QUILLO_DEFINE_SET_TYPE(TDaysOfWeek, TDayOfWeekName)

namespace {

constexpr int kDayRows = 6;

}  // namespace

QUILLO_DEFINE_PUBLISHED_CLASS(TExCalendar, TCustomGrid)

const TPropTable* TExCalendar::PublishedProperties() {
  using C = TExCalendar;
  static const TPropTable table = TPublisher<C>()
                                      .Property("CalendarDate", &C::GetCalendarDate, &C::SetCalendarDate)
                                      .Property("Day", &C::GetDay, &C::SetDay)
                                      .Property("Month", &C::GetMonth, &C::SetMonth)
                                      .Property("Year", &C::GetYear, &C::SetYear)
                                      .Property("ReadOnly", &C::GetReadOnly, &C::SetReadOnly)
                                      .Property("StartOfWeek", &C::GetStartOfWeek, &C::SetStartOfWeek)
                                      .Property("UseCurrentDate", &C::GetUseCurrentDate, &C::SetUseCurrentDate)
                                      .Property("WeekendColor", &C::GetWeekendColor, &C::SetWeekendColor)
                                      .Property("Weekends", &C::GetWeekends, &C::SetWeekends)
                                      .Table();
  return &table;
}

TExCalendar::TExCalendar(TComponent* owner) : TCustomGrid(owner) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetColCount(7);
  SetRowCount(1 + kDayRows);
  SetScrollBars(ssNone);
  SetOptions(TGridOptions{goFixedHorzLine, goFixedVertLine, goVertLine, goHorzLine, goDrawFocusSelected});
  SetControlStyle(ControlStyle() << csFramed);
  date_ = Date();
  SetBounds(GetLeft(), GetTop(), 190, 120);
  UpdateCalendar();
}

void TExCalendar::CreateParams(TCreateParams& p) {
  TCustomGrid::CreateParams(p);
  p.Style |= WS_BORDER;
  p.ExStyle &= ~WS_EX_CLIENTEDGE;
}

int TExCalendar::GetYear() const { return ExtractYear(date_); }
int TExCalendar::GetMonth() const { return ExtractMonth(date_); }
int TExCalendar::GetDay() const { return ExtractDay(date_); }
int TExCalendar::DaysThisMonth() const { return DaysPerMonth(GetYear(), GetMonth()); }

void TExCalendar::SetCalendarDate(TDateTime value) {
  if (!ValidDate(value)) return;
  date_ = std::floor(value);
  UpdateCalendar();
  Change();
}

void TExCalendar::ChangeDate(int year, int month, int day) {
  const bool dayAlone = year == GetYear() && month == GetMonth();
  date_ = EncodeDate(year, month, day);
  useCurrentDate_ = false;
  UpdateCalendar();
  if (!dayAlone) Invalidate();
  Change();
}

void TExCalendar::SetYear(int value) {
  if (value < 1 || value > 9999) return;
  ChangeDate(value, GetMonth(), std::min(GetDay(), DaysPerMonth(value, GetMonth())));
}

void TExCalendar::SetMonth(int value) {
  if (value < 1 || value > 12) return;
  ChangeDate(GetYear(), value, std::min(GetDay(), DaysPerMonth(GetYear(), value)));
}

void TExCalendar::SetDay(int value) {
  if (value < 1 || value > DaysThisMonth()) return;
  ChangeDate(GetYear(), GetMonth(), value);
}

void TExCalendar::SetUseCurrentDate(bool value) {
  useCurrentDate_ = value;
  if (value) {
    date_ = Date();
    UpdateCalendar();
    Change();
  }
}

void TExCalendar::SetStartOfWeek(TDayOfWeekName value) {
  if (startOfWeek_ == value) return;
  startOfWeek_ = value;
  UpdateCalendar();
  Invalidate();
}

void TExCalendar::SetWeekends(TDaysOfWeek value) {
  weekends_ = value;
  Invalidate();
}

void TExCalendar::SetWeekendColor(TColor value) {
  weekendColor_ = value;
  Invalidate();
}

void TExCalendar::PrevMonth() {
  const int y = GetMonth() == 1 ? GetYear() - 1 : GetYear();
  const int m = GetMonth() == 1 ? 12 : GetMonth() - 1;
  if (y < 1) return;
  ChangeDate(y, m, std::min(GetDay(), DaysPerMonth(y, m)));
}

void TExCalendar::NextMonth() {
  const int y = GetMonth() == 12 ? GetYear() + 1 : GetYear();
  const int m = GetMonth() == 12 ? 1 : GetMonth() + 1;
  if (y > 9999) return;
  ChangeDate(y, m, std::min(GetDay(), DaysPerMonth(y, m)));
}

void TExCalendar::PrevYear() {
  if (GetYear() <= 1) return;
  ChangeDate(GetYear() - 1, GetMonth(), std::min(GetDay(), DaysPerMonth(GetYear() - 1, GetMonth())));
}

void TExCalendar::NextYear() {
  if (GetYear() >= 9999) return;
  ChangeDate(GetYear() + 1, GetMonth(), std::min(GetDay(), DaysPerMonth(GetYear() + 1, GetMonth())));
}

void TExCalendar::Change() {
  if (OnChange) OnChange(this);
}

// ---- the month's layout ----

void TExCalendar::UpdateCalendar() {
  const TDateTime first = EncodeDate(GetYear(), GetMonth(), 1);
  const int weekday = DayOfWeek(first) - 1;  // 0 = Sunday
  const int column = (weekday - static_cast<int>(startOfWeek_) + 7) % 7;
  monthOffset_ = 1 - column;
  // The selection follows the day; SelectCell lets the rebuild through even when read-only.
  updating_ = true;
  const int cell = GetDay() - monthOffset_;
  try {
    FocusCell(cell % 7, cell / 7 + 1, true);
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
  Invalidate();
}

int TExCalendar::DayNumber(int col, int row) const {
  if (row < 1) return 0;
  const int n = col + monthOffset_ + (row - 1) * 7;
  return n >= 1 && n <= DaysThisMonth() ? n : 0;
}

AnsiString TExCalendar::CellText(int col, int row) const {
  if (row == 0) return ShortDayNames[(static_cast<int>(startOfWeek_) + col) % 7];
  const int n = DayNumber(col, row);
  return n ? AnsiString(std::to_string(n)) : AnsiString();
}

bool TExCalendar::IsToday(int col, int row) const {
  const int n = DayNumber(col, row);
  return n != 0 && EncodeDate(GetYear(), GetMonth(), n) == Date();
}

bool TExCalendar::SelectCell(int col, int row) {
  if (CellText(col, row).empty()) return false;
  if (!updating_ && readOnly_) return false;
  return TCustomGrid::SelectCell(col, row);
}

void TExCalendar::Click() {
  if (!updating_) {
    const int n = DayNumber(GetCol(), GetRow());
    if (n && n != GetDay()) SetDay(n);
  }
  TCustomGrid::Click();
}

// ---- keys ----

void TExCalendar::KeyDown(WORD& key, TShiftState shift) {
  if (shift.Empty()) {
    switch (key) {
      case VK_LEFT: case VK_SUBTRACT:
        if (GetDay() > 1) SetDay(GetDay() - 1);
        else SetCalendarDate(date_ - 1);
        key = 0;
        return;
      case VK_RIGHT: case VK_ADD:
        if (GetDay() < DaysThisMonth()) SetDay(GetDay() + 1);
        else SetCalendarDate(date_ + 1);
        key = 0;
        return;
    }
  }
  TCustomGrid::KeyDown(key, shift);
}

void TExCalendar::KeyPress(char& key) {
  if (key == 'T' || key == 't') {
    SetCalendarDate(Date());
    key = 0;
    return;
  }
  TCustomGrid::KeyPress(key);
}

// ---- drawing ----

void TExCalendar::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  TCanvas* c = GetCanvas();
  const AnsiString text = CellText(col, row);
  const TDayOfWeekName weekday = static_cast<TDayOfWeekName>((static_cast<int>(startOfWeek_) + col) % 7);
  if (weekends_.Contains(weekday) && !state.Contains(gdSelected)) c->GetFont()->SetColor(weekendColor_);
  c->GetBrush()->SetStyle(bsClear);
  const SIZE size = c->TextExtent(text);
  c->TextRect(rect, rect.left + (rect.Width() - size.cx) / 2, rect.top + (rect.Height() - size.cy) / 2, text);
  c->GetBrush()->SetStyle(bsSolid);
  DecorateCell(col, row, rect);
}

void TExCalendar::ResizeCells() {
  const int lines = 6 * GetGridLineWidth();
  SetDefaultColWidth(std::max(1, (GetClientWidth() - lines) / 7));
  SetDefaultRowHeight(std::max(1, (GetClientHeight() - lines) / 7));
}

void TExCalendar::SetBounds(int left, int top, int width, int height) {
  TCustomGrid::SetBounds(left, top, width, height);
  ResizeCells();
}

void TExCalendar::WndProc(TMessage& m) {
  TCustomGrid::WndProc(m);
  if (m.Msg == WM_SIZE) ResizeCells();
}

// ---- TLocCalendar ----

QUILLO_DEFINE_PUBLISHED_CLASS(TLocCalendar, TExCalendar)

const TPropTable* TLocCalendar::PublishedProperties() {
  static const TPropTable table = TPublisher<TLocCalendar>().Table();
  return &table;
}

TLocCalendar::TLocCalendar(TComponent* owner) : TExCalendar(owner) {
  SetControlStyle(ControlStyle() << csCaptureMouse << csClickEvents << csDoubleClicks);
  SetParentColor(true);
  SetTabStop(false);
  SetOptions(TGridOptions{goFixedHorzLine, goDrawFocusSelected});
  SetUseCurrentDate(false);  // starts at today, without following it
  SetCalendarDate(Date());
}

void TLocCalendar::CreateParams(TCreateParams& p) {
  TExCalendar::CreateParams(p);
  p.Style &= ~(WS_BORDER | WS_TABSTOP | WS_DISABLED);
}

void TLocCalendar::WndProc(TMessage& m) {
  TExCalendar::WndProc(m);
  if (m.Msg == CM_ENABLEDCHANGED && HandleAllocated()) EnableWindow(GetHandle(), GetEnabled());
}

void TLocCalendar::DecorateCell(int col, int row, const TRect& rect) {
  if (!IsToday(col, row)) return;
  RECT r = rect;
  DrawEdge(GetCanvas()->GetHandle(), &r, BDR_SUNKENOUTER, BF_RECT);
}
