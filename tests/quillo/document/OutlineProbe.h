#pragma once
// What the outline tests read out of an outline block: its bytes, its contours as the reader
// gives them, the mask its contours enclose (each vertical edge toggles the pixels left of it
// in its row, so every region and hole falls out by parity), and the pixels its runs cover.

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "quillo/document/SelectionOutline.h"
#include "vorlen/core/BitBuffer.h"

namespace outline_probe {

inline std::vector<std::uint8_t> BytesOf(const std::uint8_t* block) {
  return block ? std::vector<std::uint8_t>(block, block + outline::OutlineBytes(block)) : std::vector<std::uint8_t>();
}

struct Contour {
  int x = 0, y = 0;
  std::vector<outline::OutlineRun> runs;
  int endX = 0, endY = 0;  // where the last run ends
};

inline std::vector<Contour> ContoursOf(const std::uint8_t* block) {
  std::vector<Contour> out;
  if (!block) return out;
  outline::OutlineReader reader(block);
  Contour c;
  while (reader.NextContour(c.x, c.y)) {
    c.runs.clear();
    outline::OutlineRun run;
    c.endX = c.x;
    c.endY = c.y;
    while (reader.NextRun(run)) {
      c.runs.push_back(run);
      c.endX = run.x + (run.direction == outline::kRight ? run.length : run.direction == outline::kLeft ? -run.length : 0);
      c.endY = run.y + (run.direction == outline::kDown ? run.length : run.direction == outline::kUp ? -run.length : 0);
    }
    out.push_back(c);
  }
  return out;
}

// The pixels (row-major, width x height) enclosed by the outline's contours by parity.
inline std::vector<bool> Enclosed(const std::uint8_t* block, int width, int height) {
  std::vector<bool> inside(static_cast<std::size_t>(width) * height, false);
  for (const Contour& c : ContoursOf(block))
    for (const outline::OutlineRun& r : c.runs) {
      if (r.direction != outline::kDown && r.direction != outline::kUp) continue;
      for (int i = 0; i < r.length; ++i) {
        const int row = r.direction == outline::kDown ? r.y + i : r.y - 1 - i;
        for (int x = 0; x < r.x && x < width; ++x)
          if (row >= 0 && row < height) inside[static_cast<std::size_t>(row) * width + x] = !inside[static_cast<std::size_t>(row) * width + x];
      }
    }
  return inside;
}

inline std::vector<bool> MaskBits(const BitBuffer& mask) {
  std::vector<bool> out;
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) out.push_back(mask.Test(x, y));
  return out;
}

// The pixels the outline's runs cover: a run of length n from corner (x, y) covers the n
// pixels from (x, y) on along its direction.
inline std::set<std::pair<int, int>> RunPixels(const std::uint8_t* block) {
  std::set<std::pair<int, int>> out;
  for (const Contour& c : ContoursOf(block))
    for (const outline::OutlineRun& r : c.runs) {
      const int dx = r.direction == outline::kRight ? 1 : r.direction == outline::kLeft ? -1 : 0;
      const int dy = r.direction == outline::kDown ? 1 : r.direction == outline::kUp ? -1 : 0;
      for (int i = 0; i < r.length; ++i) out.insert({r.x + dx * i, r.y + dy * i});
    }
  return out;
}

// An owned mask, all clear.
inline void ClearMask(BitBuffer& mask, int width, int height) {
  mask.Alloc(width, height);
  mask.PutPixels(Rect(0, 0, width - 1, height - 1), 0);
}

}  // namespace outline_probe
