#include "quillo/filters/ConvolutionKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace {

constexpr int kScaleBits = 37;
constexpr std::int64_t kOne = std::int64_t{1} << kScaleBits;
constexpr std::int64_t kHalf = kOne >> 1;

std::int64_t Scaled(double value) { return static_cast<std::int64_t>(std::ldexp(value, kScaleBits)); }

std::uint32_t Level(std::int64_t value) { return static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, 255)); }

// The nearest level, ties to the even one.
std::uint32_t RoundedLevel(std::int64_t sum) {
  std::int64_t whole = sum >> kScaleBits;  // floor
  const std::int64_t rest = sum & (kOne - 1);
  if (rest > kHalf || (rest == kHalf && (whole & 1) != 0)) ++whole;
  return Level(whole);
}

std::uint32_t TruncatedLevel(std::int64_t sum) {
  return Level(sum >= 0 ? sum >> kScaleBits : -((-sum) >> kScaleBits));
}

bool Skipped(const BitBuffer* mask, int x, int y) { return mask != nullptr && !mask->Test(x, y); }

}  // namespace

ConvolutionKernel DefaultConvolutionKernel() {
  ConvolutionKernel kernel;
  for (int cell : {6, 7, 8, 11, 12, 13, 16, 17, 18}) kernel.Cells[static_cast<std::size_t>(cell)] = 1;
  return kernel;
}

ConvolutionKernel ClampedKernel(ConvolutionKernel kernel) {
  for (int& cell : kernel.Cells) cell = std::clamp(cell, -KernelCellLimit, KernelCellLimit);
  kernel.Div = std::clamp(kernel.Div, KernelDivMin, KernelDivMax);
  kernel.Bias = std::clamp(kernel.Bias, -KernelBiasLimit, KernelBiasLimit);
  return kernel;
}

float KernelWeight(const ConvolutionKernel& kernel, int cell) {
  return static_cast<float>(kernel.Cells[static_cast<std::size_t>(cell)]) / static_cast<float>(kernel.Div);
}

bool UsesOuterRing(const ConvolutionKernel& kernel) {
  for (int cell = 0; cell < KernelCells; ++cell) {
    const int row = cell / KernelSide, column = cell % KernelSide;
    const bool outer = row == 0 || row == KernelSide - 1 || column == 0 || column == KernelSide - 1;
    if (outer && std::fabs(static_cast<double>(KernelWeight(kernel, cell))) > OuterWeightThreshold) return true;
  }
  return false;
}

ConvolutionFilter::ConvolutionFilter(const ConvolutionKernel& given) {
  const ConvolutionKernel kernel = ClampedKernel(given);
  side_ = UsesOuterRing(kernel) ? 5 : 3;
  const int skip = (KernelSide - side_) / 2;
  for (int row = 0; row < side_; ++row)
    for (int column = 0; column < side_; ++column)
      weights_[static_cast<std::size_t>(row * side_ + column)] =
          Scaled(KernelWeight(kernel, (row + skip) * KernelSide + column + skip));
  bias_ = Scaled(kernel.Bias);
  FindSeparableForm(kernel);
}

