#pragma once
// Packed DIBs for the clipboard tests, built byte by byte as other programs lay them out:
// a header (40 bytes, or longer with masks inside), optional bit-field masks, a colour table,
// then the rows. Fields can be set to anything, damaged ones included.

#include <cstdint>
#include <vector>

struct DibSpec {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: top-down
  std::uint16_t planes = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t used = 0;
  std::vector<std::uint32_t> masks;  // after a 40-byte header, or inside a longer one (r, g, b, a)
  std::vector<std::uint32_t> table;  // 0x00RRGGBB entries, written B, G, R, 0
  std::vector<std::uint8_t> rows;    // exactly as stored
};

inline void PutLe(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::vector<std::uint8_t> BuildDib(const DibSpec& s) {
  const std::size_t header = s.headerSize < 40 ? 40 : s.headerSize;
  std::vector<std::uint8_t> out(header, 0);
  PutLe(out, 0, s.headerSize, 4);
  PutLe(out, 4, static_cast<std::uint32_t>(s.width), 4);
  PutLe(out, 8, static_cast<std::uint32_t>(s.height), 4);
  PutLe(out, 12, s.planes, 2);
  PutLe(out, 14, s.bits, 2);
  PutLe(out, 16, s.compression, 4);
  PutLe(out, 20, s.imageSize, 4);
  PutLe(out, 32, s.used, 4);
  if (s.headerSize > 40) {
    for (std::size_t i = 0; i < s.masks.size() && 40 + 4 * i + 4 <= header; ++i)
      PutLe(out, 40 + 4 * i, s.masks[i], 4);
  } else {
    for (std::uint32_t m : s.masks) {
      out.resize(out.size() + 4);
      PutLe(out, out.size() - 4, m, 4);
    }
  }
  for (std::uint32_t c : s.table) out.insert(out.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
  out.insert(out.end(), s.rows.begin(), s.rows.end());
  return out;
}

// Rows of 24-bit pixels (0x00RRGGBB, top row first in `pixels`), padded to four bytes, stored
// bottom-up or top-down.
inline std::vector<std::uint8_t> Rows24(const std::vector<std::uint32_t>& pixels, int width, bool topDown) {
  const int height = static_cast<int>(pixels.size()) / width;
  const int stride = (3 * width + 3) & ~3;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    const int stored = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      std::uint8_t* at = rows.data() + static_cast<std::size_t>(stored) * stride + 3 * x;
      at[0] = std::uint8_t(p), at[1] = std::uint8_t(p >> 8), at[2] = std::uint8_t(p >> 16);
    }
  }
  return rows;
}

// Rows of 32-bit words as given (top row first), stored bottom-up or top-down.
inline std::vector<std::uint8_t> Rows32(const std::vector<std::uint32_t>& words, int width, bool topDown) {
  const int height = static_cast<int>(words.size()) / width;
  std::vector<std::uint8_t> rows(words.size() * 4, 0);
  for (int y = 0; y < height; ++y) {
    const int stored = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x)
      PutLe(rows, (static_cast<std::size_t>(stored) * width + x) * 4, words[static_cast<std::size_t>(y) * width + x], 4);
  }
  return rows;
}

// A small 24-bit DIB of the given pixels (top row first).
inline std::vector<std::uint8_t> Dib24(const std::vector<std::uint32_t>& pixels, int width, bool topDown = false) {
  DibSpec s;
  s.width = width;
  const int height = static_cast<int>(pixels.size()) / width;
  s.height = topDown ? -height : height;
  s.rows = Rows24(pixels, width, topDown);
  return BuildDib(s);
}
