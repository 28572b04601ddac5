#pragma once
// The 1-bit mask: selections, flood-fill regions and brush stencils. Pixel (x, y) is bit
// x & 31 (least significant first) of word x >> 5 of row y; a set bit belongs to the mask.
// Coordinates start at (0, 0). Ownership works as in Buffer: assignment and copy
// construction hand the words over and leave the source a view. The operations named Safe,
// Copy, Fill, Scale and Stencil clip; the others trust the caller's coordinates.
//
// The value v of the writing operations: 0 clears, -1 toggles, any other value sets.

#include <bit>

#include "vorlen/core/BitWords.h"
#include "vorlen/core/Types.h"

// What a fill by runs asks of the picture it grows over: where, along one row, the pixels
// inside the region start and stop. One question covers a whole run of pixels, so the answers
// can come from a tight loop over the row instead of a call per pixel.
class RowRuns {
public:
  // The first x' from x up to last where (x', y) is inside; last + 1 when there is none.
  virtual int NextInside(int x, int y, int last) const = 0;
  // The first x' from x up to last where (x', y) is outside; last + 1 when there is none.
  virtual int NextOutside(int x, int y, int last) const = 0;
  // The first x' from x down to first where (x', y) is outside; first - 1 when there is none.
  virtual int PreviousOutside(int x, int y, int first) const = 0;

protected:
  ~RowRuns() = default;
};

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
  // As Fill, asking about runs of a row instead of single pixels. The same region results.
  Rect Fill(int x, int y, const RowRuns& inside, bool diagonal);
  // Calls fn for every set bit inside r, row by row from the top, left to right.
  void Stencil(const Rect& r, void (*fn)(int x, int y));
  // Calls fn(first, last, y) for every run of set bits inside r, row by row from the top, left
  // to right; a run ends where the bits or r end.
  template <class Fn>
  void StencilRuns(const Rect& r, Fn&& fn) const;

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

template <class Fn>
void BitBuffer::StencilRuns(const Rect& r, Fn&& fn) const {
  if (words == nullptr) return;
  const Rect area = Intersect(r, Rect(0, 0, width - 1, height - 1));
  if (area.Empty()) return;
  const int firstWord = area.left >> 5, lastWord = area.right >> 5;
  for (int y = area.top; y <= area.bottom; ++y) {
    const uint* row = Row(y);
    int open = -1;  // the start of a run reaching the end of the word before
    for (int w = firstWord; w <= lastWord; ++w) {
      uint bits = row[w] & BitSpan(w == firstWord ? area.left & 31 : 0, w == lastWord ? area.right & 31 : 31);
      const int base = w * 32;
      if (open >= 0) {
        if (bits == ~0u) continue;
        const int ones = std::countr_one(bits);
        fn(open, base + ones - 1, y);
        open = -1;
        if (ones > 0) bits &= ~BitSpan(0, ones - 1);
      }
      while (bits != 0) {
        const int start = std::countr_zero(bits);
        const int ones = std::countr_one(bits >> start);
        if (start + ones == 32) {
          open = base + start;
          break;
        }
        fn(base + start, base + start + ones - 1, y);
        bits &= ~BitSpan(start, start + ones - 1);
      }
    }
    if (open >= 0) fn(open, area.right, y);
  }
}
