#pragma once
// Icon decoding: the images of an icon file ("*.ico": a directory of DIB images, each a colour
// image over an AND mask of twice its height). The largest image, of the largest depth among
// equals, is the icon's picture. Depths 1, 4, 8, 16, 24 and 32 bits; 32-bit images carry
// their own alpha when any of it is non-zero. Images stored as PNG are not read here.

#include <cstddef>
#include <cstdint>
#include <vector>

struct IconImage {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<std::uint32_t> colour;  // 0x00RRGGBB, top row first
  std::vector<std::uint8_t> mask;     // 1 where the AND mask lets the background through
  std::vector<std::uint8_t> alpha;    // per-pixel opacity of 32-bit images; empty otherwise

  // The icon drawn over a background pixel (0x00RRGGBB), as drawing an icon does: alpha
  // images blend, others AND the background with the mask and XOR the colour in.
  std::uint32_t Over(size_t index, std::uint32_t background) const;
};

// The message of the error raised for data that is not an icon this decoder reads.
inline constexpr const char* kIconImageError = "Invalid icon image";

// EInvalidGraphic when the data holds no readable icon image.
IconImage ReadIconImage(const std::uint8_t* data, size_t size);
