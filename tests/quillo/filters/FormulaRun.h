#pragma once
// Runs a formula filter over a test picture, compiled or through the reference evaluator,
// and returns every channel's raw value (before clamping) per pixel, row by row.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FormulaReference.h"
#include "quillo/filters/FormulaCompiler.h"

using ChannelValues = std::array<std::int32_t, 4>;

struct FormulaSliders {
  std::int32_t values[8] = {};
};

// A picture whose pixels follow from `seed` (every byte varies, transparency too).
TestPicture MakeTestPicture(int width, int height, std::uint32_t seed);

// Pixels for which `runs` answers false are skipped, as the program skips those outside the
// selection: their values are those of the source pixel, so that PackChannels gives it back.
using PixelsRun = std::function<bool(int x, int y)>;
std::vector<ChannelValues> RunCompiled(const CompiledFormula& compiled, const TestPicture& picture,
                                       const FormulaSliders& sliders, const PixelsRun& runs = nullptr);
// The program's run: the row routine over each row, written as pixels. Each row is run in
// two calls, split at a column that varies from row to row (sometimes 0 or the whole width),
// so that a run continues from wherever context->x stands.
std::vector<std::uint32_t> RunCompiledRows(const CompiledFormula& compiled, const TestPicture& picture,
                                           const FormulaSliders& sliders);
// The program's run of RunFormulaFilter: the row routine on the outermost rows and columns,
// the interior row routine on every other pixel (its stretch split in two calls at a column
// that varies from row to row).
std::vector<std::uint32_t> RunCompiledInteriorRows(const CompiledFormula& compiled, const TestPicture& picture,
                                                   const FormulaSliders& sliders);
// Raw channel values as the run writes them: clamped, opacity turned into transparency.
std::uint32_t PackChannels(const ChannelValues& values);

std::vector<ChannelValues> RunReference(const std::array<std::string, 4>& formulas, const TestPicture& picture,
                                        const FormulaSliders& sliders);

// Compiles four texts; the source record keeps the error fields.
CompiledFormula CompileTexts(const std::array<std::string, 4>& formulas, FormulaSource& source);

// What a comparison of the compiler with the reference evaluator found.
struct FormulaComparison {
  int channelsCompared = 0;   // valid in both, values compared on every pixel
  int errorsCompared = 0;     // syntax errors in both, positions compared
  int limitsReached = 0;      // the compiler stopped at a limit the reference does not have
  std::string mismatch;       // empty when everything agreed
};

// Compiles and evaluates four formulas both ways over `picture` and compares every raw
// channel value, every pixel the row routine writes and every error position. A channel the compiler refuses for a limit (pending
// operators, nested conditionals, code size) is compared as the constant 0.
FormulaComparison CompareWithReference(const std::array<std::string, 4>& formulas, const TestPicture& picture,
                                       const FormulaSliders& sliders);
