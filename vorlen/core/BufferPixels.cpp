// Operations over every pixel of a buffer: colour replacement, bit operations, outlines and
// the test pattern.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/BufferRows.h"

void Buffer::ChColor(uint from, uint to) {
  ForEachRow(*this, [=](uint* p, int width, int) {
    for (uint* end = p + width; p != end; ++p)
      if (*p == from) *p = to;
  });
}

void Buffer::XChColor(uint a, uint b) {
  ForEachRow(*this, [=](uint* p, int width, int) {
    for (uint* end = p + width; p != end; ++p) {
      if (*p == a) *p = b;
      else if (*p == b) *p = a;
    }
  });
}

bool Buffer::CheckMask(uint mask) const {
  if (pixels == nullptr || Empty()) return false;
  const uint* row = pixels;
  for (int y = 0; y < Height(); ++y, row += stride)
    for (const uint *p = row, *end = row + Width(); p != end; ++p)
      if (*p & mask) return true;
  return false;
}

void Buffer::Bool(int op, uint value) {
  const auto each = [this](auto change) {
    ForEachRow(*this, [&](uint* p, int width, int) {
      for (uint* end = p + width; p != end; ++p) *p = change(*p);
    });
  };
  const int shift = int(value);
  switch (op) {
    case 1: return each([value](uint p) { return p & value; });
    case 2: return each([value](uint p) { return p | value; });
    case 3: return each([value](uint p) { return p ^ value; });
    case 4: {
      const uint count = (shift > 0 ? value : 0u - value) & 31;  // -value without overflow
      if (shift == 0 || count == 0) return;
      if (shift > 0) return each([count](uint p) { return p << count; });
      return each([count](uint p) { return p >> count; });
    }
    default: return;
  }
}

void Buffer::VClr(int a) {
  const uint top = (uint(a) * 16 & 0xFF) << 24;
  ForEachRow(*this, [top](uint* p, int width, int row) {
    const uint green = uint(row) & 0xFF;
    const uint red = uint(row) >> 8;
    for (int c = 0; c < width; ++c) p[c] = top | ((uint(c) + red) & 0xFF) << 16 | green << 8 | (p[c] & 0xFF) >> 1;
  });
}

namespace {

// One outline pass with every test made on the pixels as they were before it. Rows are read
// from copies padded by one pixel of a value that never triggers, so the borders need no test.
template <class Candidate, class Trigger>
void OutlinePass(Buffer& b, uint outline, uint padding, Candidate candidate, Trigger trigger) {
  if (b.pixels == nullptr || b.Empty()) return;
  const int width = b.Width();
  std::vector<uint> rows(3 * size_t(width + 2), padding);
  uint* above = rows.data() + 1;
  uint* here = above + width + 2;
  uint* below = here + width + 2;
  const auto load = [&](uint* copy, int y) {
    if (y < b.Height()) std::copy_n(b.pixels + long(y) * b.stride, width, copy);
    else std::fill_n(copy, width, padding);
  };
  load(here, 0);
  for (int y = 0; y < b.Height(); ++y) {
    load(below, y + 1);
    uint* out = b.pixels + long(y) * b.stride;
    for (int x = 0; x < width; ++x) {
      if (!candidate(here[x])) continue;
      if (trigger(here[x - 1]) || trigger(here[x + 1]) || trigger(above[x - 1]) || trigger(above[x]) ||
          trigger(above[x + 1]) || trigger(below[x - 1]) || trigger(below[x]) || trigger(below[x + 1]))
        out[x] = outline;
    }
    std::swap(above, here);
    std::swap(here, below);
  }
}

}  // namespace

void Buffer::OutlineEQ(uint colour, uint outline) {
  OutlinePass(*this, outline, ~colour, [colour](uint p) { return p != colour; },
              [colour](uint p) { return p == colour; });
}

void Buffer::OutlineNE(uint colour, uint outline) {
  OutlinePass(*this, outline, colour, [colour](uint p) { return p == colour; },
              [colour, outline](uint p) { return p != colour && p != outline; });
}
