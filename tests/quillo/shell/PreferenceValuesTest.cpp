// The preferences' small computations: extension lists, gamma values and labels, the gamma
// test patterns, free space and folder fields, and the undo budget fields' range.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "quillo/base/Settings.h"
#include "quillo/base/ZoomPresets.h"
#include "quillo/shell/FileAssociations.h"
#include "quillo/shell/PreferenceValues.h"
#include "support/TempHome.h"
#include "vorlen/core/Buffer.h"

namespace {

TEST(PreferenceValuesTest, NextExtensionTakesOneMaskAtATime) {
  struct Case {
    const char* list;
    std::vector<std::string> extensions;
  };
  const Case cases[] = {
      {"*.TIFF;*.TIF", {".TIFF", ".TIF", ""}},
      {"*.BMP", {".BMP", ""}},
      {"", {""}},
      {"*.JPG;*.JPEG;*.JPE", {".JPG", ".JPEG", ".JPE", ""}},
      {"*.A;", {".A", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    AnsiString list = c.list;
    for (const std::string& expected : c.extensions) EXPECT_EQ(NextExtension(list), expected);
    EXPECT_TRUE(list.empty());
  }
  // A last mask longer than any extension is cut at 260 characters.
  AnsiString longList = "*" + std::string(300, 'x');
  EXPECT_EQ(NextExtension(longList).size(), 260u);
}

TEST(PreferenceValuesTest, GammaFactorsAndLabels) {
  struct Case {
    int grey;
    int offset;
    std::int32_t factor;
    const char* label;
  };
  const Case cases[] = {{180, 0, 117965, "1.80"}, {90, -20, 45875, "0.70"}, {400, 20, 275251, "4.20"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.grey);
    EXPECT_EQ(GammaFactor(c.grey, c.offset), c.factor);
    EXPECT_EQ(GammaText(c.grey + c.offset), c.label);
  }
}

TEST(PreferenceValuesTest, FixedZoomLabels) {
  const std::pair<int, const char*> cases[] = {{1, "1"}, {0, "3/4"}, {-8, "1/10"}, {32, "32"}, {-2, "1/2"}};
  for (const auto& [position, label] : cases) EXPECT_EQ(ZoomLabelAt(position), label) << position;
}

TEST(PreferenceValuesTest, GammaPatternsAlternateAroundAFlatMiddle) {
  struct Case {
    int width;
    int height;
  };
  for (const Case& c : {Case{64, 48}, Case{9, 7}, Case{4, 4}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    Buffer pattern;
    DrawGammaPattern(pattern, c.width, c.height, 0x7F0000, 0xFF0000);
    EXPECT_EQ(*pattern.At(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(*pattern.At(1, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(*pattern.At(c.width / 4, c.height / 4) & 0xFFFFFF, 0x7F0000u);
    EXPECT_EQ(*pattern.At(3 * c.width / 4, 3 * c.height / 4) & 0xFFFFFF, 0x7F0000u);
    // Everywhere outside the middle the two values alternate.
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const bool middle = x >= c.width / 4 && x <= 3 * c.width / 4 && y >= c.height / 4 && y <= 3 * c.height / 4;
        const std::uint32_t expected = middle ? 0x7F0000u : ((x + y) % 2 ? 0xFF0000u : 0u);
        ASSERT_EQ(*pattern.At(x, y) & 0xFFFFFF, expected) << x << "," << y;
      }
  }
}

TEST(PreferenceValuesTest, FreeSpaceIsWholeMegabytesOfTheNearestExistingFolder) {
  TempHome home;
  const std::int64_t mb = FreeSpaceMB(home.Path());
  ASSERT_GE(mb, 0);
  EXPECT_EQ(FreeSpaceText(home.Path()), std::to_string(mb) + " MB");
  // A folder not made yet is asked through its parent.
  EXPECT_EQ(FreeSpaceMB(home.Path() + "/not/made/yet/"), mb);
  EXPECT_GE(FileSystemSizeMB(home.Path()), mb);
  // Nothing to ask: the text of "N/A" (the key itself without a language).
  EXPECT_EQ(FreeSpaceMB(""), -1);
}

TEST(PreferenceValuesTest, FolderFieldsEndInOneSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"/tmp", "/tmp/"}, {"/tmp/", "/tmp/"}, {"/tmp\\", "/tmp/"}, {"a b", "a b/"}};
  for (const auto& [text, folder] : cases) EXPECT_EQ(FolderWithSeparator(text), folder) << text;
  EXPECT_TRUE(SameFolder("/tmp", "/tmp/"));
  EXPECT_TRUE(SameFolder("/tmp//", "/tmp"));
  EXPECT_FALSE(SameFolder("/tmp", "/tmp2"));
}

TEST(PreferenceValuesTest, UndoBudgetFieldsReachTheMachinesSize) {
  EXPECT_EQ(BudgetMB(1024 * 700 + 1023), 700);
  EXPECT_EQ(BudgetMB(-1), 0);
  // The machine's size, or more when the budget is larger already: the field never cuts it.
  EXPECT_EQ(BudgetFieldMaximum(16000, 5000 * 1024), 16000);
  EXPECT_EQ(BudgetFieldMaximum(16000, 20000 * 1024), 20000);
  EXPECT_EQ(BudgetFieldMaximum(-1, 0), 1);
}

}  // namespace
