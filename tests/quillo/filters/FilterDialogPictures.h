#pragma once
// What the filter dialog tests read and write of the picture they filter.

#include <cstdint>
#include <vector>

#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"

inline void FillPicture(UDBuffer& picture, std::uint32_t colour) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) *picture.At(x, y) = colour;
}

inline std::vector<std::uint32_t> PicturePixels(const UDBuffer& picture) {
  std::vector<std::uint32_t> all;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) all.push_back(*picture.At(x, y));
  return all;
}

inline int UndoStepCount(const UDBuffer& picture) {
  int n = 0;
  for (UndoEntry* e = picture.UndoChain; e; e = e->Next) ++n;
  return n;
}
