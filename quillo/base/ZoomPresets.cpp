#include "quillo/base/ZoomPresets.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/rtl/SysUtils.h"

namespace {

struct Fraction {
  int numerator;
  int denominator;
  const char* label;
  double Factor() const { return static_cast<double>(numerator) / denominator; }
};

// Indexed by -position for the positions 0 to MinZoomPosition.
constexpr std::array<Fraction, 1 - MinZoomPosition> kFractions{{
    {3, 4, "3/4"}, {2, 3, "2/3"}, {1, 2, "1/2"}, {1, 3, "1/3"}, {1, 4, "1/4"},
    {1, 5, "1/5"}, {1, 6, "1/6"}, {1, 8, "1/8"}, {1, 10, "1/10"},
}};

int Clamp(int position) { return std::clamp(position, MinZoomPosition, MaxZoomPosition); }

// Numerator and denominator of a position.
std::pair<int, int> Ratio(int position) {
  position = Clamp(position);
  if (position >= 1) return {position, 1};
  const Fraction& f = kFractions[static_cast<std::size_t>(-position)];
  return {f.numerator, f.denominator};
}

}  // namespace

double ZoomFactorAt(int position) {
  position = Clamp(position);
  if (position >= 1) return position;
  return kFractions[static_cast<std::size_t>(-position)].Factor();
}

int ZoomPositionFor(double factor) {
  if (factor >= 1) return static_cast<int>(std::min<double>(std::trunc(factor), MaxZoomPosition));
  std::size_t i = 0;
  while (i + 1 < kFractions.size() && kFractions[i].Factor() - factor > 0.005) ++i;
  return -static_cast<int>(i);
}

std::uint32_t PackedZoomAt(int position) {
  const auto [numerator, denominator] = Ratio(position);
  return static_cast<std::uint32_t>(numerator) | static_cast<std::uint32_t>(denominator) << 16;
}

AnsiString ZoomLabelAt(int position) {
  position = Clamp(position);
  if (position >= 1) return IntToStr(position);
  return kFractions[static_cast<std::size_t>(-position)].label;
}

int ZoomedSize(int imageSize, int position) {
  const auto [numerator, denominator] = Ratio(position);
  return static_cast<int>(static_cast<std::int64_t>(imageSize) * numerator / denominator);
}

int CappedZoomPosition(int position, int longerSide) {
  position = Clamp(position);
  while (position > MinZoomPosition && ZoomedSize(longerSide, position) >= MaxViewSide) --position;
  return position;
}
