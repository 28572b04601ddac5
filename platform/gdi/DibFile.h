#pragma once
// The byte layouts shared by every reader of stored bitmaps (BMP files, icons, metafile
// records, video frames) and their writers: little-endian fields and the size of one stored
// DIB row.

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Appends a little-endian 16- or 32-bit field.
inline void PutLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

// Stored rows are padded to whole 32-bit words.
inline size_t DibRowBytes(std::int64_t width, int bits) { return static_cast<size_t>(((width * bits + 31) / 32) * 4); }

// A BMP file held in memory: its header and colour table copied out as a BITMAPINFO
// (padded so a short table reads as zeros) and where its rows start.
struct BmpFileImage {
  std::vector<std::uint8_t> info;
  const std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;  // rows, whichever way up they are stored
};

// False unless data is an uncompressed or bit-field BMP file whose rows all lie within it.
bool ReadBmpFile(const std::uint8_t* data, size_t size, BmpFileImage& out);
