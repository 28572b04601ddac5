#include "quillo/filters/FormulaScanner.h"

#include <array>

namespace {

struct OperatorSpelling {
  char first, second;  // second 0 for a one-character operator
  FormulaOperator op;
  int level;
};

// "//" is not here: it begins a comment, which the scanner skips before it looks for an
// operator. "!" alone is the logical-not token; "=" alone is a name.
constexpr OperatorSpelling kOperators[] = {
    {'|', '|', FormulaOperator::kLogicalOr, 1},   {'&', '&', FormulaOperator::kLogicalAnd, 2},
    {'|', 0, FormulaOperator::kOr, 3},            {'^', 0, FormulaOperator::kXor, 4},
    {'&', 0, FormulaOperator::kAnd, 5},           {'=', '=', FormulaOperator::kEqual, 6},
    {'!', '=', FormulaOperator::kNotEqual, 6},    {'<', '<', FormulaOperator::kShiftLeft, 8},
    {'<', '=', FormulaOperator::kLessEqual, 7},   {'>', '>', FormulaOperator::kShiftRight, 8},
    {'>', '=', FormulaOperator::kGreaterEqual, 7}, {'<', 0, FormulaOperator::kLess, 7},
    {'>', 0, FormulaOperator::kGreater, 7},       {'+', 0, FormulaOperator::kAdd, 9},
    {'-', 0, FormulaOperator::kSubtract, 9},      {'*', 0, FormulaOperator::kMultiply, 10},
    {'/', 0, FormulaOperator::kDivide, 10},       {'%', 0, FormulaOperator::kRemainder, 10},
};

enum CharClass : std::uint8_t { kNameChar, kBlank, kDigit, kOperatorStart, kPunctuationChar, kEndChar };

constexpr std::array<CharClass, 256> MakeClasses() {
  std::array<CharClass, 256> classes{};
  classes[0] = kEndChar;
  for (char c : {' ', '\t', '\n', '\r', '\v', '\f'}) classes[static_cast<unsigned char>(c)] = kBlank;
  for (char c = '0'; c <= '9'; ++c) classes[static_cast<unsigned char>(c)] = kDigit;
  for (const OperatorSpelling& s : kOperators) classes[static_cast<unsigned char>(s.first)] = kOperatorStart;
  for (char c : {'(', ')', '?', ':', ',', '~'}) classes[static_cast<unsigned char>(c)] = kPunctuationChar;
  return classes;
}
constexpr std::array<CharClass, 256> kClasses = MakeClasses();

CharClass ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int FormulaOperatorLevel(FormulaOperator op) {
  for (const OperatorSpelling& s : kOperators)
    if (s.op == op) return s.level;
  return 11;
}

void FormulaScanner::SkipBlanksAndComments() {
  for (;;) {
    while (ClassOf(source_[position_]) == kBlank) ++position_;
    if (source_[position_] != '/' || source_[position_ + 1] != '/') return;
    while (source_[position_] != 0 && source_[position_] != '\r' && source_[position_] != '\n') ++position_;
  }
}

std::uint32_t FormulaScanner::ReadNumber() {
  std::uint32_t value = 0;
  if (source_[position_] == '0' && (source_[position_ + 1] == 'x' || source_[position_ + 1] == 'X')) {
    position_ += 2;
    for (int digit; (digit = HexDigit(source_[position_])) >= 0; ++position_)
      value = value * 16 + static_cast<std::uint32_t>(digit);
    return value;
  }
  for (; ClassOf(source_[position_]) == kDigit; ++position_)
    value = value * 10 + static_cast<std::uint32_t>(source_[position_] - '0');
  return value;
}

void FormulaScanner::ReadName(FormulaToken& token) {
  token.kind = FormulaTokenKind::kName;
  int length = 0;
  if (source_[position_] == '=') {  // a lone "=" (not "==") is a name of its own
    token.name[length++] = source_[position_++];
  } else {
    for (CharClass c; (c = ClassOf(source_[position_])) == kNameChar || c == kDigit; ++position_)
      if (length < 4) token.name[length++] = source_[position_];
  }
  token.name[length] = 0;
}

FormulaToken FormulaScanner::Next() {
  tokenStart_ = position_;
  SkipBlanksAndComments();
  FormulaToken token;
  const char c = source_[position_];
  switch (ClassOf(c)) {
    case kEndChar:
      token.kind = FormulaTokenKind::kEnd;
      return token;
    case kDigit:
      token.kind = FormulaTokenKind::kNumber;
      token.number = ReadNumber();
      return token;
    case kPunctuationChar:
      token.kind = FormulaTokenKind::kPunctuation;
      token.punctuation = c;
      ++position_;
      return token;
    case kOperatorStart: {
      const char next = source_[position_ + 1];
      for (const OperatorSpelling& s : kOperators) {
        if (s.first != c || (s.second != 0 && s.second != next)) continue;
        token.kind = FormulaTokenKind::kOperator;
        token.op = s.op;
        position_ += s.second != 0 ? 2 : 1;
        return token;
      }
      if (c == '!') {
        token.kind = FormulaTokenKind::kLogicalNot;
        ++position_;
        return token;
      }
      ReadName(token);  // "="
      return token;
    }
    case kBlank:  // cannot happen after the skip
    case kNameChar:
      break;
  }
  ReadName(token);
  return token;
}
