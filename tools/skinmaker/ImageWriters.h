#pragma once
// The skin image as files: a 24-bit BMP for the program (the graphics library recognises it
// by its content, whatever the extension) and an uncompressed PNG for looking at.

#include <cstdint>
#include <vector>

#include "tools/skinmaker/SkinImage.h"

namespace skinmaker {

std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);
// Deflate's stored blocks only: large, but readable by every viewer.
std::vector<std::uint8_t> EncodePng24(const RgbImage& image);

}  // namespace skinmaker
