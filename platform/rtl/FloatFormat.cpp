#include "platform/rtl/FloatFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kMaxDigits = 18;
constexpr int kNoDecimals = 1 << 20;  // round to the precision alone

// A finite value as 0.d1d2d3... x 10^exponent: digits without trailing zeros, empty for zero.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  std::string digits;

  bool IsZero() const { return digits.empty(); }
  // The digit at a position counted from the first (0-based); zeros beyond either end.
  char DigitAt(int index) const {
    return index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
  }
};

// Rounds to at most `precision` significant digits and at most `decimals` places after the
// point, halves away from zero, as the framework does on its 18-digit decimal form.
Decimal ToDecimal(Extended value, int precision, int decimals) {
  Decimal result;
  result.negative = std::signbit(value);
  char text[64];
  std::snprintf(text, sizeof text, "%.*Le", kMaxDigits - 1, std::fabs(value));
  // text is "d.ddddddddddddddddde+XX"
  std::string digits;
  digits += text[0];
  digits.append(text + 2, kMaxDigits - 1);
  const int exponent = std::atoi(text + kMaxDigits + 2) + 1;
  if (digits[0] == '0') return Decimal{false, 0, ""};

  precision = std::clamp(precision, 1, kMaxDigits);
  const long long byPlaces = static_cast<long long>(exponent) + decimals;
  const int keep = static_cast<int>(std::min<long long>(precision, byPlaces));
  if (keep < 0) return Decimal{false, 0, ""};

  result.exponent = exponent;
  bool carry = keep < kMaxDigits && digits[keep] >= '5';
  digits.resize(keep);
  for (int i = keep - 1; carry && i >= 0; --i) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      carry = false;
    }
  }
  if (carry) {  // every kept digit was 9, or nothing was kept and the first dropped one was >= 5
    digits.insert(digits.begin(), '1');
    ++result.exponent;
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  result.digits = digits;
  if (result.IsZero()) return Decimal{false, 0, ""};
  return result;
}

AnsiString NotANumberText(Extended value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

AnsiString ExponentText(int exponent, int minDigits, bool plusSign) {
  AnsiString text;
  if (exponent < 0)
    text += '-';
  else if (plusSign)
    text += '+';
  AnsiString number = std::to_string(std::abs(exponent));
  if (static_cast<int>(number.size()) < minDigits)
    number.insert(0, static_cast<size_t>(minDigits) - number.size(), '0');
  return text + number;
}

// The integer digits of a decimal, "0" when it has none, with thousand separators if asked.
AnsiString IntegerPart(const Decimal& d, bool thousands) {
  AnsiString digits;
  for (int i = 0; i < d.exponent; ++i) digits += d.DigitAt(i);
  if (digits.empty()) digits.assign(1, '0');
  if (!thousands) return digits;
  AnsiString grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    grouped += digits[i];
    const size_t left = digits.size() - 1 - i;
    if (left > 0 && left % 3 == 0) grouped += ThousandSeparator;
  }
  return grouped;
}

AnsiString FormatGeneral(const Decimal& d, int precision, int expDigits) {
  if (d.IsZero()) return "0";
  AnsiString text = d.negative ? "-" : "";
  const int count = static_cast<int>(d.digits.size());
  if (d.exponent <= precision && d.exponent >= -4) {
    text += IntegerPart(d, false);
    if (count > d.exponent) {
      text += DecimalSeparator;
      for (int i = std::min(d.exponent, 0); i < 0; ++i) text += '0';
      text += d.digits.substr(static_cast<size_t>(std::max(d.exponent, 0)));
    }
    return text;
  }
  text += d.digits[0];
  if (count > 1) text += DecimalSeparator + d.digits.substr(1);
  return text + "E" + ExponentText(d.exponent - 1, std::clamp(expDigits, 0, 4), false);
}

AnsiString FormatExponent(const Decimal& d, int precision, int expDigits) {
  AnsiString text = d.negative ? "-" : "";
  text += d.DigitAt(0);
  if (precision > 1) {
    text += DecimalSeparator;
    for (int i = 1; i < precision; ++i) text += d.DigitAt(i);
  }
  const int exponent = d.IsZero() ? 0 : d.exponent - 1;
  return text + "E" + ExponentText(exponent, std::clamp(expDigits, 0, 4), true);
}

AnsiString FixedDigits(const Decimal& d, int places, bool thousands) {
  AnsiString text = IntegerPart(d, thousands);
  if (places > 0) {
    text += DecimalSeparator;
    for (int i = 0; i < places; ++i) text += d.DigitAt(d.exponent + i);
  }
  return text;
}

