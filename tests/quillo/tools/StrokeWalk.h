#pragma once
// The walk of a straight segment as the tools stroke it, written out for the tests to compare
// with: both ends included, along x unless y is the longer way, the minor axis stepped by the
// classic decision value.

#include <cstdlib>
#include <vector>

#include "vorlen/core/Types.h"

using Points = std::vector<Pair<int>>;

inline Points Walk(Pair<int> from, Pair<int> to) {
  Points walk;
  const int sx = to.x >= from.x ? 1 : -1;
  const int sy = to.y >= from.y ? 1 : -1;
  const int ax = std::abs(to.x - from.x);
  const int ay = std::abs(to.y - from.y);
  const bool alongX = ax >= ay;
  const int major = alongX ? ax : ay;
  const int minor = alongX ? ay : ax;
  int d = 2 * minor - major;
  Pair<int> p = from;
  for (int i = 0; i <= major; ++i) {
    walk.push_back(p);
    if (d < 0) {
      d += 2 * minor;
    } else {
      d += 2 * minor - 2 * major;
      if (alongX) p.y += sy;
      else p.x += sx;
    }
    if (alongX) p.x += sx;
    else p.y += sy;
  }
  return walk;
}
