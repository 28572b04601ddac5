#pragma once
// Date routines on the framework's day-count dates (the whole part counts days, the fraction
// is the time of day): calendar arithmetic, the order of day, month and year in the short
// date format, tolerant parsing of typed dates with the two-digit-year window, and the
// default display formats and edit masks of a date edit.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"

// Two-digit years land in the 100 years starting CenturyOffset years before this one.
extern unsigned char CenturyOffset;
constexpr TDateTime NullDate = 0;
// Whether the short date format shows four-digit years (taken when first asked).
bool FourDigitYear();

enum TDateOrder { doMDY, doDMY, doYMD };

int DaysPerMonth(int year, int month);
TDateTime FirstDayOfNextMonth();
TDateTime FirstDayOfPrevMonth();
TDateTime LastDayOfPrevMonth();
int ExtractDay(TDateTime date);
int ExtractMonth(TDateTime date);
int ExtractYear(TDateTime date);
TDateTime IncDate(TDateTime date, int days, int months, int years);
TDateTime IncDay(TDateTime date, int days);
TDateTime IncMonth(TDateTime date, int months);
TDateTime IncYear(TDateTime date, int years);
void DateDiff(TDateTime date1, TDateTime date2, int& days, int& months, int& years);
double MonthsBetween(TDateTime date1, TDateTime date2);
bool ValidDate(TDateTime date);
int DaysInPeriod(TDateTime date1, TDateTime date2);
// Whole days from date1 to date2, both ends counted; 0 when date2 is before date1.
int DaysBetween(TDateTime date1, TDateTime date2);
TDateTime IncTime(TDateTime time, int hours, int minutes, int seconds, int msecs);
TDateTime IncHour(TDateTime time, int hours);
TDateTime IncMinute(TDateTime time, int minutes);
TDateTime IncSecond(TDateTime time, int seconds);
TDateTime IncMSec(TDateTime time, int msecs);
TDateTime CutTime(TDateTime date);
int CurrentYear();
int ExpandYear(int year);

TDateOrder GetDateOrder(const AnsiString& format);
int MonthFromName(const AnsiString& s, int maxLen);
// EConvertError "'...' is not a valid date" when s does not parse; NullDate for an empty s.
TDateTime StrToDateFmt(const AnsiString& format, const AnsiString& s);
TDateTime StrToDateDef(const AnsiString& s, TDateTime fallback);
TDateTime StrToDateFmtDef(const AnsiString& format, const AnsiString& s, TDateTime fallback);
AnsiString DefDateFormat(bool fourDigitYear);
AnsiString DefDateMask(char blanksChar, bool fourDigitYear);
AnsiString FormatLongDate(TDateTime value);
AnsiString FormatLongDateTime(TDateTime value);
