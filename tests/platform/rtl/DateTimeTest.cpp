#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ctime>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

namespace {

TEST(DateTime, DaysCountFromTheFrameworksEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);  // a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5)), 3);  // a Tuesday

  WORD y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
  DecodeDate(36526.75, y, m, d);
  DecodeTime(36526.75, h, n, s, ms);
  EXPECT_EQ((std::array<int, 7>{y, m, d, h, n, s, ms}), (std::array<int, 7>{2000, 1, 1, 18, 0, 0, 0}));
}

TEST(DateTime, EncodingRefusesDatesAndTimesThatDoNotExist) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(2023, 13, 1, value));
  EXPECT_FALSE(TryEncodeDate(2023, 4, 31, value));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, value));
  EXPECT_THROW(EncodeDate(2023, 0, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
}

TEST(DateTime, EveryDayOfFourHundredYearsRoundTrips) {
  TDateTime previous = EncodeDate(1999, 12, 31);
  for (int year = 2000; year < 2400; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= MonthDays[IsLeapYear(year)][month - 1]; ++day) {
        const TDateTime date = EncodeDate(year, month, day);
        ASSERT_EQ(date, previous + 1) << year << '-' << month << '-' << day;
        WORD y = 0, m = 0, d = 0;
        DecodeDate(date, y, m, d);
        ASSERT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day);
        previous = date;
      }
}

TEST(DateTime, TimesRoundToTheMillisecond) {
  WORD h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(EncodeTime(13, 14, 15, 16), h, n, s, ms);
  EXPECT_EQ((std::array<int, 4>{h, n, s, ms}), (std::array<int, 4>{13, 14, 15, 16}));
  // A hair before midnight is midnight of the next day, not 23:59:59.1000.
  const TDateTime almost = EncodeDate(2020, 12, 31) + 0.9999999999;
  WORD y = 0, m = 0, d = 0;
  DecodeDate(almost, y, m, d);
  DecodeTime(almost, h, n, s, ms);
  EXPECT_EQ((std::array<int, 7>{y, m, d, h, n, s, ms}), (std::array<int, 7>{2021, 1, 1, 0, 0, 0, 0}));
}

struct DateFormatCase {
  const char* format;
  const char* expected;
};

TEST(FormatDateTime, TokensGiveTheFrameworksResults) {
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  const DateFormatCase cases[] = {
      {"yyyy-mm-dd", "2024-03-05"},
      {"d/m/yy", "5/3/24"},
      {"YYYY MM DD", "2024 03 05"},
      {"yyy", "2024"},
      {"dddd, mmmm d", "Tuesday, March 5"},
      {"ddd mmm", "Tue Mar"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
      {"h:n:s.z", "14:7:9.45"},
      {"hh:mm", "14:07"},  // mm after an hour is minutes
      {"mm/dd/yyyy hh:nn", "03/05/2024 14:07"},
      {"h:mm am/pm", "2:07 pm"},
      {"h:mm AM/PM", "2:07 PM"},
      {"hh:mm a/p", "02:07 p"},
      {"h ampm", "2 PM"},
      {"c", "3/5/2024 2:07:09 PM"},
      {"", "3/5/2024 2:07:09 PM"},
      {"ddddd", "3/5/2024"},
      {"dddddd", "Tuesday, March 5, 2024"},
      {"t", "2:07 PM"},
      {"tt", "2:07:09 PM"},
      {"'Day' d \"of\" m", "Day 5 of 3"},
      {"'yyyy'", "yyyy"},
  };
  for (const DateFormatCase& c : cases)
    EXPECT_EQ(FormatDateTime(c.format, value), c.expected) << '"' << c.format << '"';
}

TEST(FormatDateTime, MidnightAndNoonOnTheTwelveHourClock) {
  const TDateTime midnight = EncodeDate(2005, 7, 1);
  EXPECT_EQ(FormatDateTime("h am/pm", midnight), "12 am");
  EXPECT_EQ(FormatDateTime("h am/pm", midnight + 0.5), "12 pm");
  EXPECT_EQ(FormatDateTime("yy", midnight), "05");
  EXPECT_EQ(DateTimeToStr(midnight), "7/1/2005");  // no time at midnight
  EXPECT_EQ(TimeToStr(midnight), "12:00:00 AM");
}

TEST(FormatDateTime, SeparatorsNamesAndFormatsComeFromTheVariables) {
  FormatSettingsScope restore;
  DateSeparator = '.';
  TimeSeparator = '-';
  ShortDateFormat = "dd/mm/yyyy";
  LongMonthNames[2] = "Maerz";
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0);
  EXPECT_EQ(FormatDateTime("mm/dd/yyyy hh:nn", value), "03.05.2024 14-07");
  EXPECT_EQ(DateToStr(value), "05.03.2024");
  EXPECT_EQ(FormatDateTime("mmmm", value), "Maerz");
}

TEST(FormatDateTime, AFormatThatNamesItselfStops) {
  FormatSettingsScope restore;
  ShortDateFormat = "ddddd";
  EXPECT_EQ(FormatDateTime("ddddd", 0), "");
}

TEST(DateTime, FileDatesPackTwoSecondSteps) {
  const TDateTime value = EncodeDate(2019, 11, 23) + EncodeTime(8, 30, 41, 0);
  const int packed = DateTimeToFileDate(value);
  EXPECT_EQ(static_cast<unsigned>(packed) >> 16, ((2019u - 1980) << 9) | (11 << 5) | 23);
  EXPECT_EQ(FileDateToDateTime(packed), EncodeDate(2019, 11, 23) + EncodeTime(8, 30, 40, 0));
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1970, 1, 1)), 0);  // before what the form can hold
}

TEST(DateTime, UnixTimesConvertBothWays) {
  const TDateTime value = EncodeDate(2021, 6, 15) + EncodeTime(12, 0, 0, 0);
  EXPECT_EQ(UnixTimeToDateTime(DateTimeToUnixTime(value)), value);
  EXPECT_LT(std::fabs(Now() - UnixTimeToDateTime(::time(nullptr))), 2.0 / SecsPerDay);
}

}  // namespace
