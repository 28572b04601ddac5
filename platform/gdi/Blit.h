#pragma once
// The one routine behind PatBlt, BitBlt, StretchBlt and the DIB transfers: a source image
// (or none) stretched onto a rectangle of a context through a ternary raster operation.

#include <cstdint>
#include <vector>

#include "platform/gdi/DeviceContext.h"

struct SourceImage {
  std::vector<std::uint32_t> pixels;  // top-down, width pixels a row
  int width = 0;
  int height = 0;
  bool mono = false;           // pixels are 0 or 0xFFFFFF
  COLORREF background = 0xFFFFFF;  // the source context's background colour
};

// Copies a rectangle of a context's surface (logical coordinates) into an image; pixels
// outside the surface come out as 0.
SourceImage ReadSource(DeviceContext& dc, int x, int y, int width, int height);
// Draws the whole of src onto dst's rectangle (x, y, w, h); a negative size mirrors, as
// does a source read from a rectangle of negative size (flipX, flipY).
bool StretchOnto(DeviceContext& dst, int x, int y, int w, int h, const SourceImage* src,
                 bool flipX, bool flipY, DWORD rop);
// True when the context draws on a monochrome bitmap.
bool IsMonoTarget(const DeviceContext& dc);
