// rfnmaker: renders a scalable font through FreeType into a bitmap font file "*.rfn".
// Usage: rfnmaker FONTFILE "Face Name" OUTPUT.rfn VERSION HEIGHT...
// Each HEIGHT is a glyph height in rows (the size); characters 32 to 255 (Latin-1) are drawn
// hard-edged, the baseline where the face's ascender puts it.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "RfnWriter.h"

namespace {

constexpr int kFirst = 32;
constexpr int kLast = 255;

struct Rendered {
  int width = 0;
  int left = 0;
  int top = 0;
  int rows = 0;
  int pitch = 0;
  std::vector<std::uint8_t> bits;
};

bool RenderChar(FT_Face face, int ch, Rendered& glyph) {
  const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(ch));
  if (index == 0 && ch != ' ') return false;
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
    return false;
  const FT_GlyphSlot slot = face->glyph;
  glyph.width = static_cast<int>((slot->advance.x + 32) >> 6);
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.rows = static_cast<int>(slot->bitmap.rows);
  glyph.pitch = slot->bitmap.pitch;
  const int bitmapWidth = static_cast<int>(slot->bitmap.width);
  glyph.bits.assign(slot->bitmap.buffer, slot->bitmap.buffer + size_t(std::abs(glyph.pitch)) * glyph.rows);
  glyph.width = std::clamp(std::max(glyph.width, glyph.left + bitmapWidth), 1, 255);
  return true;
}

bool MonoBit(const Rendered& g, int x, int y) {
  return (g.bits[size_t(y) * size_t(std::abs(g.pitch)) + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
}

void PlaceGlyph(const Rendered& g, int ascender, RfnGlyphSize& size, std::uint8_t* box) {
  const int originX = std::max(0, g.left);
  for (int y = 0; y < g.rows; ++y) {
    const int row = ascender - g.top + y;
    if (row < 0 || row >= size.height) continue;
    for (int x = 0; x < g.pitch * 8 && x < 255; ++x) {
      const int col = originX + x;
      if (col >= g.width || !MonoBit(g, x, y)) continue;
      box[size_t(row) * size.rowBytes + size_t(col >> 3)] |= std::uint8_t(0x80 >> (col & 7));
    }
  }
}

bool MakeSize(FT_Face face, int height, RfnGlyphSize& size) {
  // Find the pixel size whose ascender and descender fill the wanted rows.
  int pixels = height;
  for (; pixels > 1; --pixels) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return false;
    const long rows = (face->size->metrics.ascender - face->size->metrics.descender + 63) >> 6;
    if (rows <= height) break;
  }
  const int ascender = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
  std::vector<Rendered> glyphs(kLast - kFirst + 1);
  int widest = 1;
  for (int ch = kFirst; ch <= kLast; ++ch) {
    Rendered& g = glyphs[size_t(ch - kFirst)];
    if (RenderChar(face, ch, g)) widest = std::max(widest, g.width);
    else g.width = 0;
  }
  size.height = height;
  size.rowBytes = (widest + 7) / 8;
  size.first = kFirst;
  size.last = kLast;
  size.spacing = 0;
  size.space = glyphs[0].width;
  size.widths.clear();
  size.bits.assign(glyphs.size() * size_t(height) * size_t(size.rowBytes), 0);
  for (size_t i = 0; i < glyphs.size(); ++i) {
    size.widths.push_back(static_cast<std::uint8_t>(glyphs[i].width));
    if (glyphs[i].width > 0)
      PlaceGlyph(glyphs[i], ascender, size, size.bits.data() + i * size_t(height) * size.rowBytes);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: rfnmaker FONTFILE NAME OUTPUT VERSION HEIGHT...\n");
    return 2;
  }
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0) {
    std::fprintf(stderr, "rfnmaker: cannot open %s\n", argv[1]);
    return 1;
  }
  std::vector<RfnGlyphSize> sizes;
  for (int i = 5; i < argc; ++i) {
    RfnGlyphSize size;
    const int height = std::atoi(argv[i]);
    if (height < 4 || height > 255 || !MakeSize(face, height, size)) {
      std::fprintf(stderr, "rfnmaker: cannot make size %s\n", argv[i]);
      return 1;
    }
    sizes.push_back(size);
  }
  const std::vector<std::uint8_t> file = WriteRfn(argv[2], sizes, static_cast<std::uint32_t>(std::atoi(argv[4])));
  std::ofstream out(argv[3], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return out ? 0 : 1;
}
