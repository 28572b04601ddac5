// The value of every operator, variable and function, worked out by hand from the language's
// definition, checked for the compiled routines and for the reference evaluator alike.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormulaRun.h"

namespace {

// 4 x 3 pixels: transparency x + y, red 100 + x + 10y, green 50 + 2x, blue 3y. At (1, 1):
// r 111, g 52, b 3, a 253.
TestPicture SmallPicture() {
  TestPicture picture{4, 3, {}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      picture.pixels.push_back(std::uint32_t(x + y) << 24 | std::uint32_t(100 + x + 10 * y) << 16 |
                               std::uint32_t(50 + 2 * x) << 8 | std::uint32_t(3 * y));
  return picture;
}

FormulaSliders Sliders() {
  // ctl(7) lies outside the sliders' 0..255 to reach the saturating quotients.
  return FormulaSliders{{10, 20, 200, 50, 0, 255, 7, 1000000}};
}

struct ValueCase {
  const char* formula;
  std::int32_t expected;
  int x = 1, y = 1, channel = 0;
};

std::array<std::string, 4> InChannel(const std::string& formula, int channel) {
  std::array<std::string, 4> texts{"0", "0", "0", "0"};
  texts[channel] = formula;
  return texts;
}

void ExpectValue(const ValueCase& c) {
  const TestPicture picture = SmallPicture();
  const auto texts = InChannel(c.formula, c.channel);
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  ASSERT_EQ(source.errorPosition[c.channel], -1) << c.formula;
  const std::size_t at = std::size_t(c.y) * picture.width + c.x;
  EXPECT_EQ(RunCompiled(compiled, picture, Sliders())[at][c.channel], c.expected) << "compiled: " << c.formula;
  EXPECT_EQ(RunReference(texts, picture, Sliders())[at][c.channel], c.expected) << "reference: " << c.formula;
}

const std::int32_t kMin = -2147483647 - 1;
const std::int32_t kMax = 2147483647;

TEST(FormulaLanguage, NumbersWrapAndReadHex) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"0", 0}, {"42", 42}, {"4294967295", -1}, {"4294967296", 0}, {"0x7fffffff", kMax}, {"0XFF", 255},
           {"0xFfFf", 65535}, {"0x", 0}, {"0x100000001", 1}, {"007", 7}, {"2147483648", kMin}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, BinaryOperators) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"6 | 9", 15}, {"6 ^ 3", 5}, {"6 & 3", 2},
           {"1 && 2", 0}, {"3 && 2", 1}, {"1 || 2", 1}, {"0 || 0", 0},
           {"3 == 3", 1}, {"3 != 3", 0}, {"-1 < 0", 1}, {"2 <= 2", 1}, {"2 > 3", 0}, {"-2 >= -1", 0},
           {"0x80000000 < 0", 1}, {"1 << 33", 2}, {"-8 << 1", -16}, {"-8 >> 1", 2147483644},
           {"1 >> 32", 1}, {"2147483647 + 1", kMin}, {"0 - 2147483647 - 2", kMax}, {"65536 * 65537", 65536},
           {"7 / 0", 0}, {"7 % 0", 0}, {"-7 / 2", -3}, {"-7 % 2", -1}, {"7 % -2", 1}, {"7 / -2", -3},
           {"0x80000000 / -1", kMin}, {"0x80000000 % -1", 0}, {"0x80000000 / 2", -1073741824},
       }) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, UnaryOperatorsStackAndBindTightest) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"!5", 0}, {"!0", 1}, {"~0", -1}, {"-5", -5}, {"+5", 5}, {"- - 5", 5}, {"-+-5", 5}, {"!-x", 0},
           {"!!7", 1}, {"~-1", 0}, {"-x*y", -1}, {"-3 + 5", 2}, {"!1 + 1", 1}, {"~1 * 2", -4}, {"2 - -3", 5},
           {"-0x80000000", kMin}, {"2 * -3 + 1", -5}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, PrecedenceLevelsFromLoosestToTightest) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"1 + 2 * 3", 7}, {"(1 + 2) * 3", 9}, {"1 - 2 - 3", -4}, {"2 * 3 % 4", 2}, {"100 / 10 / 5", 2},
           {"1 << 2 + 1", 8}, {"1 + 1 << 2", 8}, {"16 >> 1 < 9", 1}, {"1 < 2 == 1", 1}, {"1 == 2 < 3", 1},
           {"3 & 1 == 1", 1}, {"6 & 3 ^ 5", 7}, {"1 | 6 ^ 3", 5}, {"2 && 1 | 2", 1}, {"0 || 1 && 2", 0},
           {"1 || 0 && 0", 1}, {"8 - 2 - 1 * 3", 3}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, ConditionalAndComma) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"x ? 1 : 2, 3", 3}, {"(1, 2) + 1", 3}, {"x ? 10 : 20", 10}, {"x - 1 ? 10 : 20", 20},
           {"0 ? 1 : 0 ? 2 : 3", 3}, {"1 ? 2 : 3 + 4", 2}, {"0 ? 2 : 3 + 4", 7}, {"1 + 1 ? 5 : 6", 5},
           {"1 ? 2, 3 : 4", 3}, {"max(1 ? 2, 9 : 4, 5)", 9}, {"1 ? 0 ? 7 : 8 : 9", 8},
           {"0 ? put(9, 0) : get(0)", 0}, {"put(7, 1025), get(1)", 7}, {"(put(3, 2), 5) + get(2)", 8},
           {"1 + (2, 3) * 2", 7}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, CommentsEndAtLineBreaks) {
  // "//" is a comment and never a division operator of its own.
  for (const ValueCase& c : std::vector<ValueCase>{
           {"r // comment", 111}, {"r //", 111}, {"8 // 2", 8}, {"8 //x\n + 1", 9}, {"8 //x\r* 2", 16},
           {"// all\n5", 5}, {"8 / 2", 4}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, NamesAreCutToFourCharacters) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"dminimum", 0}, {"mminus + 1", 1}, {"dmin", 0}, {"D", 1024}, {"mmin", 0}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, Variables) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"r", 111}, {"g", 52}, {"b", 3}, {"a", 253}, {"x", 1}, {"y", 1}, {"X", 4}, {"Y", 3},
           {"x", 3, 3, 2}, {"y", 2, 3, 2}, {"c", 111}, {"c", 52, 1, 1, 1}, {"c", 3, 1, 1, 2}, {"c", 253, 1, 1, 3},
           {"z", 0}, {"z", 1, 1, 1, 1}, {"z", 3, 1, 1, 3}, {"Z", 3}, {"V", 255},
           {"i", 63}, {"u", -16}, {"v", 20}, {"i", 58, 0, 0} /* (76*100 + 150*50) >> 8 */,
           {"d", -436}, {"d", 76, 3, 2}, {"d", -256, 2, 1}, {"d", -472, 0, 1},
           {"m", 1}, {"m", 2, 0, 0}, {"m", 0, 2, 1}, {"M", 2},
           {"a", 255, 0, 0}, {"r", 123, 3, 2}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, ArithmeticFunctions) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"abs(-5)", 5}, {"abs(0x80000000)", kMin}, {"add(1, 2, 10)", 3}, {"add(5, 6, 10)", 10},
           {"sub(5, 1, 0)", 4}, {"sub(1, 5, 0)", 0}, {"dif(3, 10)", 7}, {"dif(10, 3)", 7},
           {"max(-1, 2)", 2}, {"min(-1, 2)", -1}, {"max(0x80000000, 0x7fffffff)", kMax},
           {"sqr(-4)", 0}, {"sqr(0)", 0}, {"sqr(2)", 1}, {"sqr(3)", 2}, {"sqr(6)", 2}, {"sqr(7)", 3},
           {"sqr(2147483647)", 46341}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, SliderFunctions) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"ctl(0)", 10}, {"ctl(9)", 20}, {"ctl(-1)", 1000000},
           {"val(2, 0, 255)", 200}, {"val(0, 100, 0)", 97}, {"val(5, 0, 0x7fffffff)", kMax}, {"val(4, 7, 99)", 7},
           {"val(7, 0, 0x7fffffff)", kMax}, {"val(7, 0, 0x80000000)", kMin}, {"val(7, 5, 0x80000000)", kMin + 4} /* b - a wraps positive */,
           {"map(15, 0)", 0}, {"map(25, 0)", 255}, {"map(100, 1)", 85}, {"map(50, 1)", 0}, {"map(200, 1)", 255},
           {"map(199, 5)", 253}, {"map(10, 2)", 0}, {"map(300, 2)", 255}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, MixAndScale) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"mix(200, 100, 1, 4)", 125}, {"mix(100, 200, 1, 3)", 167}, {"mix(10, 3, 5, 0)", 35},
           {"mix(0x7fffffff, 0x80000000, 2, 1)", 2147483646},  // a - b wraps to -1 first
           {"mix(0x7fffffff, 0, 0x7fffffff, 1)", kMax},       // the quotient saturates
           {"mix(0x80000000, 0, 0x7fffffff, 1)", kMin},
           {"mix(10, 0, 1, -4)", -2},                          // a negative divisor: the same rule
           {"scl(5, 0, 10, 0, 100)", 50}, {"scl(3, 0, 4, 0, 10)", 8}, {"scl(7, 2, 2, 10, 30)", 20},
           {"scl(0x7fffffff, 0, 1, 0, 0x7fffffff)", kMax}, {"scl(0x7fffffff, 0, 1, 5, 0x80000005)", kMin + 5},
           {"scl(128, 0, 255, 255, 0)", 128}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, RandomNumbersAndStorage) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"rnd(0, 255)", 0, 0, 0}, {"rnd(0, 255), rnd(0, 255)", 167, 0, 0},
           {"rnd(0, 255), rnd(0, 255), rnd(0, 255)", 78, 0, 0}, {"rst(5)", 5}, {"rst(5), rnd(0, 99)", 56},
           {"get(5)", 0, 0, 0}, {"put(get(0) + 1, 0)", 6} /* the sixth pixel of the run */,
           {"put(-3, 1023) + get(-1)", -6}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, PictureReads) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"src(-5, -5, 0)", 100}, {"src(99, 99, 3)", 250}, {"src(2, 1, 6)", 3}, {"src(1, 2, 1)", 52},
           {"src(0x80000000, 0x7fffffff, -1)", 253},
           {"cnv(0,0,0, 0,1,0, 0,0,0, 0)", 111}, {"cnv(1,1,1, 1,1,1, 1,1,1, 9)", 111},
           {"cnv(1,0,0, 0,0,0, 0,0,0, 0)", 100}, {"cnv(0,0,0, 0,0,0, 0,0,1, 0)", 122},
           {"cnv(1,0,0, 0,0,0, 0,0,0, 0)", 100, 0, 0}, {"cnv(0,0,0, 0,2,0, 0,0,0, 0)", 506, 1, 1, 3},
           {"cnv(0,0,0, 0,1,0, 0,0,0, -1)", -111}, {"cnv(0,1,0, 0,0,0, 0,0,0, 0)", 52, 1, 1, 1},
           {"rad(0, 0, 0)", 112}, {"rad(0, 256, 0)", 113}, {"rad(256, 256, 1)", 54}, {"rad(512, 4, 2)", 3}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, AnglesTablesAndPolarPoints) {
  for (const ValueCase& c : std::vector<ValueCase>{
           {"c2d(0, 0)", 0}, {"c2d(1, 0)", 0}, {"c2d(0, 5)", 256}, {"c2d(0, -5)", -256}, {"c2d(-1, 0)", 512},
           {"c2d(1, 1)", 128}, {"c2d(3, -4)", -151}, {"c2m(3, 4)", 5}, {"c2m(1, 1)", 1}, {"c2m(0, 0)", 0},
           {"c2m(0x80000000, 0)", kMin} /* 2^31 does not fit */, {"c2m(-2147483647, 0)", kMax},
           {"sin(256)", 512}, {"cos(0)", 512}, {"sin(1024)", 0}, {"sin(0)", 0}, {"sin(128)", 362},
           {"cos(512)", -512}, {"sin(-256)", -512}, {"tan(128)", 1024}, {"tan(1)", 6}, {"tan(0)", -6},
           {"tan(256)", -167772}, {"tan(1024 + 255)", 167761},
           {"r2x(0, 100)", 100}, {"r2y(256, 100)", 100}, {"r2x(128, 100)", 71}, {"r2y(512, 10)", 0},
           {"r2x(512, 10)", -10}}) {
    ExpectValue(c);
  }
}

TEST(FormulaLanguage, StorageAndSeedCarryAcrossChannels) {
  const TestPicture picture = SmallPicture();
  const std::array<std::string, 4> texts{"put(42, 3), rst(9)", "get(3)", "rnd(0, 0x7fff), get(3) + 1", "get(3)"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  const auto values = RunCompiled(compiled, picture, Sliders());
  EXPECT_EQ(values[0][1], 42);
  EXPECT_EQ(values[0][2], 43);
  EXPECT_EQ(values, RunReference(texts, picture, Sliders()));
}

TEST(FormulaLanguage, RandomSequenceRepeatsEachRunAndAfterReseeding) {
  const TestPicture picture = SmallPicture();
  const std::array<std::string, 4> texts{"rnd(0, 255)", "x == 2 ? rst(77) : 0", "0", "0"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  const auto first = RunCompiled(compiled, picture, Sliders());
  EXPECT_EQ(first, RunCompiled(compiled, picture, Sliders()));
  // The seed set at (2, 0) makes the red values from (3, 0) on repeat after each reseeding.
  EXPECT_EQ(first[3][0], first[7][0]);
  EXPECT_EQ(first[3][0], first[11][0]);
}

}  // namespace
