#pragma once
// A 32-bit pixel surface (0x00RRGGBB words): the desktop or a bitmap. The stride is in
// pixels and negative for bottom-up bitmaps, so Row(y) is always the y-th row from the top.

#include <cstddef>
#include <cstdint>

struct Surface {
  std::uint32_t* top = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;

  std::uint32_t* Row(int y) const { return top + stride * y; }
  bool Valid() const { return top != nullptr && width > 0 && height > 0; }
};

// A rectangle of a surface: columns left..right-1, rows top..bottom-1.
struct SurfaceRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
