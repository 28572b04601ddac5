// The compiler's error reports, its limits, the set-up routine it assembles and the code
// memory it runs from.

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "FormulaRun.h"
#include "quillo/filters/FormulaTemplates.h"

namespace {

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

// n copies of "mix(r,r,r,r)" joined by "+": each copy is four variable loads and the mix
// template, each "+" one add template, plus the prologue (4 bytes) and epilogue (3).
std::size_t MixChainBytes(int n) {
  const std::size_t mix = FormulaTemplateCode(FormulaTemplate::kFnMix).size();
  const std::size_t add = FormulaTemplateCode(FormulaTemplate::kAdd).size();
  return 4 + n * (4 * 4 + mix) + (n - 1) * add + 3;
}

std::string MixChain(int n) {
  std::string s = "mix(r,r,r,r)";
  for (int k = 1; k < n; ++k) s += "+mix(r,r,r,r)";
  return s;
}

TEST(FormulaCompiler, ChannelCodeStopsAt4096Bytes) {
  int most = 1;
  while (MixChainBytes(most + 1) <= kFormulaChannelBytes) ++most;
  ASSERT_LE(MixChain(most + 1).size(), 1024u) << "the chain must fail by its code size, not its length";
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts({MixChain(most), MixChain(most + 1), "b", "a"}, source);
  EXPECT_EQ(compiled.Error(0), FormulaError::kNone);
  EXPECT_EQ(compiled.ChannelCode(0).size(), MixChainBytes(most));
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
  // The channel number is compiled as a number just before the template.
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts({"0", "0", "cnv(0,0,0,0,1,0,0,0,0,0)", "0"}, source);
  const auto code = compiled.ChannelCode(2);
  const auto cnv = FormulaTemplateCode(FormulaTemplate::kFnCnv);
  ASSERT_GT(code.size(), cnv.size() + 6 + 3);
  const std::size_t at = code.size() - 3 - cnv.size() - 6;
  const std::uint8_t expected[] = {0x50, 0xB8, 2, 0, 0, 0};
  EXPECT_TRUE(std::ranges::equal(code.subspan(at, 6), expected));
}

}  // namespace
