// Stretching, shrinking and mirroring a whole buffer into a rectangle. Source positions are
// unsigned 32.32 fixed point that advance by adding a step: no multiplication or division
// per pixel.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "vorlen/core/Buffer.h"
#include "vorlen/transform/SampleWriters.h"

namespace {

using Fixed = std::uint64_t;  // 32.32

// One axis of a scale: which target coordinates are drawn, in which order, and where the
// source position starts for the first of them.
struct Axis {
  Fixed step;   // source pixels per target pixel
  Fixed start;  // source position of the first target pixel drawn (or its first sample)
  int first;    // the first target coordinate drawn
  int count;    // how many
  int direction;  // +1, or -1 when mirrored: the target is walked from its far end
};

// sourceSize over targetSize; quarters 2 gives the centre (k + 1/2), 4 the first supersample
// (k + 1/4) of target pixel k counted from the unclipped start edge.
bool PlanAxis(long long sourceSize, long long size, long long pos, int low, int high, int quarters, Axis& a) {
  const long long length = std::llabs(size);
  const long long clippedLow = std::max<long long>(low, pos), clippedHigh = std::min<long long>(high, pos + length - 1);
  if (clippedHigh < clippedLow) return false;
  a.step = (Fixed(sourceSize / length) << 32) + (Fixed(sourceSize % length) << 32) / Fixed(length);
  a.direction = size < 0 ? -1 : 1;
  a.first = int(size < 0 ? clippedHigh : clippedLow);
  a.count = int(clippedHigh - clippedLow + 1);
  const unsigned __int128 k = Fixed(size < 0 ? pos + length - 1 - clippedHigh : clippedLow - pos);
  a.start = Fixed((k * unsigned(quarters) + 1) * a.step / unsigned(quarters));
  return true;
}

bool AutoSupersample(long long sw, long long sh, long long w, long long h) {
  return 2 * sw >= 3 * w || 2 * w >= 3 * sw || 2 * sh >= 3 * h || 2 * h >= 3 * sh;
}

template <class Writer>
void ScaleOnce(Buffer& dst, const Buffer& src, const Axis& ax, const Axis& ay, const Writer& writer) {
  Fixed py = ay.start;
  for (int row = 0; row < ay.count; ++row, py += ay.step) {
    const uint* source = src.pixels + long(py >> 32) * src.stride;
    uint* t = dst.At(ax.first, ay.first + row * ay.direction);
    Fixed px = ax.start;
    for (int n = ax.count; n > 0; --n, t += ax.direction, px += ax.step) writer.Put(t, source[px >> 32]);
  }
}

// Four samples a pixel at (k + 1/4) and (k + 3/4) steps on both axes, advancing by half steps.
template <class Writer>
void ScaleAveraged(Buffer& dst, const Buffer& src, const Axis& ax, const Axis& ay, const Writer& writer) {
  const Fixed halfX = ax.step >> 1, halfY = ay.step >> 1;
  Fixed py = ay.start;
  for (int row = 0; row < ay.count; ++row) {
    const uint* upper = src.pixels + long(py >> 32) * src.stride;
    py += halfY;
    const uint* lower = src.pixels + long(py >> 32) * src.stride;
    py += halfY;
    uint* t = dst.At(ax.first, ay.first + row * ay.direction);
    Fixed px = ax.start;
    for (int n = ax.count; n > 0; --n, t += ax.direction) {
      const Fixed left = px >> 32, right = (px + halfX) >> 32;
      px += halfX + halfX;
      writer.Put4(t, upper[left], upper[right], lower[left], lower[right]);
    }
  }
}

}  // namespace

void Buffer::Scale(const Buffer& src, Pair<int> size, Pair<int> pos, uint mode, int filter) {
  if (src.pixels == nullptr || src.Empty() || pixels == nullptr || Empty() || size.x == 0 || size.y == 0) return;
  const long long sw = src.Width(), sh = src.Height();
  const bool averaged = filter > 0 || (filter < 0 && AutoSupersample(sw, sh, std::llabs(size.x), std::llabs(size.y)));
  const int quarters = averaged ? 4 : 2;
  Axis ax, ay;
  if (!PlanAxis(sw, size.x, pos.x, rect.left, rect.right, quarters, ax) ||
      !PlanAxis(sh, size.y, pos.y, rect.top, rect.bottom, quarters, ay))
    return;
  WithWriter(mode, [&](const auto& writer) {
    if (averaged) ScaleAveraged(*this, src, ax, ay, writer);
    else ScaleOnce(*this, src, ax, ay, writer);
  });
}
