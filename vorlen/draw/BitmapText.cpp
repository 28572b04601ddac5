// Text in the library's bitmap fonts. With kerning off every character takes a cell of the
// space width plus the spacing, its glyph centred in the cell. With kerning on a glyph follows
// its predecessor after the spacing, drawn closer by as much as the two shapes interlock: the
// narrowest ink gap over the rows both glyphs ink, less the gaps their boxes leave anyway.

#include <algorithm>

#include "platform/vcl/Font.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"
#include "vorlen/draw/RFontFile.h"

namespace {

bool BitSet(const uchar* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

// Blank columns at the left (fromLeft) or right of one glyph row; width when the row is blank.
int BlankColumns(const uchar* row, int width, bool fromLeft) {
  for (int n = 0; n < width; ++n)
    if (BitSet(row, fromLeft ? n : width - 1 - n)) return n;
  return width;
}

// How far ch may move towards prev because their shapes interlock.
int InterlockFit(const RFontGlyphs& glyphs, int prev, int ch) {
  const uchar* left = glyphs.Glyph(prev);
  const uchar* right = glyphs.Glyph(ch);
  const int leftWidth = glyphs.Width(prev);
  const int rightWidth = glyphs.Width(ch);
  if (left == nullptr || right == nullptr || leftWidth == 0 || rightWidth == 0) return 0;
  int narrowest = -1, leftMin = leftWidth, rightMin = rightWidth;
  for (int r = 0; r < glyphs.height; ++r) {
    const long at = static_cast<long>(r) * glyphs.rowBytes;
    const int blankRight = BlankColumns(left + at, leftWidth, false);
    const int blankLeft = BlankColumns(right + at, rightWidth, true);
    if (blankRight == leftWidth || blankLeft == rightWidth) continue;  // a row one glyph leaves empty
    leftMin = std::min(leftMin, blankRight);
    rightMin = std::min(rightMin, blankLeft);
    narrowest = narrowest < 0 ? blankRight + blankLeft : std::min(narrowest, blankRight + blankLeft);
  }
  if (narrowest < 0) return 0;
  return std::min(narrowest - leftMin - rightMin, std::min(leftWidth, rightWidth) / 2);
}

// The distance from the start of ch to the start of the character after it.
int Advance(const RFont& font, const RFontGlyphs& glyphs, int ch, int next) {
  const int spacing = font.GetSpacing();
  if (font.kerning == 0) return font.GetSpaceSize() + spacing;
  if (ch == ' ') return font.GetSpaceSize() + spacing;
  if (glyphs.Glyph(ch) == nullptr) return 0;
  const int fit = next >= 0 ? InterlockFit(glyphs, ch, next) : 0;
  return glyphs.Width(ch) + spacing - fit;
}

void DrawGlyph(Buffer& dst, const RFontGlyphs& glyphs, const uchar* glyph, int width,
               Pair<int> pos, uint colour) {
  const Rect box(pos.x, pos.y, pos.x + width - 1, pos.y + glyphs.height - 1);
  const Rect visible = Intersect(box, dst.rect);
  if (visible.Empty() || dst.pixels == nullptr) return;
  for (int y = visible.top; y <= visible.bottom; ++y) {
    const uchar* bits = glyph + static_cast<long>(y - pos.y) * glyphs.rowBytes;
    uint* out = dst.At(visible.left, y);
    for (int x = visible.left; x <= visible.right; ++x, ++out)
      if (BitSet(bits, x - pos.x)) *out = colour;
  }
}

// Text of a font without glyph data is drawn in this framework font, made once and kept.
TFont* DefaultFont() {
  static TFont font;
  return &font;
}

int CharAt(const AnsiString& text, size_t i) {
  return i < text.size() ? static_cast<uchar>(text[i]) : -1;
}

}  // namespace

void Buffer::OutChar(RFont& font, Pair<int> pos, int ch, uint colour) {
  font.Prepare();
  const RFontGlyphs* glyphs = font.Glyphs();
  if (glyphs == nullptr) {
    if (ch >= 0 && ch <= 255) OutText(DefaultFont(), pos, AnsiString(1, static_cast<char>(ch)), colour);
    return;
  }
  const uchar* glyph = glyphs->Glyph(ch);
  if (glyph == nullptr) return;
  const int width = glyphs->Width(ch);
  if (font.kerning == 0) pos.x += (font.GetSpaceSize() - width) >> 1;
  DrawGlyph(*this, *glyphs, glyph, width, pos, colour);
}

void Buffer::OutText(RFont& font, Pair<int> pos, AnsiString text, uint colour) {
  font.Prepare();
  const RFontGlyphs* glyphs = font.Glyphs();
  if (glyphs == nullptr) return OutText(DefaultFont(), pos, text, colour);
  for (size_t i = 0; i < text.size(); ++i) {
    const int ch = CharAt(text, i);
    OutChar(font, pos, ch, colour);
    pos.x += Advance(font, *glyphs, ch, CharAt(text, i + 1));
  }
}

Pair<int> Buffer::GetTextExtent(RFont& font, AnsiString text) {
  font.Prepare();
  const RFontGlyphs* glyphs = font.Glyphs();
  if (text.empty()) return Pair<int>(0, 0);
  if (glyphs == nullptr) return GetTextExtent(DefaultFont(), text);
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i)
    width += Advance(font, *glyphs, CharAt(text, i), CharAt(text, i + 1));
  return Pair<int>(std::max(0, width - font.GetSpacing()), glyphs->height);
}