AnsiString FormatCurrency(const AnsiString& number, bool negative) {
  static constexpr const char* kPositive[4] = {"$1", "1$", "$ 1", "1 $"};
  static constexpr const char* kNegative[16] = {
      "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
      "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* pattern = negative ? kNegative[NegCurrFormat % 16] : kPositive[CurrencyFormat % 4];
  AnsiString text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (*p == '$')
      text += CurrencyString;
    else if (*p == '1')
      text += number;
    else
      text += *p;
  }
  return text;
}

// ----- FormatFloat -----

// What one section of a format string asks for.
struct SectionLayout {
  int intPlaces = 0;     // digit placeholders before the decimal point
  int minIntDigits = 0;  // from the first '0' before the point to the point
  int fracPlaces = 0;    // digit placeholders after the point
  int minFracDigits = 0; // up to the last '0' after the point
  bool thousands = false;
  bool scientific = false;
};

// Calls visit(kind, position, length) for each element of a section: quoted text, the
// exponent marker with its digits, or one character.
enum class Element { Quoted, Exponent, Char };

template <typename Visit>
void ScanSection(std::string_view s, Visit visit) {
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
      size_t end = s.find(c, i + 1);
      if (end == std::string_view::npos) end = s.size();
      visit(Element::Quoted, i + 1, end - i - 1);
      i = std::min(end + 1, s.size());
    } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      size_t end = i + 2;
      while (end < s.size() && end < i + 6 && s[end] == '0') ++end;
      visit(Element::Exponent, i, end - i);
      i = end;
    } else {
      visit(Element::Char, i, 1);
      ++i;
    }
  }
}

SectionLayout Analyse(std::string_view s) {
  SectionLayout layout;
  bool afterPoint = false;
  int firstIntZero = -1;
  ScanSection(s, [&](Element kind, size_t at, size_t) {
    if (kind == Element::Exponent) layout.scientific = true;
    if (kind != Element::Char) return;
    const char c = s[at];
    if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      layout.thousands = true;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++layout.fracPlaces;
        if (c == '0') layout.minFracDigits = layout.fracPlaces;
      } else {
        if (c == '0' && firstIntZero < 0) firstIntZero = layout.intPlaces;
        ++layout.intPlaces;
      }
    }
  });
  if (firstIntZero >= 0) layout.minIntDigits = layout.intPlaces - firstIntZero;
  return layout;
}

struct Rendered {
  AnsiString intDigits;  // without separators, padded to the least integer digits
  AnsiString fracDigits; // trailing zeros beyond the least fraction digits removed
  int exponent = 0;
  bool zero = true;
};

Rendered Render(Extended magnitude, const SectionLayout& layout) {
  Rendered r;
  Decimal d;
  if (layout.scientific) {
    const int precision = std::max(1, layout.intPlaces + layout.fracPlaces);
    d = ToDecimal(magnitude, precision, kNoDecimals);
    r.exponent = d.IsZero() ? 0 : d.exponent - layout.intPlaces;
    d.exponent = layout.intPlaces;
  } else {
    d = ToDecimal(magnitude, kMaxDigits, layout.fracPlaces);
  }
  r.zero = d.IsZero();
  for (int i = 0; i < d.exponent; ++i) r.intDigits += d.DigitAt(i);
  const size_t firstSignificant = r.intDigits.find_first_not_of('0');
  r.intDigits.erase(0, firstSignificant == AnsiString::npos ? r.intDigits.size() : firstSignificant);
  if (static_cast<int>(r.intDigits.size()) < layout.minIntDigits)
    r.intDigits.insert(0, layout.minIntDigits - r.intDigits.size(), '0');
  // A mantissa always shows a digit where it has a place for one: zero is 0E0, not E0.
  if (layout.scientific && layout.intPlaces > 0 && r.intDigits.empty()) r.intDigits.assign(1, '0');
  for (int i = 0; i < layout.fracPlaces; ++i) r.fracDigits += d.DigitAt(d.exponent + i);
  while (static_cast<int>(r.fracDigits.size()) > layout.minFracDigits && r.fracDigits.back() == '0')
    r.fracDigits.pop_back();
  return r;
}

