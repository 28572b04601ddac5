// Drawing a buffer through a 2 x 2 matrix. The inverse matrix maps each covered target
// pixel back into the source: once per row in floating point, then along the row in fixed
// point with 16 fraction bits (held in 64 bits, so that sources wider than 32767 pixels
// cannot overflow).

#include <algorithm>
#include <cmath>

#include "vorlen/core/Buffer.h"
#include "vorlen/transform/Matrix2D.h"
#include "vorlen/transform/SampleWriters.h"

namespace {

constexpr double kFixedOne = 65536.0;
constexpr double kFixedLimit = 4.0e15;  // far beyond any source, well inside 64 bits

// A position rounds down, so its integer part is the pixel it lies in; a step rounds to the
// nearest, so that errors along a row do not all lean one way.
long long ToFixed(double v) { return (long long)std::floor(std::clamp(v * kFixedOne, -kFixedLimit, kFixedLimit)); }
long long ToFixedStep(double v) { return std::llround(std::clamp(v * kFixedOne, -kFixedLimit, kFixedLimit)); }

// The inverse mapping from target points to source points relative to src's top-left corner.
struct Inverse {
  double ia, ib, ic, id;  // source = (u ia + v ic, u ib + v id) for (u, v) = target - pos
  double originX, originY;  // pos, then the source's corner taken off
  Pair<double> At(double x, double y) const {
    const double u = x - originX, v = y - originY;
    return Pair<double>(u * ia + v * ic, u * ib + v * id);
  }
};

// A running source position in fixed point and its step for one target column.
struct SourceWalk {
  long long x, y, dx, dy;
};

// Reads source pixels at fixed-point positions, kept on the source whatever rounding did.
struct SourceReader {
  const Buffer& src;
  long long maxX, maxY;
  uint At(long long fx, long long fy) const {
    const long long x = std::clamp(fx >> 16, 0LL, maxX), y = std::clamp(fy >> 16, 0LL, maxY);
    return src.pixels[y * src.stride + x];
  }
};

SourceWalk WalkFrom(const Inverse& inv, double x, double y, double columnStep) {
  const Pair<double> s = inv.At(x, y);
  return SourceWalk{ToFixed(s.x), ToFixed(s.y), ToFixedStep(inv.ia * columnStep), ToFixedStep(inv.ib * columnStep)};
}

// Span columns count from dst's left edge (see Buffer::Render); so does x in the loops, which
// keeps their arithmetic in range wherever dst lies.
template <class Writer>
void DrawOnce(Buffer& dst, const SourceReader& read, const Inverse& inv, const int* spans, Pair<int> origin, int rows,
              const Writer& writer) {
  const double left = dst.rect.left;
  for (int row = 0; row < rows; ++row) {
    const int y = origin.y + row, first = spans[2 * row], last = spans[2 * row + 1];
    if (first > last) continue;
    SourceWalk w = WalkFrom(inv, left + first + 0.5, y + 0.5, 1.0);
    uint* t = dst.At(dst.rect.left + first, y);
    for (int x = first; x <= last; ++x, ++t, w.x += w.dx, w.y += w.dy) writer.Put(t, read.At(w.x, w.y));
  }
}

// Each pixel averages four samples at quarter offsets; a sample is covered when its half
// column lies in the span of its half row.
template <class Writer>
void DrawAveraged(Buffer& dst, const SourceReader& read, const Inverse& inv, const int* spans, Pair<int> origin,
                  int rows, const Writer& writer) {
  const double left = dst.rect.left;
  for (int row = 0; row < rows; ++row) {
    const int* s = spans + 4 * row;  // upper first, upper last, lower first, lower last
    const bool upperEmpty = s[0] > s[1], lowerEmpty = s[2] > s[3];
    if (upperEmpty && lowerEmpty) continue;
    const int firstHalf = upperEmpty ? s[2] : lowerEmpty ? s[0] : std::min(s[0], s[2]);
    const int lastHalf = upperEmpty ? s[3] : lowerEmpty ? s[1] : std::max(s[1], s[3]);
    const int first = firstHalf >> 1, last = lastHalf >> 1, y = origin.y + row;
    SourceWalk upper = WalkFrom(inv, left + first + 0.25, y + 0.25, 1.0);
    SourceWalk lower = WalkFrom(inv, left + first + 0.25, y + 0.75, 1.0);
    const SourceWalk half = WalkFrom(inv, 0.0, 0.0, 0.5);
    uint* t = dst.At(dst.rect.left + first, y);
    for (int x = first; x <= last; ++x, ++t) {
      const int h = 2 * x;
      const unsigned covered = unsigned(h >= s[0] && h <= s[1]) | unsigned(h + 1 >= s[0] && h + 1 <= s[1]) << 1 |
                               unsigned(h >= s[2] && h <= s[3]) << 2 | unsigned(h + 1 >= s[2] && h + 1 <= s[3]) << 3;
      writer.Put4(t, read.At(upper.x, upper.y), read.At(upper.x + half.dx, upper.y + half.dy),
                  read.At(lower.x, lower.y), read.At(lower.x + half.dx, lower.y + half.dy), covered);
      upper.x += upper.dx, upper.y += upper.dy, lower.x += lower.dx, lower.y += lower.dy;
    }
  }
}

bool AutoSupersample(const Matrix2D& m) {
  const double row1 = std::hypot(m.a, m.b), row2 = std::hypot(m.c, m.d);
  return row1 >= 1.5 || row1 <= 0.67 || row2 >= 1.5 || row2 <= 0.67;
}

}  // namespace

void Buffer::XFormLin(const Buffer& src, const Matrix2D& m, Pair<int> pos, uint mode, int filter) {
  if (src.pixels == nullptr || src.Empty() || pixels == nullptr || Empty()) return;
  const double det = m.a * m.d - m.b * m.c;
  // A flat or non-finite matrix has no inverse: nothing is drawn.
  if (!std::isfinite(det) || det == 0.0 || !std::isfinite(1.0 / det)) return;
  const bool averaged = filter == 0 ? false : filter >= -1 ? true : AutoSupersample(m);
  const Rect& r = src.rect;
  const Pair<double> inset[4] = {{r.left + 0.05, r.top + 0.05}, {r.right + 0.95, r.top + 0.05},
                                 {r.right + 0.95, r.bottom + 0.95}, {r.left + 0.05, r.bottom + 0.95}};
  Pair<double> corners[4];
  for (int i = 0; i < 4; ++i)
    corners[i] = Pair<double>(m.a * inset[i].x + m.c * inset[i].y + pos.x, m.b * inset[i].x + m.d * inset[i].y + pos.y);
  Pair<int> origin;
  int rows = 0;
  const std::unique_ptr<int[]> spans = Render(corners, origin, rows, averaged ? 1 : 0);
  if (spans == nullptr) return;
  // Source positions relative to src's corner: subtract the corner's image under the inverse.
  Inverse inv{m.d / det, -m.b / det, -m.c / det, m.a / det, double(pos.x), double(pos.y)};
  const Pair<double> corner(r.left, r.top);
  inv.originX += corner.x * m.a + corner.y * m.c;
  inv.originY += corner.x * m.b + corner.y * m.d;
  const SourceReader read{src, src.Width() - 1LL, src.Height() - 1LL};
  WithWriter(mode, [&](const auto& writer) {
    if (averaged) DrawAveraged(*this, read, inv, spans.get(), origin, rows, writer);
    else DrawOnce(*this, read, inv, spans.get(), origin, rows, writer);
  });
}
