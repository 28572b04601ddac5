#include "platform/rtl/DateTime.h"

#include <time.h>

#include <cctype>
#include <cmath>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

const WORD MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
constexpr std::int64_t kUnixEpochDay = 25569;  // 1970-01-01 as a TDateTime

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

// The whole day and the milliseconds into it, rounded to the millisecond as the framework
// does (a time a hair before midnight is midnight of the next day).
void SplitDateTime(TDateTime value, std::int64_t& day, std::int64_t& msec) {
  if (!std::isfinite(value) || std::fabs(value) > 1e9) value = 0;
  if (value >= 0) {
    const std::int64_t total = std::llround(value * MSecsPerDay);
    day = total / MSecsPerDay;
    msec = total % MSecsPerDay;
    return;
  }
  // Before 1899-12-30 the fraction still counts forward from midnight.
  day = static_cast<std::int64_t>(std::trunc(value));
  msec = std::llround(std::fabs(value - std::trunc(value)) * MSecsPerDay);
  if (msec >= MSecsPerDay) {
    msec -= MSecsPerDay;
    --day;
  }
}

struct Parts {
  int year, month, day, hour, minute, second, msec, dayOfWeek;
};

Parts Decode(TDateTime value) {
  std::int64_t day = 0, msec = 0;
  SplitDateTime(value, day, msec);
  Parts p{};
  CivilFromDays(day - kUnixEpochDay, p.year, p.month, p.day);
  p.hour = static_cast<int>(msec / 3600000);
  p.minute = static_cast<int>(msec / 60000 % 60);
  p.second = static_cast<int>(msec / 1000 % 60);
  p.msec = static_cast<int>(msec % 1000);
  p.dayOfWeek = static_cast<int>(((day - 1) % 7 + 7) % 7);  // 0 = Sunday; day 1 was a Sunday
  return p;
}

AnsiString Padded(int value, int width) {
  AnsiString text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  return true;
}

// Whether an am/pm marker follows in the format (outside quotes), which makes hours 12-hour.
bool TwelveHourFrom(std::string_view f, size_t from) {
  char quote = 0;
  for (size_t i = from; i < f.size(); ++i) {
    const char c = f[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
               StartsWithNoCase(f, i, "ampm")) {
      return true;
    }
  }
  return false;
}

class DateTimeWriter {
public:
  explicit DateTimeWriter(TDateTime value) : p_(Decode(value)) {}

  void Write(std::string_view f, int depth) {
    if (depth > 2) return;  // a format variable that names itself
    char lastToken = ' ';
    size_t i = 0;
    while (i < f.size()) {
      const char c = f[i];
      char token = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      const size_t count = RunLength(f, i);
      switch (token) {
        case 'Y':
          out_ += count <= 2 ? Padded(p_.year % 100, 2) : Padded(p_.year, 4);
          i += count;
          break;
        case 'M':
          out_ += count == 1   ? std::to_string(p_.month)
                  : count == 2 ? Padded(p_.month, 2)
                  : count == 3 ? ShortMonthNames[p_.month - 1]
                               : LongMonthNames[p_.month - 1];
          i += count;
          break;
        case 'D':
          if (count <= 2)
            out_ += count == 1 ? std::to_string(p_.day) : Padded(p_.day, 2);
          else if (count == 3)
            out_ += ShortDayNames[p_.dayOfWeek];
          else if (count == 4)
            out_ += LongDayNames[p_.dayOfWeek];
          else
            Write(count == 5 ? ShortDateFormat : LongDateFormat, depth + 1);
          i += count;
          break;
        case 'H': {
          int hour = p_.hour;
          if (TwelveHourFrom(f, i + count)) hour = hour % 12 == 0 ? 12 : hour % 12;
          out_ += count == 1 ? std::to_string(hour) : Padded(hour, 2);
          i += count;
          break;
        }
        case 'N':
          out_ += count == 1 ? std::to_string(p_.minute) : Padded(p_.minute, 2);
          i += count;
          break;
        case 'S':
          out_ += count == 1 ? std::to_string(p_.second) : Padded(p_.second, 2);
          i += count;
          break;
        case 'Z':
          out_ += count == 1 ? std::to_string(p_.msec) : Padded(p_.msec, 3);
          i += count;
          break;
        case 'T':
          Write(count == 1 ? ShortTimeFormat : LongTimeFormat, depth + 1);
          i += count;
          break;
        case 'C':
          Write(ShortDateFormat, depth + 1);
          if (p_.hour != 0 || p_.minute != 0 || p_.second != 0 || p_.msec != 0) {
            out_ += ' ';
            Write(LongTimeFormat, depth + 1);
          }
          i += count;
          break;
        case 'A':
          i += WriteAmPm(f, i);
          break;
        case '/':
          out_ += DateSeparator;
          ++i;
          break;
        case ':':
          out_ += TimeSeparator;
          ++i;
          break;
        case '\'':
        case '"': {
          size_t end = f.find(c, i + 1);
          if (end == std::string_view::npos) end = f.size();
          out_.append(f.substr(i + 1, end - i - 1));
          i = end + 1;
          break;
        }
        default:
          out_ += c;
          ++i;
          break;
      }
    }
  }

