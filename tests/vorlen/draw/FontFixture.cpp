#include "FontFixture.h"

#include <sys/stat.h>
#include <utime.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vorlen/draw/RFont.h"

void FontFolderTest::SetUp() {
  saved_path_ = RFont::path;
  folder_ = home_.Path() + "/fonts/";
  std::filesystem::create_directories(folder_);
  RFont::FreeReg();
  std::snprintf(RFont::path, sizeof RFont::path, "%s", folder_.c_str());
}

void FontFolderTest::TearDown() {
  RFont::FreeReg();
  std::snprintf(RFont::path, sizeof RFont::path, "%s", saved_path_.c_str());
}

std::string FontFolderTest::WriteFont(const std::string& file,
                                      const std::vector<std::uint8_t>& bytes) const {
  const std::string full = folder_ + file;
  std::ofstream(full, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return full;
}

std::vector<std::uint8_t> FontFolderTest::ReadFile(const std::string& file) const {
  std::ifstream in(folder_ + file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void FontFolderTest::SetTime(const std::string& file, long offset) const {
  struct utimbuf times {};
  times.actime = times.modtime = 1700000000 + offset;
  ASSERT_EQ(::utime((folder_ + file).c_str(), &times), 0);
}

RfnGlyphSize PictureSize(int first, const std::vector<std::vector<std::string>>& glyphs, int space) {
  RfnGlyphSize size;
  size.height = static_cast<int>(glyphs[0].size());
  size.rowBytes = 2;
  size.first = first;
  size.last = first + static_cast<int>(glyphs.size()) - 1;
  size.spacing = 1;
  size.space = space;
  for (const auto& rows : glyphs) {
    size.widths.push_back(static_cast<std::uint8_t>(rows[0].size()));
    for (const std::string& row : rows) {
      std::uint16_t bits = 0;
      for (size_t x = 0; x < row.size(); ++x)
        if (row[x] == '#') bits |= static_cast<std::uint16_t>(0x8000 >> x);
      size.bits.push_back(static_cast<std::uint8_t>(bits >> 8));
      size.bits.push_back(static_cast<std::uint8_t>(bits));
    }
  }
  return size;
}
