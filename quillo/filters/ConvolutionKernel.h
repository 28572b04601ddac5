#pragma once
// The custom convolution filter's kernel and its arithmetic. A kernel is 25 cells row by row
// (the centre is cell 12), a divisor and a bias; each weight is cell / Div in single precision.
// The filter runs as a 5 x 5 correlation when an outer weight's magnitude exceeds
// OuterWeightThreshold, else over the inner 3 x 3 (fainter outer weights are dropped). Interior pixels round to the nearest level (ties to even); pixels whose
// neighbourhood leaves the picture take the edge pixels repeated and truncate toward zero.
//
// Every weight is a multiple of 2^-37 below 2^10 (|cell| <= 999, 1 <= Div <= 9999), so the
// sums are held exactly as 64-bit integers scaled by 2^37: the result is the one an exact
// sum of the single-precision weights gives, whatever the order of the terms.
//
// A kernel runs in two passes (down the columns, then along the row) where that gives the very
// same sums: when its scaled weights are one integer times integer cells that are an outer
// product, column taps by row taps (a blur of Div 256, an edge kernel of Div 1). The integer
// sums of both passes are exact, and the one multiplication by that integer gives the scaled
// sum the single pass forms, so rounding and clamping see the same number. Kernels whose
// weights single precision rounds apart (a Div of 273) stay in one pass.

#include <array>
#include <cstdint>
#include <vector>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

inline constexpr int KernelSide = 5;
inline constexpr int KernelCells = KernelSide * KernelSide;
inline constexpr int KernelCentre = 12;
inline constexpr int KernelCellLimit = 999;
inline constexpr int KernelDivMin = 1;
inline constexpr int KernelDivMax = 9999;
inline constexpr int KernelBiasLimit = 9999;
// Just below 1/256: an outer weight must be above it for the 5 x 5 form to be used.
inline constexpr double OuterWeightThreshold = 0.0039062;

struct ConvolutionKernel {
  std::array<int, KernelCells> Cells{};
  int Div = 1;
  int Bias = 0;
  bool operator==(const ConvolutionKernel&) const = default;
};

// The kernel a first use starts with: the inner 3 x 3 block of 1s, Div 1, Bias 0.
ConvolutionKernel DefaultConvolutionKernel();
// Cells, Div and Bias brought into their ranges.
ConvolutionKernel ClampedKernel(ConvolutionKernel kernel);
// cell / Div as the filter weighs it.
float KernelWeight(const ConvolutionKernel& kernel, int cell);
// True when a weight of the outer ring (rows 0 and 4, columns 0 and 4) has a magnitude
// above OuterWeightThreshold.
bool UsesOuterRing(const ConvolutionKernel& kernel);

class ConvolutionFilter {
public:
  // The kernel is clamped first.
  explicit ConvolutionFilter(const ConvolutionKernel& kernel);

  // 5 or 3.
  int Side() const { return side_; }
  // 2 when the interior runs in two passes, else 1.
  int Passes() const { return separable_ ? 2 : 1; }

  // Filters pixels x1..x2 of row y into target from source, which holds the whole unfiltered
  // picture (its rectangle is the picture's). Pixels outside source, outside target, or
  // (with a mask) not selected are left alone; every written pixel keeps its alpha byte.
  void FilterRow(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x1, int x2) const;

private:
  template <int Side>
  void FilterInterior(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x1, int x2) const;
  template <int Side>
  void FilterInteriorTwoPass(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x1,
                             int x2) const;
  void FilterBorder(const Buffer& source, const BitBuffer* mask, Buffer& target, int y, int x) const;
  // Finds the two-pass form of the weights in use when there is an exact one.
  void FindSeparableForm(const ConvolutionKernel& kernel);

  int side_ = 3;
  // The weights of the form in use, row by row, and Bias, scaled by 2^37.
  std::array<std::int64_t, KernelCells> weights_{};
  std::int64_t bias_ = 0;
  // The two-pass form: weight (row r, column c) = factor_ * columnTaps_[r] * rowTaps_[c].
  bool separable_ = false;
  std::int64_t factor_ = 0;
  std::array<std::int32_t, KernelSide> columnTaps_{}, rowTaps_{};
  // The first pass's sums of a row, per channel; kept between rows (the filter runs on one
  // thread) so that a row costs no allocation.
  mutable std::vector<std::int32_t> columnSums_;
};
