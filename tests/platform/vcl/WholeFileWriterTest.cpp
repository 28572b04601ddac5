// The framework's writers of whole files replace a file in one step: a write that fails keeps
// the old file, a symbolic link stays a link to the file that gets the new contents, and what
// is not a regular file is refused and left as it is.

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Strings.h"
#include "support/FileSizeLimit.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

struct Writer {
  const char* name;
  std::function<void(const std::string& path, const std::string& text)> save;
};

const Writer kWriters[] = {
    {"TMemoryStream::SaveToFile",
     [](const std::string& path, const std::string& text) {
       TMemoryStream stream;
       stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
       stream.SaveToFile(path);
     }},
    {"TStrings::SaveToFile",
     [](const std::string& path, const std::string& text) {
       TStringList list;
       list.SetText(text);
       list.SaveToFile(path);
     }},
};

// Lines of text, as both writers write them back byte for byte.
std::string Lines(size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += "a line of the new contents\r\n";
  return text;
}

TEST(WholeFileWriter, AWriteThatFailsKeepsTheOldFile) {
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    TempHome home;
    const std::string path = home.WriteFile("file.txt", "the old file");
    {
      FileSizeLimit limit(4096);
      EXPECT_THROW(w.save(path, Lines(64 * 1024)), EStreamError);
    }
    EXPECT_EQ(FileContents(path), "the old file");
    EXPECT_EQ(home.Files(), std::vector<std::string>{"file.txt"}) << "nothing is left beside it";
  }
}

TEST(WholeFileWriter, ALinkStaysALinkToTheNewContents) {
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    TempHome home;
    const std::string target = home.WriteFile("target.txt", "the old file");
    const std::string link = home.Path() + "/link.txt";
    ASSERT_EQ(::symlink("target.txt", link.c_str()), 0);
    w.save(link, Lines(100));
    char pointsTo[64] = {};
    ASSERT_GT(::readlink(link.c_str(), pointsTo, sizeof pointsTo - 1), 0) << "still a link";
    EXPECT_STREQ(pointsTo, "target.txt");
    EXPECT_EQ(FileContents(target), Lines(100));
  }
}

TEST(WholeFileWriter, WhatIsNotARegularFileIsRefusedAndLeftAsItIs) {
  for (const Writer& w : kWriters) {
    for (SpecialFile kind : {SpecialFile::Device, SpecialFile::Folder, SpecialFile::DanglingLink}) {
      SCOPED_TRACE(testing::Message() << w.name << " on a " << Describe(kind));
      TempHome home;
      const std::string path = home.Path() + "/special";
      MakeSpecialFile(kind, path);
      const std::string before = Inspect(path);
      EXPECT_THROW(w.save(path, Lines(100)), EFCreateError);
      EXPECT_EQ(Inspect(path), before);
    }
  }
}

}  // namespace
