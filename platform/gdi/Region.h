#pragma once
// A region: a set of pixels kept as y-bands of disjoint x-intervals, always in one canonical
// form (bands sorted from the top, intervals from the left, equal neighbouring bands
// merged), so equality and the simple/complex distinction are exact.

#include <vector>

#include "platform/gdi/WinDefs.h"

class Region {
public:
  enum class Op { And, Or, Xor, Diff };

  Region() = default;
  explicit Region(const RECT& rect);
  static Region FromRects(const std::vector<RECT>& rects);  // union of possibly overlapping

  bool Empty() const { return rects_.empty(); }
  const std::vector<RECT>& Rects() const { return rects_; }
  RECT Bounds() const;
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rect) const;
  int Complexity() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION

  Region Combine(const Region& other, Op op) const;
  Region Intersect(const Region& other) const { return Combine(other, Op::And); }
  Region Intersect(const RECT& rect) const { return Combine(Region(rect), Op::And); }
  Region Union(const Region& other) const { return Combine(other, Op::Or); }
  Region Subtract(const Region& other) const { return Combine(other, Op::Diff); }
  Region Subtract(const RECT& rect) const { return Combine(Region(rect), Op::Diff); }
  void Offset(int dx, int dy);

  bool operator==(const Region& other) const { return rects_ == other.rects_; }

private:
  std::vector<RECT> rects_;
};

bool RectEmpty(const RECT& r);
RECT RectIntersection(const RECT& a, const RECT& b);
