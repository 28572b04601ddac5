// The description text of a component: keys, version, help, brush glyph, option descriptors
// and the default value block they make.

#include <gtest/gtest.h>

#include "quillo/plugins/ComponentDescription.h"

namespace {

QLCDSTR Parsed(const std::string& text, DescriptionFault expected = DescriptionFault::None) {
  QLCDSTR record;
  EXPECT_EQ(ParseComponentDesc(text, record), expected) << text;
  return record;
}

TEST(ComponentDescriptionTest, VersionsBelowTwoOrUnreadableRegisterNothing) {
  struct Case {
    const char* text;
    DescriptionFault fault;
  } cases[] = {
      {"Ver=1.9\rName=A\r", DescriptionFault::OldVersion}, {"Ver=\rName=A\r", DescriptionFault::NoVersion},
      {"Ver=abc\rName=A\r", DescriptionFault::NoVersion},  {"Name=A\r", DescriptionFault::NoVersion},
      {"Ver=2\rName=A\r", DescriptionFault::None},         {"Ver=2.0\rName=A\r", DescriptionFault::None},
      {"Ver=2.5", DescriptionFault::None},
  };
  for (const Case& c : cases) Parsed(c.text, c.fault);
}

TEST(ComponentDescriptionTest, AKeyIsFoundAtItsFirstOccurrenceEvenInsideAnotherValue) {
  const QLCDSTR record = Parsed("Ver=2\rCopyright=Name=x\rName=Real\r");
  EXPECT_EQ(record.Name, "x");
  EXPECT_EQ(record.Copyright, "Name=x");
  EXPECT_EQ(DescriptionValue("Ver=2\rOpt=WP", "Opt="), "WP");
  EXPECT_EQ(DescriptionValue("Ver=2\r", "Icon="), "");
}

TEST(ComponentDescriptionTest, HelpFileAndContext) {
  QLCDSTR plain = Parsed("Ver=2\rHelp=manual.hlp\r");
  EXPECT_EQ(plain.HelpFile, "MANUAL.HLP");
  EXPECT_EQ(plain.HelpContext, 100);
  QLCDSTR withContext = Parsed("Ver=2\rHelp=manual.hlp,42\r");
  EXPECT_EQ(withContext.HelpFile, "manual.hlp");
  EXPECT_EQ(withContext.HelpContext, 42);
  Parsed("Ver=2\rHelp=manual.hlp,x42\r", DescriptionFault::BadHelpContext);
}

TEST(ComponentDescriptionTest, AnIconMustBeAGlyphNumber) {
  EXPECT_EQ(Parsed("Ver=2\rIcon=5\r").IconGlyph, 5);
  EXPECT_EQ(Parsed("Ver=2\r").IconGlyph, -1);
  Parsed("Ver=2\rIcon=brush\r", DescriptionFault::BadIcon);
  Parsed("Ver=2\rIcon=-3\r", DescriptionFault::BadIcon);
}

TEST(ComponentDescriptionTest, DefaultsLandInTheirSlots) {
  const QLCDSTR record = Parsed(
      "Ver=2\rPar1=I,W,1,100,10\rPar2=F,G,2,0.1,0,5,1.5\rPar3=B,R\rPar4=C,Inv,1\rPar5=S,L,0,255,128\r"
      "Par6=L,Shape,3,Round,Square,Star,2\rPar7=O,Tint,FF8000\rPar8=P,Centre,32768,16384\rPar9=G,Doc,3\r");
  const std::uint8_t* block = record.DefaultValues.data();
  EXPECT_EQ(ReadSlot32(block, 0), 10);
  EXPECT_DOUBLE_EQ(ReadSlotDouble(block, 4), 1.5);
  EXPECT_EQ(ReadSlot32(block, 12), 1);
  EXPECT_EQ(ReadSlot32(block, 16), 128);
  EXPECT_EQ(ReadSlot32(block, 20), 2);
  EXPECT_EQ(ReadSlot32(block, 24), 0xFF8000);
  EXPECT_EQ(ReadSlot32(block, 28), 32768 | 16384 << 16);
  EXPECT_EQ(ReadSlot32(block, 32), 3);
  EXPECT_EQ(record.SavedValues, record.DefaultValues);
  const int types[] = {QLC_OPT_INTEGER, QLC_OPT_FLOAT, QLC_OPT_BUTTON, QLC_OPT_CHECK, QLC_OPT_SCROLL,
                       QLC_OPT_LIST,    QLC_OPT_COLOR, QLC_OPT_POINT,  QLC_OPT_DOCUMENT};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(record.OptionTypes[static_cast<std::size_t>(i)], types[i]) << i;
  EXPECT_EQ(OptionSlotOffset(record, 4), 16);
}

TEST(ComponentDescriptionTest, AnUnreadableDefaultKeepsItsSlot) {
  const QLCDSTR record = Parsed("Ver=2\rPar1=I,W,1,100,abc\rPar2=C,X,1\r");
  EXPECT_EQ(ReadSlot32(record.DefaultValues.data(), 0), 0);
  EXPECT_EQ(ReadSlot32(record.DefaultValues.data(), 4), 1);
  EXPECT_EQ(OptionSlotOffset(record, 1), 4);
}

TEST(ComponentDescriptionTest, AShortDescriptorEndsTheOptionList) {
  const QLCDSTR record = Parsed("Ver=2\rPar1=I,\rPar2=C,X,1\r");
  EXPECT_EQ(record.OptionTypes[0], 0);
  EXPECT_EQ(record.OptionTypes[1], 0);
  EXPECT_FALSE(record.HasOptionPage() && record.OptionTexts[0].size() >= 3);
  const QLCDSTR expert = Parsed("Ver=2\rPar1=C,A,0\rPar2=C,B,0\rPar3=I2,Width,1,100,10\r");
  EXPECT_EQ(OptionLevel(expert.OptionTexts[2]), 2);
  EXPECT_EQ(expert.OptionTypes[2], QLC_OPT_INTEGER);
  EXPECT_EQ(ReadSlot32(expert.DefaultValues.data(), 8), 10);
}

}  // namespace