AnsiString Emit(std::string_view s, const SectionLayout& layout, const Rendered& r, bool minus) {
  AnsiString out = minus ? "-" : "";
  const int length = static_cast<int>(r.intDigits.size());
  const int excess = length - layout.intPlaces;
  int intPlace = 0;
  int fracPlace = 0;
  bool afterPoint = false;
  auto putIntDigit = [&](int index) {
    out += r.intDigits[index];
    const int left = length - 1 - index;
    if (layout.thousands && left > 0 && left % 3 == 0) out += ThousandSeparator;
  };
  ScanSection(s, [&](Element kind, size_t at, size_t size) {
    if (kind == Element::Quoted) {
      out.append(s.substr(at, size));
      return;
    }
    if (kind == Element::Exponent) {
      out += s[at];
      out += ExponentText(r.exponent, static_cast<int>(size) - 2, s[at + 1] == '+');
      return;
    }
    const char c = s[at];
    if (c == ',') return;
    if (c == '.') {
      if (!afterPoint && !r.fracDigits.empty()) out += DecimalSeparator;
      afterPoint = true;
      return;
    }
    if (c != '0' && c != '#') {
      out += c;
      return;
    }
    if (afterPoint) {
      if (fracPlace < static_cast<int>(r.fracDigits.size())) out += r.fracDigits[fracPlace];
      ++fracPlace;
      return;
    }
    if (intPlace == 0)
      for (int i = 0; i < excess; ++i) putIntDigit(i);
    const int index = excess + intPlace;
    if (index >= 0) putIntDigit(index);
    ++intPlace;
  });
  return out;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

// ----- parsing -----

bool ParseFloat(const AnsiString& text, Extended& value) {
  const AnsiString t = Trim(text);
  std::string ascii;
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ascii += t[i++];
  int mantissaDigits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    ascii += t[i++];
    ++mantissaDigits;
  }
  if (i < t.size() && t[i] == DecimalSeparator) {
    ascii += '.';
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      ascii += t[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ascii += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ascii += t[i++];
    int exponentDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      ascii += t[i++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) return false;
  }
  if (i != t.size()) return false;
  const char* first = ascii.data();
  if (*first == '+') ++first;  // from_chars takes no plus sign
  Extended parsed = 0;
  const auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), parsed);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return false;
  value = parsed;
  return true;
}

}  // namespace

AnsiString FloatToStr(Extended value) { return FloatToStrF(value, ffGeneral, 15, 0); }

AnsiString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits) {
  if (!std::isfinite(value)) return NotANumberText(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  switch (format) {
    case ffGeneral:
      return FormatGeneral(ToDecimal(value, precision, kNoDecimals), precision, digits);
    case ffExponent:
      return FormatExponent(ToDecimal(value, precision, kNoDecimals), precision, digits);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = std::clamp(digits, 0, kMaxDigits);
      const Decimal d = ToDecimal(value, precision, digits);
      // A number whose integer part needs more digits than the precision allows would
      // show invented digits: the general notation is used instead.
      if (d.exponent > precision)
        return FormatGeneral(ToDecimal(value, precision, kNoDecimals), precision, 0);
      const AnsiString number = FixedDigits(d, digits, format != ffFixed);
      if (format == ffCurrency) return FormatCurrency(number, d.negative && !d.IsZero());
      return (d.negative && !d.IsZero() ? "-" : "") + number;
    }
  }
  return FloatToStr(value);
}

AnsiString FormatFloat(const AnsiString& format, Extended value) {
  if (!std::isfinite(value)) return NotANumberText(value);
  const std::vector<std::string_view> sections = SplitSections(format);
  if (sections[0].empty()) return FloatToStr(value);
  auto usable = [&](size_t index) { return index < sections.size() && !sections[index].empty(); };

  const bool negative = value < 0;
  const Extended magnitude = std::fabs(value);
  std::string_view section = negative && usable(1) ? sections[1] : sections[0];
  SectionLayout layout = Analyse(section);
  Rendered rendered = Render(magnitude, layout);
  if (rendered.zero) {
    // A value that shows as zero takes the zero section, or else the positive one, and no
    // sign: "-0" would be a wrong answer.
    section = usable(2) ? sections[2] : sections[0];
    layout = Analyse(section);
    rendered = Render(0, layout);
    return Emit(section, layout, rendered, false);
  }
  const bool minus = negative && !usable(1);
  return Emit(section, layout, rendered, minus);
}

bool TryStrToFloat(const AnsiString& text, Extended& value) { return ParseFloat(text, value); }

bool TryStrToFloat(const AnsiString& text, double& value) {
  Extended parsed = 0;
  if (!ParseFloat(text, parsed) || std::fabs(parsed) > std::numeric_limits<double>::max())
    return false;
  value = static_cast<double>(parsed);
  return true;
}

Extended StrToFloat(const AnsiString& text) {
  Extended value = 0;
  if (!ParseFloat(text, value)) throw EConvertError(Format(RtlText::InvalidFloat, text.c_str()));
  return value;
}

Extended StrToFloatDef(const AnsiString& text, Extended fallback) {
  Extended value = 0;
  return ParseFloat(text, value) ? value : fallback;
}
