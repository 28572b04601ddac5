// Compiled filter components as the factory writes them: the description and its options,
// texts that cannot add keys, the area filled inside an unchanged template, templates that
// cannot hold the filter refused before anything is written, and the routines running from
// wherever they are copied to.

#include "quillo/filters/FilterComponentFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "FilterComponentSamples.h"
#include "FormulaRun.h"
#include "quillo/filters/ExecutableMemory.h"
#include "quillo/plugins/ffqlc/FormulaRecord.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

// The template's C record and the program's context are one layout.
static_assert(sizeof(FormulaRecord) == sizeof(FormulaContext));
static_assert(offsetof(FormulaRecord, i) == formula_layout::kI);
static_assert(offsetof(FormulaRecord, mostDistance) == formula_layout::kMostDistance);
static_assert(offsetof(FormulaRecord, seed) == formula_layout::kSeed);
static_assert(offsetof(FormulaRecord, channelShift) == formula_layout::kChannelShift);
static_assert(offsetof(FormulaRecord, angleScale) == formula_layout::kAngleScale);
static_assert(offsetof(FormulaRecord, fetch) == formula_layout::kFetch);
static_assert(offsetof(FormulaRecord, scratch) == formula_layout::kScratch);
static_assert(offsetof(FormulaRecord, sliders) == formula_layout::kSliders);
static_assert(offsetof(FormulaRecord, cells) == formula_layout::kCells);
static_assert(offsetof(FormulaRecord, sine) == formula_layout::kSine);
static_assert(offsetof(FormulaRecord, tangent) == formula_layout::kTangent);
static_assert(offsetof(FormulaRecord, weights) == formula_layout::kWeights);
static_assert(sizeof(FormulaRecord) == formula_layout::kEnd);
static_assert(offsetof(FormulaRecord, r) == formula_layout::kR && offsetof(FormulaRecord, a) == formula_layout::kA);
static_assert(offsetof(FormulaRecord, x) == formula_layout::kX && offsetof(FormulaRecord, y) == formula_layout::kY);
static_assert(offsetof(FormulaRecord, width) == formula_layout::kWidth);
static_assert(offsetof(FormulaRecord, height) == formula_layout::kHeight);
static_assert(offsetof(FormulaRecord, u) == formula_layout::kU && offsetof(FormulaRecord, v) == formula_layout::kV);
static_assert(offsetof(FormulaRecord, d) == formula_layout::kD && offsetof(FormulaRecord, m) == formula_layout::kM);

namespace {

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::uint32_t Count(const std::string& bytes, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

std::string Bytes(std::span<const std::uint8_t> code) { return {reinterpret_cast<const char*>(code.data()), code.size()}; }

constexpr char kHead[] = "Ver=2.65\rName=Glow\rCopyright=(c) Ann\rContact=Ann\rOpt=PW\r";

TEST(FilterComponentDescription, SlidersBecomeOptionsUpToTheLastThatMatters) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> named;  // slider, name
    std::vector<std::pair<int, int>> values;          // slider, value
    std::string options;
  } cases[] = {
      {"no slider named, all 0", {}, {}, ""},
      {"only the eighth", {{7, "Size"}}, {{7, 40}},
       "Par1=S3,,0,255,0\rPar2=S3,,0,255,0\rPar3=S3,,0,255,0\rPar4=S3,,0,255,0\rPar5=S3,,0,255,0\r"
       "Par6=S3,,0,255,0\rPar7=S3,,0,255,0\rPar8=S,Size,0,255,40\r"},
      {"first two named", {{0, "Radius"}, {1, "Angle"}}, {{0, 12}, {1, 255}},
       "Par1=S,Radius,0,255,12\rPar2=S,Angle,0,255,255\r"},
      {"an unnamed one in between", {{0, "A"}, {2, "C"}}, {{1, 77}}, "Par1=S,A,0,255,0\rPar2=S3,,0,255,77\rPar3=S,C,0,255,0\r"},
      {"an unnamed value keeps its slider", {}, {{3, 9}},
       "Par1=S3,,0,255,0\rPar2=S3,,0,255,0\rPar3=S3,,0,255,0\rPar4=S3,,0,255,9\r"},
      {"unnamed zero sliders after the last named", {{1, "B"}}, {}, "Par1=S3,,0,255,0\rPar2=S,B,0,255,0\r"},
  };
  for (const Case& c : cases) {
    FormulaFilter f = TitledFilter("Glow");
    for (const auto& [k, name] : c.named) f.names[k] = name;
    for (const auto& [k, value] : c.values) f.values[k] = value;
    EXPECT_EQ(FilterComponentDescription(f), kHead + c.options) << c.what;
  }
}

