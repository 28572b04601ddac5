#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "support/FileSizeLimit.h"

namespace {

// Noise, so that the files come out about as large as the pixels.
Buffer Noise(int w, int h) {
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  uint seed = 3;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      *b.At(x, y) = seed >> 8;
    }
  }
  return b;
}

}  // namespace

// A save that runs out of disk raises EWriteError and leaves the file it would replace as it
// was, with no temporary file beside it: whether the bytes were lost while the codec wrote
// (files larger than the stream's buffer) or only when the save was put in place.
TEST(FullDiskSave, ReportsFailureAndKeepsTheOldFile) {
  struct Case {
    const char* name;
    int side;
    bool largerThanTheBuffer;
  };
  const Case cases[] = {
      {"old.png", 40, false}, {"old.png", 300, true}, {"old.jpg", 64, false}, {"old.jpg", 400, true}};
  for (const Case& c : cases) {
    TempHome home;
    const std::string path = home.WriteFile(c.name, "the old file");
    Buffer image = Noise(c.side, c.side);
    {
      FileSizeLimit limit(1024);
      EXPECT_THROW(GFXFile::Save(image, path, nullptr, nullptr), EWriteError)
          << c.name << " " << c.side;
    }
    EXPECT_TRUE(FileContents(path) == "the old file") << c.name << " " << c.side;
    EXPECT_EQ(home.Files(), std::vector<std::string>{c.name}) << c.name << " " << c.side;
    ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr)) << "with room the same save works";
    const auto size = std::filesystem::file_size(path);
    EXPECT_GT(size, 1024u);
    EXPECT_EQ(size > static_cast<std::uintmax_t>(TFileStream::kBufferSize), c.largerThanTheBuffer)
        << c.name << " " << c.side << ": " << size << " bytes";
  }
}
