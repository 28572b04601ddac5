// The string helpers and the progress-control registry.

#include <gtest/gtest.h>

#include <climits>

#include "ComponentFixture.h"
#include "platform/controls/ProgressBar.h"
#include "platform/rtl/CommandLine.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ProgressBar.h"
#include "quillo/components/files/FileUtils.h"
#include "quillo/components/utilities/ProgressControls.h"
#include "quillo/components/utilities/StrUtils.h"

namespace {

const TCharSet kComma{','};

TEST(StrUtilsTest, WordsSkipEmptyRunsWhereFieldsKeepThem) {
  EXPECT_EQ(WordCount("10,20,,30", kComma), 3);
  EXPECT_EQ(ExtractWord(3, "10,20,,30", kComma), "30");
  EXPECT_EQ(ExtractWord(4, "10,20,,30", kComma), "");
  EXPECT_EQ(WordPosition(2, ",,ab,cd", kComma), 6);
  EXPECT_EQ(ExtractDelimited(3, "a,b,,d", kComma), "");
  EXPECT_EQ(ExtractDelimited(4, "a,b,,d", kComma), "d");
  EXPECT_EQ(ExtractDelimited(5, "a,b,,d", kComma), "");
  EXPECT_TRUE(IsWordPresent("b", "a b c", TCharSet{' '}));
  EXPECT_FALSE(IsWordPresent("B", "a b c", TCharSet{' '}));
}

TEST(StrUtilsTest, ExtractSubstrWalksFieldByField) {
  const AnsiString s = "a,,bc";
  int pos = 1;
  EXPECT_EQ(ExtractSubstr(s, pos, kComma), "a");
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(ExtractSubstr(s, pos, kComma), "");
  EXPECT_EQ(ExtractSubstr(s, pos, kComma), "bc");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(ExtractSubstr(s, pos, kComma), "");
}

struct WildCase {
  const char* input;
  const char* wildcard;
  bool ignoreCase;
  bool matches;
};

TEST(StrUtilsTest, WildcardMatching) {
  const WildCase cases[] = {
      {"Capture.Sub", "Capture.*", false, true},
      {"capture.sub", "Capture.*", false, false},
      {"capture.sub", "Capture.*", true, true},
      {"abc", "abc", false, true},
      {"abc", "a?c", false, true},
      {"abc", "*", false, true},
      {"", "*", false, true},
      {"", "a", false, false},
      {"abc", "", false, false},
      {"abcdef", "a*d*f", false, true},
      {"abcdef", "a*x*f", false, false},
      {"abcdef", "*ef", false, true},
      {"abcdef", "*de", false, false},
      {"abc", "abc**", false, true},
      {"ab", "ab?*", false, false},  // "?" needs a character
      {"abcd", "abc", false, false},
      {"Form\\x", "Form\\*", false, true},
  };
  for (const WildCase& c : cases)
    EXPECT_EQ(IsWild(c.input, c.wildcard, c.ignoreCase), c.matches) << c.input << " ~ " << c.wildcard;
  EXPECT_EQ(FindPart("b?d", "abcde"), 2);
  EXPECT_EQ(FindPart("x", "abc"), 0);
}

TEST(StrUtilsTest, XorScramblingRoundTrips) {
  EXPECT_EQ(XorEncode("", "AB"), "4142");
  EXPECT_EQ(XorDecode("", "4142"), "AB");
  const AnsiString secret = "p\x01ss word\xFF";
  EXPECT_EQ(XorDecode("key", XorEncode("key", secret)), secret);
  EXPECT_EQ(XorEncode("key", secret).size(), secret.size() * 2);
  EXPECT_EQ(XorDecode("", "41zz4"), "A ");  // a pair that is not hexadecimal reads as a space; the odd digit goes
  EXPECT_EQ(XorString("k", XorString("k", "abc")), "abc");
}

TEST(StrUtilsTest, SpacesPaddingAndPositions) {
  EXPECT_EQ(DelSpace(" a b "), "ab");
  EXPECT_EQ(DelBSpace("  a "), "a ");
  EXPECT_EQ(DelESpace("  a "), "  a");
  EXPECT_EQ(DelRSpace("  a "), "a");
  EXPECT_EQ(DelSpace1("a   b  c"), "a b c");
  EXPECT_EQ(MakeStr('x', 3), "xxx");
  EXPECT_EQ(MakeStr('x', -1), "");
  EXPECT_EQ(AddChar('0', "7", 3), "007");
  EXPECT_EQ(AddCharR('.', "ab", 4), "ab..");
  EXPECT_EQ(AddChar('0', "1234", 3), "1234");
  EXPECT_EQ(NPos("ab", "abxabyab", 3), 7);
  EXPECT_EQ(NPos("ab", "abxab", 3), 0);
  EXPECT_EQ(Tab2Space("a\tb", 2), "a  b");
  EXPECT_EQ(CenterStr("ab", 7), "  ab   ");
  EXPECT_EQ(CenterStr("ab", 2), "ab");
  EXPECT_EQ(ReplaceStr("aaa", "a", "aa"), "aaaaaa");
  EXPECT_TRUE(IsEmptyStr("", TCharSet{' '}));
  EXPECT_TRUE(IsEmptyStr("  ", TCharSet{' '}));
  EXPECT_FALSE(IsEmptyStr(" x", TCharSet{' '}));
}

TEST(StrUtilsTest, QuotingAndCopying) {
  EXPECT_EQ(QuotedString("it's", '\''), "'it''s'");
  EXPECT_EQ(ExtractQuotedString("'it''s' rest", '\''), "it's");
  EXPECT_EQ(ExtractQuotedString("plain", '\''), "plain");
  AnsiString s = "key  = value";
  EXPECT_EQ(Copy2SymbDel(s, '='), "key  ");
  EXPECT_EQ(s, "= value");
  AnsiString words = "one two";
  EXPECT_EQ(Copy2SpaceDel(words), "one");
  EXPECT_EQ(words, "two");
  EXPECT_EQ(AnsiProperCase("hELLO wORLD", TCharSet{' '}), "Hello World");
  EXPECT_EQ(Numb2USA("1234567"), "1,234,567");
  EXPECT_EQ(Numb2USA("123"), "123");
}

TEST(StrUtilsTest, NumberBasesAndRomanNumerals) {
  EXPECT_EQ(Dec2Numb(255, 4, 16), "00FF");
  EXPECT_EQ(Dec2Numb(0, 3, 2), "000");
  EXPECT_EQ(Numb2Dec("ff", 16), 255);
  EXPECT_EQ(Numb2Dec("", 16), 0);
  EXPECT_EQ(Dec2Hex(255, 4), "00FF");
  EXPECT_EQ(Dec2Hex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(Hex2Dec("1F"), 31);
  EXPECT_EQ(Hex2Dec("$1F"), 31);
  EXPECT_EQ(Hex2Dec("xyz"), 0);
  EXPECT_EQ(IntToRoman(1994), "MCMXCIV");
  EXPECT_EQ(RomanToInt("MCMXCIV"), 1994);
  EXPECT_EQ(IntToRoman(0), "");
  EXPECT_EQ(RomanToInt("IM"), 999);
  EXPECT_EQ(RomanToInt("iiii"), 4);
  EXPECT_EQ(RomanToInt("-XL"), -40);
  EXPECT_EQ(RomanToInt("MCMA"), 0);
  for (int n = 1; n < 4000; n += 37) EXPECT_EQ(RomanToInt(IntToRoman(n)), n) << n;
  EXPECT_EQ(IntToBin(5, 8, 4), " 0000 0101");
  EXPECT_EQ(IntToBin(5, 0, 4), "");
}

TEST(StrUtilsTest, CommandLineSwitchValue) {
  SetParams({"-Lang", "de", "/out", "x.png"});
  EXPECT_EQ(GetCmdLineArg("lang", TCharSet{'-', '/'}), "de");
  EXPECT_EQ(GetCmdLineArg("OUT", TCharSet{'-', '/'}), "x.png");
  EXPECT_EQ(GetCmdLineArg("missing", TCharSet{'-', '/'}), "");
  SetParams({});
}

// A progress control stand-in that publishes its bounds and position.
class TGauge : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TGauge(TComponent* owner) : TComponent(owner) {}
  int Top = 0, Bottom = 0, Now = 0;
};
QUILLO_DEFINE_PUBLISHED_CLASS(TGauge, TComponent)
const TPropTable* TGauge::PublishedProperties() {
  static const TPropTable table = TPublisher<TGauge>()
                                      .Property("Top", [](const TGauge* g) { return g->Top; },
                                                [](TGauge* g, int v) { g->Top = v; })
                                      .Property("Bottom", [](const TGauge* g) { return g->Bottom; },
                                                [](TGauge* g, int v) { g->Bottom = v; })
                                      .Property("Now", [](const TGauge* g) { return g->Now; },
                                                [](TGauge* g, int v) { g->Now = v; })
                                      .Table();
  return &table;
}

TEST(ProgressControlsTest, DrivesARegisteredClassByPropertyNames) {
  auto gauge = MakeObject<TGauge>(nullptr);
  auto other = MakeObject<TComponent>(nullptr);
  EXPECT_FALSE(SupportsProgressControl(gauge.get()));
  RegisterProgressControl(TGauge::StaticClass(), "Top", "Bottom", "Now");
  EXPECT_TRUE(SupportsProgressControl(gauge.get()));
  EXPECT_FALSE(SupportsProgressControl(other.get()));
  EXPECT_TRUE(SetProgressMax(gauge.get(), 100));
  EXPECT_TRUE(SetProgressMin(gauge.get(), 5));
  EXPECT_TRUE(SetProgressValue(gauge.get(), 42));
  EXPECT_EQ(gauge->Top, 100);
  EXPECT_EQ(gauge->Bottom, 5);
  EXPECT_EQ(gauge->Now, 42);
  EXPECT_FALSE(SetProgressValue(other.get(), 1));
  // The latest entry wins; a name that is no property sets nothing.
  RegisterProgressControl(TGauge::StaticClass(), "Top", "Bottom", "Missing");
  EXPECT_FALSE(SetProgressValue(gauge.get(), 7));
  EXPECT_EQ(gauge->Now, 42);
  UnRegisterProgressControl(TGauge::StaticClass());
  EXPECT_FALSE(SupportsProgressControl(gauge.get()));
}

// A bar of the program's own that draws differently but counts the same.
class TStripedBar : public TProgressBar {
  QUILLO_DECLARE_CLASS()

public:
  using TProgressBar::TProgressBar;
};
QUILLO_DEFINE_CLASS(TStripedBar, TProgressBar)

using ProgressBarRegistryTest = ComponentTest;

TEST_F(ProgressBarRegistryTest, TheFrameworksProgressBarIsRegisteredFromTheStart) {
  auto* form = Application()->CreateForm<TForm>();
  auto* bar = NewComponent<TStripedBar>(form);
  bar->SetParent(form);
  form->Show();
  ui.RunUntilIdle();
  ASSERT_TRUE(SupportsProgressControl(bar));
  EXPECT_TRUE(SetProgressMax(bar, 400));
  EXPECT_TRUE(SetProgressMin(bar, 100));
  EXPECT_TRUE(SetProgressValue(bar, 250));
  EXPECT_EQ(bar->GetMax(), 400);
  EXPECT_EQ(bar->GetMin(), 100);
  EXPECT_EQ(bar->GetPosition(), 250);
  EXPECT_EQ(SendMessage(bar->GetHandle(), PBM_GETPOS, 0, 0), 250);  // the control shows it
  // A count beyond what the bar holds stops at its end instead of wrapping round.
  SetProgressMax(bar, std::int64_t{3} << 31);
  EXPECT_EQ(bar->GetMax(), INT_MAX);

  // A copy drives it: the file's size as the maximum, back to 0 when done.
  const AnsiString source = home->WriteFile("in.dat", std::string(70000, 'x'));
  const AnsiString copy = home->Path() + "/out.dat";
  FileUtil::CopyFile(source, copy, bar);
  EXPECT_EQ(bar->GetMax(), 70000);
  EXPECT_EQ(bar->GetMin(), 0);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_EQ(GetFileSize(copy), 70000);
}

}  // namespace
