// Formula texts from untrusted bytes: up to four formulas, separated by zero bytes, are
// compiled to machine code and run over a small picture; every raw channel value and every
// syntax error's place must match the reference evaluator of the tests, and the compiled
// routines must neither crash nor outgrow their buffers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/quillo/filters/FormulaRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<std::string, 4> formulas{"r", "g", "b", "a"};
  std::size_t start = 0;
  for (int channel = 0; channel < 4 && start <= size; ++channel) {
    std::size_t end = start;
    while (end < size && data[end] != 0) ++end;
    formulas[channel].assign(reinterpret_cast<const char*>(data) + start, end - start);
    start = end + 1;
  }
  // The sliders include values outside 0..255 for the 64-bit quotients of val and map.
  const FormulaSliders sliders{{0, 37, 255, 128, 5, 200, 1000000, -7}};
  const TestPicture picture = MakeTestPicture(5, 4, static_cast<std::uint32_t>(size));
  const FormulaComparison result = CompareWithReference(formulas, picture, sliders);
  if (!result.mismatch.empty()) {
    std::fprintf(stderr, "formula_compile: %s\n", result.mismatch.c_str());
    std::abort();
  }
  return 0;
}
