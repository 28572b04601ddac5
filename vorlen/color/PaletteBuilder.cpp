// CreatePalette: colour boxes split where a split removes the most squared error.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vorlen/color/Quantize.h"

namespace {

using i64 = std::int64_t;

bool ReservesEntry(uint key) { return IsColourKey(key) || IsCompositeKey(key); }

// Channel c of a pixel: 0 blue, 1 green, 2 red.
inline int Channel(uint pixel, int c) { return pixel >> (8 * c) & 0xFF; }

struct ChannelStats {
  double reduction = 0;  // the best split's error reduction
  int lo = 0;
  int hi = 255;
  int mean = 0;
  int split = 0;
};

struct ColourBox {
  std::array<ChannelStats, 3> ch;
  size_t first = 0;  // the box's run in the work pixels: [first, last)
  size_t last = 0;
};

// Statistics and the best cut of one channel of a box from its histogram.
void MeasureChannel(ChannelStats& s, const i64* histogram) {
  i64 n = 0, sum = 0, squares = 0;
  for (int v = s.lo; v <= s.hi; ++v) {
    n += histogram[v];
    sum += histogram[v] * v;
    squares += histogram[v] * v * v;
  }
  s.reduction = 0;
  s.split = s.lo;
  if (n == 0) {
    s.mean = 0;
    return;
  }
  const i64 m = (sum + n / 2) / n;
  s.mean = static_cast<int>(m);
  const i64 whole = squares - 2 * m * sum + n * m * m;
  i64 t = 0, sumBelow = 0;
  for (int j = s.lo; j <= s.hi; ++j) {
    t += histogram[j];
    sumBelow += histogram[j] * j;
    if (t >= n) break;
    if (t == 0) continue;
    const i64 u = n - t;
    const i64 lower = (sumBelow + t / 2) / t;
    const i64 upper = (sum - sumBelow + u / 2) / u;
    const i64 after = squares - 2 * lower * sumBelow + t * lower * lower -
                      2 * upper * (sum - sumBelow) + u * upper * upper;
    const double reduction = static_cast<double>(whole - after);
    if (reduction > s.reduction) {
      s.reduction = reduction;
      s.split = std::max(static_cast<int>((lower + upper) / 2), j);
    }
  }
}

void MeasureBox(ColourBox& box, const uint* work) {
  std::vector<i64> histogram(3 * 256, 0);
  for (size_t i = box.first; i < box.last; ++i)
    for (int c = 0; c < 3; ++c) ++histogram[c * 256 + Channel(work[i], c)];
  for (int c = 0; c < 3; ++c) MeasureChannel(box.ch[c], histogram.data() + c * 256);
}

// Splits the box with the greatest reduction; false when no split reduces the error.
bool SplitBest(std::vector<ColourBox>& boxes, uint* work) {
  double best = 0;
  int which = -1, channel = 0;
  for (size_t b = 0; b < boxes.size(); ++b)
    for (int c = 0; c < 3; ++c)
      if (boxes[b].ch[c].reduction > best) {
        best = boxes[b].ch[c].reduction;
        which = static_cast<int>(b);
        channel = c;
      }
  if (which < 0) return false;
  ColourBox& box = boxes[which];
  const int split = box.ch[channel].split;
  uint* const middle = std::partition(work + box.first, work + box.last,
                                      [&](uint p) { return Channel(p, channel) <= split; });
  ColourBox upper = box;
  upper.ch[channel].lo = split + 1;
  upper.first = static_cast<size_t>(middle - work);
  box.ch[channel].hi = split;
  box.last = upper.first;
  MeasureBox(box, work);
  MeasureBox(upper, work);
  boxes.push_back(upper);
  return true;
}

// Moves the pixels the key excludes to the end; answers how many remain in front.
size_t ExcludeKeyPixels(uint* work, size_t count, uint key) {
  if (key == kNoKey) return count;
  auto excluded = [key](uint p) {
    if (IsCompositeKey(key)) return (p >> 24) >= 128;
    if (IsColourKey(key)) return (p & 0x00FFFFFF) == key;
    return (p & key) == 0;
  };
  size_t end = count;
  for (size_t i = 0; i < end;) {
    if (excluded(work[i]))
      std::swap(work[i], work[--end]);
    else
      ++i;
  }
  return end;
}

std::vector<ColourBox> BuildBoxes(uint* work, size_t count, uint key, int wanted) {
  std::vector<ColourBox> boxes;
  const size_t kept = ExcludeKeyPixels(work, count, key);
  if (kept == 0 || wanted <= 0) return boxes;
  ColourBox first;
  first.last = kept;
  MeasureBox(first, work);
  boxes.push_back(first);
  while (static_cast<int>(boxes.size()) < wanted && SplitBest(boxes, work)) {
  }
  return boxes;
}

// Transparency bytes made 0 or 255 by error diffusion, rows from the top.
void DiffuseTransparency(uint* work, int width, int height) {
  std::vector<int> below(static_cast<size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    uint* row = work + static_cast<size_t>(y) * width;
    int carry = 0;
    for (int x = 0; x < width; ++x) {
      int n = carry + static_cast<int>(row[x] >> 24) + below[x];
      n = n < 1 ? 0 : n > 254 ? 255 : n;
      if (n < 128) {
        row[x] &= 0x00FFFFFF;
      } else {
        row[x] |= 0xFF000000;
        n -= 255;
      }
      below[x] = n >> 1;
      carry = n - (n >> 1);
    }
  }
}

struct PaletteColour {
  int cell;
  int brightness;
  uint rgb;
};

PaletteColour Describe(int r, int g, int b) {
  const int cb = (43 * b - 29 * g - 14 * r + 12850) / 800;
  const int cr = (36 * r - 7 * b - 29 * g + 12850) / 800;
  return {cb * 32 + cr, 28 * r + 58 * g + 14 * b,
          static_cast<uint>(r << 16 | g << 8 | b)};
}

// Box colours ordered by chroma cell, then by descending brightness within a cell.
std::vector<PaletteColour> OrderColours(const std::vector<ColourBox>& boxes) {
  std::vector<PaletteColour> ordered;
  for (const ColourBox& box : boxes) {
    const PaletteColour c = Describe(box.ch[2].mean, box.ch[1].mean, box.ch[0].mean);
    auto at = std::find_if(ordered.begin(), ordered.end(), [&](const PaletteColour& o) {
      return o.cell > c.cell || (o.cell == c.cell && o.brightness <= c.brightness);
    });
    ordered.insert(at, c);
  }
  return ordered;
}

void PutEntry(uchar* palette, int index, uint rgb) {
  palette[3 * index] = static_cast<uchar>(rgb >> 16);
  palette[3 * index + 1] = static_cast<uchar>(rgb >> 8);
  palette[3 * index + 2] = static_cast<uchar>(rgb);
}

// The work pixels as one contiguous run of img's size: img itself, scratch's memory or
// a new block.
uint* WorkPixels(Buffer& img, Buffer* scratch, std::vector<uint>& own) {
  const int width = img.Width(), height = img.Height();
  const size_t count = static_cast<size_t>(width) * height;
  const bool imgContiguous = img.stride == width || height == 1;
  if (scratch == &img && imgContiguous) return img.At(img.rect.left, img.rect.top);
  uint* work = nullptr;
  if (scratch != nullptr && scratch != &img && scratch->pixels != nullptr &&
      (scratch->stride == scratch->Width() || scratch->Height() == 1) &&
      static_cast<size_t>(scratch->Width()) * scratch->Height() >= count) {
    work = scratch->At(scratch->rect.left, scratch->rect.top);
  } else {
    own.resize(count);
    work = own.data();
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(work + static_cast<size_t>(y) * width, img.At(img.rect.left, img.rect.top + y),
                static_cast<size_t>(width) * 4);
  return work;
}

}  // namespace

int CreatePalette(Buffer& img, uchar* palette, int count, uint key, Buffer* scratch, bool dither) {
  count = std::clamp(count, 0, 256);
  std::memset(palette, 0, static_cast<size_t>(count) * 3);
  const bool reserved = ReservesEntry(key) && count > 0;
  std::vector<uint> own;
  std::vector<ColourBox> boxes;
  if (img.pixels != nullptr && !img.Empty()) {
    uint* const work = WorkPixels(img, scratch, own);
    if (IsCompositeKey(key) && dither) DiffuseTransparency(work, img.Width(), img.Height());
    const size_t pixels = static_cast<size_t>(img.Width()) * img.Height();
    boxes = BuildBoxes(work, pixels, key, count - (reserved ? 1 : 0));
  }
  int used = 0;
  if (reserved) PutEntry(palette, used++, key & 0x00FFFFFF);
  for (const PaletteColour& c : OrderColours(boxes)) PutEntry(palette, used++, c.rgb);
  return used;
}
