#include "platform/gdi/DibRow.h"

#include <cstring>

namespace {

std::uint32_t Quad(const RGBQUAD& q) { return (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue; }

int MaskShift(DWORD mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

std::uint32_t FromMasked(DWORD value, DWORD mask) {
  if (!mask) return 0;
  DWORD max = mask >> MaskShift(mask);
  DWORD v = (value & mask) >> MaskShift(mask);
  return max ? v * 255 / max : 0;
}

DWORD ToMasked(std::uint32_t channel, DWORD mask) {
  if (!mask) return 0;
  DWORD max = mask >> MaskShift(mask);
  return ((channel * max + 127) / 255) << MaskShift(mask);
}

bool HasMasks(const DibRowFormat& f) { return f.masks[0] | f.masks[1] | f.masks[2]; }

int IndexAt(const std::uint8_t* row, int x, int bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default: return row[x];
  }
}

void SetIndex(std::uint8_t* row, int x, int bits, int index) {
  switch (bits) {
    case 1: {
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(index ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      const int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
      break;
    }
    default: row[x] = static_cast<std::uint8_t>(index);
  }
}

}  // namespace

void UnpackDibRow(const DibRowFormat& f, const std::uint8_t* row, int width, std::uint32_t* out) {
  auto indexed = [&](int index) { return index < f.entries ? Quad(f.table[index]) : 0u; };
  for (int x = 0; x < width; ++x) {
    switch (f.bits) {
      case 1: case 4: case 8: out[x] = indexed(IndexAt(row, x, f.bits)); break;
      case 16: {
        DWORD v = row[2 * x] | (row[2 * x + 1] << 8);
        DWORD r = 0x7C00, g = 0x03E0, b = 0x001F;
        if (HasMasks(f)) r = f.masks[0], g = f.masks[1], b = f.masks[2];
        out[x] = (FromMasked(v, r) << 16) | (FromMasked(v, g) << 8) | FromMasked(v, b);
        break;
      }
      case 24: out[x] = (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
      case 32: {
        DWORD v;
        std::memcpy(&v, row + 4 * x, 4);
        if (HasMasks(f))
          v = (FromMasked(v, f.masks[0]) << 16) | (FromMasked(v, f.masks[1]) << 8) | FromMasked(v, f.masks[2]);
        out[x] = v & 0xFFFFFF;
        break;
      }
      default: out[x] = 0;
    }
  }
}

int DibRowPacker::Nearest(std::uint32_t pixel) {
  auto found = cache_.find(pixel);
  if (found != cache_.end()) return found->second;
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < format_.entries; ++i) {
    const RGBQUAD& q = format_.table[i];
    long dr = long(q.rgbRed) - long((pixel >> 16) & 0xFF), dg = long(q.rgbGreen) - long((pixel >> 8) & 0xFF),
         db = long(q.rgbBlue) - long(pixel & 0xFF);
    long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
    if (d == 0) break;
  }
  cache_.emplace(pixel, best);
  return best;
}

void DibRowPacker::Pack(const std::uint32_t* in, int width, std::uint8_t* row, const std::uint32_t* base) {
  const DibRowFormat& f = format_;
  for (int x = 0; x < width; ++x) {
    const std::uint32_t p = in[x] & 0xFFFFFF;
    if (base != nullptr && (base[x] & 0xFFFFFF) == p) continue;
    switch (f.bits) {
      case 1: case 4: case 8: {
        int current = IndexAt(row, x, f.bits);
        if (current < f.entries && Quad(f.table[current]) == p) break;
        SetIndex(row, x, f.bits, Nearest(p));
        break;
      }
      case 16: {
        DWORD r = 0x7C00, g = 0x03E0, b = 0x001F;
        if (HasMasks(f)) r = f.masks[0], g = f.masks[1], b = f.masks[2];
        DWORD v = ToMasked((p >> 16) & 0xFF, r) | ToMasked((p >> 8) & 0xFF, g) | ToMasked(p & 0xFF, b);
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
      }
      case 24:
        row[3 * x] = p & 0xFF;
        row[3 * x + 1] = (p >> 8) & 0xFF;
        row[3 * x + 2] = (p >> 16) & 0xFF;
        break;
      case 32: {
        DWORD v = p;
        if (HasMasks(f))
          v = ToMasked((p >> 16) & 0xFF, f.masks[0]) | ToMasked((p >> 8) & 0xFF, f.masks[1]) |
              ToMasked(p & 0xFF, f.masks[2]);
        std::memcpy(row + 4 * x, &v, 4);
        break;
      }
    }
  }
}

std::vector<RGBQUAD> DefaultDibColorTable(int bits) {
  static constexpr std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                             0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                             0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  auto quad = [](std::uint32_t p) {
    return RGBQUAD{static_cast<BYTE>(p & 0xFF), static_cast<BYTE>((p >> 8) & 0xFF), static_cast<BYTE>(p >> 16), 0};
  };
  std::vector<RGBQUAD> table;
  if (bits == 1) return {quad(0), quad(0xFFFFFF)};
  for (std::uint32_t p : kVga) table.push_back(quad(p));
  if (bits == 4) return table;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) table.push_back(quad((r * 51u) << 16 | (g * 51u) << 8 | b * 51u));
  for (int i = 0; table.size() < 256; ++i) {
    std::uint32_t v = static_cast<std::uint32_t>(8 + i * 10);
    table.push_back(quad(v << 16 | v << 8 | v));
  }
  return table;
}
