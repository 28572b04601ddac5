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

// A flood fill by runs of pixels. A run waiting on the stack is set and widened left and
// right; then the rows above and below are asked along it (one column further each side
// when diagonal neighbours count), and the runs found there wait in turn. inside is asked at
// most once per pixel, the visited mask remembering who was asked, and each run is widened
// and looked around once, so the work follows the area filled whatever its shape.
class SpanFill {
public:
  SpanFill(BitBuffer& mask, BitBuffer& visited, bool (*inside)(int, int), bool diagonal)
      : mask_(mask), visited_(visited), inside_(inside), diagonal_(diagonal) {}

  // (x, y) has been asked and found inside.
  Rect Run(int x, int y) {
    bounds_ = Rect(x, y, x, y);
    pending_.push_back(Span{x, x, y});
    while (!pending_.empty()) {
      Span run = pending_.back();
      pending_.pop_back();
      Widen(run);
      WriteRun(mask_.words + long(run.y) * mask_.stride, run.first, long(run.last) - run.first + 1, 1);
      bounds_ = Rect(std::min(bounds_.left, run.first), std::min(bounds_.top, run.y),
                     std::max(bounds_.right, run.last), std::max(bounds_.bottom, run.y));
      LookAround(run, run.y - 1);
      LookAround(run, run.y + 1);
    }
    return bounds_;
  }

private:
  struct Span {
    int first, last, y;
  };

  // Asks about a pixel not asked before; false for one that was.
  bool Ask(int x, int y) {
    if (BitAt(visited_, x, y)) return false;
    SetBit(visited_, x, y);
    return inside_(x, y);
  }

  void Widen(Span& run) {
    while (run.first > 0 && Ask(run.first - 1, run.y)) --run.first;
    while (run.last < mask_.width - 1 && Ask(run.last + 1, run.y)) ++run.last;
  }

  void LookAround(const Span& run, int y) {
    if (y < 0 || y >= mask_.height) return;
    const int from = diagonal_ ? std::max(run.first - 1, 0) : run.first;
    const int to = diagonal_ ? std::min(run.last + 1, mask_.width - 1) : run.last;
    int start = -1;
    for (int x = from; x <= to; ++x) {
      if (Ask(x, y)) {
        if (start < 0) start = x;
      } else if (start >= 0) {
        pending_.push_back(Span{start, x - 1, y});
        start = -1;
      }
    }
    if (start >= 0) pending_.push_back(Span{start, to, y});
  }

  BitBuffer& mask_;
  BitBuffer& visited_;
  bool (*inside_)(int, int);
  bool diagonal_;
  Rect bounds_;
  std::vector<Span> pending_;
};

// A flood fill that asks about whole runs of a row. Every run found is set and widened at
// once, so a row's set bits always make whole runs of inside pixels: a pixel inside and not
// yet set starts a run not yet found, and the mask itself remembers what was found. Along
// the rows above and below a run, the set stretches are skipped a word at a time and the
// rest is asked about run by run.
class RunFill {
public:
  RunFill(BitBuffer& mask, const RowRuns& inside, bool diagonal) : mask_(mask), inside_(inside), diagonal_(diagonal) {}

  // (x, y) is inside.
  Rect Run(int x, int y) {
    bounds_ = Rect(x, y, x, y);
    Take(x, y);
    while (!pending_.empty()) {
      const Span run = pending_.back();
      pending_.pop_back();
      if (run.y > 0) LookAt(run, run.y - 1);
      if (run.y + 1 < mask_.height) LookAt(run, run.y + 1);
    }
    return bounds_;
  }

private:
  struct Span {
    int first, last, y;
  };

  uint* Row(int y) const { return mask_.words + long(y) * mask_.stride; }

  // Sets the run of (x, y), which is inside and not yet set, and keeps it to look around;
  // returns its last pixel. startsHere: (x - 1, y) was just found outside.
  int Take(int x, int y, bool startsHere = false) {
    const int first = startsHere ? x : x > 0 ? inside_.PreviousOutside(x - 1, y, 0) + 1 : 0;
    const int last = x < mask_.width - 1 ? inside_.NextOutside(x + 1, y, mask_.width - 1) - 1 : x;
    WriteRun(Row(y), first, long(last) - first + 1, 1);
    bounds_ = Rect(std::min(bounds_.left, first), std::min(bounds_.top, y), std::max(bounds_.right, last),
                   std::max(bounds_.bottom, y));
    pending_.push_back(Span{first, last, y});
    return last;
  }

  // The first clear bit of row from x up to last; last + 1 when every one is set.
  static int NextClear(const uint* row, int x, int last) {
    int w = x >> 5;
    uint clear = ~row[w] & ~0u << (x & 31);
    while (clear == 0) {
      if (++w > last >> 5) return last + 1;
      clear = ~row[w];
    }
    return std::min(w * 32 + std::countr_zero(clear), last + 1);
  }

  void LookAt(const Span& run, int y) {
    const int from = diagonal_ ? std::max(run.first - 1, 0) : run.first;
    const int to = diagonal_ ? std::min(run.last + 1, mask_.width - 1) : run.last;
    const uint* row = Row(y);
    for (int x = from; x <= to;) {
      const int clear = NextClear(row, x, to);
      if (clear > to) break;
      x = inside_.NextInside(clear, y, to);
      if (x > to) break;
      // An inside pixel already set belongs to a run found before: the next round skips it.
      if (row[x >> 5] >> (x & 31) & 1) continue;
      x = Take(x, y, x > clear) + 2;  // the pixel after a run is outside
    }
  }

  BitBuffer& mask_;
  const RowRuns& inside_;
  bool diagonal_;
  Rect bounds_;
  std::vector<Span> pending_;
};

}  // namespace

Rect BitBuffer::Fill(int x, int y, const RowRuns& inside, bool diagonal) {
  if (words == nullptr) return Rect();
  Clear();
  if (x < 0 || y < 0 || x >= width || y >= height || inside.NextInside(x, y, x) != x) return Rect();
  return RunFill(*this, inside, diagonal).Run(x, y);
}

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
  return SpanFill(*this, visited, inside, diagonal).Run(x, y);
}

void BitBuffer::Stencil(const Rect& r, void (*fn)(int x, int y)) {
  StencilRuns(r, [fn](int first, int last, int y) {
    for (int x = first; x <= last; ++x) fn(x, y);
  });
}