TEST(FilterComponentDescription, NoTextCanAddAKeyOrAField) {
  FormulaFilter f;
  f.title = "Glow\rIcon=3";
  f.copyright = "line\r\none=two";
  f.author = "me\nPar1=S,x,0,9,9";
  f.names[0] = "w,1,2=3\r";
  f.names[1] = std::string("nul\0l", 5);
  f.values[0] = 5;
  EXPECT_EQ(FilterComponentDescription(f),
            "Ver=2.65\rName=Glow Icon 3\rCopyright=line  one two\rContact=me Par1 S,x,0,9,9\rOpt=PW\r"
            "Par1=S,w 1 2 3 ,0,255,5\rPar2=S,nul l,0,255,0\r");
}

// A template of the given bytes around an area of `areaLength` bytes from "FFCD" on.
std::string SyntheticTemplate(std::size_t areaLength) {
  std::string bytes = "ELF head FFCD not this one ";
  bytes += "FFCD" + std::string(areaLength - 4, '\0');
  bytes += "tail after the area";
  return bytes;
}

TEST(FilterComponentFile, TheMadeFileIsTheTemplateOutsideTheArea) {
  const std::string templateBytes = BuiltFilterTemplate();
  ASSERT_FALSE(templateBytes.empty());
  const auto area = FindFilterComponentArea(templateBytes);
  ASSERT_TRUE(area);
  const CompiledFormula compiled = CompileFormulas({"255-r", "g+ctl(7)", "b*d/1024", "a"});
  FormulaFilter filter = TitledFilter("Glow");
  filter.names[7] = "Size";
  filter.values[7] = 40;
  const auto made = MakeFilterComponent(templateBytes, compiled, filter);
  ASSERT_TRUE(made);
  ASSERT_EQ(made->size(), templateBytes.size());
  EXPECT_EQ(made->compare(0, area->offset, templateBytes, 0, area->offset), 0);
  const std::size_t areaEnd = area->offset + area->length;
  EXPECT_EQ(made->compare(areaEnd, std::string::npos, templateBytes, areaEnd, std::string::npos), 0);
  // Inside: the marker, the lengths, the routines, the description, zeros.
  std::size_t at = area->offset;
  EXPECT_EQ(made->substr(at, 4), "ffcd");
  std::string code = Bytes(compiled.SetupCode());
  EXPECT_EQ(Count(*made, at + 4), compiled.SetupCode().size());
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(Count(*made, at + 8 + 4 * c), compiled.ChannelCode(c).size());
    code += Bytes(compiled.ChannelCode(c));
  }
  at += 24;
  EXPECT_EQ(made->substr(at, code.size()), code);
  at += code.size();
  const std::string description = FilterComponentDescription(filter);
  EXPECT_EQ(made->substr(at, description.size()), description);
  EXPECT_NE(description.find("Par8=S,Size,0,255,40\r"), std::string::npos);
  at += description.size();
  EXPECT_EQ(made->find_first_not_of('\0', at), areaEnd);
}

