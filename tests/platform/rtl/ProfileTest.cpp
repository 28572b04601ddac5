#include "platform/rtl/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SettingsFolder.h"
#include "support/ConcurrentWriters.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

std::string Read(const char* section, const char* key, const char* fallback, const std::string& file,
                 DWORD size = 260) {
  std::string buffer(size, '#');
  const DWORD n = GetPrivateProfileString(section, key, fallback, buffer.data(), size, file.c_str());
  EXPECT_EQ(buffer[n], '\0');
  return buffer.substr(0, n);
}

// The keys one writer thread writes start with this.
std::string WriterPrefix(int process, int thread) {
  char text[32];
  std::snprintf(text, sizeof text, "p%dt%dk", process, thread);
  return text;
}

// Writes keys "<prefix>0" .. "<prefix>count-1" (value: the number) into one section, each
// with a write of its own; false when any write reports a failure.
bool WriteKeys(const std::string& ini, const std::string& prefix, int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i)
    ok = WritePrivateProfileString("shared", (prefix + std::to_string(i)).c_str(),
                                   std::to_string(i).c_str(), ini.c_str()) &&
         ok;
  return ok;
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

// Writers in several processes, each with several threads, write into one file at once: every
// write that reports success is in the file afterwards.
TEST(Profile, ConcurrentWritersInProcessesAndThreadsLoseNothing) {
  TempHome home;
  const std::string ini = home.Path() + "/shared.ini";
  constexpr int kProcesses = 2, kThreads = 3, kKeys = 50;
  const auto writer = [&](int p, int t) { return WriteKeys(ini, WriterPrefix(p, t), kKeys); };
  EXPECT_TRUE(RunConcurrentWriters(kProcesses, kThreads, writer)) << "a write reported failure";
  int missing = 0;
  for (int p = 0; p < kProcesses; ++p)
    for (int t = 0; t < kThreads; ++t)
      for (int k = 0; k < kKeys; ++k) {
        const std::string key = WriterPrefix(p, t) + std::to_string(k);
        missing += Read("shared", key.c_str(), "", ini) != std::to_string(k);
      }
  EXPECT_EQ(missing, 0);
}

// The settings file keeps its owner, group and mode, and a link to it stays a link.
TEST(Profile, WritesKeepTheFilesOwnerModeAndLink) {
  TempHome home;
  const std::string real = home.WriteFile("real/app.ini", "[s]\nk=1\n");
  const std::string link = home.Path() + "/app.ini";
  ASSERT_EQ(::symlink("real/app.ini", link.c_str()), 0);
  if (MayGiveFilesAway()) {
    ASSERT_EQ(::chown(real.c_str(), NobodyUser(), NobodyGroup()), 0);
  }
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  const uid_t user = info.st_uid;
  const gid_t group = info.st_gid;
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", link.c_str()));
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link is still a link";
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(info.st_uid, user);
  EXPECT_EQ(info.st_gid, group);
  EXPECT_EQ(FileContents(real), "[s]\nk=2\n");
}

TEST(Profile, WriteToWhatIsNotAFileFailsAndLeavesIt) {
  TempHome home;
  const std::string path = home.Path() + "/app.ini";
  MakeSpecialFile(SpecialFile::DanglingLink, path);
  const std::string before = Inspect(path);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", path.c_str()));
  EXPECT_EQ(Inspect(path), before);
}

