#pragma once
// The framework's formatting variables: separators, date and time formats and the names of
// months and days that number and date formatting and parsing read. They start with the
// settings of an English (United States) system, so results do not depend on the machine's
// locale; a program or a test may change them.

#include <memory>

#include "platform/rtl/AnsiString.h"

extern char DecimalSeparator;
extern char ThousandSeparator;
extern char DateSeparator;
extern char TimeSeparator;
extern AnsiString ShortDateFormat;
extern AnsiString LongDateFormat;
extern AnsiString ShortTimeFormat;
extern AnsiString LongTimeFormat;
extern AnsiString TimeAMString;
extern AnsiString TimePMString;
extern AnsiString CurrencyString;
extern unsigned char CurrencyFormat;   // 0: $1, 1: 1$, 2: $ 1, 3: 1 $
extern unsigned char NegCurrFormat;    // 0..15, the Windows negative-currency patterns
extern unsigned char CurrencyDecimals;
extern AnsiString ShortMonthNames[12];
extern AnsiString LongMonthNames[12];
extern AnsiString ShortDayNames[7];  // Sunday first
extern AnsiString LongDayNames[7];

// Puts every variable back to its starting value.
void ResetFormatSettings();

// Saves the variables and puts them back when it goes out of scope.
class FormatSettingsScope {
public:
  FormatSettingsScope();
  ~FormatSettingsScope();
  FormatSettingsScope(const FormatSettingsScope&) = delete;
  FormatSettingsScope& operator=(const FormatSettingsScope&) = delete;

private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};
