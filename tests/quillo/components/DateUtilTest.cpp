// Date arithmetic and the tolerant date parser.

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "quillo/components/dates/DateUtil.h"

namespace {

class DateUtilTest : public ::testing::Test {
protected:
  FormatSettingsScope keep;
  void DayMonthYear() {
    ShortDateFormat = "dd/mm/yyyy";
    DateSeparator = '/';
  }
};

TEST_F(DateUtilTest, LeapYearsAndMonthLengths) {
  EXPECT_EQ(DaysPerMonth(2000, 2), 29);
  EXPECT_EQ(DaysPerMonth(1900, 2), 28);
  EXPECT_EQ(DaysPerMonth(2024, 2), 29);
  EXPECT_EQ(DaysPerMonth(2023, 4), 30);
  DayMonthYear();
  EXPECT_EQ(StrToDateFmt("DD/MM/YYYY", "29/02/2000"), EncodeDate(2000, 2, 29));
  EXPECT_THROW(StrToDateFmt("DD/MM/YYYY", "29/02/1900"), EConvertError);
  EXPECT_TRUE(ValidDate(EncodeDate(2000, 2, 29)));
  EXPECT_FALSE(ValidDate(1e12));
}

TEST_F(DateUtilTest, MonthArithmeticCutsTheDayToTheMonth) {
  EXPECT_EQ(IncMonth(EncodeDate(2023, 1, 31), 1), EncodeDate(2023, 2, 28));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 15), -1), EncodeDate(2023, 12, 15));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 11, 15), 14), EncodeDate(2026, 1, 15));
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29), 1), EncodeDate(2025, 2, 28));
  EXPECT_DOUBLE_EQ(IncDate(EncodeDate(2024, 3, 1) + 0.5, 1, 0, 0), EncodeDate(2024, 3, 2) + 0.5);
}

TEST_F(DateUtilTest, DifferencesBorrowFromTheEarlierMonth) {
  int d = 0, m = 0, y = 0;
  DateDiff(EncodeDate(2024, 3, 20), EncodeDate(2023, 1, 31), d, m, y);
  EXPECT_EQ(y, 1);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(d, 20);
  DateDiff(EncodeDate(2023, 5, 10), EncodeDate(2024, 5, 5), d, m, y);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(m, 11);
  EXPECT_EQ(d, 26);
  EXPECT_DOUBLE_EQ(MonthsBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 8)), 2.5);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 10)), 10);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 10), EncodeDate(2024, 1, 1)), 0);
  EXPECT_EQ(DaysInPeriod(EncodeDate(2024, 1, 10), EncodeDate(2024, 1, 1)), 10);
}

TEST_F(DateUtilTest, TimesWrapIntoTheDay) {
  EXPECT_NEAR(IncHour(0.5, 6), 0.75, 1e-9);
  EXPECT_NEAR(IncMinute(0.0, -60), 1 - 1.0 / 24, 1e-9);
  EXPECT_EQ(CutTime(EncodeDate(2024, 5, 5) + 0.3), EncodeDate(2024, 5, 5));
}

TEST_F(DateUtilTest, TwoDigitYearsLandInTheWindow) {
  const int now = CurrentYear();
  EXPECT_EQ(ExpandYear((now - 60) % 100), now - 60);  // the first year of the window
  EXPECT_EQ(ExpandYear((now + 39) % 100), now + 39);  // and its last
  for (int two = 0; two < 100; ++two) {
    const int full = ExpandYear(two);
    EXPECT_EQ(full % 100, two);
    EXPECT_GE(full, now - 60);
    EXPECT_LT(full, now + 40);
  }
  EXPECT_EQ(ExpandYear(1850), 1850);
}

TEST_F(DateUtilTest, TypedDatesParseInTheLocalesOrder) {
  DayMonthYear();
  EXPECT_EQ(StrToDateFmt("DD/MM/YYYY", "1/2"), EncodeDate(CurrentYear(), 2, 1));
  EXPECT_EQ(StrToDateFmt("DD/MM/YYYY", "25/12/2023"), EncodeDate(2023, 12, 25));
  EXPECT_EQ(StrToDateFmt("DD/MM/YYYY", " 3/4/2024 "), EncodeDate(2024, 4, 3));
  EXPECT_EQ(StrToDateFmt("DD/MM/YYYY", ""), NullDate);
  EXPECT_THROW(StrToDateFmt("DD/MM/YYYY", "32/1/2024"), EConvertError);
  EXPECT_THROW(StrToDateFmt("DD/MM/YYYY", "1/2/2024x"), EConvertError);
  EXPECT_EQ(StrToDateDef("nonsense", EncodeDate(2020, 6, 1) + 0.7), EncodeDate(2020, 6, 1));
  ShortDateFormat = "m/d/yyyy";
  EXPECT_EQ(StrToDateDef("1/2/2024", 0), EncodeDate(2024, 1, 2));
  EXPECT_EQ(StrToDateFmt("DD MMM YYYY", "05 Mar 2024"), EncodeDate(2024, 3, 5));
}

TEST_F(DateUtilTest, OrdersFormatsAndMasks) {
  EXPECT_EQ(GetDateOrder("yyyy-mm-dd"), doYMD);
  EXPECT_EQ(GetDateOrder("M/d/yy"), doMDY);
  EXPECT_EQ(GetDateOrder("dd.MM.yyyy"), doDMY);
  EXPECT_EQ(GetDateOrder("---"), doDMY);
  ShortDateFormat = "yyyy/mm/dd";
  EXPECT_EQ(DefDateFormat(true), "YYYY/MM/DD");
  EXPECT_EQ(DefDateMask('_', true), "!9999/99/99;1;_");
  ShortDateFormat = "m/d/yy";
  EXPECT_EQ(DefDateFormat(false), "MM/DD/YY");
  EXPECT_EQ(DefDateMask(' ', false), "!99/99/99;1; ");
  EXPECT_EQ(MonthFromName("MARCH", 3), 3);
  EXPECT_EQ(MonthFromName("", 3), 0);
  EXPECT_EQ(MonthFromName("Xyz", 3), 0);
  EXPECT_EQ(FormatLongDateTime(NullDate), "");
}

}  // namespace
