// Pixels, lines, boxes and rectangle outlines, each clipped once and then drawn unchecked.

#include <algorithm>
#include <cstdint>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/LineTrace.h"

namespace {

bool IsXor(uint colour) { return colour >> 24 == Buffer::kXorTag; }
// The red, green and blue of an XOR colour; the pixel's transparency byte stays as it is.
constexpr uint kXorBits = 0x70FFFFFFu;

void FillRow(uint* p, int count, uint colour) {
  if (IsXor(colour)) {
    const uint bits = colour & kXorBits;
    for (uint* end = p + count; p != end; ++p) *p ^= bits;
  } else {
    std::fill_n(p, count, colour);
  }
}

void FillColumn(uint* p, int count, long stride, uint colour) {
  if (IsXor(colour)) {
    const uint bits = colour & kXorBits;
    for (; count > 0; --count, p += stride) *p ^= bits;
  } else {
    for (; count > 0; --count, p += stride) *p = colour;
  }
}

bool HasPixels(const Buffer& b) { return b.pixels != nullptr && !b.Empty(); }

// Running pointers along a traced line: one into this buffer, and for CopyLine one into src.
struct LineCursor {
  uint* p;
  long majorStep;
  long minorStep;
  void Major() { p += majorStep; }
  void Minor() { p += minorStep; }
};

LineCursor CursorAt(const Buffer& b, const LineTrace& line, Pair<int> at) {
  const long dx = line.stepX, dy = long(line.stepY) * b.stride;
  return LineCursor{b.At(at.x, at.y), line.majorX ? dx : dy, line.majorX ? dy : dx};
}

struct ColourCursor : LineCursor {
  uint colour;
  void Plot() { *p = colour; }
};

struct XorCursor : LineCursor {
  uint bits;
  void Plot() { *p ^= bits; }
};

struct CopyCursor {
  LineCursor target;
  LineCursor source;
  void Plot() { *target.p = *source.p; }
  void Major() { target.Major(), source.Major(); }
  void Minor() { target.Minor(), source.Minor(); }
};

}  // namespace

void Buffer::PutPixel(Pair<int> p, uint colour) {
  if (!HasPixels(*this) || p.x < rect.left || p.x > rect.right || p.y < rect.top || p.y > rect.bottom) return;
  FillRow(At(p.x, p.y), 1, colour);
}

void Buffer::VLine(int x, int y1, int y2, uint colour) {
  if (!HasPixels(*this) || y1 > y2 || x < rect.left || x > rect.right) return;
  y1 = std::max(y1, rect.top);
  y2 = std::min(y2, rect.bottom);
  if (y1 > y2) return;
  FillColumn(At(x, y1), y2 - y1 + 1, stride, colour);
}

void Buffer::Box(Rect r, uint colour) {
  if (!HasPixels(*this)) return;
  const Rect area = Intersect(r, rect);
  if (area.Empty()) return;
  uint* row = At(area.left, area.top);
  for (int y = area.top; y <= area.bottom; ++y, row += stride) FillRow(row, area.Width(), colour);
}

void Buffer::Rectangle(Rect r, uint colour) {
  if (r.Empty()) return;
  Box(Rect(r.left, r.top, r.right, r.top), colour);
  if (r.top == r.bottom) return;
  Box(Rect(r.left, r.bottom, r.right, r.bottom), colour);
  if (r.bottom == r.top + 1) return;  // top < bottom here, so top + 1 cannot overflow
  VLine(r.left, r.top + 1, r.bottom - 1, colour);
  if (r.right != r.left) VLine(r.right, r.top + 1, r.bottom - 1, colour);
}

void Buffer::Line(Pair<int> from, Pair<int> to, uint colour) {
  if (from.x == to.x) return VLine(from.x, std::min(from.y, to.y), std::max(from.y, to.y), colour);
  if (from.y == to.y) return Box(Rect(std::min(from.x, to.x), from.y, std::max(from.x, to.x), from.y), colour);
  if (!HasPixels(*this)) return;
  const LineTrace line = TraceLine(from, to, rect);
  if (line.count == 0) return;
  const LineCursor at = CursorAt(*this, line, line.start);
  if (IsXor(colour)) {
    XorCursor cursor{at, colour & kXorBits};
    WalkLine(line, cursor);
  } else {
    ColourCursor cursor{at, colour};
    WalkLine(line, cursor);
  }
}

void Buffer::CopyLine(Buffer& src, Pair<int> from, Pair<int> to, Pair<int> offset) {
  if (from.x == to.x || from.y == to.y) {
    Buffer source;
    source.Alloc(src,
                 Rect(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)),
                 true);
    Copy(source, offset, kPlain);
    return;
  }
  if (!HasPixels(*this) || !HasPixels(src)) return;
  // This buffer's rectangle moved back by offset, in 64 bits, then cut to src's.
  const long long left = std::max<long long>(src.rect.left, 0LL + rect.left - offset.x);
  const long long top = std::max<long long>(src.rect.top, 0LL + rect.top - offset.y);
  const long long right = std::min<long long>(src.rect.right, 0LL + rect.right - offset.x);
  const long long bottom = std::min<long long>(src.rect.bottom, 0LL + rect.bottom - offset.y);
  if (right < left || bottom < top) return;
  const Rect clip{int(left), int(top), int(right), int(bottom)};
  const LineTrace line = TraceLine(from, to, clip);
  if (line.count == 0) return;
  CopyCursor cursor{CursorAt(*this, line, Pair<int>(line.start.x + offset.x, line.start.y + offset.y)),
                    CursorAt(src, line, line.start)};
  WalkLine(line, cursor);
}
