// Bitmap font files (*.rfn) from untrusted bytes: the input is the only font of a font folder.
// The registry is built from it (which scans the file and writes the cache fonts.bin), then
// every size it offers is prepared, measured and drawn; damaged glyph data must raise the
// library's error. Text drawn lies inside its measured extent. A second start with the file
// unchanged must trust the cache it wrote and find the same sizes.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"
#include "vorlen/draw/RFontFile.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = fuzz::ScratchFolder("rfn");
    pattern += '/';
    std::snprintf(RFont::path, sizeof RFont::path, "%s", pattern.c_str());
    return pattern;
  }();
  return folder;
}

using Listing = std::vector<std::tuple<std::string, int, int, uint>>;

Listing Entries() {
  Listing list;
  for (int i = 0; i < RFont::GetCount(); ++i) {
    const RFontEntry& e = RFont::GetReg()[i];
    list.emplace_back(e.name, e.height, e.count, e.dataPos);
  }
  return list;
}

ino_t CacheInode() {
  struct stat info {};
  return ::stat((Folder() + "fonts.bin").c_str(), &info) == 0 ? info.st_ino : 0;
}

// The text of every character the size has, a space among them, at most 48 characters.
AnsiString SampleText(const RFontEntry& entry) {
  AnsiString text;
  for (int ch = entry.first; ch <= entry.last && text.size() < 47; ++ch) text += static_cast<char>(ch);
  text.insert(text.size() / 2, 1, ' ');
  return text;
}

void DrawEntry(const RFontEntry& entry) {
  RFont font;
  font.SetName(entry.name);
  font.SetSize(entry.height);
  try {
    font.Prepare();
  } catch (const Exception&) {
    CHECK(font.Glyphs() == nullptr);
    return;
  }
  const RFontGlyphs* glyphs = font.Glyphs();
  CHECK(glyphs != nullptr);
  const AnsiString text = SampleText(entry);
  constexpr uint kPaper = 0, kInk = 1;
  Buffer target;
  target.Alloc(Pair<int>(192, 48));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 192; ++x) *target.At(x, y) = kPaper;
  font.kerning = 1;
  const Pair<int> extent = target.GetTextExtent(font, text);
  CHECK(extent.x >= 0 && extent.y == glyphs->height);
  target.OutText(font, Pair<int>(0, 0), text, kInk);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 192; ++x)
      if (*target.At(x, y) == kInk) CHECK(x < extent.x && y < extent.y);
  // Fixed cells, and text cut by every edge.
  font.kerning = 0;
  target.GetTextExtent(font, text);
  target.OutText(font, Pair<int>(-7, -3), text, kInk);
  target.OutText(font, Pair<int>(180, 40), text, kInk);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string font = Folder() + "fuzz.rfn";
  std::FILE* file = std::fopen(font.c_str(), "wb");
  CHECK(file != nullptr);
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::remove((Folder() + "fonts.bin").c_str());

  RFont::FreeReg();
  RFont::InitReg();
  const Listing first = Entries();
  const ino_t cache = CacheInode();
  for (int i = 0; i < RFont::GetCount(); ++i) DrawEntry(RFont::GetReg()[i]);

  RFont::FreeReg();
  RFont::InitReg();
  CHECK(Entries() == first);
  CHECK(CacheInode() == cache);  // trusted, not written again
  RFont::FreeReg();
  return 0;
}
