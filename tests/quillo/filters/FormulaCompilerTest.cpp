// The compiler's error reports, its limits, the set-up routine it assembles and the code
// memory it runs from.

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FormulaRun.h"
#include "quillo/filters/FormulaTemplates.h"

namespace {

// The picture the tests' own fetch routines read.
const TestPicture* gFetchPicture = nullptr;

struct ErrorCase {
  std::string formula;
  int position;
  int length;
};

// Compiles `formula` as the red channel and checks the reported position and length; the
// channel must then yield 0 on every pixel.
void ExpectError(const ErrorCase& c) {
  const std::array<std::string, 4> texts{c.formula, "g", "b", "a"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  EXPECT_EQ(source.errorPosition[0], c.position) << c.formula;
  EXPECT_EQ(source.errorLength[0], c.length) << c.formula;
  const ReferenceFormula reference(c.formula);
  EXPECT_FALSE(reference.Valid()) << c.formula;
  EXPECT_EQ(reference.ErrorPosition(), c.position) << "reference: " << c.formula;
  EXPECT_EQ(reference.ErrorLength(), c.length) << "reference: " << c.formula;
  const TestPicture picture = MakeTestPicture(3, 2, 1);
  for (const ChannelValues& values : RunCompiled(compiled, picture, {})) EXPECT_EQ(values[0], 0) << c.formula;
}

TEST(FormulaCompiler, SyntaxErrorsReportTheOffendingTokenWithTheBlanksBeforeIt) {
  for (const ErrorCase& c : std::vector<ErrorCase>{
           {"", 0, 0},           {"   ", 3, 3},         {"r g", 3, 2},           {"max(1)", 6, 1},
           {"max(1, 2, 3)", 9, 1}, {"rgba", 4, 4},      {"absolute", 8, 8},      {"maximum(1, 2)", 7, 7},
           {"sqrt(4)", 4, 4},    {"r )", 3, 2},         {"(r", 2, 0},            {"r(1)", 2, 1},
           {"abs 5", 5, 2},      {"abs", 3, 0},         {"1 +", 3, 0},           {"1 + ", 4, 1},
           {"a = b", 3, 2},      {"?", 1, 1},           {"1 ? 2", 5, 0},         {"12abc", 5, 3},
           {"0xg", 3, 1},        {"r !x", 3, 2},        {"1 :", 3, 2},           {"  r  g", 6, 3},
           {"r // c\n g", 9, 8}, {"1 <", 3, 0},         {"8 /\n/2", 5, 2},       {"()", 2, 1},
           {"1,", 2, 0},         {"(1,)", 4, 1},        {"max(1 2)", 7, 2},      {"x y z", 3, 2},
           {"1 ** 2", 4, 1},     {"@", 1, 1},           {"r ==", 4, 0},          {"\xE9t\xE9", 3, 3},
           {"==", 2, 2},         {"r =", 3, 2},         {"r ! 1", 3, 2},         {"cnv(1,2,3,4,5,6,7,8,9)", 22, 1}}) {
    ExpectError(c);
  }
}

TEST(FormulaCompiler, EmptyOrMissingFormulaIsAnErrorAtOffsetZero) {
  FormulaSource source;
  source.text[0] = nullptr;
  source.text[1] = "";
  source.text[2] = "b";
  source.text[3] = "a";
  const CompiledFormula compiled = CompileFormula(source);
  EXPECT_EQ(source.errorPosition[0], 0);
  EXPECT_EQ(source.errorPosition[1], 0);
  EXPECT_EQ(compiled.Error(0), FormulaError::kSyntax);
}

TEST(FormulaCompiler, AnErrorInOneChannelLeavesTheOthersIntact) {
  const std::array<std::string, 4> good{"r + 1", "g * 2", "b - 3", "a / 2"};
  FormulaSource goodSource;
  const CompiledFormula allGood = CompileTexts(good, goodSource);
  std::array<std::string, 4> broken = good;
  broken[1] = "g *";
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(broken, source);
  EXPECT_EQ(source.errorPosition[0], -1);
  EXPECT_EQ(source.errorPosition[1], 3);
  EXPECT_EQ(source.errorLength[1], 0);
  EXPECT_EQ(source.errorPosition[2], -1);
  EXPECT_EQ(source.errorPosition[3], -1);
  EXPECT_EQ(compiled.Error(1), FormulaError::kSyntax);
  for (int c : {0, 2, 3}) {
    EXPECT_TRUE(std::ranges::equal(compiled.ChannelCode(c), allGood.ChannelCode(c))) << c;
  }
  const TestPicture picture = MakeTestPicture(4, 4, 3);
  const auto values = RunCompiled(compiled, picture, {});
  const auto expected = RunCompiled(allGood, picture, {});
  for (std::size_t k = 0; k < values.size(); ++k) {
    EXPECT_EQ(values[k][0], expected[k][0]);
    EXPECT_EQ(values[k][1], 0);
    EXPECT_EQ(values[k][3], expected[k][3]);
  }
}

TEST(FormulaCompiler, OnlyTheFirst1024CharactersCount) {
  // "1", blanks up to character 1022, then "+2": the "9999+1" beyond is ignored.
  const std::string formula = "1" + std::string(1021, ' ') + "+2" + "9999+1";
  ASSERT_EQ(formula.size(), 1030u);
  const std::array<std::string, 4> texts{formula, "0", "0", "0"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  EXPECT_EQ(source.errorPosition[0], -1);
  EXPECT_EQ(RunCompiled(compiled, MakeTestPicture(1, 1, 0), {})[0][0], 3);
  // A two-character operator cut in the middle is the one-character one, which then lacks
  // its right operand.
  const std::string cut = std::string(1022, ' ') + "1<<2";
  ExpectError({cut, 1024, 0});
}

TEST(FormulaCompiler, OperatorStackHolds128) {
  const auto minuses = [](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += "- ";
    return s + "r";
  };
  FormulaSource source;
  const CompiledFormula ok = CompileTexts({minuses(128), minuses(127), "0", "0"}, source);
  EXPECT_EQ(source.errorPosition[0], -1);
  const TestPicture picture = MakeTestPicture(2, 2, 5);
  const auto values = RunCompiled(ok, picture, {});
  EXPECT_EQ(values[0][0], std::int32_t(picture.pixels[0] >> 16 & 255));
  EXPECT_EQ(values[0][1], -std::int32_t(picture.pixels[0] >> 16 & 255));

  const CompiledFormula full = CompileTexts({minuses(129), "0", "0", "0"}, source);
  EXPECT_EQ(full.Error(0), FormulaError::kTooManyOperators);
  EXPECT_EQ(source.errorPosition[0], 257);  // just after the 129th minus
  EXPECT_EQ(source.errorLength[0], 2);

  // Waiting binary operators count too: each "1+(" leaves its "+" waiting.
  const auto nested = [](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += "1+(";
    return s + "1" + std::string(n, ')');
  };
  CompileTexts({nested(128), nested(129), "0", "0"}, source);
  EXPECT_EQ(source.errorPosition[0], -1);
  EXPECT_NE(source.errorPosition[1], -1);
  EXPECT_EQ(RunCompiled(CompileTexts({nested(128), "0", "0", "0"}, source), picture, {})[0][0], 129);
}

TEST(FormulaCompiler, ConditionalStackHolds128Nested) {
  const auto nested = [](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += "1?";
    s += "7";
    for (int k = 0; k < n; ++k) s += ":0";
    return s;
  };
  FormulaSource source;
  const CompiledFormula ok = CompileTexts({nested(128), nested(129), "0", "0"}, source);
  EXPECT_EQ(source.errorPosition[0], -1);
  EXPECT_EQ(ok.Error(1), FormulaError::kTooManyConditionals);
  EXPECT_EQ(source.errorPosition[1], 258);  // at the 129th "?"
  EXPECT_EQ(RunCompiled(ok, MakeTestPicture(1, 1, 0), {})[0][0], 7);
  // A chain in the last parts nests as deeply.
  std::string chain;
  for (int k = 0; k < 129; ++k) chain += "0?1:";
  chain += "5";
  const CompiledFormula chained = CompileTexts({chain, "0", "0", "0"}, source);
  EXPECT_EQ(chained.Error(0), FormulaError::kTooManyConditionals);
}

std::string MixChain(int n) {
  std::string s = "mix(r,r,r,r)";
  for (int k = 1; k < n; ++k) s += "+mix(r,r,r,r)";
  return s;
}

TEST(FormulaCompiler, ChannelCodeStopsAt4096Bytes) {
  FormulaSource source;
  // The code length of n copies of "mix(r,r,r,r)" joined by "+", 0 when it does not compile.
  const auto length = [&source](int n) {
    const CompiledFormula compiled = CompileTexts({MixChain(n), "g", "b", "a"}, source);
    return compiled.Error(0) == FormulaError::kNone ? compiled.ChannelCode(0).size() : 0;
  };
  int most = 1;
  while (length(most + 1) != 0) ++most;
  ASSERT_LE(MixChain(most + 1).size(), 1024u) << "the chain must fail by its code size, not its length";
  // The longest chain ends within one more copy of the limit: that copy would have passed it.
  const std::size_t step = length(most) - length(most - 1);
  EXPECT_LE(length(most), kFormulaChannelBytes);
  EXPECT_GT(length(most) + step, kFormulaChannelBytes);
  const CompiledFormula compiled = CompileTexts({MixChain(most), MixChain(most + 1), "b", "a"}, source);
  EXPECT_EQ(compiled.Error(0), FormulaError::kNone);
  EXPECT_EQ(compiled.Error(1), FormulaError::kCodeTooLong);
  EXPECT_NE(source.errorPosition[1], -1);
  EXPECT_EQ(source.errorPosition[2], -1);
  const TestPicture picture = MakeTestPicture(3, 3, 9);
  const auto values = RunCompiled(compiled, picture, {});
  for (std::size_t k = 0; k < values.size(); ++k) {
    EXPECT_EQ(values[k][1], 0);
    EXPECT_EQ(values[k][2], std::int32_t(picture.pixels[k] & 255));
  }
}

TEST(FormulaCompiler, AFormulaTooLongAsQuickCodeIsCompiledCompactly) {
  // Fifteen unrolled 3 x 3 sums pass 4096 bytes; as calls of the plain template they fit.
  std::string blurs = "cnv(1,2,1,2,4,2,1,2,1,16)";
  for (int k = 1; k < 15; ++k) blurs += "+cnv(1,2,1,2,4,2,1,2,1,16)";
  const std::array<std::string, 4> texts{blurs, "g", blurs, "a"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  EXPECT_EQ(compiled.Error(0), FormulaError::kNone);
  EXPECT_EQ(source.errorPosition[0], -1);
  EXPECT_EQ(source.errorLength[0], 0);
  const FormulaComparison result = CompareWithReference(texts, MakeTestPicture(4, 3, 2), {});
  EXPECT_EQ(result.mismatch, "");
  EXPECT_EQ(result.channelsCompared, 4);
}

// Formulas whose operands are constants, fields and slider or cell reads: the compiler takes
// these into its instructions directly, divides by constants with shifts and tests
// comparisons with jumps; every such form must still agree with the reference.
TEST(FormulaCompiler, ConstantAndFieldOperandsAgreeWithTheReference) {
  std::vector<std::string> formulas{
      "r > 100 ? 1 : 2", "!(r > 100) ? x : y", "r == g ? x : y", "(r < ctl(0)) + 1", "!(x >= 2) + 1",
      "r ? 5 : 6", "x ? 5 : 6", "0 ? 5 : 6", "7 ? 5 : 6", "ctl(1) ? r : g", "get(3) ? 1 : 2", "(r > 5, 3) ? 1 : 2",
      "(1, r) ? 1 : 2", "x > 1 ? y < 2 ? 3 : 4 : 5", "r ? 1 : 2 + 3", "r ? 1 : 2 ? 3 : 4", "(r ? 1 : 2) + 3",
      "max(x ? 1 : 2, 3)", "x ? Z : z", "y ? c : V", "5 + (y == 1 ? i : u)", "x ? 1 : -2", "x ? 1 : (2)", "get(5) + put(x, 5)", "put(get(5) + 1, 5)",
      "put(r, 1), get(1) + get(1025)", "get(2) - put(7, 2) + get(2)", "-(-5)", "!0 + ~0", "- -r", "-r * 3",
      "mix(r, g, ctl(2), 255)", "mix(r, g, 3, 0)", "mix(r, g, ctl(7), ctl(6))", "scl(r, 16, 240, 0, 255)",
      "scl(r, 5, 5, 1, 9)", "scl(g, 0, 255, ctl(0), ctl(1))", "val(1, r, 200)", "val(7, -5, r)", "map(r, 1)",
      "map(x, 3)", "src(x + 1, y, 3)", "src(1, 1, 0)", "rad(100, 5, 2)", "rad(d + m / 4, m, z)", "rnd(0, r)",
      "add(r, 5, 100)", "sub(5, r, g)", "dif(3, r)", "max(r, 128)", "min(x, 2)", "c2d(x - 2, 3)", "c2m(3, 4)",
      "r2x(256, 100)", "r2y(x, 100)", "sin(256) + cos(x) + tan(128)", "ctl(9) + get(0x7fffffff)",
      "add(1, 2, add(3, 4, add(5, 6, add(7, 8, add(9, 10, add(11, 12, add(13, 14, 15)))))))",
      "cnv(1,2,1,2,4,2,1,2,1,16)", "cnv(0,-1,0,-1,5,-1,0,-1,0,1)", "cnv(1,1,1,1,1,1,1,1,1,0)",
      "cnv(1,1,1,1,1,1,1,1,1,-1)", "cnv(1,1,1,1,1,1,1,1,1,9)", "cnv(1,0,0,0,0,0,0,0,0,0x80000000)",
      "cnv(0x7fffffff,2,0,0,0,0,0,0,3,-5)", "x + cnv(1,2,3,4,5,6,7,8,9,4) * 2", "cnv(1,2,1,2,x,2,1,2,1,16)"};
  for (const char* divisor : {"0", "1", "-1", "2", "4", "1024", "0x40000000", "-2", "-4", "3", "255", "0x80000000",
                              "0x7fffffff", "7"}) {
    const std::string c = divisor;
    for (const std::string& f :
         {"(x * 1000 - 2500) / " + c, "(x * 1000 - 2500) % " + c, "(r - 128) / " + c, "(r - 128) % " + c,
          "0x80000000 / " + c, "0x80000000 % " + c, "-7 % " + c, "r << " + c, "r >> " + c, "r * " + c, "r - " + c,
          "r + " + c, "(r & " + c + ") | (g ^ " + c + ")", "(r || " + c + ") + (g && " + c + ")", "r < " + c,
          "r >= " + c + " ? x : y", "c - " + c, "i != " + c, "u <= " + c, "x / " + c + " + y % " + c})
      formulas.push_back(f);
  }
  const FormulaSliders sliders{{120, 40, 200, 96, 7, 300, -9, 1000000}};
  for (const std::string& formula : formulas) {
    const std::array<std::string, 4> texts{formula, formula, formula, formula};
    const FormulaComparison result = CompareWithReference(texts, MakeTestPicture(5, 4, 11), sliders);
    EXPECT_EQ(result.mismatch, "") << formula;
    EXPECT_EQ(result.channelsCompared, 4) << formula;
  }
}

TEST(FormulaCompiler, HostileFormulasFailCleanly) {
  const std::vector<std::string> hostile{
      std::string(1024, '('),
      std::string(2000, '-'),
      std::string(1024, '!'),
      std::string(1024, '~'),
      [] { std::string s; for (int k = 0; k < 256; ++k) s += "max("; return s; }(),
      [] { std::string s; for (int k = 0; k < 200; ++k) s += "1?("; return s; }(),
      [] { std::string s; for (int k = 0; k < 40; ++k) s += "cnv(1,1,1,1,1,1,1,1,1,1)+"; return s + "1"; }(),
      [] { std::string s; for (int k = 0; k < 500; ++k) s += "r,"; return s + "r"; }(),
      std::string(1024, ')'),
      std::string(1024, '\xFF'),
      std::string("\x01\x02\x03\x7f", 4),
  };
  for (const std::string& formula : hostile) {
    FormulaSource source;
    const CompiledFormula compiled = CompileTexts({formula, "r", "g", "b"}, source);
    EXPECT_LE(compiled.ChannelCode(0).size(), kFormulaChannelBytes);
    const auto values = RunCompiled(compiled, MakeTestPicture(2, 2, 4), {});
    if (source.errorPosition[0] != -1) {
      EXPECT_EQ(values[0][0], 0);
    }
    EXPECT_EQ(values[0][1], std::int32_t(MakeTestPicture(2, 2, 4).pixels[0] >> 16 & 255));
  }
}

TEST(FormulaCompiler, SetUpRoutineComputesOnlyWhatTheFormulasUse) {
  FormulaSource source;
  const CompiledFormula bare = CompileTexts({"x", "y * 2", "X - x", "Y"}, source);
  ASSERT_EQ(bare.SetupCode().size(), 1u);
  EXPECT_EQ(bare.SetupCode()[0], 0xC3);  // a bare return
  EXPECT_EQ(bare.Usage(), 0u);

  const CompiledFormula colour = CompileTexts({"c", "0", "0", "0"}, source);
  EXPECT_EQ(colour.Usage(), kFormulaUsesColour);
  const CompiledFormula all = CompileTexts({"i + u", "v + d", "m", "r"}, source);
  EXPECT_EQ(all.Usage(), kFormulaUsesIntensity | kFormulaUsesU | kFormulaUsesV | kFormulaUsesAngle |
                             kFormulaUsesDistance);
  EXPECT_LE(all.SetupCode().size(), kFormulaSetupBytes);
  // dmin and mmin are constants and need no set-up; a failed channel adds nothing.
  const CompiledFormula constants = CompileTexts({"dmin + mmin", "d +", "m m", "0"}, source);
  EXPECT_EQ(constants.Usage(), 0u);
}

// The written-out 3 x 3 sum against the template's loop, with channel positions other than
// the standard ones in the context: both take the position from there.
TEST(FormulaCompiler, UnrolledSumTakesTheChannelPositionFromTheContext) {
  const TestPicture picture = MakeTestPicture(4, 3, 21);
  gFetchPicture = &picture;
  for (const char* weights : {"0x7fffffff,-2,3,1,2,4,8,0,100000,0", "1,2,1,2,4,2,1,2,1,7", "0,0,0,0,-1,0,0,0,0,-1"}) {
    FormulaSource source;
    const std::string unrolled = std::string("cnv(") + weights + ")";
    const std::string looped = std::string("cnv(") + weights + "+x*0)";  // not all constants
    const CompiledFormula quick = CompileTexts({unrolled, "0", "0", "0"}, source);
    const CompiledFormula plain = CompileTexts({looped, "0", "0", "0"}, source);
    ASSERT_EQ(plain.Error(0), FormulaError::kNone);
    auto context = std::make_unique<FormulaContext>();
    context->Reset();
    context->Start(picture.width, picture.height, {}, [](std::int32_t row, std::int32_t column) {
      return gFetchPicture->At(row, column);
    });
    for (std::uint8_t shift : {16, 8, 0, 24, 17, 23, 28, 31, 37, 255}) {
      context->channelShift[0] = shift;
      for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
          context->x = x;
          context->y = y;
          ASSERT_EQ(quick.Channel(0)(context.get()), plain.Channel(0)(context.get()))
              << weights << " at bit " << int(shift) << ", pixel " << x << ", " << y;
        }
    }
  }
  gFetchPicture = nullptr;
}

// One set-up piece followed by a return, in its own code pages.
struct PieceRoutine {
  explicit PieceRoutine(FormulaTemplate piece) : memory(FormulaTemplateCode(piece).size() + 1) {
    const auto code = FormulaTemplateCode(piece);
    const std::uint8_t ret[] = {0xC3};
    memory.Write(0, code);
    memory.Write(code.size(), ret);
    memory.Seal();
  }
  // d as the piece stores it for the centre offsets dx = 2x - X and dy = 2y - Y.
  std::int32_t Angle(FormulaContext& context, std::int32_t dx, std::int32_t dy) const {
    context.width = dx & 1;
    context.x = std::int32_t((std::int64_t(dx) + context.width) / 2);
    context.height = dy & 1;
    context.y = std::int32_t((std::int64_t(dy) + context.height) / 2);
    context.d = 0x55555555;
    reinterpret_cast<CompiledFormula::SetupRoutine>(const_cast<std::uint8_t*>(memory.Data()))(0, &context);
    return context.d;
  }
  ExecutableMemory memory;
};

// The quick angle path against fpatan (tools/formula_angle_check covers every pair in range):
// all pairs near the centre, a sample of the whole range, the range's edges and beyond, and
// a scale other than the standard one.
TEST(FormulaCompiler, QuickAngleMatchesFpatan) {
  const PieceRoutine quick(FormulaTemplate::kSetupAngle), plain(FormulaTemplate::kSetupAnglePlain);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  const auto expectSame = [&](std::int32_t dx, std::int32_t dy) {
    const std::int32_t expected = plain.Angle(*context, dx, dy);
    ASSERT_EQ(quick.Angle(*context, dx, dy), expected) << dx << ", " << dy;
  };
  for (std::int32_t dy = -150; dy <= 150; ++dy)
    for (std::int32_t dx = -150; dx <= 150; ++dx) expectSame(dx, dy);
  std::mt19937 random(17);
  for (int k = 0; k < 200000; ++k)
    expectSame(std::int32_t(random() % 65536) - 32768, std::int32_t(random() % 65536) - 32768);
  for (std::int32_t edge : {-2147483647 - 1, -65536, -32769, -32768, -32767, 32767, 32768, 2147483647})
    for (std::int32_t other : {-32768, -1, 0, 1, 5, 32767, 40000}) {
      expectSame(edge, other);
      expectSame(other, edge);
    }
  EXPECT_EQ(quick.Angle(*context, -5, 0), 512);
  EXPECT_EQ(quick.Angle(*context, 0, -5), -256);
  EXPECT_EQ(quick.Angle(*context, 0, 0), 0);
  context->angleScale = 1000.0f;
  for (std::int32_t dx = -40; dx <= 40; ++dx) expectSame(dx, 17);
}

TEST(FormulaCompiler, SetUpWritesOnlyTheLowBytesOfColourFields) {
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts({"r", "g", "b", "a"}, source);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->r = context->g = context->b = context->a = 0;
  compiled.Setup()(0x12345678, context.get());
  EXPECT_EQ(context->r, 0x34);
  EXPECT_EQ(context->g, 0x56);
  EXPECT_EQ(context->b, 0x78);
  EXPECT_EQ(context->a, 255 - 0x12);
}

// The permissions of the mapping that holds `address`, as /proc/self/maps lists them.
std::string PermissionsAt(const void* address) {
  std::ifstream maps("/proc/self/maps");
  const auto where = reinterpret_cast<std::uintptr_t>(address);
  for (std::string line; std::getline(maps, line);) {
    unsigned long begin = 0, end = 0;
    char permissions[5] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %4s", &begin, &end, permissions) == 3 && where >= begin && where < end)
      return permissions;
  }
  return "";
}

TEST(FormulaCompiler, CodeIsNeverWritableAndExecutableAtOnce) {
  ExecutableMemory memory(100);
  EXPECT_EQ(PermissionsAt(memory.Data()).substr(0, 3), "rw-");
  const std::uint8_t ret[] = {0xC3};
  memory.Write(0, ret);
  EXPECT_THROW(memory.Write(memory.Size() - 0, ret), std::logic_error);
  memory.Seal();
  EXPECT_EQ(PermissionsAt(memory.Data()).substr(0, 3), "r-x");
  EXPECT_THROW(memory.Write(0, ret), std::logic_error);

  FormulaSource source;
  const std::uint8_t* code = nullptr;
  std::size_t size = 0;
  {
    const CompiledFormula compiled = CompileTexts({"r", "g", "b", "a"}, source);
    code = compiled.SetupCode().data();
    size = compiled.ChannelCode(3).data() + kFormulaChannelBytes - code;
    EXPECT_EQ(PermissionsAt(code).substr(0, 3), "r-x");
    EXPECT_EQ(PermissionsAt(compiled.ChannelCode(3).data()).substr(0, 3), "r-x");
  }
  // Freed with the filter: the pages are unmapped.
  errno = 0;
  EXPECT_NE(msync(const_cast<std::uint8_t*>(code), size, MS_ASYNC), 0);
  EXPECT_EQ(errno, ENOMEM);
}

TEST(FormulaCompiler, CnvPassesItsChannelAsAHiddenArgument) {
  // Unless all its arguments are constants (then the sum is written out), the channel number
  // is compiled as a number just before the template.
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts({"0", "0", "cnv(0,0,0,0,x,0,0,0,0,0)", "0"}, source);
  const auto code = compiled.ChannelCode(2);
  const auto cnv = FormulaTemplateCode(FormulaTemplate::kFnCnv);
  ASSERT_GT(code.size(), cnv.size() + 6 + 3);
  const std::size_t at = code.size() - 3 - cnv.size() - 6;
  const std::uint8_t expected[] = {0x50, 0xB8, 2, 0, 0, 0};
  EXPECT_TRUE(std::ranges::equal(code.subspan(at, 6), expected));
}

}  // namespace

// The row routine writes exactly the pixels it is given, each as the per-pixel routines'
// values clamped and packed, and leaves x behind the last one; an empty or negative count
// touches nothing.
TEST(FormulaCompiler, RowRoutineWritesOnlyItsPixels) {
  const std::array<std::string, 4> texts{"r * 2", "g - 300", "x * 100 - 150", "a + y"};
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(texts, source);
  const TestPicture picture = MakeTestPicture(5, 2, 11);
  const std::vector<ChannelValues> expected = RunCompiled(compiled, picture, {});
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->Start(picture.width, picture.height, FormulaSliders{}.values, nullptr);
  constexpr std::uint32_t kUntouched = 0x12345678;
  for (const int count : {-1, 0}) {
    std::vector<std::uint32_t> row(5, kUntouched);
    context->x = 2;
    compiled.Row()(&picture.pixels[2], &row[2], count, context.get());
    EXPECT_EQ(row, std::vector<std::uint32_t>(5, kUntouched)) << count;
    EXPECT_EQ(context->x, 2) << count;
  }
  std::vector<std::uint32_t> row(5, kUntouched);
  context->x = 1;
  context->y = 1;
  compiled.Row()(&picture.pixels[5 + 1], &row[1], 3, context.get());
  EXPECT_EQ(context->x, 4);
  EXPECT_EQ(row[0], kUntouched);
  EXPECT_EQ(row[4], kUntouched);
  for (int x = 1; x <= 3; ++x) EXPECT_EQ(row[x], PackChannels(expected[5 + x])) << x;
  EXPECT_EQ(row[1] >> 8 & 255, 0u);    // below 0
  EXPECT_EQ(row[3] & 255, 150u);       // 3 * 100 - 150
  EXPECT_GT(compiled.RowCode().size(), compiled.SetupCode().size());
}

// Whole filters of every kind of per-pixel value, neighbour read and stored state give the
// same picture through the row routine as through the per-pixel routines.
TEST(FormulaCompiler, RowRoutineAgreesWithThePerPixelRoutinesOnWholeFilters) {
  const std::vector<std::array<std::string, 4>> filters{
      {"cnv(1,2,1,2,4,2,1,2,1,16)", "cnv(0,-1,0,-1,5,-1,0,-1,0,1)", "cnv(1,1,1,1,1,1,1,1,1,ctl(0))", "a"},
      {"rad(d + m / 4, m, 0)", "rad(d, m * ctl(1) / 128, 1)", "src(x + sin(y * 8) / 64, y, 2)", "255 - a"},
      {"i > ctl(0) ? 255 : 0", "u * 4 + 128", "v * 4 + 128", "a < 128 ? a * 2 : 300"},
      {"put(rnd(0, 255), 0), get(0)", "put(get(0) + g, 1) / 2", "rst(x * y), rnd(b, 400)", "get(1) - 500"},
      {"mix(r, scl(g, 0, 255, ctl(0), ctl(1)), ctl(2), 255)", "val(3, 0, 255) + x % 7", "map(1, b)", "-a"}};
  const TestPicture picture = MakeTestPicture(41, 29, 5);
  FormulaSliders sliders;
  for (int k = 0; k < 8; ++k) sliders.values[k] = 30 * k + 10;
  for (const auto& texts : filters) {
    FormulaSource source;
    const CompiledFormula compiled = CompileTexts(texts, source);
    for (int c = 0; c < 4; ++c) ASSERT_EQ(compiled.Error(c), FormulaError::kNone) << texts[c];
    const std::vector<ChannelValues> perPixel = RunCompiled(compiled, picture, sliders);
    const std::vector<std::uint32_t> rows = RunCompiledRows(compiled, picture, sliders);
    ASSERT_EQ(rows.size(), perPixel.size());
    int differing = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) differing += rows[k] != PackChannels(perPixel[k]);
    EXPECT_EQ(differing, 0) << texts[0];
  }
}

namespace {

int gInteriorFetches = 0;

std::uint32_t CountingFetch(std::int32_t row, std::int32_t column) {
  ++gInteriorFetches;
  return gFetchPicture->At(row, column);
}

}  // namespace

// The interior row routine reads the neighbours of "cnv" with constant weights from the rows
// themselves: over the pixels off the edges it gives exactly the per-pixel routines' values
// (weights that are shifts, multiplications, negative or zero; divisors 0, 1, -1, powers of
// two and others, negative ones too; every channel) without calling the fetch routine.
TEST(FormulaCompiler, InteriorRowRoutineReadsNeighboursFromTheRows) {
  const std::vector<std::array<std::string, 4>> filters{
      {"cnv(1,2,1,2,4,2,1,2,1,16)", "cnv(0,-1,0,-1,5,-1,0,-1,0,1)", "cnv(8,0,8,0,0,0,8,0,8,0)", "a"},
      {"cnv(-3,7,1000000,0,1,2,-8,4,3,7)", "cnv(1,1,1,1,1,1,1,1,1,-1)", "cnv(2,2,2,2,2,2,2,2,2,-4)",
       "cnv(0,0,0,0,1,0,0,0,0,0)"},
      {"cnv(0,0,0,0,0,0,0,0,0,5)", "cnv(-1,-2,-1,0,0,0,1,2,1,0) + 128", "255 - cnv(1,0,0,0,0,0,0,0,0,1)",
       "cnv(65536,1,1,1,1,1,1,1,-65536,-3)"}};
  const TestPicture picture = MakeTestPicture(23, 17, 9);
  for (const auto& texts : filters) {
    FormulaSource source;
    const CompiledFormula compiled = CompileTexts(texts, source);
    for (int c = 0; c < 4; ++c) ASSERT_EQ(compiled.Error(c), FormulaError::kNone) << texts[c];
    const std::vector<ChannelValues> perPixel = RunCompiled(compiled, picture, {});

    gFetchPicture = &picture;
    gInteriorFetches = 0;
    auto context = std::make_unique<FormulaContext>();
    context->Reset();
    context->Start(picture.width, picture.height, FormulaSliders{}.values, &CountingFetch);
    std::vector<std::uint32_t> row(std::size_t(picture.width), 0x5A5A5A5A);
    for (int y = 1; y + 1 < picture.height; ++y) {
      const std::size_t start = std::size_t(y) * std::size_t(picture.width);
      context->x = 1;
      context->y = y;
      compiled.InteriorRow()(&picture.pixels[start + 1], &row[1], picture.width - 2, context.get(),
                             std::ptrdiff_t{picture.width} * 4);
      EXPECT_EQ(context->x, picture.width - 1);
      for (int x = 1; x + 1 < picture.width; ++x)
        ASSERT_EQ(row[std::size_t(x)], PackChannels(perPixel[start + std::size_t(x)])) << texts[0] << " at " << x << "," << y;
    }
    EXPECT_EQ(gInteriorFetches, 0) << texts[0];
    gFetchPicture = nullptr;
  }
}
