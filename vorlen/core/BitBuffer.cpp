#include "vorlen/core/BitBuffer.h"

#include <algorithm>
#include <cstring>

#include "vorlen/core/BitWords.h"
#include "vorlen/core/PixelBlock.h"

namespace {

bool IsCopyMode(int mode) { return mode >= BitBuffer::kExchange && mode <= BitBuffer::kXor; }

uint Combined(uint target, uint source, uint mask, int mode) {
  switch (mode) {
    case BitBuffer::kOr: return target | (source & mask);
    case BitBuffer::kAnd: return target & (source | ~mask);
    case BitBuffer::kXor: return target ^ (source & mask);
    default: return (target & ~mask) | (source & mask);
  }
}

// A copy of the mask's rows in words of its own; empty when memory is short.
BitBuffer Snapshot(const BitBuffer& m) {
  BitBuffer copy;
  copy.Alloc(m.width, m.height);
  if (copy.words == nullptr) return copy;
  const size_t rowBytes = size_t(copy.stride) * sizeof(uint);
  for (int y = 0; y < m.height; ++y) std::memcpy(copy.words + long(y) * copy.stride, m.words + long(y) * m.stride, rowBytes);
  return copy;
}

// The part of a copy that lands inside the target: src columns from cutX, rows from cutY.
struct Placement {
  long x, y, cutX, cutY, columns, rows;
};

bool Place(const BitBuffer& target, const BitBuffer& src, int x, int y, Placement& p) {
  if (x >= target.width || y >= target.height) return false;
  p.cutX = x < 0 ? -long(x) : 0;
  p.cutY = y < 0 ? -long(y) : 0;
  p.x = std::max(x, 0);
  p.y = std::max(y, 0);
  p.columns = std::min<long>(src.width - p.cutX, target.width - p.x);
  p.rows = std::min<long>(src.height - p.cutY, target.height - p.y);
  return p.columns > 0 && p.rows > 0;
}

}  // namespace

BitBuffer::BitBuffer() : words(nullptr), stride(0), width(0), height(0), ownership(kOwns) {}

BitBuffer::BitBuffer(BitBuffer& src) : BitBuffer() { TakeFrom(src); }

BitBuffer::BitBuffer(BitBuffer&& src) : BitBuffer(static_cast<BitBuffer&>(src)) {}

BitBuffer::~BitBuffer() { Free(); }

BitBuffer& BitBuffer::operator=(BitBuffer& src) {
  if (&src != this) {
    Free();
    TakeFrom(src);
  }
  return *this;
}

BitBuffer& BitBuffer::operator=(BitBuffer&& src) { return *this = static_cast<BitBuffer&>(src); }

void BitBuffer::TakeFrom(BitBuffer& src) {
  ownership = src.ownership;
  src.ownership = kView;
  words = src.words;
  stride = src.stride;
  width = src.width;
  height = src.height;
}

void BitBuffer::Free() {
  if (words != nullptr && ownership != kView) ReleasePixelBlock(words, ownership);
  words = nullptr;
  stride = width = height = 0;
  ownership = kOwns;
}

void BitBuffer::Alloc(int w, int h) {
  Free();
  if ((w == 0 && h == 0) || w < 0 || h < 0) return;
  const int rowWords = int((long(w) + 31) >> 5);
  const size_t count = size_t(rowWords) * size_t(h);
  if (count > 0) {
    // The words of one mask stay within what a signed 32-bit byte count can hold.
    if (count > 0x7FFFFFFFu / sizeof(uint)) return;
    const PixelBlock block = ObtainPixelBlock(count);
    if (block.pixels == nullptr) return;
    words = block.pixels;
    ownership = block.ownership;
  }
  stride = rowWords;
  width = w;
  height = h;
}

void BitBuffer::Alloc(const BitBuffer& src) {
  if (&src == this) return;
  Free();
  words = src.words;
  stride = src.stride;
  width = src.width;
  height = src.height;
  ownership = kView;
}

void BitBuffer::Alloc(int w, int h, uint* memory, int memoryStride) {
  Free();
  words = memory;
  stride = memoryStride != 0 ? memoryStride : int((long(w) + 31) >> 5);
  width = w;
  height = h;
  ownership = kView;
}

void BitBuffer::Clear() {
  for (int y = 0; words != nullptr && y < height; ++y) std::fill_n(Row(y), RowWords(), 0u);
}

void BitBuffer::PutPixel(int x, int y, int v) { WriteBits(Row(y)[x >> 5], 1u << (x & 31), v); }

void BitBuffer::PutPixels(int x, int y, int len, int v) { WriteRun(Row(y), x, len, v); }

void BitBuffer::PutPixelsSafe(int x, int y, int len, int v) {
  if (words == nullptr || y < 0 || y >= height || x >= width || len <= 0) return;
  long first = x, last = long(x) + len - 1;
  first = std::max(first, 0L);
  last = std::min(last, long(width) - 1);
  if (last < first) return;
  WriteRun(Row(y), first, last - first + 1, v);
}

void BitBuffer::PutPixels(const Rect& r, int v) {
  if (r.Empty()) return;
  for (int y = r.top; y <= r.bottom; ++y) WriteRun(Row(y), r.left, long(r.right) - r.left + 1, v);
}

void BitBuffer::PutPixelsSafe(const Rect& r, int v) {
  if (words == nullptr) return;
  PutPixels(Intersect(r, Rect(0, 0, width - 1, height - 1)), v);
}

bool BitBuffer::SharesWordsWith(const BitBuffer& other) const {
  const uint* end = words + long(height) * stride;
  const uint* otherEnd = other.words + long(other.height) * other.stride;
  return words < otherEnd && other.words < end;
}

void BitBuffer::Copy(BitBuffer& src, int x, int y, int mode) {
  Placement p;
  if (!IsCopyMode(mode) || words == nullptr || src.words == nullptr || !Place(*this, src, x, y, p)) return;
  if (mode == kExchange) return ExchangeWith(src, x, y);
  if (!SharesWordsWith(src)) return Combine(src, x, y, mode);
  // Reading from words this copy is writing would mix old bits with new ones.
  const BitBuffer before = Snapshot(src);
  if (before.words != nullptr) Combine(before, x, y, mode);
}

// The target's bits in the span go to src after src's have come here.
void BitBuffer::ExchangeWith(BitBuffer& src, int x, int y) {
  BitBuffer before = Snapshot(*this);
  if (before.words == nullptr) return;
  Copy(src, x, y, kCopy);
  src.Copy(before, -x, -y, kCopy);
}

// Each target row word by word, the source bits shifted into the target's alignment.
void BitBuffer::Combine(const BitBuffer& src, int x, int y, int mode) {
  Placement p;
  if (!Place(*this, src, x, y, p)) return;
  const long shift = p.cutX - p.x;  // source bit of target bit b is b + shift
  const long firstWord = p.x >> 5, lastWord = (p.x + p.columns - 1) >> 5;
  const int firstBit = int(p.x & 31), lastBit = int((p.x + p.columns - 1) & 31);
  for (long row = 0; row < p.rows; ++row) {
    uint* target = Row(int(p.y + row));
    const uint* source = src.Row(int(p.cutY + row));
    for (long w = firstWord; w <= lastWord; ++w) {
      const uint mask = BitSpan(w == firstWord ? firstBit : 0, w == lastWord ? lastBit : 31);
      target[w] = Combined(target[w], ReadBitsAt(source, src.RowWords(), w * 32 + shift), mask, mode);
    }
  }
}
