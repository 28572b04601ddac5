#pragma once
// The framework's date and time values and their text forms. A TDateTime counts days since
// 30 December 1899 (midnight); its fraction is the time of day. Names and tokens follow the
// framework; separators, formats and names come from FormatSettings.h.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = HoursPerDay * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;

// Days of each month, by leap year (index 1) or not (index 0).
extern const WORD MonthDays[2][12];

bool IsLeapYear(int year);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
TDateTime EncodeDate(int year, int month, int day);              // EConvertError when invalid
TDateTime EncodeTime(int hour, int minute, int second, int msec);  // EConvertError when invalid
void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day);
void DecodeTime(TDateTime time, WORD& hour, WORD& minute, WORD& second, WORD& msec);
int DayOfWeek(TDateTime date);  // 1 = Sunday .. 7 = Saturday

// The local date and time of the system clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Tokens (letters in either case): c, d, dd, ddd, dddd, ddddd, dddddd, m, mm, mmm, mmmm,
// yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t, tt, am/pm, a/p, ampm, '/' (DateSeparator),
// ':' (TimeSeparator) and quoted text. m or mm right after an hour token means minutes.
// An empty format is "c".
AnsiString FormatDateTime(const AnsiString& format, TDateTime value);
AnsiString DateToStr(TDateTime date);          // ShortDateFormat
AnsiString TimeToStr(TDateTime time);          // LongTimeFormat
AnsiString DateTimeToStr(TDateTime dateTime);  // "c"

// Local time <-> seconds since 1970 (UTC), as file times are kept.
TDateTime UnixTimeToDateTime(std::int64_t seconds);
std::int64_t DateTimeToUnixTime(TDateTime value);
// The framework's packed file date (DOS date in the high word, time in the low word).
TDateTime FileDateToDateTime(int fileDate);
int DateTimeToFileDate(TDateTime value);
