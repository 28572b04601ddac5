// Components made by the filter factory, through the component host: the template's area,
// areas whose counts do not fit refused at registration, and a made component giving the
// pixels of the factory's own run of the same formulas, with its sliders and a selection.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>

#include "../filters/FilterComponentSamples.h"
#include "../filters/FormulaRun.h"
#include "QlcFixture.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/filters/FilterComponentFile.h"
#include "quillo/filters/FormulaFilterRun.h"
#include "quillo/plugins/ComponentApi.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentRecord.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolObjects.h"

namespace {

void PutCount(std::string& bytes, std::size_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

using FilterComponentHostTest = QlcProgramTest;

// What the library's QLCGETDESC answers, loaded from a file of its own; null as "(null)".
std::string DescriptionOf(const std::string& folder, const std::string& bytes) {
  static std::atomic<int> serial{0};
  const std::string path = folder + "/probe-" + std::to_string(++serial) + ".qlc";
  std::ofstream(path, std::ios::binary) << bytes;
  HMODULE module = LoadLibrary(path.c_str());
  if (!module) return "(not loaded)";
  const auto get = reinterpret_cast<QLCGETDESC_FN>(GetProcAddress(module, QLC_EXPORT_GETDESC));
  const char* text = get ? get() : nullptr;
  std::string description = text ? text : "(null)";
  FreeLibrary(module);
  return description;
}

TEST_F(FilterComponentHostTest, TheTemplatesLastMarkerStartsItsAreaAndBadCountsAreRefused) {
  Start();
  const std::string templateBytes = BuiltFilterTemplate();
  // The program takes it from its own folder.
  EXPECT_EQ(FileBytes(FilterComponentTemplatePath()), templateBytes);
  const std::size_t marker = templateBytes.rfind("FFCD");
  ASSERT_NE(marker, std::string::npos);
  // 64 KB: the marker, then zeros only.
  ASSERT_GE(templateBytes.size(), marker + 65536);
  EXPECT_EQ(templateBytes.find_first_not_of('\0', marker + 4), marker + 65536);
  const auto area = FindFilterComponentArea(templateBytes);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->offset, marker);
  EXPECT_EQ(area->length, 65536u);

  const CompiledFormula compiled = CompileFormulas({"255-r", "g", "b", "a"});
  const std::string made = *MakeFilterComponent(templateBytes, compiled, TitledFilter("Glow"));
  const std::size_t setup = compiled.SetupCode().size();
  std::size_t code = setup;
  for (int c = 0; c < 4; ++c) code += compiled.ChannelCode(c).size();
  const std::size_t descriptionAt = marker + 24 + code;
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
    bool valid;
  } cases[] = {
      {"as made", [](std::string&) {}, true},
      {"the template's own marker", [&](std::string& b) { b.replace(marker, 4, "FFCD"); }, false},
      {"set-up of 513 bytes", [&](std::string& b) { PutCount(b, marker + 4, 513); }, false},
      {"blue of 4097 bytes", [&](std::string& b) { PutCount(b, marker + 16, 4097); }, false},
      {"red of no bytes", [&](std::string& b) { PutCount(b, marker + 8, 0); }, false},
      {"opacity of 4 GB", [&](std::string& b) { PutCount(b, marker + 20, 0xFFFFFFFFu); }, false},
      {"a description to the area's end",
       [&](std::string& b) { b.replace(descriptionAt, marker + 65536 - descriptionAt, marker + 65536 - descriptionAt, 'x'); },
       false},
  };
  std::vector<std::pair<std::string, std::string>> files;
  for (const Case& c : cases) {
    std::string bytes = made;
    c.change(bytes);
    EXPECT_EQ(DescriptionOf(home.Path(), bytes), c.valid ? FilterComponentDescription(TitledFilter("Glow")) : "(null)")
        << c.what;
    files.emplace_back("case" + std::to_string(files.size()), bytes);
  }
  // The host registers the one that is whole.
  InstallComponentFiles(files);
  EXPECT_EQ(ComponentCount, 1);
  EXPECT_NE(ImageItem("&Glow"), nullptr);
}

// A picture of varied pixels, transparency too.
TestPicture FillPicture(UDBuffer& picture, std::uint32_t seed) {
  const TestPicture test = MakeTestPicture(picture.Width(), picture.Height(), seed);
  for (int y = 0; y < test.height; ++y)
    for (int x = 0; x < test.width; ++x) *picture.At(x, y) = test.pixels[std::size_t(y) * test.width + x];
  return test;
}

