#pragma once
// Shared steps of every decoder: the target buffer for an image of a given size, and the
// checks a codec makes before it trusts sizes from a file or writes sizes into one.

#include <cstdint>

#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

// The part of the target a decoder fills: columns 0..columns-1, rows 0..rows-1.
struct TargetArea {
  int columns = 0;
  int rows = 0;
};

// When dst holds no pixels it is allocated to width x height (EInvalidImage "100" when the
// size is negative or larger than a buffer may be; EOutOfMemory when memory is short).
// Then (0, 0, width-1, height-1) is filled with opaque black, clipped to dst, and the area
// to decode is answered: min(right + 1, width) x min(bottom + 1, height), or nothing when
// dst does not start at (0, 0) or below it.
TargetArea PrepareTarget(Buffer& dst, int width, int height);

// How many pixels a format's data can describe at its highest possible compression:
// `pixels` for every `bytes` bytes (raw 24-bit: 1 per 3; a 1-bit plane: 8 per 1; a
// PackBits run: 128 per 2).
struct DataDensity {
  std::int64_t pixels = 1;
  std::int64_t bytes = 1;
};

// EInvalidImage "100" unless `remaining` bytes at `density` can describe width x height
// pixels. A decoder calls it before PrepareTarget, so a few bytes claiming a huge image are
// refused before anything is allocated for it.
void CheckDataCanFill(int width, int height, std::int64_t remaining, DataDensity density);
// The same for the bytes from the stream's position to its end.
void CheckDataCanFill(int width, int height, TStream* stream, DataDensity density);

// EInvalidImage "100" unless width and height fit a field of `bits` bits (a writer calls it
// before it writes anything).
void CheckSizeFits(const Buffer& image, int bits);

// The first pixel of row y of the target (y inside the area PrepareTarget answered).
inline uint* TargetRow(Buffer& dst, int y) { return dst.At(0, y); }
