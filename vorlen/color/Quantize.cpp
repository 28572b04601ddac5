// Mapping colours to their nearest palette entries.

#include "vorlen/color/Quantize.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kNoBound = 195076;  // 3 x 255^2 + 1

inline int Distance(const uchar* entry, int r, int g, int b) {
  const int dr = entry[0] - r, dg = entry[1] - g, db = entry[2] - b;
  return dr * dr + dg * dg + db * db;
}

// For each of 32 x 32 x 32 cells, built when a colour first falls in it, the entries that
// can be nearest to some colour of the cell. A colour lies within 4 sqrt(3) of its cell's
// centre, so its nearest entry lies within sqrt(U) + 8 sqrt(3) of the centre, where U is the
// centre's smallest squared distance to an entry. Each list is sorted by distance from the
// centre, with a lower bound of every colour's squared distance to the entry, so a search
// stops at the first entry that cannot be nearer than the best found.
class CellLists {
public:
  CellLists(const uchar* palette, int count, int skip)
      : palette_(palette), start_(kCells, -1), size_(kCells, 0) {
    for (int i = 0; i < count; ++i)
      if (i != skip) all_.push_back(static_cast<uchar>(i));
  }

  int Nearest(int r, int g, int b) {
    const int cell = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    if (start_[cell] < 0) Build(cell);
    const Candidate* e = store_.data() + start_[cell];
    const Candidate* const last = e + size_[cell];
    int best = all_.empty() ? 0 : all_[0];
    int bestDistance = kNoBound;
    for (; e != last && e->bound <= bestDistance; ++e) {
      const int d = Distance(palette_ + 3 * e->index, r, g, b);
      if (d < bestDistance || (d == bestDistance && e->index < best)) {
        bestDistance = d;
        best = e->index;
      }
    }
    return best;
  }

private:
  static constexpr int kCells = 32 * 32 * 32;

  struct Candidate {
    int bound;  // no colour of the cell is nearer to the entry than this squared distance
    uchar index;
  };

  void Build(int cell) {
    const int r = (cell >> 10) * 8 + 4, g = (cell >> 5 & 31) * 8 + 4, b = (cell & 31) * 8 + 4;
    const double halfDiagonal = 4.0 * std::sqrt(3.0);
    int nearest = kNoBound;
    for (uchar i : all_) nearest = std::min(nearest, Distance(palette_ + 3 * i, r, g, b));
    const double reach = std::sqrt(static_cast<double>(nearest)) + 2 * halfDiagonal;
    const double limit = reach * reach + 1e-6;
    start_[cell] = static_cast<int>(store_.size());
    for (uchar i : all_) {
      const int d = Distance(palette_ + 3 * i, r, g, b);
      if (d > limit) continue;
      const double gap = std::sqrt(static_cast<double>(d)) - halfDiagonal - 0.01;
      store_.push_back({gap > 0 ? static_cast<int>(gap * gap) : 0, i});
    }
    std::stable_sort(store_.begin() + start_[cell], store_.end(),
                     [](const Candidate& x, const Candidate& y) { return x.bound < y.bound; });
    size_[cell] = static_cast<short>(store_.size() - static_cast<size_t>(start_[cell]));
  }

  const uchar* palette_;
  std::vector<uchar> all_;
  std::vector<Candidate> store_;
  std::vector<int> start_;
  std::vector<short> size_;
};

// The entry that stands for the key: the first with its colour, else entry 0.
int KeyIndex(uint key, const uchar* palette, int count) {
  const uint rgb = key & 0x00FFFFFF;
  for (int i = 0; i < count; ++i)
    if ((static_cast<uint>(palette[3 * i]) << 16 | palette[3 * i + 1] << 8 | palette[3 * i + 2]) ==
        rgb)
      return i;
  return 0;
}

inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

int Quantize(uint colour, const uchar* palette, int count) {
  const int r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
  int best = 0;
  int bestDistance = kNoBound;
  for (int i = 0; i < count; ++i) {
    const int d = Distance(palette + 3 * i, r, g, b);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

int Quantize(Buffer& img, const uchar* palette, int count, uint key, bool dither, uchar* indices,
             int stride) {
  const bool composite = IsCompositeKey(key);
  const bool colourKey = IsColourKey(key);
  const bool hasKey = key != kNoKey;
  const int keyIndex = hasKey ? KeyIndex(key, palette, count) : 0;
  const bool skipEntryZero = (composite || colourKey) && keyIndex == 0;
  CellLists lists(palette, count, skipEntryZero ? 0 : -1);
  if (img.pixels == nullptr || img.Empty()) return keyIndex;
  const int width = img.Width(), height = img.Height();
  // Errors carried into this row and the next: blue, green, red, transparency a column.
  std::vector<int> current(4 * (static_cast<size_t>(width) + 1), 0);
  std::vector<int> next(current.size(), 0);
  for (int y = 0; y < height; ++y) {
    uint* src = img.At(img.rect.left, img.rect.top + y);
    uchar* out = indices != nullptr ? indices + static_cast<long>(y) * stride : nullptr;
    std::swap(current, next);
    std::fill(next.begin(), next.end(), 0);
    int carry[4] = {0, 0, 0, 0};
    for (int x = 0; x < width; ++x) {
      const uint p = src[x];
      int v[4];
      for (int c = 0; c < 4; ++c) {
        v[c] = static_cast<int>(p >> (8 * c) & 0xFF);
        if (dither) v[c] = Clamp255(v[c] + carry[c] + current[4 * x + c]);
      }
      bool isKey;
      if (composite)
        isKey = v[3] >= 128;
      else if (colourKey)
        isKey = (p & 0x00FFFFFF) == key;
      else
        isKey = hasKey && (p & key) == 0;
      const int index = isKey ? keyIndex : lists.Nearest(v[2], v[1], v[0]);
      const uchar* e = palette + 3 * index;
      // Without an index array the image itself takes the colour, its transparency kept.
      if (out != nullptr)
        out[x] = static_cast<uchar>(index);
      else
        src[x] = (p & 0xFF000000u) | static_cast<uint>(e[0]) << 16 | static_cast<uint>(e[1]) << 8 | e[2];
      if (!dither) continue;
      const int chosen[4] = {e[2], e[1], e[0], v[3] >= 128 ? 255 : 0};
      for (int c = 0; c < 4; ++c) {
        const int error = (isKey && c < 3) ? 0 : v[c] - chosen[c];
        carry[c] = error / 2;
        next[4 * x + c] += error - error / 2;
      }
    }
  }
  return keyIndex;
}
