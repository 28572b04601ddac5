#include "vorlen/draw/GlyphCode.h"

#include "vorlen/formats/GFXFile.h"

namespace {

struct CodeSlot {
  uchar symbol = 0;
  uchar length = 0;  // 0: no code starts with these bits
};

// Fills the 256-entry look-up of the next 8 bits; answers the table's size in bytes.
size_t BuildLookup(const uchar* data, size_t size, CodeSlot (&lookup)[256]) {
  if (size < kGlyphCodeMaxBits) ThrowInvalidImage();
  size_t symbols = 0;
  for (int len = 0; len < kGlyphCodeMaxBits; ++len) symbols += data[len];
  if (symbols == 0 || symbols > 256 || size < kGlyphCodeMaxBits + symbols) ThrowInvalidImage();
  const uchar* symbol = data + kGlyphCodeMaxBits;
  uint code = 0;
  for (int len = 1; len <= kGlyphCodeMaxBits; ++len) {
    for (int n = data[len - 1]; n > 0; --n) {
      if (code >= (1u << len)) ThrowInvalidImage();  // more codes than this length holds
      const uint shift = kGlyphCodeMaxBits - len;
      for (uint fill = 0; fill < (1u << shift); ++fill)
        lookup[(code << shift) | fill] = CodeSlot{*symbol, static_cast<uchar>(len)};
      ++symbol;
      ++code;
    }
    code <<= 1;
  }
  return kGlyphCodeMaxBits + symbols;
}

void UndoRowXor(std::vector<uchar>& bytes, size_t glyphBytes, size_t rowBytes) {
  if (glyphBytes == 0 || rowBytes == 0) return;
  for (size_t glyph = 0; glyph + glyphBytes <= bytes.size(); glyph += glyphBytes) {
    uchar* row = bytes.data() + glyph;
    for (size_t at = rowBytes; at < glyphBytes; ++at) row[at] ^= row[at - rowBytes];
  }
}

}  // namespace

std::vector<uchar> DecodeGlyphBits(const uchar* data, size_t size, size_t outSize,
                                   size_t glyphBytes, size_t rowBytes) {
  CodeSlot lookup[256];
  const size_t tableSize = BuildLookup(data, size, lookup);
  const uchar* in = data + tableSize;
  const uchar* const end = data + size;
  const size_t totalBits = static_cast<size_t>(end - in) * 8;
  std::vector<uchar> out(outSize);
  uint window = 0;   // bits not yet used, aligned at the bottom
  int held = 0;      // how many bits window holds
  size_t usedBits = 0;
  for (uchar& byte : out) {
    while (held < kGlyphCodeMaxBits) {
      window = (window << 8) | (in < end ? *in++ : 0u);  // zeros past the end, checked below
      held += 8;
    }
    const CodeSlot slot = lookup[(window >> (held - kGlyphCodeMaxBits)) & 0xFF];
    if (slot.length == 0) ThrowInvalidImage();
    usedBits += slot.length;
    if (usedBits > totalBits) ThrowInvalidImage();
    held -= slot.length;
    window &= (1u << held) - 1;
    byte = slot.symbol;
  }
  UndoRowXor(out, glyphBytes, rowBytes);
  return out;
}
