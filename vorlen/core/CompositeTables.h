#pragma once
// Compositing by transparency bytes through two 256 x 256 tables, built once on first use.
// Product P[i][j] = i x j / 255 rounded; weight W[i][j] = the share of the target's colour
// when a source of transparency j lies over a target of transparency i. Both lie in one
// block, P first, so W[i][j] is the byte 65536 bytes after P[i][j].

#include "vorlen/core/Types.h"

struct CompositeTableBlock {
  uchar product[256][256];
  uchar weight[256][256];
};

// The tables, built on first use (thread-safe: a function-local static).
const CompositeTableBlock& CompositeTables();

// Source s over target d by their transparency bytes (0 opaque, 255 fully transparent).
inline uint CompositePixel(const CompositeTableBlock& t, uint s, uint d) {
  const uint ts = s >> 24;
  const uint td = d >> 24;
  const uchar* keep = t.product[t.weight[td][ts]];
  const uchar* take = t.product[255 - t.weight[td][ts]];
  return uint(t.product[td][ts]) << 24 | uint(keep[(d >> 16) & 0xFF] + take[(s >> 16) & 0xFF]) << 16 |
         uint(keep[(d >> 8) & 0xFF] + take[(s >> 8) & 0xFF]) << 8 | uint(keep[d & 0xFF] + take[s & 0xFF]);
}

// CompositePixel with the two cases that need no tables: an opaque source replaces the
// target, and a fully transparent one over a target that is not fully transparent keeps it.
// The tables give exactly these results.
inline uint BlendOver(const CompositeTableBlock& t, uint s, uint d) {
  if (s < 0x01000000u) return s;
  if (s >= 0xFF000000u && d < 0xFF000000u) return d;
  return CompositePixel(t, s, d);
}

// Each of count target pixels (count >= 1) becomes the matching source pixel composited over it.
void BlendRun(uint* target, const uint* source, int count);
