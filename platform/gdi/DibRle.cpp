#include "platform/gdi/DibRle.h"

namespace {

// The canvas position of the next index; writes outside the canvas are dropped.
struct RlePen {
  std::uint8_t* canvas;
  int width;
  int height;
  int x = 0;
  int y = 0;

  void Put(std::uint8_t index) {
    if (x < width && y < height) canvas[size_t(y) * size_t(width) + size_t(x)] = index;
    if (x < width) ++x;
  }
  // Moves stop at the canvas's right edge and just past its top, so that long data cannot
  // carry the position round past the largest int.
  void Move(int right, int up) {
    x = right > width - x ? width : x + right;
    y = up > height - y ? height : y + up;
  }
};

}  // namespace

namespace {

// Both run-length codings: runs repeat one byte (RLE8) or alternate its two indices (RLE4);
// literal runs hold one index a byte or two, padded to an even number of bytes.
void DecodeRle(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height, bool nibbles) {
  RlePen pen{canvas, width, height};
  size_t at = 0;
  while (at + 2 <= size && pen.y < height) {
    const std::uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int n = 0; n < count && pen.x < width; ++n)
        pen.Put(!nibbles ? value : n % 2 ? value & 0x0F : value >> 4);
      continue;
    }
    if (value == 0) {  // end of line
      pen.x = 0;
      ++pen.y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      if (at + 2 > size) return;
      pen.Move(data[at], data[at + 1]);
      at += 2;
    } else {  // a literal run
      const size_t bytes = nibbles ? (size_t(value) + 1) / 2 : value;
      for (int n = 0; n < value; ++n) {
        const size_t i = at + (nibbles ? size_t(n) / 2 : size_t(n));
        if (i >= size) break;
        pen.Put(!nibbles ? data[i] : n % 2 ? data[i] & 0x0F : data[i] >> 4);
      }
      at += bytes + (bytes & 1);
    }
  }
}

}  // namespace

void DecodeRle8(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height) {
  DecodeRle(data, size, canvas, width, height, false);
}

void DecodeRle4(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height) {
  DecodeRle(data, size, canvas, width, height, true);
}
