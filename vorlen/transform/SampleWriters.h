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
uint AverageTransparent(const uint (&s)[4]);

inline uint Average4(const uint (&s)[4]) {
  if ((s[0] | s[1] | s[2] | s[3]) >= 0x01000000u) return AverageTransparent(s);
  const uint rb = (s[0] & 0xFF00FFu) + (s[1] & 0xFF00FFu) + (s[2] & 0xFF00FFu) + (s[3] & 0xFF00FFu) + 0x020002u;
  const uint g = (s[0] & 0xFF00u) + (s[1] & 0xFF00u) + (s[2] & 0xFF00u) + (s[3] & 0xFF00u) + 0x200u;
  return (rb >> 2 & 0xFF00FFu) | (g >> 2 & 0xFF00u);
}

// covered: bit i set when sample i lies on the source.
struct PlainWriter {
  void Put(uint* t, uint s) const { *t = s; }
  void Put4(uint* t, uint (&s)[4], unsigned covered = 15) const {
    for (int i = 0; i < 4; ++i)
      if (!(covered >> i & 1)) s[i] = *t;
    *t = Average4(s);
  }
};

struct KeyWriter {
  uint key;
  void Put(uint* t, uint s) const {
    if (s != key) *t = s;
  }
  void Put4(uint* t, uint (&s)[4], unsigned covered = 15) const {
    for (int i = 0; i < 4; ++i)
      if (!(covered >> i & 1) || s[i] == key) s[i] = *t;
    *t = Average4(s);
  }
};

struct CompositeWriter {
  const CompositeTableBlock& tables;
  void Put(uint* t, uint s) const { *t = BlendOver(tables, s, *t); }
  void Put4(uint* t, uint (&s)[4], unsigned covered = 15) const {
    for (int i = 0; i < 4; ++i)
      if (!(covered >> i & 1)) s[i] = 0xFF000000u;
    *t = BlendOver(tables, Average4(s), *t);
  }
};

// Runs body with the writer for mode.
template <class Body>
void WithWriter(uint mode, Body body) {
  if (mode == Buffer::kPlain) body(PlainWriter{});
  else if (mode == Buffer::kComposite) body(CompositeWriter{CompositeTables()});
  else body(KeyWriter{mode});
}
