#pragma once
// Sample images for the PNG tests and the calls that run our codec on bytes in memory.

#include <cstring>
#include <string>
#include <vector>

#include "LibpngReference.h"
#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"
#include "../FormatTesting.h"

namespace pngtest {

using Bytes = std::vector<unsigned char>;

inline GFXFile* Png() { return GFXFile::GetDefaultFormat("x.png"); }

inline void Fill(TMemoryStream& s, const Bytes& bytes) {
  s.Clear();
  s.Write(bytes.data(), static_cast<int>(bytes.size()));
  s.SetPosition(0);
}

inline Bytes Contents(TMemoryStream& s) {
  const auto* p = static_cast<const unsigned char*>(s.Memory());
  return Bytes(p, p + s.Size());
}

// Loads with our codec; the buffer as it stands is kept in `dst`.
inline bool Load(const Bytes& file, Buffer& dst, GFXtra32* extra = nullptr, GFXFileDesc* desc = nullptr) {
  TMemoryStream s;
  Fill(s, file);
  return Png()->Load(dst, &s, 0, extra, desc);
}

inline int Probe(const Bytes& file, GFXFileDesc* desc = nullptr) {
  TMemoryStream s;
  Fill(s, file);
  const int answer = Png()->Test(&s, desc);
  EXPECT_EQ(s.Position(), 0);
  return answer;
}

inline unsigned Lcg(unsigned& s) { return s = s * 1664525u + 1013904223u; }

// An image of the given kind whose samples cover the whole range, with a repeated area so
// that a colour key matches more than one pixel. 16-bit samples have low bytes that differ
// from their high bytes but follow from them, so that comparing high bytes is exact.
inline libpng::Image MakeImage(int colourType, int depth, bool interlaced, int width = 37, int height = 23) {
  libpng::Image im;
  im.width = width;
  im.height = height;
  im.depth = depth;
  im.colourType = colourType;
  im.interlaced = interlaced;
  const unsigned top = colourType == PNG_COLOR_TYPE_PALETTE ? (1u << depth) - 1 : (depth == 16 ? 255u : (1u << depth) - 1);
  unsigned seed = static_cast<unsigned>(colourType * 100 + depth * 3 + interlaced);
  const int channels = im.Channels();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        unsigned v = (x < 5 && y < 4) ? (c == channels - 1 && channels % 2 == 0 ? top : 1) : (Lcg(seed) >> 20) % (top + 1);
        if (depth == 16) v = v << 8 | (v ^ 0x5A);
        im.samples.push_back(v);
      }
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    for (unsigned i = 0; i <= top; ++i)
      im.palette.push_back(png_color{static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i * 11), static_cast<png_byte>(i * 5 + 3)});
  }
  return im;
}

}  // namespace pngtest
