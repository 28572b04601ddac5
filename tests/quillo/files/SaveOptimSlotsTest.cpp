// The optimiser's slot settings: the depths each type offers, the first run's slots, the
// stored text of a slot and what is read back from hostile stored text, and the cleaning of a
// configuration's name.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillo/files/SaveOptimSlots.h"

namespace {

GFXFile* FormatNamed(const std::string& name) {
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->name == name) return f;
  return nullptr;
}

std::vector<int> CodesOf(const std::string& name) {
  std::vector<int> codes;
  for (const OptimDepth& d : DepthsOf(FormatNamed(name))) codes.push_back(d.code);
  return codes;
}

}  // namespace

TEST(SaveOptimSlotsTest, EachTypeOffersTheDepthsItCanWriteInListOrder) {
  const struct {
    const char* format;
    std::vector<int> codes;
  } cases[] = {
      {"JPEG", {24, kDepthGrey}},
      {"Portable Network Graphics", {32, 24, 8, 4, 1, kDepthAdaptive}},
      {"CompuServe GIF", {8, 4, 1, kDepthAdaptive}},
      {"WAP Bitmap", {1}},
      {"Windows Bitmap", {32, 24, 8, 4, 1, kDepthAdaptive}},
  };
  for (const auto& c : cases) EXPECT_EQ(CodesOf(c.format), c.codes) << c.format;
  EXPECT_TRUE(DepthsOf(nullptr).empty());
}

TEST(SaveOptimSlotsTest, DepthCodesBecomeTheSaveParametersBitsAndGrey) {
  const struct {
    int code;
    int bits;
    bool grey;
    bool limit;
  } cases[] = {{32, 32, false, false}, {24, 24, false, false}, {16, 16, false, false}, {15, 15, false, false},
               {8, 8, false, true},    {4, 4, false, true},    {1, 1, false, false},   {kDepthGrey, 8, true, true},
               {kDepthAdaptive, -1, false, true}};
  for (const auto& c : cases) {
    GFXSaveParams p;
    ApplyDepthCode(c.code, p);
    EXPECT_EQ(p.bits, c.bits) << c.code;
    EXPECT_EQ(p.grey, c.grey) << c.code;
    EXPECT_EQ(DepthTakesLimit(c.code), c.limit) << c.code;
  }
}

TEST(SaveOptimSlotsTest, TheFirstRunGivesFourInterlacedSlotsOfFallingQuality) {
  for (int k = 0; k < kOptimSlotCount; ++k) {
    const OptimSlot s = FirstRunSlot(k, 5);
    EXPECT_EQ(s.typeIndex, 5);
    EXPECT_EQ(s.depthIndex, 0);
    EXPECT_EQ(s.limit, 0);
    EXPECT_EQ(s.colours, 234);
    EXPECT_EQ(s.dither, 0);
    EXPECT_EQ(s.transparent, 0);
    EXPECT_EQ(s.interlaced, 1);
    EXPECT_EQ(s.quality, 75 - 10 * k);
  }
}

TEST(SaveOptimSlotsTest, TheTypeListNamesTheWritableFormatsWithoutTheirPatterns) {
  const std::vector<AnsiString> names = OptimTypeNames();
  ASSERT_FALSE(names.empty());
  for (size_t i = 0; i < names.size(); ++i) {
    ASSERT_NE(WritableFormat(static_cast<int>(i)), nullptr);
    EXPECT_EQ(names[i], WritableFormat(static_cast<int>(i))->name);
  }
  EXPECT_EQ(WritableFormat(static_cast<int>(names.size())), nullptr);
  EXPECT_EQ(WritableFormat(-1), nullptr);
  EXPECT_EQ(FirstExtensionWithDot(FormatNamed("JPEG")), ".JPG");
  EXPECT_EQ(FirstExtensionWithDot(FormatNamed("Portable Network Graphics")), ".PNG");
}