  const AnsiString& Text() const { return out_; }

private:
  static size_t RunLength(std::string_view f, size_t at) {
    const int first = std::toupper(static_cast<unsigned char>(f[at]));
    size_t end = at + 1;
    while (end < f.size() && std::toupper(static_cast<unsigned char>(f[end])) == first) ++end;
    return end - at;
  }

  // An am/pm marker at f[at]; answers the characters used.
  size_t WriteAmPm(std::string_view f, size_t at) {
    const bool pm = p_.hour >= 12;
    if (StartsWithNoCase(f, at, "am/pm")) {
      out_.append(f.substr(pm ? at + 3 : at, 2));  // in the case the format writes it
      return 5;
    }
    if (StartsWithNoCase(f, at, "a/p")) {
      out_ += f[pm ? at + 2 : at];
      return 3;
    }
    if (StartsWithNoCase(f, at, "ampm")) {
      out_ += pm ? TimePMString : TimeAMString;
      return 4;
    }
    out_ += f[at];
    return 1;
  }

  Parts p_;
  AnsiString out_;
};

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > MonthDays[IsLeapYear(year)][month - 1])
    return false;
  date = static_cast<TDateTime>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
      msec < 0 || msec >= 1000)
    return false;
  time = ((hour * 60 + minute) * 60 + second) * 1000.0 + msec;
  time /= MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(RtlText::DateEncodeError);
  return date;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second, msec, time)) throw EConvertError(RtlText::TimeEncodeError);
  return time;
}

void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day) {
  const Parts p = Decode(date);
  year = static_cast<WORD>(p.year);
  month = static_cast<WORD>(p.month);
  day = static_cast<WORD>(p.day);
}

void DecodeTime(TDateTime time, WORD& hour, WORD& minute, WORD& second, WORD& msec) {
  const Parts p = Decode(time);
  hour = static_cast<WORD>(p.hour);
  minute = static_cast<WORD>(p.minute);
  second = static_cast<WORD>(p.second);
  msec = static_cast<WORD>(p.msec);
}

int DayOfWeek(TDateTime date) { return Decode(date).dayOfWeek + 1; }

TDateTime Now() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return UnixTimeToDateTime(now.tv_sec) + (now.tv_nsec / 1000000) / static_cast<double>(MSecsPerDay);
}

TDateTime Date() { return std::floor(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::floor(now);
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime value) {
  DateTimeWriter writer(value);
  writer.Write(format.empty() ? std::string_view("c") : std::string_view(format), 0);
  return writer.Text();
}

AnsiString DateToStr(TDateTime date) { return FormatDateTime("ddddd", date); }
AnsiString TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }
AnsiString DateTimeToStr(TDateTime dateTime) { return FormatDateTime("c", dateTime); }

TDateTime UnixTimeToDateTime(std::int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm local {};
  ::localtime_r(&t, &local);
  const std::int64_t days =
      DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                    static_cast<unsigned>(local.tm_mday)) + kUnixEpochDay;
  return static_cast<double>(days) +
         (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / static_cast<double>(SecsPerDay);
}

std::int64_t DateTimeToUnixTime(TDateTime value) {
  const Parts p = Decode(value);
  struct tm local {};
  local.tm_year = p.year - 1900;
  local.tm_mon = p.month - 1;
  local.tm_mday = p.day;
  local.tm_hour = p.hour;
  local.tm_min = p.minute;
  local.tm_sec = p.second;
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(::mktime(&local));
}

TDateTime FileDateToDateTime(int fileDate) {
  const unsigned packed = static_cast<unsigned>(fileDate);
  const int date = static_cast<int>(packed >> 16), time = static_cast<int>(packed & 0xFFFF);
  TDateTime day = 0, clock = 0;
  if (!TryEncodeDate((date >> 9) + 1980, (date >> 5) & 15, date & 31, day)) return 0;
  if (!TryEncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, clock)) return day;
  return day + clock;
}

int DateTimeToFileDate(TDateTime value) {
  const Parts p = Decode(value);
  if (p.year < 1980 || p.year > 2107) return 0;
  const unsigned date = static_cast<unsigned>(((p.year - 1980) << 9) | (p.month << 5) | p.day);
  const unsigned time = static_cast<unsigned>((p.hour << 11) | (p.minute << 5) | (p.second / 2));
  return static_cast<int>((date << 16) | time);
}
