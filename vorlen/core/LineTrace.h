#pragma once
// The steps of a straight line that is neither horizontal nor vertical, cut to a rectangle.
// One pixel per step along the major axis; a 32-bit fraction accumulator moves the minor
// coordinate when an addition carries. Clipping advances the accumulator arithmetically, so
// the pixels kept are exactly those of the whole line that lie inside.

#include "vorlen/core/Types.h"

struct LineTrace {
  Pair<int> start;     // the first pixel inside the rectangle
  int count = 0;       // pixels inside, 0 when none
  bool majorX = true;  // one pixel per step along x (else along y)
  int stepX = 1;       // +1 or -1 towards the end point
  int stepY = 1;
  uint accumulator = 0;
  uint step = 0;
};

// from and to must differ in both coordinates.
LineTrace TraceLine(Pair<int> from, Pair<int> to, const Rect& clip);

// Walks the traced pixels: cursor.Plot() at each, cursor.Major() and cursor.Minor() to move.
template <class Cursor>
void WalkLine(const LineTrace& line, Cursor& cursor) {
  uint accumulator = line.accumulator;
  for (int left = line.count;;) {
    cursor.Plot();
    if (--left == 0) break;
    cursor.Major();
    accumulator += line.step;
    if (accumulator < line.step) cursor.Minor();
  }
}
