#include "quillo/components/dates/DateUtil.h"

#include <cctype>
#include <cmath>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

unsigned char CenturyOffset = 60;

bool FourDigitYear() { return UpperCase(ShortDateFormat).find("YYYY") != AnsiString::npos; }

namespace {

struct Ymd {
  int y = 0, m = 0, d = 0;
};

Ymd Decode(TDateTime date) {
  WORD y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  return {y, m, d};
}

TDateTime TimeOf(TDateTime date) { return date - std::trunc(date); }

}  // namespace

int DaysPerMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

TDateTime FirstDayOfNextMonth() {
  Ymd t = Decode(Date());
  if (++t.m > 12) {
    t.m = 1;
    ++t.y;
  }
  return EncodeDate(t.y, t.m, 1);
}

TDateTime FirstDayOfPrevMonth() {
  Ymd t = Decode(Date());
  if (--t.m < 1) {
    t.m = 12;
    --t.y;
  }
  return EncodeDate(t.y, t.m, 1);
}

TDateTime LastDayOfPrevMonth() {
  const Ymd t = Decode(Date());
  return EncodeDate(t.y, t.m, 1) - 1;
}

int ExtractDay(TDateTime date) { return Decode(date).d; }
int ExtractMonth(TDateTime date) { return Decode(date).m; }
int ExtractYear(TDateTime date) { return Decode(date).y; }

TDateTime IncDate(TDateTime date, int days, int months, int years) {
  Ymd t = Decode(date);
  t.y += years + months / 12;
  t.m += months % 12;
  if (t.m < 1) {
    t.m += 12;
    --t.y;
  } else if (t.m > 12) {
    t.m -= 12;
    ++t.y;
  }
  t.d = std::min(t.d, DaysPerMonth(t.y, t.m));
  TDateTime result = EncodeDate(t.y, t.m, t.d) + days;
  const TDateTime time = std::fabs(TimeOf(date));
  return result + (result >= 0 ? time : -time);
}

TDateTime IncDay(TDateTime date, int days) { return date + days; }
TDateTime IncMonth(TDateTime date, int months) { return IncDate(date, 0, months, 0); }
TDateTime IncYear(TDateTime date, int years) { return IncDate(date, 0, 0, years); }

void DateDiff(TDateTime date1, TDateTime date2, int& days, int& months, int& years) {
  if (date1 > date2) std::swap(date1, date2);
  const Ymd a = Decode(date1);
  const Ymd b = Decode(date2);
  years = b.y - a.y;
  months = b.m - a.m;
  days = b.d - a.d;
  if (months < 0) {
    --years;
    months += 12;
  }
  if (days < 0) {
    days += DaysPerMonth(a.y, a.m);
    if (months == 0) {
      --years;
      months = 11;
    } else {
      --months;
    }
  }
}

double MonthsBetween(TDateTime date1, TDateTime date2) {
  int d = 0, m = 0, y = 0;
  DateDiff(date1, date2, d, m, y);
  double result = y * 12 + m;
  if (d >= 21)
    result += 1;
  else if (d >= 15)
    result += 0.75;
  else if (d >= 7)
    result += 0.5;
  else if (d >= 2)
    result += 0.25;
  return result;
}

bool ValidDate(TDateTime date) {
  if (!std::isfinite(date) || date < -693593 || date > 2958465) return false;  // years 1..9999
  const Ymd t = Decode(date);
  return t.y >= 1 && t.y <= 9999 && t.m >= 1 && t.m <= 12 && t.d >= 1 && t.d <= DaysPerMonth(t.y, t.m);
}

int DaysInPeriod(TDateTime date1, TDateTime date2) {
  if (!ValidDate(date1) || !ValidDate(date2)) return 0;
  return static_cast<int>(std::fabs(std::trunc(date2) - std::trunc(date1))) + 1;
}

int DaysBetween(TDateTime date1, TDateTime date2) {
  const double days = std::trunc(date2) - std::trunc(date1) + 1;
  return days < 0 ? 0 : static_cast<int>(days);
}

TDateTime IncTime(TDateTime time, int hours, int minutes, int seconds, int msecs) {
  TDateTime result = time + (hours * 3600000.0 + minutes * 60000.0 + seconds * 1000.0 + msecs) / 86400000.0;
  if (result < 0) result += 1;
  return result;
}
TDateTime IncHour(TDateTime time, int hours) { return IncTime(time, hours, 0, 0, 0); }
TDateTime IncMinute(TDateTime time, int minutes) { return IncTime(time, 0, minutes, 0, 0); }
TDateTime IncSecond(TDateTime time, int seconds) { return IncTime(time, 0, 0, seconds, 0); }
TDateTime IncMSec(TDateTime time, int msecs) { return IncTime(time, 0, 0, 0, msecs); }
TDateTime CutTime(TDateTime date) { return std::trunc(date); }
int CurrentYear() { return Decode(Now()).y; }

int ExpandYear(int year) {
  if (year >= 100) return year;
  const int pivot = CurrentYear() - CenturyOffset;
  year += pivot / 100 * 100;
  if (CenturyOffset > 0 && pivot > year) year += 100;
  return year;
}

TDateOrder GetDateOrder(const AnsiString& format) {
  for (char c : format) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'D': return doDMY;
      case 'M': return doMDY;
      case 'Y': case 'E': return doYMD;
    }
  }
  return doDMY;
}

