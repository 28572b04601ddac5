#include <gtest/gtest.h>

#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SysUtils.h"

namespace {

TEST(CommandLine, ParamStrCountsFromTheProgram) {
  std::vector<AnsiString> saved;
  for (int i = 1; i <= ParamCount(); ++i) saved.push_back(ParamStr(i));

  EXPECT_EQ(ExtractFileName(ParamStr(0)), "platform_tests");
  EXPECT_EQ(ParamStr(0)[0], '/');
  SetParams({"first.png", "with space.png"});
  EXPECT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(1), "first.png");
  EXPECT_EQ(ParamStr(2), "with space.png");
  EXPECT_EQ(ParamStr(3), "");
  EXPECT_EQ(ParamStr(-1), "");
  SetParams({});
  EXPECT_EQ(ParamCount(), 0);

  SetParams(saved);
}

}  // namespace