void ConvolutionFilter::FindSeparableForm(const ConvolutionKernel& kernel) {
  const int skip = (KernelSide - side_) / 2;
  const int count = side_ * side_;
  std::array<std::int64_t, KernelCells> cells{};
  for (int k = 0; k < count; ++k)
    cells[static_cast<std::size_t>(k)] = kernel.Cells[static_cast<std::size_t>((k / side_ + skip) * KernelSide + k % side_ + skip)];
  int first = 0;
  while (first < count && cells[static_cast<std::size_t>(first)] == 0) ++first;
  if (first == count) return;
  // The weights must be the cells times one ratio num / den (in lowest terms, den > 0); den
  // then divides every cell, and the weights are num times the reduced cells.
  const std::int64_t pivotWeight = weights_[static_cast<std::size_t>(first)], pivotCell = cells[static_cast<std::size_t>(first)];
  const std::int64_t common = std::gcd(pivotWeight, pivotCell);
  std::int64_t num = pivotWeight / common, den = pivotCell / common;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  for (int k = 0; k < count; ++k) {
    std::int64_t& cell = cells[static_cast<std::size_t>(k)];
    if (weights_[static_cast<std::size_t>(k)] * pivotCell != pivotWeight * cell || cell % den != 0) return;
    cell /= den;
  }
  // The reduced cells must be an outer product: every row a whole multiple of the first
  // non-zero row brought to its lowest terms.
  const int pivotRow = first / side_;
  std::int64_t rowGcd = 0;
  for (int c = 0; c < side_; ++c) rowGcd = std::gcd(rowGcd, cells[static_cast<std::size_t>(pivotRow * side_ + c)]);
  std::array<std::int32_t, KernelSide> rowTaps{}, columnTaps{};
  for (int c = 0; c < side_; ++c)
    rowTaps[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(cells[static_cast<std::size_t>(pivotRow * side_ + c)] / rowGcd);
  const int pivotColumn = first % side_;
  const std::int64_t pivotTap = rowTaps[static_cast<std::size_t>(pivotColumn)];
  for (int r = 0; r < side_; ++r) {
    const std::int64_t at = cells[static_cast<std::size_t>(r * side_ + pivotColumn)];
    if (at % pivotTap != 0) return;
    columnTaps[static_cast<std::size_t>(r)] = static_cast<std::int32_t>(at / pivotTap);
    for (int c = 0; c < side_; ++c)
      if (cells[static_cast<std::size_t>(r * side_ + c)] !=
          std::int64_t{columnTaps[static_cast<std::size_t>(r)]} * rowTaps[static_cast<std::size_t>(c)])
        return;
  }
  separable_ = true;
  factor_ = num;
  rowTaps_ = rowTaps;
  columnTaps_ = columnTaps;
}

void ConvolutionFilter::FilterRow(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x1,
                                  int x2) const {
  const Rect& picture = source.rect;
  if (y < picture.top || y > picture.bottom || y < target.rect.top || y > target.rect.bottom) return;
  x1 = std::max({x1, picture.left, target.rect.left});
  x2 = std::min({x2, picture.right, target.rect.right});
  if (x1 > x2) return;
  const int half = side_ / 2;
  const bool interiorRow = y - half >= picture.top && y + half <= picture.bottom;
  const int inLeft = interiorRow ? std::max(x1, picture.left + half) : x2 + 1;
  const int inRight = interiorRow ? std::min(x2, picture.right - half) : x2;
  for (int x = x1; x <= x2 && x < inLeft; ++x) FilterBorder(source, mask, target, y, x);
  if (inLeft <= inRight) {
    if (separable_ && side_ == 5)
      FilterInteriorTwoPass<5>(source, mask, target, y, inLeft, inRight);
    else if (separable_)
      FilterInteriorTwoPass<3>(source, mask, target, y, inLeft, inRight);
    else if (side_ == 5)
      FilterInterior<5>(source, mask, target, y, inLeft, inRight);
    else
      FilterInterior<3>(source, mask, target, y, inLeft, inRight);
  }
  for (int x = std::max(inLeft, inRight + 1); x <= x2; ++x) FilterBorder(source, mask, target, y, x);
}

template <int Side>
void ConvolutionFilter::FilterInterior(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x1,
                                       int x2) const {
  constexpr int half = Side / 2;
  const std::uint32_t* rows[Side];
  for (int k = 0; k < Side; ++k) rows[k] = source.At(x1 - half, y - half + k);
  std::uint32_t* out = target.At(x1, y);
  for (int x = x1; x <= x2; ++x, ++out) {
    const int step = x - x1;
    if (Skipped(mask, x, y)) continue;
    std::int64_t red = bias_, green = bias_, blue = bias_;
    for (int ky = 0; ky < Side; ++ky) {
      const std::uint32_t* p = rows[ky] + step;
      const std::int64_t* w = &weights_[static_cast<std::size_t>(ky * Side)];
      for (int kx = 0; kx < Side; ++kx) {
        const std::uint32_t c = p[kx];
        red += w[kx] * static_cast<std::int64_t>(c >> 16 & 0xFF);
        green += w[kx] * static_cast<std::int64_t>(c >> 8 & 0xFF);
        blue += w[kx] * static_cast<std::int64_t>(c & 0xFF);
      }
    }
    *out = (*out & 0xFF000000u) | RoundedLevel(red) << 16 | RoundedLevel(green) << 8 | RoundedLevel(blue);
  }
}

// First the column taps down each column of the neighbourhood's rows, into one integer sum per
// channel and column; then the row taps along those sums. Both are exact in 32 bits: a sum
// is at most 25 * 999 * 255 in magnitude.
template <int Side>
void ConvolutionFilter::FilterInteriorTwoPass(const Buffer& source, const BitBuffer* mask, Buffer& target, int y,
                                              int x1, int x2) const {
  constexpr int half = Side / 2;
  const std::size_t columns = static_cast<std::size_t>(x2 - x1 + Side);
  columnSums_.assign(3 * columns, 0);
  std::int32_t* red = columnSums_.data();
  std::int32_t* green = red + columns;
  std::int32_t* blue = green + columns;
  for (int ky = 0; ky < Side; ++ky) {
    const std::int32_t tap = columnTaps_[static_cast<std::size_t>(ky)];
    if (tap == 0) continue;
    const std::uint32_t* p = source.At(x1 - half, y - half + ky);
    for (std::size_t k = 0; k < columns; ++k) {
      const std::uint32_t c = p[k];
      red[k] += tap * static_cast<std::int32_t>(c >> 16 & 0xFF);
      green[k] += tap * static_cast<std::int32_t>(c >> 8 & 0xFF);
      blue[k] += tap * static_cast<std::int32_t>(c & 0xFF);
    }
  }
  std::int32_t taps[Side];
  for (int k = 0; k < Side; ++k) taps[k] = rowTaps_[static_cast<std::size_t>(k)];
  std::uint32_t* out = target.At(x1, y);
  for (int x = x1; x <= x2; ++x, ++out) {
    if (Skipped(mask, x, y)) continue;
    const std::size_t at = static_cast<std::size_t>(x - x1);
    std::int32_t r = 0, g = 0, b = 0;
    for (int k = 0; k < Side; ++k) {
      r += taps[k] * red[at + static_cast<std::size_t>(k)];
      g += taps[k] * green[at + static_cast<std::size_t>(k)];
      b += taps[k] * blue[at + static_cast<std::size_t>(k)];
    }
    *out = (*out & 0xFF000000u) | RoundedLevel(factor_ * r + bias_) << 16 | RoundedLevel(factor_ * g + bias_) << 8 |
           RoundedLevel(factor_ * b + bias_);
  }
}

void ConvolutionFilter::FilterBorder(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x) const {
  if (Skipped(mask, x, y)) return;
  const Rect& picture = source.rect;
  const int half = side_ / 2;
  std::int64_t red = bias_, green = bias_, blue = bias_;
  for (int ky = 0; ky < side_; ++ky) {
    const int sy = std::clamp(y + ky - half, picture.top, picture.bottom);
    for (int kx = 0; kx < side_; ++kx) {
      const int sx = std::clamp(x + kx - half, picture.left, picture.right);
      const std::uint32_t c = *source.At(sx, sy);
      const std::int64_t w = weights_[static_cast<std::size_t>(ky * side_ + kx)];
      red += w * static_cast<std::int64_t>(c >> 16 & 0xFF);
      green += w * static_cast<std::int64_t>(c >> 8 & 0xFF);
      blue += w * static_cast<std::int64_t>(c & 0xFF);
    }
  }
  std::uint32_t* out = target.At(x, y);
  *out = (*out & 0xFF000000u) | TruncatedLevel(red) << 16 | TruncatedLevel(green) << 8 | TruncatedLevel(blue);
}
