#include "platform/win/DibRle.h"

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
    ++x;
  }
};

}  // namespace

void DecodeRle8(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height) {
  RlePen pen{canvas, width, height};
  size_t at = 0;
  while (at + 2 <= size && pen.y < height) {
    const std::uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int n = 0; n < count && pen.x < width; ++n) pen.Put(value);
      continue;
    }
    if (value == 0) {  // end of line
      pen.x = 0;
      ++pen.y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      if (at + 2 > size) return;
      pen.x += data[at];
      pen.y += data[at + 1];
      at += 2;
    } else {  // a literal run, padded to an even length
      for (int n = 0; n < value && at < size; ++n) pen.Put(data[at++]);
      at += value & 1;
    }
  }
}

void DecodeRle4(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height) {
  RlePen pen{canvas, width, height};
  size_t at = 0;
  while (at + 2 <= size && pen.y < height) {
    const std::uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {  // the two indices of value, alternating
      for (int n = 0; n < count && pen.x < width; ++n) pen.Put(n % 2 ? value & 0x0F : value >> 4);
      continue;
    }
    if (value == 0) {
      pen.x = 0;
      ++pen.y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (at + 2 > size) return;
      pen.x += data[at];
      pen.y += data[at + 1];
      at += 2;
    } else {  // a literal run of value indices, two a byte, padded to an even number of bytes
      const size_t bytes = (size_t(value) + 1) / 2;
      for (int n = 0; n < value && at + size_t(n) / 2 < size; ++n) {
        const std::uint8_t b = data[at + size_t(n) / 2];
        pen.Put(n % 2 ? b & 0x0F : b >> 4);
      }
      at += bytes + (bytes & 1);
    }
  }
}
