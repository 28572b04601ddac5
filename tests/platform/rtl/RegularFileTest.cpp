#include "platform/rtl/RegularFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/rtl/Exceptions.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

using Outcome = RegularFileText::Outcome;

// Everything that is not a regular file is refused unread, a pipe without waiting for a writer.
TEST(RegularFile, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  for (SpecialFile kind : {SpecialFile::Fifo, SpecialFile::LinkToFifo, SpecialFile::Device, SpecialFile::Folder,
                           SpecialFile::Socket}) {
    SCOPED_TRACE(Describe(kind));
    TempHome home;
    const std::string path = home.Path() + "/special";
    MakeSpecialFile(kind, path);
    const std::string fifo = kind == SpecialFile::LinkToFifo ? path + ".fifo" : path;
    RegularFileText read;
    EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { read = ReadRegularFile(path); }));
    EXPECT_EQ(read.outcome, Outcome::Refused);
    EXPECT_FALSE(read.reason.empty());
    EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { EXPECT_THROW(::close(OpenRegularFile(path)), EFOpenError); }));
  }
  EXPECT_FALSE(IsRegularFile("/dev/zero"));
  const RegularFileText zero = ReadRegularFile("/dev/zero");
  EXPECT_EQ(zero.outcome, Outcome::Refused);
  EXPECT_EQ(zero.text, "");
}

TEST(RegularFile, ReadsARegularFileUpToTheLimit) {
  TempHome home;
  const std::string path = home.WriteFile("ten.txt", "0123456789");
  struct Case {
    std::int64_t limit;
    Outcome outcome;
    std::string text;
  } cases[] = {{10, Outcome::Read, "0123456789"}, {9, Outcome::Refused, ""}, {0, Outcome::Refused, ""}};
  for (const Case& c : cases) {
    const RegularFileText read = ReadRegularFile(path, c.limit);
    EXPECT_EQ(read.outcome, c.outcome) << c.limit;
    EXPECT_EQ(read.text, c.text) << c.limit;
  }
  EXPECT_EQ(ReadRegularFile(home.Path() + "/missing.txt").outcome, Outcome::Missing);
  const std::string link = home.Path() + "/link.txt";
  ASSERT_EQ(::symlink("ten.txt", link.c_str()), 0);
  EXPECT_EQ(ReadRegularFile(link).text, "0123456789") << "a link to a regular file is read";
  const int handle = OpenRegularFile(link);
  EXPECT_EQ(::fcntl(handle, F_GETFL) & O_NONBLOCK, 0) << "opened without waiting, then read as any file";
  char first = 0;
  EXPECT_EQ(::read(handle, &first, 1), 1);
  EXPECT_EQ(first, '0');
  ::close(handle);
}

// A settings file may hold no more than the limit: a larger one is refused before it is read.
TEST(RegularFile, ASettingsFileLargerThanTheLimitIsRefused) {
  TempHome home;
  const std::string path = home.WriteFile("big.ini", "[s]\nk=v\n");
  ASSERT_EQ(::truncate(path.c_str(), kMaxSettingsFileBytes + 1), 0);  // sparse: no disk taken
  const RegularFileText read = ReadRegularFile(path);
  EXPECT_EQ(read.outcome, Outcome::Refused);
  EXPECT_EQ(read.text, "");
}

}  // namespace
