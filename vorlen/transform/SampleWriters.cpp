#include "vorlen/transform/SampleWriters.h"

uint AverageTransparent(uint a, uint b, uint c, uint d) {
  const uint s[4] = {a, b, c, d};
  uint opacity = 0, transparency = 0;
  uint sums[3] = {0, 0, 0};
  for (const uint p : s) {
    const uint alpha = 255 - (p >> 24);
    opacity += alpha;
    transparency += p >> 24;
    for (int c = 0; c < 3; ++c) sums[c] += alpha * (p >> (8 * c) & 0xFF);
  }
  uint result = (transparency + 2) / 4 << 24;
  if (opacity == 0) {  // nothing shows: keep the plain average of the colours
    for (int c = 0; c < 3; ++c) {
      uint sum = 2;
      for (const uint p : s) sum += p >> (8 * c) & 0xFF;
      result |= sum / 4 << (8 * c);
    }
    return result;
  }
  for (int c = 0; c < 3; ++c) result |= (sums[c] + opacity / 2) / opacity << (8 * c);
  return result;
}
