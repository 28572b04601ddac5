#pragma once
// How a resampled pixel lands on the target, one class per copy mode, for the scaling and
// transform loops. Put takes one sample; Put4 averages four (2 x 2 supersampling), where a
// sample not covered by the source counts as the target pixel itself (or, when compositing,
// as fully transparent) so that edges blend.

#include "vorlen/core/Buffer.h"
#include "vorlen/core/CompositeTables.h"

// The four samples averaged channel by channel, rounding halves up. Opaque samples take
// the packed path in one register; otherwise each colour is weighted by its opacity and the
// transparency bytes are averaged.
uint AverageTransparent(uint a, uint b, uint c, uint d);

inline uint Average4(uint a, uint b, uint c, uint d) {
  if ((a | b | c | d) >= 0x01000000u) return AverageTransparent(a, b, c, d);
  const uint rb = (a & 0xFF00FFu) + (b & 0xFF00FFu) + (c & 0xFF00FFu) + (d & 0xFF00FFu) + 0x020002u;
  const uint g = (a & 0xFF00u) + (b & 0xFF00u) + (c & 0xFF00u) + (d & 0xFF00u) + 0x200u;
  return (rb >> 2 & 0xFF00FFu) | (g >> 2 & 0xFF00u);
}

// Sample i (0 to 3) is replaced by value where bit i of replace is set.
inline void ReplaceSamples(uint& a, uint& b, uint& c, uint& d, unsigned replace, uint value) {
  if (replace == 0) return;
  if (replace & 1) a = value;
  if (replace & 2) b = value;
  if (replace & 4) c = value;
  if (replace & 8) d = value;
}

// covered: bit i set when sample i lies on the source.
struct PlainWriter {
  void Put(uint* t, uint s) const { *t = s; }
  void Put4(uint* t, uint a, uint b, uint c, uint d, unsigned covered = 15) const {
    ReplaceSamples(a, b, c, d, ~covered & 15, *t);
    *t = Average4(a, b, c, d);
  }
};

struct KeyWriter {
  uint key;
  void Put(uint* t, uint s) const {
    if (s != key) *t = s;
  }
  void Put4(uint* t, uint a, uint b, uint c, uint d, unsigned covered = 15) const {
    const unsigned keyed = unsigned(a == key) | unsigned(b == key) << 1 | unsigned(c == key) << 2 | unsigned(d == key) << 3;
    ReplaceSamples(a, b, c, d, (~covered & 15) | keyed, *t);
    *t = Average4(a, b, c, d);
  }
};

struct CompositeWriter {
  const CompositeTableBlock& tables;
  void Put(uint* t, uint s) const { *t = BlendOver(tables, s, *t); }
  void Put4(uint* t, uint a, uint b, uint c, uint d, unsigned covered = 15) const {
    ReplaceSamples(a, b, c, d, ~covered & 15, 0xFF000000u);
    *t = BlendOver(tables, Average4(a, b, c, d), *t);
  }
};

// Runs body with the writer for mode.
template <class Body>
void WithWriter(uint mode, Body body) {
  if (mode == Buffer::kPlain) body(PlainWriter{});
  else if (mode == Buffer::kComposite) body(CompositeWriter{CompositeTables()});
  else body(KeyWriter{mode});
}
