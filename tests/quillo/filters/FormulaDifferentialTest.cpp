// The compiled routines against the reference evaluator on many generated formulas, bit for
// bit, on every pixel and channel, and on the place of every syntax error.

#include <gtest/gtest.h>

#include "FormulaGenerator.h"
#include "FormulaRun.h"

namespace {

FormulaSliders RandomSliders(std::mt19937& random) {
  FormulaSliders sliders;
  for (std::int32_t& value : sliders.values) value = static_cast<std::int32_t>(random() % 256);
  // Now and then a value the sliders cannot give, for the 64-bit quotients.
  if (random() % 4 == 0) sliders.values[random() % 8] = static_cast<std::int32_t>(random());
  return sliders;
}

TEST(FormulaDifferential, GeneratedFormulasAgreeWithTheReference) {
  FormulaGenerator generator(20240611);
  std::mt19937 random(7);
  int compared = 0, errors = 0, limits = 0;
  for (int round = 0; round < 1500; ++round) {
    const TestPicture picture = MakeTestPicture(1 + int(random() % 6), 1 + int(random() % 5), random());
    const std::array<std::string, 4> formulas{generator.Formula(), generator.Formula(), generator.Formula(),
                                              round % 3 == 0 ? generator.Damaged() : generator.Formula()};
    const FormulaComparison result = CompareWithReference(formulas, picture, RandomSliders(random));
    ASSERT_EQ(result.mismatch, "") << "round " << round;
    compared += result.channelsCompared;
    errors += result.errorsCompared;
    limits += result.limitsReached;
  }
  // The generator reaches far enough: most channels valid, some limits, some errors.
  EXPECT_GT(compared, 5000);
  EXPECT_GT(errors, 100);
  RecordProperty("limits", limits);
}

TEST(FormulaDifferential, DamagedFormulasReportTheSameErrorPlace) {
  FormulaGenerator generator(99);
  std::mt19937 random(3);
  int errors = 0;
  for (int round = 0; round < 1500; ++round) {
    const std::array<std::string, 4> formulas{generator.Damaged(), generator.Damaged(), generator.Damaged(),
                                              generator.Damaged()};
    const FormulaComparison result = CompareWithReference(formulas, MakeTestPicture(3, 2, round), RandomSliders(random));
    ASSERT_EQ(result.mismatch, "") << "round " << round;
    errors += result.errorsCompared;
  }
  EXPECT_GT(errors, 2000);
}

}  // namespace