TEST(FilterComponentFile, AGreenFormulaWithAnErrorStillMakesAComponentWhoseGreenIsZero) {
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts({"r", "g+(", "b", "a"}, source);
  ASSERT_NE(source.errorPosition[1], -1);
  const auto made = MakeFilterComponent(BuiltFilterTemplate(), compiled, TitledFilter("Broken"));
  ASSERT_TRUE(made);
  const CompiledFormula zero = CompileFormulas({"r", "0", "b", "a"});
  EXPECT_EQ(Bytes(compiled.ChannelCode(1)), Bytes(zero.ChannelCode(1)));
}

TEST(FilterComponentFile, TheLastMarkerIsTakenAndWhatDoesNotFitIsRefused) {
  const CompiledFormula compiled = CompileFormulas({"r", "g", "b", "a"});
  const FormulaFilter filter = TitledFilter("Glow");
  // What the area has to hold: head, routines, description and the zero after it.
  std::size_t need = 24 + compiled.SetupCode().size() + FilterComponentDescription(filter).size() + 1;
  for (int c = 0; c < 4; ++c) need += compiled.ChannelCode(c).size();
  struct Case {
    std::string bytes;
    bool fits;
  } cases[] = {
      {SyntheticTemplate(need), true},
      {SyntheticTemplate(need - 1), false},
      {"no marker here" + std::string(70000, '\0'), false},
      {"FFC", false},
      {"", false},
      {std::string(100, '\0') + "FFCD", false},
  };
  // The built template's area holds a long description, but not one past its 64 KB, even
  // where zeros follow it.
  FormulaFilter wordy = filter;
  wordy.copyright.assign(40000, 'c');
  EXPECT_TRUE(MakeFilterComponent(BuiltFilterTemplate(), compiled, wordy));
  wordy.copyright.assign(65536, 'c');
  EXPECT_FALSE(MakeFilterComponent(BuiltFilterTemplate(), compiled, wordy));
  EXPECT_FALSE(MakeFilterComponent(SyntheticTemplate(200000), compiled, wordy));
  for (const Case& c : cases) {
    const auto made = MakeFilterComponent(c.bytes, compiled, filter);
    ASSERT_EQ(made.has_value(), c.fits) << c.bytes.size();
    if (!made) continue;
    const std::size_t marker = c.bytes.rfind("FFCD");
    EXPECT_EQ(made->substr(0, marker), c.bytes.substr(0, marker));
    EXPECT_EQ(made->substr(marker, 4), "ffcd");
    EXPECT_EQ(made->substr(marker + need - 1), c.bytes.substr(marker + need - 1));
  }
}

TEST(FilterComponentFile, ATemplateThatCannotServeLeavesNoFile) {
  TempHome home;
  const CompiledFormula compiled = CompileFormulas({"r", "g", "b", "a"});
  const FormulaFilter filter = TitledFilter("Glow");
  const std::string good = home.Path() + "/good.qlc";
  Write(good, SyntheticTemplate(4096));
  const std::string kept = home.Path() + "/kept.qlc";
  Write(kept, "the old component");
  struct Case {
    const char* what;
    std::string templateBytes;  // empty: no template file at all
  } cases[] = {
      {"no template", ""},
      {"no marker", std::string(4096, 'x')},
      {"too short", SyntheticTemplate(64)},
  };
  for (const Case& c : cases) {
    const std::string templatePath = home.Path() + "/template.qlc";
    std::filesystem::remove(templatePath);
    if (!c.templateBytes.empty()) Write(templatePath, c.templateBytes);
    EXPECT_FALSE(WriteFilterComponent(home.Path() + "/made.qlc", templatePath, compiled, filter)) << c.what;
    EXPECT_FALSE(std::filesystem::exists(home.Path() + "/made.qlc")) << c.what;
    EXPECT_FALSE(WriteFilterComponent(kept, templatePath, compiled, filter)) << c.what;
    EXPECT_EQ(FileBytes(kept), "the old component") << c.what;
  }
  std::set<std::string> before;
  for (const auto& e : std::filesystem::directory_iterator(home.Path())) before.insert(e.path().filename().string());
  {
    // A disk that fills up on the way.
    FileSizeLimit limit(1000);
    EXPECT_FALSE(WriteFilterComponent(kept, good, compiled, filter));
  }
  EXPECT_EQ(FileBytes(kept), "the old component");
  std::set<std::string> after;
  for (const auto& e : std::filesystem::directory_iterator(home.Path())) after.insert(e.path().filename().string());
  EXPECT_EQ(after, before);
  // The same template with room enough replaces the old file.
  ASSERT_TRUE(WriteFilterComponent(kept, good, compiled, filter));
  EXPECT_EQ(FileBytes(kept), *MakeFilterComponent(FileBytes(good), compiled, filter));
}

