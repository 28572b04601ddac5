#pragma once
// The 256 colours of the palette grid and the palette file: the built-in default, the text
// form (a count line, then one six-digit hexadecimal colour a line) and the raw form (exactly
// 768 bytes of R, G, B triplets). Reading never trusts the count: at most 256 cells are
// written, and a negative count makes the file unreadable.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"

constexpr int PaletteCellCount = 256;
// The raw form's exact size: 256 triplets.
constexpr std::size_t RawPaletteBytes = 3 * PaletteCellCount;

using PaletteArray = std::array<std::uint32_t, PaletteCellCount>;

// The palette cells, 0x00RRGGBB (a top byte read from a file is kept).
extern PaletteArray PaletteColors;
// The palette file last loaded or saved; empty at start.
extern AnsiString PaletteFile;

// The built-in palette: sixteen basic colours, seven ramps of sixteen and four gradients of
// thirty-two.
PaletteArray DefaultPalette();

// What a palette file gives: raw is set for the 768-byte form (all 256 cells, the default
// palette underneath); otherwise cells[i] is cell i's new colour, or empty where the entry
// did not read (the cell keeps its colour). Cells beyond the vector keep theirs.
struct PaletteFileContents {
  bool raw = false;
  std::vector<std::optional<std::uint32_t>> cells;
};

// Reads a palette file's bytes; empty when they are no palette (no count, or a negative one).
std::optional<PaletteFileContents> ParsePaletteFile(const std::string& bytes);
// Reads the palette file at fileName: a regular file of at most a palette file's size. Empty
// when it cannot be read or is no palette; *refusal (when given) then tells why, naming the
// file, where the file was there but refused (no regular file, too large, unreadable).
std::optional<PaletteFileContents> ReadPaletteFile(const AnsiString& fileName, AnsiString* refusal);
// The text form of the colours: "256", then "%06X" a line, each line ended by a line feed.
std::string PaletteFileText(const PaletteArray& colours);
// Applies contents to colours as a load does.
void ApplyPaletteFile(const PaletteFileContents& contents, PaletteArray& colours);
