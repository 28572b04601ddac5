#include "platform/rtl/Profile.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/SettingsFolder.h"
#include "support/TempHome.h"

namespace {

std::string Read(const char* section, const char* key, const char* fallback, const std::string& file,
                 DWORD size = 260) {
  std::string buffer(size, '#');
  const DWORD n = GetPrivateProfileString(section, key, fallback, buffer.data(), size, file.c_str());
  EXPECT_EQ(buffer[n], '\0');
  return buffer.substr(0, n);
}

}  // namespace

TEST(Profile, ReadsValuesWithoutRegardToCaseTrimmedAndUnquoted) {
  TempHome home;
  const std::string ini = home.WriteFile("lib.ini",
                                         "; comment\r\n[Config]\r\n  Setup =  big  \r\n"
                                         "quoted=\"  spaced  \"\r\n[other]\r\nsetup=no\r\n");
  EXPECT_EQ(Read("config", "SETUP", "", ini), "big");
  EXPECT_EQ(Read("CONFIG", "quoted", "", ini), "  spaced  ");
  EXPECT_EQ(Read("config", "missing", "fallback  ", ini), "fallback");
  EXPECT_EQ(Read("absent", "setup", nullptr, ini), "");
  EXPECT_EQ(Read("config", "setup", "", home.Path() + "/no-such.ini"), "");
}

TEST(Profile, TruncatesToTheBuffer) {
  TempHome home;
  const std::string ini = home.WriteFile("lib.ini", "[s]\nk=abcdefgh\n");
  EXPECT_EQ(Read("s", "k", "", ini, 4), "abc");
  char one[1] = {'x'};
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", one, 1, ini.c_str()), 0u);
  EXPECT_EQ(one[0], '\0');
}

TEST(Profile, ListsSectionAndKeyNamesAsDoubleNullLists) {
  TempHome home;
  const std::string ini = home.WriteFile("lib.ini", "[one]\na=1\nbb=2\n[two]\n");
  char buffer[32];
  DWORD n = GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, ini.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("one\0two\0\0", 9));
  n = GetPrivateProfileString("ONE", nullptr, "", buffer, sizeof buffer, ini.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("a\0bb\0\0", 6));
  n = GetPrivateProfileString(nullptr, nullptr, "", buffer, 7, ini.c_str());
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(std::string(buffer, 7), std::string("one\0t\0\0", 7));
}

TEST(Profile, IntegersComeFromLeadingDigits) {
  TempHome home;
  const std::string ini = home.WriteFile(
      "lib.ini", "[s]\nplain=640\ntail=480px\ntext=wide\nneg=-12\nempty=\n");
  struct Case {
    const char* key;
    int expected;
  } cases[] = {{"plain", 640}, {"tail", 480}, {"text", 0}, {"neg", -12}, {"empty", 0}, {"none", 77}};
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("s", c.key, 77, ini.c_str())), c.expected) << c.key;
}

TEST(Profile, WritesKeepOtherLinesAndDeleteOnNull) {
  TempHome home;
  const std::string ini = home.WriteFile("lib.ini", "; keep me\n[s]\na=1\n\n[t]\nx=9\n");
  ASSERT_TRUE(WritePrivateProfileString("S", "b", "two", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("s", "A", "one", ini.c_str()));
  EXPECT_EQ(Read("s", "a", "", ini), "one");
  EXPECT_EQ(Read("s", "b", "", ini), "two");
  ASSERT_TRUE(WritePrivateProfileString("s", "a", nullptr, ini.c_str()));
  EXPECT_EQ(Read("s", "a", "gone", ini), "gone");
  ASSERT_TRUE(WritePrivateProfileString("t", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(Read("t", "x", "gone", ini), "gone");
  EXPECT_EQ(Read("s", "b", "", ini), "two");
}

TEST(Profile, WinIniLivesInTheSettingsFolderAndBareNamesInTheWindowsFolder) {
  TempHome home;
  ASSERT_TRUE(WriteProfileString("VORLEN", "config", "/some/where.ini"));
  EXPECT_EQ(WinIniPath(), home.Path() + "/win.ini");
  char buffer[64];
  GetProfileString("vorlen", "CONFIG", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "/some/where.ini");

  home.WriteFile("windows/app.ini", "[a]\nk=v\n");
  GetPrivateProfileString("a", "k", "", buffer, sizeof buffer, "app.ini");
  EXPECT_STREQ(buffer, "v");
}

TEST(SettingsFolder, FallsBackFromQuilloHomeToXdgToHome) {
  TempHome home;
  EXPECT_EQ(SettingsFolder(), home.Path());
  ::unsetenv("QUILLO_HOME");
  ::setenv("XDG_CONFIG_HOME", "/x/config/", 1);
  EXPECT_EQ(SettingsFolder(), "/x/config/quillo");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(SettingsFolder(), "/home/someone/.config/quillo");
}