TEST(SaveOptimSlotsTest, ASlotIsStoredInItsTextFormat) {
  EXPECT_EQ(SlotValueText("JPEG", 24, FirstRunSlot(0, 0)), "JPEG@24@0@234@0@0@1@75");
  OptimSlot s{3, 2, 1, 64, 1, 1, 0, 75};
  EXPECT_EQ(SlotValueText("Portable Network Graphics", 8, s), "Portable Network Graphics@8@1@64@1@1@0@75");
  EXPECT_EQ(SlotValueText("CompuServe GIF", kDepthAdaptive, s), "CompuServe GIF@-1@1@64@1@1@0@75");
}

TEST(SaveOptimSlotsTest, StoredTextIsReadBackWithEveryNumberInItsRange) {
  const struct {
    const char* text;
    bool read;
    const char* type;
    int depth, limit, colours, dither, transparent, interlaced, quality;
  } cases[] = {
      {"Portable Network Graphics@8@1@64@1@1@0@75", true, "Portable Network Graphics", 8, 1, 64, 1, 1, 0, 75},
      {"JPEG@24@0@234@0@0@1@1000", true, "JPEG", 24, 0, 234, 0, 0, 1, 100},
      {"JPEG@24@0@234@0@0@1@-3", true, "JPEG", 24, 0, 234, 0, 0, 1, 1},
      {"CompuServe GIF@8@7@-5@9@-1@2@50", true, "CompuServe GIF", 8, 1, 2, 1, 1, 1, 50},
      {"CompuServe GIF@8@1@9999@0@0@0@50", true, "CompuServe GIF", 8, 1, 256, 0, 0, 0, 50},
      {"Odd\\Type@99@0@234@0@0@1@75", true, "Odd\\Type", 99, 0, 234, 0, 0, 1, 75},
      {"JPEG@24@0@234", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"JPEG@24@0@234@0@0@1@", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"JPEG@24@0@234@0@0@1@75@8", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"JPEG@24@0@x@0@0@1@75", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"JPEG", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"", false, "", 0, 0, 0, 0, 0, 0, 0},
      {"@", false, "", 0, 0, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const std::optional<StoredSlot> s = ParseSlotValue(c.text);
    ASSERT_EQ(s.has_value(), c.read) << c.text;
    if (!s) continue;
    EXPECT_EQ(s->typeName, c.type) << c.text;
    EXPECT_EQ(s->depthCode, c.depth) << c.text;
    EXPECT_EQ(s->settings.limit, c.limit) << c.text;
    EXPECT_EQ(s->settings.colours, c.colours) << c.text;
    EXPECT_EQ(s->settings.dither, c.dither) << c.text;
    EXPECT_EQ(s->settings.transparent, c.transparent) << c.text;
    EXPECT_EQ(s->settings.interlaced, c.interlaced) << c.text;
    EXPECT_EQ(s->settings.quality, c.quality) << c.text;
  }
}

TEST(SaveOptimSlotsTest, AConfigurationNameIsCapitalisedAndLosesWhatWouldBreakItsKey) {
  const struct {
    const char* typed;
    int caret;
    const char* kept;
    int caretAfter;
  } cases[] = {
      {"my best set", 11, "my Best Set", 11},
      {"a@b", 2, "ab", 1},
      {"a@b", 1, "ab", 1},
      {"web\\jpeg", 8, "webjpeg", 7},
      {"x@y\\z w", 7, "xyz W", 5},
      {" lead", 5, " Lead", 5},
      {"", 0, "", 0},
  };
  for (const auto& c : cases) {
    int caret = c.caret;
    EXPECT_EQ(CleanConfigName(c.typed, caret), c.kept) << c.typed;
    EXPECT_EQ(caret, c.caretAfter) << c.typed;
  }
  int caret = 300;
  EXPECT_EQ(CleanConfigName(std::string(300, 'n'), caret).size(), 255u);
  EXPECT_EQ(caret, 255);
}
