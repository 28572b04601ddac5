#pragma once
// Reading the bitmap font files "*.rfn": a big-endian chunked file. The header is "FONT", the
// length of what follows the version field, and the version (little-endian). Chunks are a
// 4-byte identifier, a big-endian length and that many bytes: "NAME" names the font, each
// "DESC" describes one size, and the size's "WDTH" and "DATA" chunks follow its "DESC".

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "vorlen/core/Types.h"

// One "DESC" chunk: its first ten bytes and the file position just after it.
struct RfnSize {
  uint dataPos = 0;
  uchar desc[10] = {};
};

// What scanning a font file finds.
struct RfnScan {
  std::string name;  // up to its first zero byte
  uint version = 0;
  std::vector<RfnSize> sizes;
};

// The glyphs of one size, ready for drawing. Glyph rows are rowBytes bytes, most significant
// bit leftmost; a glyph is height rows.
struct RFontGlyphs {
  int height = 0;
  int rowBytes = 0;
  int first = 0;
  int last = -1;
  std::vector<uchar> widths;    // one per character code first..last
  std::vector<long> offsets;    // byte offset of each character's glyph in bits; -1 none
  std::vector<uchar> bits;

  // The glyph of a character code, or null when it has none.
  const uchar* Glyph(int ch) const;
  int Width(int ch) const;
};

// Files of this version and above are not read.
constexpr uint kRfnVersionLimit = 0x30000;
// From this version on "DATA" is compressed and characters of width 0 have no glyph.
constexpr uint kRfnCompressedVersion = 2;

// Scans a font file's chunks. False when it is not a font file of a readable version; a damaged
// tail ends the scan with what was found up to there.
bool ScanRfnFile(const std::string& path, RfnScan& scan);

// How a font file's name must match the name the cache gives it.
enum class RfnNameMatch { AnyCase, Exact };

// Whether a font file holds what the font cache says of it: for each size a "DESC" chunk with
// these bytes (0 to 5 and 9) ending at its data position, under this name and this version;
// with no sizes, that the file has none. The file is scanned whole and must have no size
// besides these.
bool RfnFileHolds(const std::string& path, uint version, const std::string& name,
                  RfnNameMatch match, const std::vector<RfnSize>& sizes);

// Reads the glyph chunks that follow a size's "DESC" chunk. Null when the file cannot be
// opened; raises the library's errors on damaged data.
std::unique_ptr<RFontGlyphs> ReadRfnGlyphs(const std::string& path, uint dataPos,
                                           const uchar desc[10], uint version);
