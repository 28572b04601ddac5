#include "platform/gdi/Region.h"

#include <algorithm>

namespace {

struct Interval {
  LONG x0;
  LONG x1;
};
using Intervals = std::vector<Interval>;

// The x-intervals of the region's rectangles that span the band [y0, y1), merged.
Intervals BandIntervals(const std::vector<RECT>& rects, LONG y0, LONG y1) {
  Intervals out;
  for (const RECT& r : rects)
    if (r.top <= y0 && r.bottom >= y1) out.push_back({r.left, r.right});
  std::sort(out.begin(), out.end(), [](const Interval& a, const Interval& b) { return a.x0 < b.x0; });
  Intervals merged;
  for (const Interval& i : out) {
    if (!merged.empty() && i.x0 <= merged.back().x1)
      merged.back().x1 = std::max(merged.back().x1, i.x1);
    else
      merged.push_back(i);
  }
  return merged;
}

// The intervals of each band in turn, bands visited top to bottom: a rectangle joins the
// active ones when the sweep reaches its top and leaves after its bottom, so a region of many
// rows costs in proportion to its rows rather than rows times rows.
class BandSweep {
public:
  explicit BandSweep(std::vector<RECT> rects) : rects_(std::move(rects)) {
    std::sort(rects_.begin(), rects_.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  }
  Intervals At(LONG y0, LONG y1) {
    while (next_ < rects_.size() && rects_[next_].top <= y0) active_.push_back(rects_[next_++]);
    active_.erase(std::remove_if(active_.begin(), active_.end(), [y0](const RECT& r) { return r.bottom <= y0; }),
                  active_.end());
    return BandIntervals(active_, y0, y1);
  }

private:
  std::vector<RECT> rects_;
  std::vector<RECT> active_;
  size_t next_ = 0;
};

bool Apply(Region::Op op, bool a, bool b) {
  switch (op) {
    case Region::Op::And: return a && b;
    case Region::Op::Or: return a || b;
    case Region::Op::Xor: return a != b;
    case Region::Op::Diff: return a && !b;
  }
  return false;
}

bool Covered(const Intervals& set, LONG x) {
  for (const Interval& i : set)
    if (x >= i.x0 && x < i.x1) return true;
  return false;
}

// Combines two interval sets of one band by sweeping their edges.
Intervals CombineIntervals(const Intervals& a, const Intervals& b, Region::Op op) {
  std::vector<LONG> xs;
  for (const Interval& i : a) xs.insert(xs.end(), {i.x0, i.x1});
  for (const Interval& i : b) xs.insert(xs.end(), {i.x0, i.x1});
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  Intervals out;
  for (size_t k = 0; k + 1 < xs.size(); ++k) {
    if (!Apply(op, Covered(a, xs[k]), Covered(b, xs[k]))) continue;
    if (!out.empty() && out.back().x1 == xs[k])
      out.back().x1 = xs[k + 1];
    else
      out.push_back({xs[k], xs[k + 1]});
  }
  return out;
}

std::vector<LONG> BandEdges(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<LONG> ys;
  for (const RECT& r : a) ys.insert(ys.end(), {r.top, r.bottom});
  for (const RECT& r : b) ys.insert(ys.end(), {r.top, r.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  return ys;
}

// Builds canonical rectangles from bands, merging a band into the one above when their
// intervals are equal and they touch.
class BandWriter {
public:
  void Add(LONG y0, LONG y1, const Intervals& set) {
    if (set.empty()) return;
    bool same = lastBottom_ == y0 && set.size() == last_.size();
    for (size_t i = 0; same && i < set.size(); ++i)
      same = set[i].x0 == last_[i].x0 && set[i].x1 == last_[i].x1;
    if (same) {
      for (size_t i = rects_.size() - set.size(); i < rects_.size(); ++i) rects_[i].bottom = y1;
    } else {
      for (const Interval& i : set) rects_.push_back({i.x0, y0, i.x1, y1});
      last_ = set;
    }
    lastBottom_ = y1;
  }
  std::vector<RECT> Take() { return std::move(rects_); }

private:
  std::vector<RECT> rects_;
  Intervals last_;
  LONG lastBottom_ = 0;
};

}  // namespace

bool RectEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT RectIntersection(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (RectEmpty(r)) return RECT{};
  return r;
}

Region::Region(const RECT& rect) {
  if (!RectEmpty(rect)) rects_.push_back(rect);
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  std::vector<RECT> valid;
  for (const RECT& r : rects)
    if (!RectEmpty(r)) valid.push_back(r);
  Region out;
  std::vector<LONG> ys = BandEdges(valid, {});
  BandWriter writer;
  BandSweep sweep(std::move(valid));
  for (size_t k = 0; k + 1 < ys.size(); ++k) writer.Add(ys[k], ys[k + 1], sweep.At(ys[k], ys[k + 1]));
  out.rects_ = writer.Take();
  return out;
}

RECT Region::Bounds() const {
  if (rects_.empty()) return RECT{};
  RECT b = rects_.front();
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(int x, int y) const {
  for (const RECT& r : rects_)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

bool Region::Intersects(const RECT& rect) const {
  for (const RECT& r : rects_)
    if (!RectEmpty(RectIntersection(r, rect))) return true;
  return false;
}

int Region::Complexity() const {
  if (rects_.empty()) return 1;  // NULLREGION
  return rects_.size() == 1 ? 2 : 3;
}

Region Region::Combine(const Region& other, Op op) const {
  std::vector<LONG> ys = BandEdges(rects_, other.rects_);
  BandWriter writer;
  BandSweep first(rects_), second(other.rects_);
  for (size_t k = 0; k + 1 < ys.size(); ++k)
    writer.Add(ys[k], ys[k + 1], CombineIntervals(first.At(ys[k], ys[k + 1]), second.At(ys[k], ys[k + 1]), op));
  Region out;
  out.rects_ = writer.Take();
  return out;
}

void Region::Offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}
