#include "quillo/document/MaskRows.h"

namespace {

// The lowest n bits (n from 0 to 32).
uint LowBits(int n) { return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1u; }

}  // namespace

void ReadMaskBits(const BitBuffer& mask, int x, int y, int width, uint* words) {
  const uint* row = mask.words + static_cast<long>(y) * mask.stride;
  const int rowWords = MaskRowWords(mask.width);
  const int count = MaskRowWords(width);
  const int shift = x & 31;
  int k = x >> 5;
  for (int i = 0; i < count; ++i, ++k) {
    uint v = row[k] >> shift;
    if (shift != 0 && k + 1 < rowWords) v |= row[k + 1] << (32 - shift);
    words[i] = v;
  }
  if (count > 0) words[count - 1] &= LowBits(width - (count - 1) * 32);
}

void WriteMaskBits(BitBuffer& mask, int x, int y, int width, const uint* words) {
  uint* row = mask.words + static_cast<long>(y) * mask.stride;
  const int count = MaskRowWords(width);
  const int shift = x & 31;
  int k = x >> 5;
  for (int i = 0; i < count; ++i, ++k) {
    const int n = i < count - 1 ? 32 : width - i * 32;
    const uint bits = LowBits(n);
    const uint v = words[i] & bits;
    row[k] = (row[k] & ~(bits << shift)) | (v << shift);
    if (shift + n > 32) {
      const uint spill = LowBits(shift + n - 32);
      row[k + 1] = (row[k + 1] & ~spill) | (v >> (32 - shift));
    }
  }
}
