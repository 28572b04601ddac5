#pragma once
// Run-length encoded 8-bit DIB data (RLE8): runs, literal runs, end of line, end of bitmap and
// position deltas, painted onto a canvas of palette indices, bottom row first. Anything that
// would leave the canvas is dropped; data that ends early simply stops.

#include <cstddef>
#include <cstdint>

void DecodeRle8(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height);
// The same for 4-bit data (RLE4): runs alternate the two indices of their byte, literal
// runs hold two indices a byte.
void DecodeRle4(const std::uint8_t* data, size_t size, std::uint8_t* canvas, int width, int height);
