#pragma once
// Writes bitmap font files "*.rfn": the "FONT" header, "NAME", then for each size its "DESC",
// "WDTH" and "DATA" chunks. Version 1 stores every glyph plainly; version 2 leaves out the
// characters of width 0 and compresses the glyph bits (XOR with the row above, then a
// canonical prefix code of at most 8 bits a code).

#include <cstdint>
#include <string>
#include <vector>

struct RfnGlyphSize {
  int height = 0;     // glyph rows; the size
  int rowBytes = 0;   // bytes of one glyph row, most significant bit leftmost
  int first = 0;      // first and last character codes
  int last = -1;
  int spacing = 0;
  int space = 0;      // width of a space
  std::vector<std::uint8_t> widths;  // one per character code first..last
  std::vector<std::uint8_t> bits;    // every character's glyph, height x rowBytes each
};

std::vector<std::uint8_t> WriteRfn(const std::string& name, const std::vector<RfnGlyphSize>& sizes,
                                   std::uint32_t version);

// The prefix-coded form of bytes (table, then codes), as version 2 stores glyph bits.
std::vector<std::uint8_t> EncodeGlyphBytes(const std::vector<std::uint8_t>& bytes);
