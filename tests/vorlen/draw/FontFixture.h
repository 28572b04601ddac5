#pragma once
// A font folder of its own for each test: RFont::path points at a fresh folder, the registry
// is released before and after, and small fonts with known glyphs are written on demand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempHome.h"
#include "tests/vorlen/draw/BlockFont.h"
#include "tools/rfnmaker/RfnWriter.h"

class FontFolderTest : public ::testing::Test {
public:
  void SetUp() override;
  void TearDown() override;

  std::string Folder() const { return folder_; }
  std::string WriteFont(const std::string& file, const std::vector<std::uint8_t>& bytes) const;
  std::vector<std::uint8_t> ReadFile(const std::string& file) const;
  // Sets a file's last-write time to a fixed moment plus offset seconds.
  void SetTime(const std::string& file, long offset) const;

  TempHome home_;
  std::string folder_;
  std::string saved_path_;
};

// A size whose glyphs are drawn from rows of '#' and '.' (one string per row, all characters).
RfnGlyphSize PictureSize(int first, const std::vector<std::vector<std::string>>& glyphs, int space);