TEST_F(FilterComponentHostTest, AMadeComponentGivesThePixelsOfTheFactorysRun) {
  struct Case {
    const char* title;
    std::array<std::string, 4> formulas;
    std::vector<std::pair<int, std::string>> named;
    std::vector<std::pair<int, int>> values;
    bool selection;
    int changedSlider;  // -1: the values as made; else set to 200 on the option page
  } cases[] = {
      {"Plain", {"255-r", "i", "d*255/1024", "255-a"}, {}, {}, false, -1},
      {"Hidden", {"r*ctl(0)/255", "g+ctl(2)", "m", "a"}, {}, {{0, 90}, {2, 17}}, false, -1},
      {"Named", {"src(x+ctl(0)/16,y,0)", "rad(d+ctl(7),m,1)", "cnv(1,2,1,2,4,2,1,2,1,16)", "ctl(7)"},
       {{0, "Shift"}, {7, "Size"}}, {{0, 100}, {7, 40}}, true, -1},
      {"Moved", {"rnd(0,ctl(1))", "put(get(0)+1,0)&255", "sin(x*8)/4+128", "a"}, {{1, "Noise"}}, {{1, 30}}, true, 1},
      {"Broken", {"r", "g+(", "b", "a"}, {}, {}, false, -1},
  };
  StartOn(37, 23, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const TestPicture before = FillPicture(Picture(), 11);
    Picture().ClearSelection(false);
    Picture().SetMaskAll(false);
    Picture().UpdateSelectionBounds();
    if (c.selection) {
      Picture().SetMaskRect(true, Rect(5, 3, 30, 20));
      Picture().SetMaskPixel(9, 7, false);
      Picture().UpdateSelectionBounds();
      Picture().BuildSelectionOutline(false);
    }
    ASSERT_EQ(Picture().HasSelectionBounds(), c.selection);
    FormulaFilter filter = TitledFilter(c.title);
    for (const auto& [k, name] : c.named) filter.names[k] = name;
    for (const auto& [k, value] : c.values) filter.values[k] = value;
    const CompiledFormula compiled = CompileFormulas(c.formulas);
    const std::string target = home.Path() + "/made.qlc";
    ASSERT_TRUE(WriteFilterComponent(target, std::string(QUILLO_BIN_DIR) + "/ffqlc.qlc", compiled, filter));
    InstallComponentFiles({{c.title, FileBytes(target)}});
    ASSERT_NE(ImageItem(std::string("&") + c.title), nullptr);

    FormulaSliders sliders;
    for (int k = 0; k < 8; ++k) sliders.values[k] = filter.values[k];
    // The component is run at the values made into it, or with one moved on its page.
    if (c.changedSlider >= 0) sliders.values[c.changedSlider] = 200;
    // The factory's own run, on a copy of the picture.
    UDBuffer source, factoryResult;
    source.Alloc(before.width, before.height);
    source.CopyFrom(Picture());
    factoryResult.Alloc(before.width, before.height);
    factoryResult.CopyFrom(Picture());
    ASSERT_TRUE(RunFormulaFilter(compiled, source, factoryResult, sliders.values));
    Choose(std::string("&") + c.title);
    if (CurrentTool == &QlComponentTool) {
      if (c.changedSlider >= 0) {
        dynamic_cast<TScrollBar*>(CurrentRecord()->OptionControls[std::size_t(c.changedSlider)][0])->SetPosition(200);
        ui.RunUntilIdle();
      }
      TButton* apply = CompSheetFixedControls().CompApplyBtn;
      const POINT at = UiDriver::At(apply->GetHandle(), 5, 5);
      ui.Click(at.x, at.y);
      ui.RunUntilIdle();
    }
    ASSERT_NE(CurrentTool, &QlComponentTool);
    // The program's run skips the pixels outside the selection; without one, its row
    // routine gives the same pixels.
    const auto selected = [&c](int x, int y) {
      return !c.selection || (x >= 5 && x <= 30 && y >= 3 && y <= 20 && !(x == 9 && y == 7));
    };
    const std::vector<ChannelValues> expected = RunCompiled(compiled, before, sliders, selected);
    const std::vector<std::uint32_t> rows = RunCompiledRows(compiled, before, sliders);
    for (int y = 0; y < before.height; ++y)
      for (int x = 0; x < before.width; ++x) {
        const std::size_t k = std::size_t(y) * before.width + x;
        ASSERT_EQ(*Picture().At(x, y), PackChannels(expected[k])) << x << "," << y;
        ASSERT_EQ(*Picture().At(x, y), *factoryResult.At(x, y)) << x << "," << y;
        if (!selected(x, y)) {
          ASSERT_EQ(*Picture().At(x, y), before.pixels[k]) << x << "," << y;
        }
        if (!c.selection) {
          ASSERT_EQ(*Picture().At(x, y), rows[k]) << x << "," << y;
        }
      }
    if (std::string(c.title) == "Broken") {
      for (int k = 0; k < 5; ++k) EXPECT_EQ(*Picture().At(k, k) >> 8 & 0xFF, 0u);
    }
  }
}

}  // namespace