// A file that starts with a UTF-8 byte-order mark shows its first section, and keeps the mark.
// A write changes the bytes of the value it sets and nothing else: spacing, comments, line
// ends, control bytes and a last line without a line end stay as they were.
TEST(Profile, WritesChangeOnlyWhatTheySet) {
  TempHome home;
  const std::string original =
      "\xEF\xBB\xBF[First]\r\n  Key  =  old value  \r\nother=1\n\n; a\tcomment\x01\r\n"
      "[second]\nodd\x02line\nx = 9";
  const std::string ini = home.WriteFile("app.ini", original);
  EXPECT_EQ(Read("first", "key", "", ini), "old value");

  std::string expected = original;
  expected.replace(expected.find("old value"), 9, "new");
  ASSERT_TRUE(WritePrivateProfileString("first", "KEY", "new", ini.c_str()));
  EXPECT_EQ(FileContents(ini), expected);

  expected.replace(expected.find("other=1\n"), 8, "");
  ASSERT_TRUE(WritePrivateProfileString("First", "Other", nullptr, ini.c_str()));
  EXPECT_EQ(FileContents(ini), expected);

  // New lines take the file's first line end; the last line gets one when something follows.
  expected += "\r\ny=2\r\n[third]\r\nz=3\r\n";
  ASSERT_TRUE(WritePrivateProfileString("second", "y", "2", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("third", "z", "3", ini.c_str()));
  EXPECT_EQ(FileContents(ini), expected);

  const std::string unix = home.WriteFile("unix.ini", "[s]\na=1\n");
  ASSERT_TRUE(WritePrivateProfileString("s", "b", "2", unix.c_str()));
  EXPECT_EQ(FileContents(unix), "[s]\na=1\nb=2\n");
}

// Names are read from the file trimmed, so names given with spaces or control bytes around
// them are those names: a write finds the line it wrote before, and a read finds what it wrote.
TEST(Profile, NamesWithBlanksAroundThemAreTheNamesWithout) {
  TempHome home;
  const std::string path = home.Path() + "/names.ini";
  ASSERT_TRUE(WritePrivateProfileString(" s ", " k ", "1", path.c_str()));
  EXPECT_EQ(Read(" s ", " k ", "", path), "1");
  EXPECT_EQ(Read("s", "k", "", path), "1");
  ASSERT_TRUE(WritePrivateProfileString("\ts", "k\x01", "2", path.c_str()));
  EXPECT_EQ(Read(" S", "K ", "", path), "2");
  EXPECT_EQ(FileContents(path), "[s]\r\nk=2\r\n");
  ASSERT_TRUE(WritePrivateProfileString("s ", " k", nullptr, path.c_str()));
  EXPECT_EQ(FileContents(path), "[s]\r\n");
  ASSERT_TRUE(WritePrivateProfileString(" s", nullptr, nullptr, path.c_str()));
  EXPECT_EQ(FileContents(path), "");
}

// Text that would read back as other lines, another section or another key is refused, and
// the file keeps its bytes.
TEST(Profile, WritesThatWouldBreakTheFileAreRefused) {
  TempHome home;
  const std::string path = home.WriteFile("app.ini", "[s]\r\nk=v\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"s", "k", "one\r\n[evil]\r\nx=1"}, {"s", "k", "two\nlines"}, {"s]x", "k", "v"},
      {"s\n[t]", "k", "v"},               {"s", "a=b", "v"},         {"s", "[t]", "v"},
      {"s", "  ", "v"},                   {"s", "k\nj", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.section << " / " << c.key);
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, path.c_str()));
    EXPECT_EQ(FileContents(path), "[s]\r\nk=v\r\n");
  }
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "fine [=] value", path.c_str()));
  EXPECT_EQ(Read("s", "k", "", path), "fine [=] value");
}

namespace {

// A pipe, or a file larger than a settings file may be, reads as no file, and at once.
TEST(Profile, APipeOrAHugeFileReadsAsNoFile) {
  TempHome home;
  const std::string fifo = home.Path() + "/pipe.ini";
  MakeSpecialFile(SpecialFile::Fifo, fifo);
  EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { EXPECT_EQ(Read("s", "k", "default", fifo), "default"); }));
  EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { EXPECT_EQ(GetPrivateProfileInt("s", "k", 7, fifo.c_str()), 7u); }));
  const std::string huge = home.WriteFile("huge.ini", "[s]\nk=v\n");
  ASSERT_EQ(::truncate(huge.c_str(), kMaxSettingsFileBytes + 1), 0);  // sparse: no disk taken
  EXPECT_EQ(Read("s", "k", "default", huge), "default");
}

// A device that never ends (config=/dev/zero) reads as no file, without reading it.
TEST(Profile, ADeviceReadsAsNoFile) {
  EXPECT_EQ(Read("s", "k", "default", "/dev/zero"), "default");
  EXPECT_EQ(Read("s", "k", "default", "/dev/null"), "default");
}

}  // namespace
