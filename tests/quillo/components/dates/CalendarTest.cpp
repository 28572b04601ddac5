// The month calendar driven by keys and mouse: the month's layout for each first weekday,
// page turns that keep the day where the month has it, and what a click or a key selects;
// the weekend colour and the selection checked in pixels.

#include "../edits/EditsFixture.h"

#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "quillo/components/dates/Calendar.h"
#include "quillo/components/dates/DateUtil.h"

namespace edits_testing {
namespace {

std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

class CalendarTest : public EditsTest {
protected:
  void SetUp() override {
    EditsTest::SetUp();
    calendar = NewComponent<TExCalendar>(form);
    calendar->SetName("Calendar");
    calendar->SetBounds(10, 10, 226, 150);
    calendar->SetParent(form);
    calendar->OnChange = [this](TObject*) { ++changes; };
    ShowForm();
  }
  void Set(int y, int m, int d) { calendar->SetCalendarDate(EncodeDate(y, m, d)); }
  void ExpectDate(int y, int m, int d, const char* when) {
    EXPECT_EQ(calendar->GetCalendarDate(), EncodeDate(y, m, d)) << when;
  }
  // The middle of a cell, on the screen.
  POINT CellAt(int col, int row) {
    TRect r = calendar->CellRect(col, row);
    return At(calendar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // The grid cell that shows day n.
  TGridCoord CellOfDay(int n) {
    for (int row = 1; row < 7; ++row)
      for (int col = 0; col < 7; ++col)
        if (calendar->CellText(col, row) == AnsiString(std::to_string(n))) return TGridCoord{col, row};
    return TGridCoord{-1, -1};
  }

  TExCalendar* calendar = nullptr;
  int changes = 0;
};

TEST_F(CalendarTest, MonthLayoutPutsDayOneUnderItsWeekday) {
  struct Case {
    int year, month;
    TDayOfWeekName start;
    int dayOneCol;
    const char* firstHeader;
    int lastDayRow;
  };
  const std::vector<Case> cases = {
      {2024, 2, Mon, 3, "Mon", 5},  // 1 Feb 2024 is a Thursday; 29 days
      {2024, 2, Sun, 4, "Sun", 5},
      {2024, 9, Mon, 6, "Mon", 6},  // a Sunday: the last column, and 30 days reach a sixth row
      {2024, 9, Sun, 0, "Sun", 5},
      {2021, 2, Mon, 0, "Mon", 4},  // a Monday in a 28-day month: exactly four rows
  };
  for (const Case& c : cases) {
    calendar->SetStartOfWeek(c.start);
    Set(c.year, c.month, 1);
    const TGridCoord one = CellOfDay(1);
    EXPECT_EQ(one.X, c.dayOneCol) << c.year << "-" << c.month;
    EXPECT_EQ(one.Y, 1) << c.year << "-" << c.month;
    EXPECT_EQ(calendar->CellText(0, 0), c.firstHeader);
    EXPECT_EQ(CellOfDay(DaysPerMonth(c.year, c.month)).Y, c.lastDayRow) << c.year << "-" << c.month;
    // The selection is the current day's cell.
    EXPECT_EQ(calendar->GetCol(), one.X);
    EXPECT_EQ(calendar->GetRow(), 1);
  }
}

TEST_F(CalendarTest, PageTurnsKeepTheDayWhereTheMonthHasIt) {
  Set(2024, 1, 31);
  calendar->NextMonth();
  ExpectDate(2024, 2, 29, "next month cuts to February's length");
  calendar->PrevYear();
  ExpectDate(2023, 2, 28, "29 February a year back");
  Set(2024, 2, 29);
  calendar->NextYear();
  ExpectDate(2025, 2, 28, "29 February a year on");
  Set(2024, 12, 15);
  calendar->NextMonth();
  ExpectDate(2025, 1, 15, "across the year end");
  calendar->PrevMonth();
  ExpectDate(2024, 12, 15, "and back");
  // Parts out of range are ignored.
  calendar->SetMonth(13);
  calendar->SetDay(32);
  calendar->SetDay(0);
  calendar->SetYear(0);
  calendar->SetCalendarDate(1e9);  // past the year 9999
  ExpectDate(2024, 12, 15, "nothing out of range is taken");
  calendar->SetMonth(2);
  ExpectDate(2024, 2, 15, "a month alone");
  EXPECT_FALSE(calendar->GetUseCurrentDate());
}

TEST_F(CalendarTest, KeysMoveTheDate) {
  Set(2024, 3, 1);
  calendar->SetFocus();
  ui.RunUntilIdle();
  ui.Press(VK_LEFT);
  ExpectDate(2024, 2, 29, "Left across the month start");
  ui.Press(VK_RIGHT);
  ExpectDate(2024, 3, 1, "Right across the month end");
  ui.Press(VK_ADD);
  ExpectDate(2024, 3, 2, "numeric-pad plus");
  ui.Press(VK_SUBTRACT);
  ExpectDate(2024, 3, 1, "numeric-pad minus");
  ui.Press(VK_DOWN);
  ExpectDate(2024, 3, 8, "Down a week");
  ui.Press(VK_UP);
  ExpectDate(2024, 3, 1, "Up a week");
  ui.Press(VK_UP);  // no day above the first row
  ExpectDate(2024, 3, 1, "Up from the first row");
  ui.Type("t");
  EXPECT_EQ(calendar->GetCalendarDate(), Date());
}

TEST_F(CalendarTest, ClickSelectsADayButNotAnEmptyCell) {
  Set(2024, 2, 10);
  const TGridCoord day20 = CellOfDay(20);
  POINT p = CellAt(day20.X, day20.Y);
  ui.Click(p.x, p.y);
  ExpectDate(2024, 2, 20, "a click on 20");
  EXPECT_GT(changes, 0);
  p = CellAt(0, 1);  // before 1 February (a Thursday): empty
  ASSERT_TRUE(calendar->CellText(0, 1).empty());
  ui.Click(p.x, p.y);
  ExpectDate(2024, 2, 20, "a click on an empty cell");
  calendar->SetReadOnly(true);
  const TGridCoord day5 = CellOfDay(5);
  p = CellAt(day5.X, day5.Y);
  ui.Click(p.x, p.y);
  ExpectDate(2024, 2, 20, "a read-only calendar");
}

TEST_F(CalendarTest, WeekendsInTheirColourAndTheDayHighlighted) {
  calendar->SetStartOfWeek(Mon);
  Set(2024, 2, 14);
  ui.RunUntilIdle();
  // Sunday is the last column: its numbers are red; other numbers are in the font colour.
  auto inkOf = [&](int col, int row) {
    TRect r = calendar->CellRect(col, row);
    bool red = false, black = false;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        POINT p = At(calendar, x, y);
        const std::uint32_t px = ui.Pixel(p.x, p.y);
        red = red || px == Rgb(clRed);
        black = black || px == Rgb(clBlack);
      }
    return std::make_pair(red, black);
  };
  const TGridCoord sunday = CellOfDay(4);  // 4 February 2024
  ASSERT_EQ(sunday.X, 6);
  EXPECT_TRUE(inkOf(sunday.X, sunday.Y).first);
  EXPECT_FALSE(inkOf(sunday.X, sunday.Y).second);
  const TGridCoord monday = CellOfDay(5);
  EXPECT_FALSE(inkOf(monday.X, monday.Y).first);
  EXPECT_TRUE(inkOf(monday.X, monday.Y).second);
  // The selected day sits on the highlight.
  const TGridCoord day14 = CellOfDay(14);
  TRect r = calendar->CellRect(day14.X, day14.Y);
  POINT corner = At(calendar, r.left + 2, r.top + 2);
  EXPECT_EQ(ui.Pixel(corner.x, corner.y), Rgb(clHighlight));
}

}  // namespace
}  // namespace edits_testing
