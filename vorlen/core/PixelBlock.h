#pragma once
// The library's allocator for pixel and mask words. A block is released by the library that
// obtained it, whichever side of the library boundary asks. Words start on an 8-byte
// boundary; when the allocator's address is 4 modulo 8 the words start one word into the
// block and the ownership word says so.

#include <cstddef>

#include "vorlen/core/Types.h"

struct PixelBlock {
  uint* pixels = nullptr;  // null when the memory could not be obtained
  int ownership = 0;       // 0: the block starts at pixels; -1: one word before
};

PixelBlock ObtainPixelBlock(size_t words);
void ReleasePixelBlock(uint* pixels, int ownership);
// Gives the memory of the whole huge pages between from and to, words of one block that its
// owner no longer uses, back to the system; the block stays valid and those words read as
// zero if touched again.
void ReleasePixelBlockPages(uint* from, uint* to);

// The words the block whose words start at pixels can hold from there on (at least what was
// asked for when it was obtained); 0 for null.
size_t PixelBlockWords(const uint* pixels, int ownership);

// The placement step on its own: where the words of a block at this address start.
PixelBlock AlignPixelBlock(void* block);