int MonthFromName(const AnsiString& s, int maxLen) {
  if (s.empty()) return 0;
  const AnsiString wanted = UpperCase(s.substr(0, static_cast<size_t>(std::max(0, maxLen))));
  for (int m = 0; m < 12; ++m)
    if (UpperCase(LongMonthNames[m].substr(0, static_cast<size_t>(std::max(0, maxLen)))) == wanted) return m + 1;
  return 0;
}

namespace {

bool TryEncode(int y, int m, int d, TDateTime& date) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysPerMonth(y, m) && TryEncodeDate(y, m, d, date);
}

// The characters of s at the positions of a run of letter in format (blanks dropped).
bool Field(const AnsiString& format, const AnsiString& s, char letter, int length, AnsiString& out) {
  const AnsiString upper = UpperCase(format);
  const AnsiString run(static_cast<size_t>(length), letter);
  size_t at = upper.find(run);
  if (at == AnsiString::npos) return false;
  size_t end = at;
  while (end < upper.size() && upper[end] == letter) ++end;
  out.clear();
  for (size_t i = at; i < end && i < s.size() && out.size() < 20; ++i)
    if (s[i] != ' ') out += s[i];
  return true;
}

int Number(const AnsiString& text) {
  if (text.empty()) return -1;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
  return StrToIntDef(text, -1);
}

bool PositionalParse(const AnsiString& format, const AnsiString& s, TDateTime& date) {
  if (s.size() > format.size()) return false;
  int day = 1, month = 0, year = CurrentYear();
  AnsiString text;
  if (Field(format, s, 'M', 3, text)) {
    month = MonthFromName(text, 3);
  } else if (Field(format, s, 'M', 1, text)) {
    month = Number(text);
  }
  if (Field(format, s, 'D', 1, text)) day = Number(text);
  if (Field(format, s, 'Y', 1, text)) year = Number(text);
  if (day < 0 || month < 0 || year < 0) return false;
  return TryEncode(ExpandYear(year), month, day, date);
}

bool ScanParse(const AnsiString& s, TDateTime& date) {
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < s.size() && s[i] == ' ') ++i;
  };
  skipBlanks();
  if (!ShortDateFormat.empty() && std::toupper(static_cast<unsigned char>(ShortDateFormat[0])) == 'G')
    while (i < s.size() && !std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  int numbers[3];
  int count = 0;
  while (count < 3) {
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) break;
    int value = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && value < 1000) value = value * 10 + (s[i++] - '0');
    numbers[count++] = value;
    if (i < s.size() && s[i] == DateSeparator) {
      ++i;
    } else {
      break;
    }
  }
  skipBlanks();
  if (i != s.size() || count < 2) return false;
  int y = 0, m = 0, d = 0;
  const TDateOrder order = GetDateOrder(ShortDateFormat);
  if (count == 3) {
    switch (order) {
      case doMDY: m = numbers[0]; d = numbers[1]; y = numbers[2]; break;
      case doDMY: d = numbers[0]; m = numbers[1]; y = numbers[2]; break;
      case doYMD: y = numbers[0]; m = numbers[1]; d = numbers[2]; break;
    }
    y = ExpandYear(y);
  } else {
    y = CurrentYear();
    if (order == doDMY) {
      d = numbers[0];
      m = numbers[1];
    } else {
      m = numbers[0];
      d = numbers[1];
    }
  }
  return TryEncode(y, m, d, date);
}

}  // namespace

TDateTime StrToDateFmt(const AnsiString& format, const AnsiString& s) {
  if (Trim(s).empty()) return NullDate;
  TDateTime date = 0;
  if (PositionalParse(format, s, date) || ScanParse(s, date)) return date;
  throw EConvertError(Format(RtlText::InvalidDate, s.c_str()));
}

TDateTime StrToDateFmtDef(const AnsiString& format, const AnsiString& s, TDateTime fallback) {
  try {
    return StrToDateFmt(format, s);
  } catch (const EConvertError&) {
    return std::trunc(fallback);
  }
}

TDateTime StrToDateDef(const AnsiString& s, TDateTime fallback) { return StrToDateFmtDef(ShortDateFormat, s, fallback); }

AnsiString DefDateFormat(bool fourDigitYear) {
  static const char* const four[] = {"MM/DD/YYYY", "DD/MM/YYYY", "YYYY/MM/DD"};
  static const char* const two[] = {"MM/DD/YY", "DD/MM/YY", "YY/MM/DD"};
  const TDateOrder order = GetDateOrder(ShortDateFormat);
  return fourDigitYear ? four[order] : two[order];
}

AnsiString DefDateMask(char blanksChar, bool fourDigitYear) {
  AnsiString mask;
  if (fourDigitYear)
    mask = GetDateOrder(ShortDateFormat) == doYMD ? "!9999/99/99;1;" : "!99/99/9999;1;";
  else
    mask = "!99/99/99;1;";
  return mask + blanksChar;
}

AnsiString FormatLongDate(TDateTime value) { return TrimRight(FormatDateTime(LongDateFormat, value)); }

AnsiString FormatLongDateTime(TDateTime value) {
  if (value == NullDate) return {};
  return FormatLongDate(value) + FormatDateTime(" tt", value);
}
