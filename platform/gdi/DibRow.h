#pragma once
// One row of a packed DIB (1, 4, 8, 16, 24 or 32 bits a pixel) to and from the layer's
// 32-bit pixels (0x00RRGGBB). Shared by the DIB transfers and by DIB sections of the depths
// other than 32 bits, which keep their rows in that layout.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gdi/GdiTypes.h"

struct DibRowFormat {
  int bits = 32;
  const RGBQUAD* table = nullptr;  // 1, 4 and 8 bits
  int entries = 0;
  // 16 and 32 bits: the red, green and blue masks (BI_BITFIELDS); all zero for BI_RGB.
  DWORD masks[3] = {0, 0, 0};
};

void UnpackDibRow(const DibRowFormat& format, const std::uint8_t* row, int width, std::uint32_t* out);

// Packs pixels into a row. Given base (the pixels the row held before), only the pixels that
// differ from it are written. Indexed rows also keep the index of every pixel whose colour
// that index already gives (so a palette with repeated colours keeps its indexes); other
// pixels take the nearest colour of the table, remembered across rows.
class DibRowPacker {
public:
  explicit DibRowPacker(const DibRowFormat& format) : format_(format) {}
  void Pack(const std::uint32_t* in, int width, std::uint8_t* row, const std::uint32_t* base = nullptr);

private:
  int Nearest(std::uint32_t pixel);

  DibRowFormat format_;
  std::unordered_map<std::uint32_t, int> cache_;
};

// The colour table GetDIBits gives a bitmap that has none of its own at an indexed depth:
// black and white (1 bit), the 16 VGA colours (4 bits), or those 16 followed by a 6 x 6 x 6
// colour cube and a ramp of greys (8 bits).
std::vector<RGBQUAD> DefaultDibColorTable(int bits);
