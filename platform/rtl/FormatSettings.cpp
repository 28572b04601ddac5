#include "platform/rtl/FormatSettings.h"

char DecimalSeparator;
char ThousandSeparator;
char DateSeparator;
char TimeSeparator;
AnsiString ShortDateFormat;
AnsiString LongDateFormat;
AnsiString ShortTimeFormat;
AnsiString LongTimeFormat;
AnsiString TimeAMString;
AnsiString TimePMString;
AnsiString CurrencyString;
unsigned char CurrencyFormat;
unsigned char NegCurrFormat;
unsigned char CurrencyDecimals;
AnsiString ShortMonthNames[12];
AnsiString LongMonthNames[12];
AnsiString ShortDayNames[7];
AnsiString LongDayNames[7];

namespace {

constexpr const char* kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonths[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
constexpr const char* kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

// The variables are set by a static initialiser so that the program sees them filled in
// before its own initialisers run (libplatform_core.so is initialised before the program).
struct InitialSettings {
  InitialSettings() { ResetFormatSettings(); }
};
const InitialSettings initialSettings;

}  // namespace

// Strings are built and moved in: GCC 12 misreads assignments from literals at -O3.
void ResetFormatSettings() {
  DecimalSeparator = '.';
  ThousandSeparator = ',';
  DateSeparator = '/';
  TimeSeparator = ':';
  ShortDateFormat = AnsiString("M/d/yyyy");
  LongDateFormat = AnsiString("dddd, MMMM d, yyyy");
  ShortTimeFormat = AnsiString("h:mm AMPM");
  LongTimeFormat = AnsiString("h:mm:ss AMPM");
  TimeAMString = AnsiString("AM");
  TimePMString = AnsiString("PM");
  CurrencyString = AnsiString("$");
  CurrencyFormat = 0;
  NegCurrFormat = 0;
  CurrencyDecimals = 2;
  for (int i = 0; i < 12; ++i) {
    ShortMonthNames[i] = AnsiString(kShortMonths[i]);
    LongMonthNames[i] = AnsiString(kLongMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    ShortDayNames[i] = AnsiString(kShortDays[i]);
    LongDayNames[i] = AnsiString(kLongDays[i]);
  }
}

struct FormatSettingsScope::Saved {
  char decimal = DecimalSeparator, thousand = ThousandSeparator;
  char date = DateSeparator, time = TimeSeparator;
  AnsiString shortDate = ShortDateFormat, longDate = LongDateFormat;
  AnsiString shortTime = ShortTimeFormat, longTime = LongTimeFormat;
  AnsiString am = TimeAMString, pm = TimePMString, currency = CurrencyString;
  unsigned char currencyFormat = CurrencyFormat, negCurrFormat = NegCurrFormat;
  unsigned char currencyDecimals = CurrencyDecimals;
  AnsiString shortMonths[12], longMonths[12], shortDays[7], longDays[7];

  Saved() {
    for (int i = 0; i < 12; ++i) {
      shortMonths[i] = ShortMonthNames[i];
      longMonths[i] = LongMonthNames[i];
    }
    for (int i = 0; i < 7; ++i) {
      shortDays[i] = ShortDayNames[i];
      longDays[i] = LongDayNames[i];
    }
  }

  void Restore() const {
    DecimalSeparator = decimal;
    ThousandSeparator = thousand;
    DateSeparator = date;
    TimeSeparator = time;
    ShortDateFormat = shortDate;
    LongDateFormat = longDate;
    ShortTimeFormat = shortTime;
    LongTimeFormat = longTime;
    TimeAMString = am;
    TimePMString = pm;
    CurrencyString = currency;
    CurrencyFormat = currencyFormat;
    NegCurrFormat = negCurrFormat;
    CurrencyDecimals = currencyDecimals;
    for (int i = 0; i < 12; ++i) {
      ShortMonthNames[i] = shortMonths[i];
      LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
      ShortDayNames[i] = shortDays[i];
      LongDayNames[i] = longDays[i];
    }
  }
};

FormatSettingsScope::FormatSettingsScope() : saved_(std::make_unique<Saved>()) {}
FormatSettingsScope::~FormatSettingsScope() { saved_->Restore(); }
