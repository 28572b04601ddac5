// Palette files from untrusted bytes. Properties: no more cells than the grid holds come back;
// a refused file leaves the palette as it was; an accepted one changes only the cells it
// names (all of them for the raw form) and survives a write and a read back.

#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/tools/PaletteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const PaletteArray start = DefaultPalette();
  PaletteArray palette = start;
  const auto contents = ParsePaletteFile(bytes);
  if (!contents) return 0;
  CHECK(contents->cells.size() <= PaletteArray().size());
  ApplyPaletteFile(*contents, palette);
  if (!contents->raw)
    for (std::size_t i = contents->cells.size(); i < palette.size(); ++i) CHECK(palette[i] == start[i]);
  for (auto& c : palette) c &= 0xFFFFFFu;
  const auto again = ParsePaletteFile(PaletteFileText(palette));
  CHECK(again && again->cells.size() == palette.size());
  PaletteArray back = start;
  ApplyPaletteFile(*again, back);
  CHECK(back == palette);
  return 0;
}
