#pragma once
// Floating-point numbers as text, with the framework's names and rules: FloatToStrF in its
// five notations, FormatFloat with format strings, and StrToFloat. The decimal and thousand
// separators come from FormatSettings.h. Values are the framework's 80-bit extended reals;
// at most 18 significant digits are shown.

#include "platform/rtl/AnsiString.h"

using Extended = long double;

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// ffGeneral with 15 significant digits: the shortest of fixed or scientific notation.
AnsiString FloatToStr(Extended value);
// precision: significant digits (1..18). digits: for ffGeneral and ffExponent the least
// number of exponent digits (0..4), for the other notations the places after the separator
// (0..18).
AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits);
// Up to three sections separated by ';' (positive; negative; zero) made of '0' and '#' digit
// placeholders, '.' (the decimal separator's place), ',' (thousand separators wanted),
// "E+"/"E-" with up to four '0' (scientific notation), and literal text, quoted in '...' or
// "..." when it would otherwise be read as a specifier. An empty format gives FloatToStr.
AnsiString FormatFloat(const AnsiString& format, Extended value);

// Decimal text with the DecimalSeparator and an optional exponent; blanks around it are
// allowed, thousand separators are not. StrToFloat raises EConvertError on anything else.
Extended StrToFloat(const AnsiString& text);
Extended StrToFloatDef(const AnsiString& text, Extended fallback);
bool TryStrToFloat(const AnsiString& text, Extended& value);
bool TryStrToFloat(const AnsiString& text, double& value);
