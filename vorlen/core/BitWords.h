#pragma once
// Bit runs inside rows of 32-bit mask words, least significant bit first.

#include "vorlen/core/Types.h"

// Bits first to last (0 to 31, first <= last) of one word.
inline uint BitSpan(int first, int last) {
  return (last == 31 ? ~0u : (2u << last) - 1) & ~((1u << first) - 1);
}

// Clears (v 0), toggles (v -1) or sets (any other v) the bits of mask.
inline void WriteBits(uint& word, uint mask, int v) {
  if (v == 0) word &= ~mask;
  else if (v == -1) word ^= mask;
  else word |= mask;
}

// Bits x to x + len - 1 of a row; len >= 1. Whole words between the ends at once.
inline void WriteRun(uint* row, long x, long len, int v) {
  const long last = x + len - 1;
  uint* word = row + (x >> 5);
  uint* const end = row + (last >> 5);
  if (word == end) return WriteBits(*word, BitSpan(int(x & 31), int(last & 31)), v);
  WriteBits(*word++, BitSpan(int(x & 31), 31), v);
  for (; word != end; ++word) WriteBits(*word, ~0u, v);
  WriteBits(*word, BitSpan(0, int(last & 31)), v);
}

// 32 bits of a row of count words starting at bit pos (which may lie outside the row: the
// missing words read as 0).
inline uint ReadBitsAt(const uint* row, long count, long pos) {
  const long index = pos >> 5;
  const int shift = int(pos & 31);
  const uint low = index >= 0 && index < count ? row[index] : 0;
  if (shift == 0) return low;
  const uint high = index + 1 >= 0 && index + 1 < count ? row[index + 1] : 0;
  return low >> shift | high << (32 - shift);
}
