#include "FormulaGenerator.h"

#include <iterator>

namespace {

const char* const kBinary[] = {"|", "||", "^", "&", "&&", "==", "!=", "<", "<=", ">", ">=",
                               "<<", ">>", "+", "-", "*", "/", "%"};
const char* const kUnary[] = {"-", "!", "~", "+"};
const char* const kVariables[] = {"r", "g", "b", "a", "c", "x", "y", "X", "Y", "i", "u", "v", "z", "Z",
                                  "d", "dmin", "D", "m", "mmin", "M", "V", "dminimum", "mminor"};
struct Function {
  const char* name;
  int arguments;
};
const Function kFunctions[] = {{"abs", 1}, {"add", 3}, {"cnv", 10}, {"ctl", 1}, {"dif", 2}, {"put", 2}, {"get", 1},
                               {"map", 2}, {"max", 2}, {"min", 2},  {"sin", 1}, {"cos", 1}, {"tan", 1}, {"rad", 3},
                               {"mix", 4}, {"rnd", 2}, {"rst", 1},  {"scl", 5}, {"sqr", 1}, {"src", 3}, {"sub", 3},
                               {"val", 3}, {"c2d", 2}, {"c2m", 2},  {"r2x", 2}, {"r2y", 2}};
const char* const kEdits[] = {"(", ")", "?", ":", ",", "+", "-", "*", "/", "//", "<", ">", "=", "!", "~", "&",
                              "|", "^", "%", " ", "0x", "1", "r", "max", "\n", "abs(", "Q", "\xC4"};

}  // namespace

std::string FormulaGenerator::Blank() {
  switch (Below(12)) {
    case 0: return "";
    case 1: return "  ";
    case 2: return "\t";
    case 3: return " // note\n";
    case 4: return "\r\n";
    default: return " ";
  }
}

std::string FormulaGenerator::Number() {
  static const char* const kEdgeNumbers[] = {"0", "1", "2", "3", "7", "255", "256", "1023", "1024", "0x7fffffff",
                                             "0x80000000", "0xFFFFFFFF", "2147483648", "4294967297", "0x", "65536",
                                             "46341", "512", "128", "0X1F"};
  switch (Below(4)) {
    case 0: return std::to_string(Below(11));
    case 1: return kEdgeNumbers[Below(std::size(kEdgeNumbers))];
    case 2: return std::to_string(random_());
    default: return std::to_string(Below(600));
  }
}

std::string FormulaGenerator::Operand(int depth) {
  const int pick = depth <= 0 ? Below(2) : Below(6);
  switch (pick) {
    case 0: return Number();
    case 1: return kVariables[Below(std::size(kVariables))];
    case 2:
    case 3:
    case 4: {
      const Function& f = kFunctions[Below(std::size(kFunctions))];
      std::string s = std::string(f.name) + Blank() + "(";
      for (int k = 0; k < f.arguments; ++k) {
        if (k > 0) s += ",";
        s += Blank() + Conditional(f.arguments > 3 ? depth - 2 : depth - 1) + Blank();
      }
      return s + ")";
    }
    default: {
      std::string s(1, '(');  // built in steps: GCC 12 misreads "(" + text at -O3
      s += Sequence(depth - 1);
      return s + ")";
    }
  }
}

std::string FormulaGenerator::Unary(int depth) {
  std::string s;
  while (Chance(15)) s += std::string(kUnary[Below(std::size(kUnary))]) + (Chance(50) ? " " : "");
  return s + Operand(depth);
}

std::string FormulaGenerator::Binary(int depth) {
  std::string s = Unary(depth);
  const int more = depth <= 0 ? 0 : Below(3);
  for (int k = 0; k < more; ++k) s += Blank() + kBinary[Below(std::size(kBinary))] + " " + Unary(depth - 1);
  return s;
}

std::string FormulaGenerator::Conditional(int depth) {
  std::string s = Binary(depth);
  if (depth > 0 && Chance(15)) s += " ? " + Sequence(depth - 1) + " : " + Conditional(depth - 1);
  return s;
}

std::string FormulaGenerator::Sequence(int depth) {
  std::string s = Conditional(depth);
  while (depth > 0 && Chance(12)) {
    s += ',';
    s += Blank();
    s += Conditional(depth - 1);
  }
  return s;
}

std::string FormulaGenerator::Formula() { return Blank() + Sequence(1 + Below(4)) + Blank(); }

std::string FormulaGenerator::Damaged() {
  std::string s = Formula();
  const std::size_t at = s.empty() ? 0 : static_cast<std::size_t>(Below(static_cast<int>(s.size()) + 1));
  switch (Below(4)) {
    case 0:
      if (at < s.size()) s.erase(at, 1);
      break;
    case 1: s.insert(at, kEdits[Below(std::size(kEdits))]); break;
    case 2: s.resize(at); break;
    default: s.insert(at, s.substr(at / 2, at - at / 2)); break;
  }
  return s;
}
