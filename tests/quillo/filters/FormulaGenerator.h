#pragma once
// Random formulas for comparing the compiler with the reference evaluator: well-formed ones
// that reach every operator, variable and function, and damaged copies of them.

#include <cstdint>
#include <random>
#include <string>

class FormulaGenerator {
 public:
  explicit FormulaGenerator(std::uint32_t seed) : random_(seed) {}

  std::string Formula();  // a valid formula (it may still exceed a compiler limit)
  std::string Damaged();  // a valid formula with one random edit; mostly a syntax error

 private:
  std::string Sequence(int depth);
  std::string Conditional(int depth);
  std::string Binary(int depth);
  std::string Unary(int depth);
  std::string Operand(int depth);
  std::string Number();
  std::string Blank();
  int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

  std::mt19937 random_;
};
