#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/FormatSettings.h"

namespace {

struct FormatCase {
  const char* format;
  Extended value;
  const char* expected;
};

// The framework's own table of format strings against 1234, -1234, 0.5 and 0, and more.
const FormatCase kFormatFloatCases[] = {
    {"", 1234, "1234"},
    {"", -1234, "-1234"},
    {"", 0.5, "0.5"},
    {"", 0, "0"},
    {"0", 1234, "1234"},
    {"0", -1234, "-1234"},
    {"0", 0.5, "1"},
    {"0", 0, "0"},
    {"0.00", 1234, "1234.00"},
    {"0.00", -1234, "-1234.00"},
    {"0.00", 0.5, "0.50"},
    {"0.00", 0, "0.00"},
    {"#.##", 1234, "1234"},
    {"#.##", -1234, "-1234"},
    {"#.##", 0.5, ".5"},
    {"#.##", 0, ""},
    {"#,##0.00", 1234, "1,234.00"},
    {"#,##0.00", -1234, "-1,234.00"},
    {"#,##0.00", 0.5, "0.50"},
    {"#,##0.00", 0, "0.00"},
    {"#,##0.00;(#,##0.00)", 1234, "1,234.00"},
    {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
    {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
    {"#,##0.00;(#,##0.00)", 0, "0.00"},
    {"#,##0.00;;Zero", 1234, "1,234.00"},
    {"#,##0.00;;Zero", -1234, "-1,234.00"},
    {"#,##0.00;;Zero", 0.5, "0.50"},
    {"#,##0.00;;Zero", 0, "Zero"},
    {"0.000E+00", 1234, "1.234E+03"},
    {"0.000E+00", -1234, "-1.234E+03"},
    {"0.000E+00", 0.5, "5.000E-01"},
    {"0.000E+00", 0, "0.000E+00"},
    {"#.###E-0", 1234, "1.234E3"},
    {"#.###E-0", -1234, "-1.234E3"},
    {"#.###E-0", 0.5, "5E-1"},
    {"#.###E-0", 0, "0E0"},
    // Rounding is half away from zero, on the decimal digits.
    {"0.00", 2.675L, "2.68"},
    {"0", 2.5, "3"},
    {"0", -2.5, "-3"},
    {"0.0", 9.96, "10.0"},
    {"0.00E+0", 9.996, "1.00E+1"},
    // Excess integer digits go where the first placeholder is; '0' pads, '#' does not.
    {"00", 12345, "12345"},
    {"000", 7, "007"},
    {"#0#", 5, "05"},
    {"#,##0", 1234567, "1,234,567"},
    {"#,##0", 999, "999"},
    {"0.0##", 1.5, "1.5"},
    {"0.0##", 1.23456, "1.235"},
    // Literal text, quoted where it holds specifiers.
    {"0.0 'mm'", 3.25, "3.3 mm"},
    {"\"#\"0", 7, "#7"},
    {"(000) 000-0000", 5551234567.0, "(555) 123-4567"},
    {"0%", 42, "42%"},
    {"00.0E+0", 1234, "12.3E+2"},
    {"0.00E-00", 0.000123, "1.23E-04"},
    // A value that rounds to zero shows no minus sign and takes the zero section.
    {"0.0", -0.01, "0.0"},
    {"0.0;(0.0)", -0.01, "0.0"},
    {"0.0;(0.0);nil", -0.01, "nil"},
    {"0.0;;nil", 0.04, "nil"},
    {"0;-0;", 0, "0"},
};

TEST(FormatFloat, FormatStringsGiveTheFrameworksResults) {
  for (const FormatCase& c : kFormatFloatCases)
    EXPECT_EQ(FormatFloat(c.format, c.value), c.expected)
        << "format \"" << c.format << "\" value " << static_cast<double>(c.value);
}

TEST(FormatFloat, UsesTheSeparatorVariables) {
  FormatSettingsScope restore;
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
  EXPECT_EQ(FormatFloat("0.0", 0.25), "0,3");
}

struct FloatToStrFCase {
  Extended value;
  TFloatFormat format;
  int precision;
  int digits;
  const char* expected;
};

const FloatToStrFCase kFloatToStrFCases[] = {
    {1234.5678L, ffGeneral, 6, 0, "1234.57"},
    {1234.5678L, ffGeneral, 4, 0, "1235"},
    {1234.5678L, ffGeneral, 3, 0, "1.23E3"},
    {1234.5678L, ffGeneral, 3, 2, "1.23E03"},
    {0.00001L, ffGeneral, 15, 0, "0.00001"},
    {0.000001L, ffGeneral, 15, 0, "1E-6"},
    {-1.5e20L, ffGeneral, 15, 0, "-1.5E20"},
    {0.1, ffGeneral, 15, 0, "0.1"},  // a double's 0.1 stays 0.1 at 15 digits
    {0.1f, ffGeneral, 7, 0, "0.1"},  // and a single's at 7
    {100, ffGeneral, 15, 0, "100"},
    {1234.5678L, ffExponent, 4, 2, "1.235E+03"},
    {-0.00012345L, ffExponent, 3, 0, "-1.23E-4"},
    {0, ffExponent, 3, 2, "0.00E+00"},
    {1234.5678L, ffFixed, 15, 2, "1234.57"},
    {1.5, ffFixed, 15, 2, "1.50"},
    {2.5, ffFixed, 15, 0, "3"},
    {-2.5, ffFixed, 15, 0, "-3"},
    {-0.001, ffFixed, 15, 2, "0.00"},
    {0.999, ffFixed, 15, 2, "1.00"},
    {1e20L, ffFixed, 15, 2, "1E20"},  // more integer digits than the precision
    {1234567.891L, ffNumber, 15, 2, "1,234,567.89"},
    {-1234.5L, ffNumber, 15, 1, "-1,234.5"},
    {1234.5678L, ffCurrency, 15, 2, "$1,234.57"},
    {-1234.5678L, ffCurrency, 15, 2, "($1,234.57)"},
};

TEST(FloatToStrF, EachNotationFollowsItsRules) {
  for (const FloatToStrFCase& c : kFloatToStrFCases)
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.expected)
        << "value " << static_cast<double>(c.value) << " format " << c.format << " precision "
        << c.precision << " digits " << c.digits;
}

TEST(FloatToStrF, NamesValuesThatAreNotNumbers) {
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FloatToStrF, CurrencyFollowsTheCurrencyVariables) {
  FormatSettingsScope restore;
  CurrencyString = "EUR";
  CurrencyFormat = 3;
  NegCurrFormat = 8;
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2), "1.234,50 EUR");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "-1.234,50 EUR");
}

