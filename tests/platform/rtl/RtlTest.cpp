#include <gtest/gtest.h>

#include <cfenv>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatControl.h"
#include "platform/rtl/Module.h"
#include "platform/rtl/SysUtils.h"

TEST(Exceptions, CarryTheirMessageAndCatchAsTheFrameworkClasses) {
  try {
    throw EReadError(RtlText::ReadError);
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message, "Stream read error");
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_THROW(throw EInvalidImage("100"), Exception);
  EXPECT_THROW(throw EOutOfMemory(RtlText::OutOfMemory), EHeapException);
}

TEST(SysUtils, PathsSplitAtTheSlash) {
  EXPECT_EQ(ExtractFilePath("/a/b/c.png"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.png"), "c.png");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFileExt("/a/c.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/a/c.png", ".bmp"), "/a/c.bmp");
  EXPECT_EQ(ChangeFileExt("/a.d/c", ".bmp"), "/a.d/c.bmp");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
}

TEST(SysUtils, TextHelpers) {
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("x", "hello"), 0);
  EXPECT_TRUE(SameText("Bin", "BIN"));
  EXPECT_EQ(StrToIntDef(" 42 ", -1), 42);
  EXPECT_EQ(StrToIntDef("$ff", -1), 255);
  EXPECT_EQ(StrToIntDef("4x", -1), -1);
  EXPECT_THROW(StrToInt("nine"), EConvertError);
  EXPECT_EQ(StrToIntDef("$", -1), -1);
  EXPECT_EQ(StrToIntDef("$-5", -1), -1);
  EXPECT_EQ(StrToIntDef("0x 5", -1), -1);
  EXPECT_EQ(StrToIntDef("-12", 0), -12);
  EXPECT_EQ(StrToIntDef("3000000000", -1), -1);
  EXPECT_EQ(StrToInt64("3000000000"), 3000000000LL);
  EXPECT_EQ(StrToInt64Def("-$1", 7), 7);
  EXPECT_EQ(Format("%s=%03d", "k", 7), "k=007");
  EXPECT_EQ(IntToHex(0xABC, 6), "000ABC");
}

TEST(Module, NamesTheFileOfTheModuleHoldingAnAddress) {
  const HMODULE platformLib = ModuleOfAddress(reinterpret_cast<const void*>(&ExtractFileName));
  ASSERT_NE(platformLib, nullptr);
  EXPECT_EQ(ExtractFileName(ModuleFileName(platformLib)), "libplatform_core.so");
  EXPECT_EQ(ExtractFileName(ModuleFileName(nullptr)), "platform_tests");

  char small[8];
  EXPECT_EQ(GetModuleFileName(platformLib, small, sizeof small), sizeof small);
  EXPECT_EQ(small[7], '\0');
}

TEST(FloatControl, SetsTheControlWordAndClearsPendingExceptions) {
  const std::uint16_t saved = GetFPUCW();
  SetFPUCW(0x0C7F);  // round toward zero, all exceptions masked
  EXPECT_EQ(GetFPUCW() & 0x0F3F, 0x0C3F);
  EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);  // carried over to the SSE unit
  volatile double zero = 0.0;
  volatile double ignored = 1.0 / zero;
  (void)ignored;
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  SetFPUCW(saved);
  EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO));
  EXPECT_EQ(GetFPUCW(), saved);
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}
