// Mask operations over regions: resampling, flood fill and stencilling.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/BitWords.h"

void BitBuffer::Scale(BitBuffer& src, bool any) {
  if (words == nullptr) return;
  if (src.words == nullptr || src.width <= 0 || src.height <= 0) return Clear();
  if (width >= src.width && height >= src.height) any = false;
  if (any) ScaleAny(src);
  else ScaleSampled(src);
}

// Each target bit takes the source bit at the centre of the area it covers.
void BitBuffer::ScaleSampled(const BitBuffer& src) {
  const long sw = src.width, sh = src.height, dw = width, dh = height;
  std::vector<int> columns(static_cast<size_t>(dw));
  for (long i = 0; i < dw; ++i) columns[size_t(i)] = int((sw * i + sw / 2) / dw);
  for (long k = 0; k < dh; ++k) {
    const uint* source = src.Row(int((k * sh + sh / 2) / dh));
    uint* target = Row(int(k));
    std::fill_n(target, RowWords(), 0u);
    for (long i = 0; i < dw; ++i) {
      const int c = columns[size_t(i)];
      target[i >> 5] |= (source[c >> 5] >> (c & 31) & 1) << (i & 31);
    }
  }
}

// Every set source bit sets the target bit it falls on.
void BitBuffer::ScaleAny(const BitBuffer& src) {
  Clear();
  const long sw = src.width, sh = src.height, dw = width, dh = height;
  std::vector<int> columns(static_cast<size_t>(sw));
  for (long i = 0; i < sw; ++i) columns[size_t(i)] = int((i * dw + dw / 2) / sw);
  for (long j = 0; j < sh; ++j) {
    const uint* source = src.Row(int(j));
    uint* target = Row(int((j * dh + dh / 2) / sh));
    for (long w = 0; w < src.RowWords(); ++w) {
      uint bits = source[w];
      if (w == src.RowWords() - 1 && (sw & 31) != 0) bits &= BitSpan(0, int(sw & 31) - 1);
      for (; bits != 0; bits &= bits - 1) {
        const int c = columns[size_t(w * 32 + std::countr_zero(bits))];
        target[c >> 5] |= 1u << (c & 31);
      }
    }
  }
}

namespace {

// Bit access without a call into the library's exported operations, for the fill's inner loop.
inline uint& WordOf(const BitBuffer& m, int x, int y) { return m.words[long(y) * m.stride + (x >> 5)]; }
inline bool BitAt(const BitBuffer& m, int x, int y) { return WordOf(m, x, y) >> (x & 31) & 1; }
inline void SetBit(const BitBuffer& m, int x, int y) { WordOf(m, x, y) |= 1u << (x & 31); }

// The scan of a flood fill: it moves right through the mask row by row and goes back to a
// pixel above or to the left as soon as one is newly set, so each set pixel is visited after
// it is set. inside is asked once per pixel: the visited mask remembers who was asked.
class FloodScan {
public:
  FloodScan(BitBuffer& mask, BitBuffer& visited, bool (*inside)(int, int), bool diagonal)
      : mask_(mask), visited_(visited), inside_(inside), diagonal_(diagonal) {}

  Rect Run(int x, int y) {
    bounds_ = Rect(x, y, x, y);
    while (y < mask_.height) {
      if (!BitAt(mask_, x, y)) {
        NextSetBit(x, y);
        continue;
      }
      Pair<int> back;
      if (Spread(x, y, back)) {
        x = back.x, y = back.y;
      } else if (++x == mask_.width) {
        x = 0, ++y;
      }
    }
    return bounds_;
  }

private:
  // Examines the neighbours in their fixed order; back receives the last newly set one
  // among left, up-right, up and up-left.
  bool Spread(int x, int y, Pair<int>& back) {
    bool goBack = false;
    const auto behind = [&](int nx, int ny) {
      if (Reach(nx, ny)) back = Pair<int>(nx, ny), goBack = true;
    };
    behind(x - 1, y);
    if (y > 0) {
      if (diagonal_) behind(x + 1, y - 1);
      behind(x, y - 1);
      if (diagonal_) behind(x - 1, y - 1);
    }
    Reach(x + 1, y);
    if (y < mask_.height - 1) {
      Reach(x, y + 1);
      if (diagonal_) Reach(x + 1, y + 1), Reach(x - 1, y + 1);
    }
    return goBack;
  }

  // True when (x, y) is newly set.
  bool Reach(int x, int y) {
    if (x < 0 || x >= mask_.width || BitAt(visited_, x, y)) return false;
    SetBit(visited_, x, y);
    if (!inside_(x, y)) return false;
    SetBit(mask_, x, y);
    bounds_ = Rect(std::min(bounds_.left, x), std::min(bounds_.top, y), std::max(bounds_.right, x),
                   std::max(bounds_.bottom, y));
    return true;
  }

  // Moves from an unset bit to the next set one in scan order, whole zero words at a time.
  void NextSetBit(int& x, int& y) {
    const uint* row = mask_.words + long(y) * mask_.stride;
    const int rowWords = (mask_.width + 31) >> 5;
    int w = x >> 5;
    uint bits = row[w] & ~((2u << (x & 31)) - 1);
    while (bits == 0 && ++w < rowWords) bits = row[w];
    if (bits != 0 && w * 32 + std::countr_zero(bits) < mask_.width) {
      x = w * 32 + std::countr_zero(bits);
    } else {
      x = 0, ++y;
    }
  }

  BitBuffer& mask_;
  BitBuffer& visited_;
  bool (*inside_)(int, int);
  bool diagonal_;
  Rect bounds_;
};

}  // namespace

Rect BitBuffer::Fill(int x, int y, bool (*inside)(int x, int y), bool diagonal) {
  if (words == nullptr) return Rect();
  Clear();
  if (x < 0 || y < 0 || x >= width || y >= height || !inside(x, y)) return Rect();
  BitBuffer visited;
  visited.Alloc(width, height);
  if (visited.words == nullptr) return Rect();
  visited.Clear();
  visited.PutPixel(x, y, 1);
  PutPixel(x, y, 1);
  return FloodScan(*this, visited, inside, diagonal).Run(x, y);
}

void BitBuffer::Stencil(const Rect& r, void (*fn)(int x, int y)) {
  if (words == nullptr) return;
  const Rect area = Intersect(r, Rect(0, 0, width - 1, height - 1));
  if (area.Empty()) return;
  const int firstWord = area.left >> 5, lastWord = area.right >> 5;
  for (int y = area.top; y <= area.bottom; ++y) {
    const uint* row = Row(y);
    for (int w = firstWord; w <= lastWord; ++w) {
      uint bits = row[w] & BitSpan(w == firstWord ? area.left & 31 : 0, w == lastWord ? area.right & 31 : 31);
      for (; bits != 0; bits &= bits - 1) fn(w * 32 + std::countr_zero(bits), y);
    }
  }
}
