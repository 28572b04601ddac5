#pragma once
// PNG row filters: undoing any of the five on reading, and choosing and applying one of
// None, Sub and Up on writing.

#include "vorlen/core/Types.h"

namespace png {
inline constexpr int kFilterNone = 0;
inline constexpr int kFilterSub = 1;
inline constexpr int kFilterUp = 2;
inline constexpr int kFilterAverage = 3;
inline constexpr int kFilterPaeth = 4;
}  // namespace png

// Undoes filter `type` (0-4) on a row of `length` bytes in place; `previous` is the row
// above, already unfiltered (zeros for a pass's first row); n is the bytes per pixel.
void PngUnfilter(int type, uchar* row, const uchar* previous, int n, int length);

// The filter for a row: None for n = 1, else whichever of None, Sub and Up gives the
// smallest spread of its signed differences (more zeros break a tie; then the earlier).
int PNGChooseFilter(const uchar* row, const uchar* previous, int n, int length);

// Writes the row filtered with `type` (None, Sub or Up) into out.
void PngApplyFilter(int type, const uchar* row, const uchar* previous, int n, int length,
                    uchar* out);
