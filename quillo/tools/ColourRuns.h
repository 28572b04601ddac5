#pragma once
// The flood fills' region, told a run of a row at a time: the pixels of a picture whose colour
// lies within a tolerance of a seed colour. The distance of two pixel words is the sum of the
// differences of their four bytes, transparency included (0 to 1020): tolerance 0 takes the
// seed's word exactly, 1020 every pixel.

#include <cstdint>
#include <cstdlib>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

// The four-byte distance of two pixel words: transparency counts as a colour.
inline int PixelDistance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 32; shift += 8) sum += std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF));
  return sum;
}

class ColourRuns final : public RowRuns {
public:
  // Pixels of picture (outside its rectangle nothing is inside) within tolerance of seed.
  ColourRuns(const Buffer& picture, std::uint32_t seed, int tolerance);

  int NextInside(int x, int y, int last) const override;
  int NextOutside(int x, int y, int last) const override;
  int PreviousOutside(int x, int y, int first) const override;

private:
  // How a pixel is compared: not at all (a tolerance below 0 takes nothing), the word itself,
  // the distance, or not at all again (every colour is near enough).
  enum class Test { None, Exact, Near, Any };

  const Buffer& picture_;
  std::uint32_t seed_;
  int tolerance_;
  Test test_;
};
