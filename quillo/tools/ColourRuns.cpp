// Each question is one tight loop along the row with the comparison chosen once: a word
// compare at tolerance 0, the byte distance otherwise, none when the tolerance takes every
// colour or none.

#include "quillo/tools/ColourRuns.h"

#include <algorithm>

namespace {

struct Exact {
  std::uint32_t seed;
  bool operator()(std::uint32_t p) const { return p == seed; }
};

struct Near {
  std::uint32_t seed;
  int tolerance;
  bool operator()(std::uint32_t p) const { return PixelDistance(p, seed) <= tolerance; }
};

// The first i from i up to last (last + 1 when none) whose pixel's answer is want.
template <class Inside>
int ScanRight(const std::uint32_t* row, int i, int last, bool want, Inside inside) {
  while (i <= last && inside(row[i]) != want) ++i;
  return i;
}

// The first i from i down to first (first - 1 when none) whose pixel's answer is want.
template <class Inside>
int ScanLeft(const std::uint32_t* row, int i, int first, bool want, Inside inside) {
  while (i >= first && inside(row[i]) != want) --i;
  return i;
}

}  // namespace

ColourRuns::ColourRuns(const Buffer& picture, std::uint32_t seed, int tolerance)
    : picture_(picture), seed_(seed), tolerance_(tolerance),
      test_(tolerance < 0      ? Test::None
            : tolerance == 0   ? Test::Exact
            : tolerance < 1020 ? Test::Near
                               : Test::Any) {}

// Rows are read from the picture's left edge on: row[i] is the pixel at x = left + i.
int ColourRuns::NextInside(int x, int y, int last) const {
  const Rect& r = picture_.rect;
  const int from = std::max(x, r.left), to = std::min(last, r.right);
  if (y < r.top || y > r.bottom || from > to || test_ == Test::None) return last + 1;
  const std::uint32_t* row = picture_.At(r.left, y);
  int found = from - r.left;
  if (test_ == Test::Exact) found = ScanRight(row, found, to - r.left, true, Exact{seed_});
  else if (test_ == Test::Near) found = ScanRight(row, found, to - r.left, true, Near{seed_, tolerance_});
  return found > to - r.left ? last + 1 : found + r.left;
}

int ColourRuns::NextOutside(int x, int y, int last) const {
  const Rect& r = picture_.rect;
  if (x > last) return last + 1;
  if (y < r.top || y > r.bottom || x < r.left || x > r.right || test_ == Test::None) return x;
  const int to = std::min(last, r.right);
  const std::uint32_t* row = picture_.At(r.left, y);
  if (test_ == Test::Exact) return ScanRight(row, x - r.left, to - r.left, false, Exact{seed_}) + r.left;
  if (test_ == Test::Near) return ScanRight(row, x - r.left, to - r.left, false, Near{seed_, tolerance_}) + r.left;
  return to + 1;
}

int ColourRuns::PreviousOutside(int x, int y, int first) const {
  const Rect& r = picture_.rect;
  if (x < first) return first - 1;
  if (y < r.top || y > r.bottom || x < r.left || x > r.right || test_ == Test::None) return x;
  const int to = std::max(first, r.left);
  const std::uint32_t* row = picture_.At(r.left, y);
  if (test_ == Test::Exact) return ScanLeft(row, x - r.left, to - r.left, false, Exact{seed_}) + r.left;
  if (test_ == Test::Near) return ScanLeft(row, x - r.left, to - r.left, false, Near{seed_, tolerance_}) + r.left;
  return to - 1;
}
