// ExtFloodFill: the area reachable from a point through pixels of one colour (or through
// pixels other than a border colour), painted with the selected brush, within the clip.

#include <algorithm>
#include <vector>

#include "platform/gdi/DeviceContext.h"

BOOL ExtFloodFill(HDC handle, int x, int y, COLORREF colour, UINT type) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !dc->Prepare()) return FALSE;
  const std::vector<RECT>& clip = dc->ClipRects();
  if (clip.empty()) return FALSE;
  RECT bounds = clip.front();
  for (const RECT& r : clip) {
    bounds.left = std::min(bounds.left, r.left);
    bounds.top = std::min(bounds.top, r.top);
    bounds.right = std::max(bounds.right, r.right);
    bounds.bottom = std::max(bounds.bottom, r.bottom);
  }
  const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  // 0: outside the clip or not fillable, 1: fillable, 2: reached.
  std::vector<std::uint8_t> state(static_cast<size_t>(w) * h, 0);
  const std::uint32_t match = PixelFromColor(colour);
  for (const RECT& r : clip)
    for (int sy = r.top; sy < r.bottom; ++sy) {
      const std::uint32_t* row = dc->surface.Row(sy);
      for (int sx = r.left; sx < r.right; ++sx) {
        const bool same = (row[sx] & 0xFFFFFF) == match;
        state[static_cast<size_t>(sy - bounds.top) * w + (sx - bounds.left)] = (type == FLOODFILLSURFACE) == same;
      }
    }
  const POINT start = dc->ToSurface(x, y);
  auto at = [&](int sx, int sy) -> std::uint8_t& {
    return state[static_cast<size_t>(sy - bounds.top) * w + (sx - bounds.left)];
  };
  auto inside = [&](int sx, int sy) {
    return sx >= bounds.left && sx < bounds.right && sy >= bounds.top && sy < bounds.bottom;
  };
  if (!inside(start.x, start.y) || at(start.x, start.y) != 1) return FALSE;
  // Span filling: each popped seed grows into its whole run, whose neighbours seed more.
  struct Span {
    int y, left, right;  // surface coordinates, right exclusive
  };
  std::vector<Span> spans;
  std::vector<POINT> seeds{start};
  while (!seeds.empty()) {
    POINT p = seeds.back();
    seeds.pop_back();
    if (at(p.x, p.y) != 1) continue;
    int left = p.x, right = p.x + 1;
    while (left > bounds.left && at(left - 1, p.y) == 1) --left;
    while (right < bounds.right && at(right, p.y) == 1) ++right;
    for (int sx = left; sx < right; ++sx) at(sx, p.y) = 2;
    spans.push_back(Span{p.y, left, right});
    for (int ny : {p.y - 1, p.y + 1}) {
      if (ny < bounds.top || ny >= bounds.bottom) continue;
      for (int sx = left; sx < right; ++sx)
        if (at(sx, ny) == 1 && (sx == left || at(sx - 1, ny) != 1)) seeds.push_back(POINT{sx, ny});
    }
  }
  const POINT offset = dc->DeviceOffset();
  for (const Span& s : spans) PatBlt(handle, s.left - offset.x, s.y - offset.y, s.right - s.left, 1, PATCOPY);
  return TRUE;
}

BOOL FloodFill(HDC dc, int x, int y, COLORREF border) { return ExtFloodFill(dc, x, y, border, FLOODFILLBORDER); }
