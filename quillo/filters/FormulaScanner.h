#pragma once
// Tokens of the formula language. The scanner reads a zero-terminated source of at most
// 1024 characters and keeps, for error reports, where the last token's scan began (white
// space and comments before it included) and where it ended.

#include <cstdint>

enum class FormulaOperator : std::uint8_t {
  kOr, kLogicalOr, kXor, kAnd, kLogicalAnd, kEqual, kNotEqual,
  kLess, kShiftLeft, kLessEqual, kGreater, kShiftRight, kGreaterEqual,
  kAdd, kSubtract, kMultiply, kDivide, kRemainder,
  kLogicalNot, kBitwiseNot, kNegate,  // unary, bound tighter than every binary operator
};

// Binding strength: 1 loosest ("||") .. 10 ("*" "/" "%"), 11 for the unary operators.
int FormulaOperatorLevel(FormulaOperator op);

enum class FormulaTokenKind : std::uint8_t { kEnd, kNumber, kName, kPunctuation, kOperator, kLogicalNot };

struct FormulaToken {
  FormulaTokenKind kind = FormulaTokenKind::kEnd;
  std::uint32_t number = 0;       // kNumber
  char punctuation = 0;           // kPunctuation: ( ) ? : , ~
  FormulaOperator op = FormulaOperator::kOr;  // kOperator
  char name[5] = {};              // kName: the first four characters, zero-terminated

  bool Is(char c) const { return kind == FormulaTokenKind::kPunctuation && punctuation == c; }
  bool IsOperator(FormulaOperator o) const { return kind == FormulaTokenKind::kOperator && op == o; }
};

class FormulaScanner {
 public:
  // `source` must stay valid and be zero-terminated.
  explicit FormulaScanner(const char* source) : source_(source) {}

  FormulaToken Next();
  int Position() const { return position_; }          // just after the last token
  int TokenStart() const { return tokenStart_; }      // where the last token's scan began

 private:
  void SkipBlanksAndComments();
  std::uint32_t ReadNumber();
  void ReadName(FormulaToken& token);

  const char* source_;
  int position_ = 0;
  int tokenStart_ = 0;
};
