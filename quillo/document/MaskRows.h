#pragma once
// Runs of bits of a selection mask's rows moved to and from word rows that start at bit 0: the
// undo history keeps a rectangle's mask that way, in memory and in its swap files.

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Types.h"

// Words needed for a row of width bits.
constexpr int MaskRowWords(int width) { return (width + 31) >> 5; }

// Copies the width bits of row y from column x on into words (column x to bit 0 of words[0]);
// the bits past width in the last word are cleared. The run lies inside the mask.
void ReadMaskBits(const BitBuffer& mask, int x, int y, int width, uint* words);
// Puts width bits of words into row y from column x on; the mask's other bits stay. The run
// lies inside the mask.
void WriteMaskBits(BitBuffer& mask, int x, int y, int width, const uint* words);