// The routines copied elsewhere, as the template copies them out of its file.
struct MovedRoutines {
  ExecutableMemory memory;
  CompiledFormula::SetupRoutine setup = nullptr;
  CompiledFormula::ChannelRoutine channel[4] = {};
};

// Each routine at its own odd offset on pages of its own.
std::unique_ptr<MovedRoutines> Move(const CompiledFormula& compiled) {
  constexpr std::size_t kSpacing = 24577;
  auto moved = std::make_unique<MovedRoutines>();
  moved->memory = ExecutableMemory(6 * kSpacing);
  std::size_t offsets[5];
  for (int k = 0; k < 5; ++k) {
    offsets[k] = k * kSpacing + 1 + 3 * k;
    moved->memory.Write(offsets[k], k == 0 ? compiled.SetupCode() : compiled.ChannelCode(k - 1));
  }
  moved->memory.Seal();
  const std::uint8_t* base = moved->memory.Data();
  moved->setup = reinterpret_cast<CompiledFormula::SetupRoutine>(const_cast<std::uint8_t*>(base + offsets[0]));
  for (int c = 0; c < 4; ++c)
    moved->channel[c] = reinterpret_cast<CompiledFormula::ChannelRoutine>(const_cast<std::uint8_t*>(base + offsets[1 + c]));
  return moved;
}

const TestPicture* gPicture = nullptr;
std::uint32_t Fetch(std::int32_t row, std::int32_t column) { return gPicture->At(row, column); }

TEST(FilterComponentFile, TheRoutinesRunWhereverTheyAreCopied) {
  const TestPicture picture = MakeTestPicture(23, 17, 5);
  gPicture = &picture;
  FormulaSliders sliders;
  for (int k = 0; k < 8; ++k) sliders.values[k] = 31 * k + 7;
  const std::array<std::string, 4> filters[] = {
      {"r*ctl(1)/255", "i+u-v", "d>0 ? m : M-m", "a"},
      {"src(x+3,y-2,0)", "cnv(1,2,1,2,4,2,1,2,1,16)", "rad(d+128,m,2)", "255"},
      {"sin(x*8)/4+128", "cos(y*8)/4+128", "tan(x+y)/64", "put(get(0)+1,0)"},
      {"rnd(0,255)", "x<5 ? (y<5 ? 1 : 2) : 3", "scl(r,0,255,10,20)", "abs(128-g)"},
  };
  for (const auto& formulas : filters) {
    const CompiledFormula compiled = CompileFormulas(formulas);
    for (int c = 0; c < 4; ++c) ASSERT_EQ(compiled.Error(c), FormulaError::kNone) << formulas[c];
    const auto expected = RunCompiled(compiled, picture, sliders);
    const auto moved = Move(compiled);
    auto context = std::make_unique<FormulaContext>();
    context->Reset();
    context->Start(picture.width, picture.height, sliders.values, &Fetch);
    for (int y = 0, k = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x, ++k) {
        context->x = x;
        context->y = y;
        moved->setup(picture.pixels[std::size_t(k)], context.get());
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(moved->channel[c](context.get()), expected[std::size_t(k)][c]) << formulas[c] << " at " << x << "," << y;
      }
    }
  }
  gPicture = nullptr;
}

}  // namespace
