#pragma once
// The 1-bit mask: selections, flood-fill regions and brush stencils. Pixel (x, y) is bit
// x & 31 (least significant first) of word x >> 5 of row y; a set bit belongs to the mask.
// Coordinates start at (0, 0). Ownership works as in Buffer: assignment and copy
// construction hand the words over and leave the source a view. The operations named Safe,
// Copy, Fill, Scale and Stencil clip; the others trust the caller's coordinates.
//
// The value v of the writing operations: 0 clears, -1 toggles, any other value sets.

#include "vorlen/core/Types.h"

class BitBuffer {
public:
  // Ownership words, as in Buffer.
  static constexpr int kOwns = 0;
  static constexpr int kOwnsShifted = -1;
  static constexpr int kView = 1;

  // Copy modes.
  static constexpr int kXor = -1;
  static constexpr int kCopy = -2;
  static constexpr int kAnd = -3;
  static constexpr int kOr = -4;
  static constexpr int kExchange = -5;

  BitBuffer();
  BitBuffer(BitBuffer& src);
  BitBuffer(BitBuffer&& src);
  ~BitBuffer();
  BitBuffer& operator=(BitBuffer& src);
  BitBuffer& operator=(BitBuffer&& src);

  void Free();
  void Alloc(int w, int h);  // owned, not initialised
  void Alloc(const BitBuffer& src);  // a view on src's words
  void Alloc(int w, int h, uint* memory, int memoryStride);  // a view on the caller's words

  bool Test(int x, int y) const { return words[long(y) * stride + (x >> 5)] >> (x & 31) & 1; }

  void PutPixel(int x, int y, int v);
  void PutPixels(int x, int y, int len, int v);  // len >= 1
  void PutPixelsSafe(int x, int y, int len, int v);
  void PutPixels(const Rect& r, int v);
  void PutPixelsSafe(const Rect& r, int v);

  // Combines src, its (0, 0) placed at (x, y), into this mask; kExchange swaps the two.
  void Copy(BitBuffer& src, int x, int y, int mode);
  // Resamples src at this mask's size; any keeps every set bit when shrinking.
  void Scale(BitBuffer& src, bool any);
  // Sets the region around (x, y) where inside holds; returns its bounding rectangle.
  Rect Fill(int x, int y, bool (*inside)(int x, int y), bool diagonal);
  // Calls fn for every set bit inside r, row by row from the top, left to right.
  void Stencil(const Rect& r, void (*fn)(int x, int y));

  uint* words;
  int stride;  // words per row
  int width;
  int height;
  int ownership;

private:
  void TakeFrom(BitBuffer& src);
  int RowWords() const { return (width + 31) >> 5; }
  uint* Row(int y) const { return words + long(y) * stride; }
  void Clear();
  void Combine(const BitBuffer& src, int x, int y, int mode);
  void ExchangeWith(BitBuffer& src, int x, int y);
  void ScaleSampled(const BitBuffer& src);
  void ScaleAny(const BitBuffer& src);
  bool SharesWordsWith(const BitBuffer& other) const;
};
