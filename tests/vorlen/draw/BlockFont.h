#pragma once
// A bitmap-font size whose glyphs are easy to tell apart: glyph c is a filled block
// (c - first) % 5 + 2 columns wide with a blank top and bottom row. Shared by the font tests
// and the font-cache fuzz target.

#include <cstdint>

#include "tools/rfnmaker/RfnWriter.h"

inline RfnGlyphSize BlockSize(int height, int first, int last) {
  RfnGlyphSize size;
  size.height = height;
  size.rowBytes = 1;
  size.first = first;
  size.last = last;
  size.spacing = 1;
  size.space = 4;
  for (int c = first; c <= last; ++c) {
    const int width = (c - first) % 5 + 2;
    size.widths.push_back(static_cast<std::uint8_t>(width));
    for (int r = 0; r < height; ++r) {
      const bool inked = r > 0 && r < height - 1;
      size.bits.push_back(inked ? static_cast<std::uint8_t>(0xFF << (8 - width)) : 0);
    }
  }
  return size;
}
