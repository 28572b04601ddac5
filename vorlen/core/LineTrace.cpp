#include "vorlen/core/LineTrace.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Wide = __int128;
constexpr Wide kOne = Wide(1) << 32;

// Smallest t >= 0 with (start + t * step) >> 32 >= carries; step > 0.
long long FirstStepWithCarries(Wide carries, uint start, uint step) {
  if (carries <= 0) return 0;
  const Wide need = carries * kOne - start;
  return static_cast<long long>((need + step - 1) / step);
}

// An inclusive range of counts.
struct StepRange {
  long long first;
  long long last;
};

// The range of counts c with origin + sign * c inside [low, high].
StepRange CountsInside(long long origin, int sign, long long low, long long high) {
  if (sign > 0) return {low - origin, high - origin};
  return {origin - high, origin - low};
}

}  // namespace

LineTrace TraceLine(Pair<int> from, Pair<int> to, const Rect& clip) {
  LineTrace line;
  if (clip.Empty()) return line;
  const long long dx = std::abs(0LL + to.x - from.x), dy = std::abs(0LL + to.y - from.y);
  line.majorX = !(dx < dy);
  line.stepX = to.x > from.x ? 1 : -1;
  line.stepY = to.y > from.y ? 1 : -1;
  const long long major = line.majorX ? dx : dy, minor = line.majorX ? dy : dx;
  uint start = 0x80000000u;
  line.step = static_cast<uint>((Wide(minor) << 32) / major);
  if (dx == dy) {  // exactly diagonal: every step carries
    line.step = 0xFFFFFFFFu;
    start = 0xFFFFFFFEu;
  }
  const int majorSign = line.majorX ? line.stepX : line.stepY;
  const int minorSign = line.majorX ? line.stepY : line.stepX;
  const long long majorOrigin = line.majorX ? from.x : from.y;
  const long long minorOrigin = line.majorX ? from.y : from.x;
  const StepRange majors = line.majorX ? CountsInside(majorOrigin, majorSign, clip.left, clip.right)
                                       : CountsInside(majorOrigin, majorSign, clip.top, clip.bottom);
  const StepRange carries = line.majorX ? CountsInside(minorOrigin, minorSign, clip.top, clip.bottom)
                                        : CountsInside(minorOrigin, minorSign, clip.left, clip.right);
  if (carries.last < 0) return line;
  const long long first = std::max({0LL, majors.first, FirstStepWithCarries(carries.first, start, line.step)});
  const long long last =
      std::min({major, majors.last, FirstStepWithCarries(Wide(carries.last) + 1, start, line.step) - 1});
  if (last < first) return line;
  const Wide reached = start + Wide(first) * line.step;
  const long long moved = static_cast<long long>(reached >> 32);
  line.accumulator = static_cast<uint>(reached);
  line.count = static_cast<int>(last - first + 1);
  const long long majorAt = majorOrigin + majorSign * first, minorAt = minorOrigin + minorSign * moved;
  line.start = line.majorX ? Pair<int>(int(majorAt), int(minorAt)) : Pair<int>(int(minorAt), int(majorAt));
  return line;
}