TEST(StrToFloat, ReadsDecimalTextAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool valid;
    double value;
  };
  const Case cases[] = {
      {"1.5", true, 1.5},    {" 2.25 ", true, 2.25}, {"-3", true, -3},      {"+4", true, 4},
      {".5", true, 0.5},     {"5.", true, 5},        {"1e3", true, 1000},   {"1E-2", true, 0.01},
      {"-2.5e+2", true, -250}, {"1,5", false, 0},    {"1,000", false, 0},   {"", false, 0},
      {"   ", false, 0},     {"abc", false, 0},      {"1e", false, 0},      {"e5", false, 0},
      {"--1", false, 0},     {"1.2.3", false, 0},    {"1.5x", false, 0},    {".", false, 0},
      {"1e5000", false, 0},  {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    Extended value = -99;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.valid) << '"' << c.text << '"';
    if (c.valid) {
      EXPECT_DOUBLE_EQ(static_cast<double>(value), c.value) << c.text;
    }
    EXPECT_EQ(StrToFloatDef(c.text, -7) == -7, !c.valid) << c.text;
  }
  try {
    StrToFloat("1,5");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'1,5' is not a valid floating point value");
  }
}

TEST(StrToFloat, FollowsTheDecimalSeparator) {
  FormatSettingsScope restore;
  DecimalSeparator = ',';
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("1,5")), 1.5);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
}

TEST(StrToFloat, ADoubleOutOfItsRangeIsRefused) {
  double value = 0;
  EXPECT_FALSE(TryStrToFloat("1e400", value));
  EXPECT_TRUE(TryStrToFloat("1e300", value));
}

TEST(StrToFloat, TextWrittenWithSeventeenDigitsReadsBackTheSameDouble) {
  for (double value : {0.1, 1.0 / 3.0, -123456.789, 6.02214076e23, 1e-300, 0.0}) {
    const AnsiString text = FloatToStrF(value, ffGeneral, 17, 0);
    double back = -1;
    ASSERT_TRUE(TryStrToFloat(text, back)) << text;
    EXPECT_EQ(back, value) << text;
  }
}

}  // namespace
