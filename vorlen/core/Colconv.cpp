#include "vorlen/core/Colconv.h"

#include <bit>
#include <cstring>

namespace {

inline uint Widen4(uint nibble) { return nibble * 17; }
inline uint Widen5(uint c) { return (c << 3) | (c >> 2); }

inline uint Rgb15(uint v) {
  return Widen5((v >> 10) & 31) << 16 | Widen5((v >> 5) & 31) << 8 | Widen5(v & 31);
}

inline uint Bgr12(uint v) {
  return Widen4(v & 15) << 16 | Widen4((v >> 4) & 15) << 8 | Widen4((v >> 8) & 15);
}

inline uint Pix12(uint v) {
  if (v < 0x4000) return Bgr12(v);
  const uint top = (v & 0x80) ? 0x20000000u : 0x10000000u;
  return top | (((v >> 8) - 0x40) & 0xFF) << 16 | (v & 0x7F) << 8;
}

inline uint SwapRedBlue(uint v) { return (v & 0xFF00FF00u) | (v >> 16 & 0xFF) | (v & 0xFF) << 16; }

// One channel of a 16-bit pixel, placed and widened in its byte of 0x00RRGGBB.
inline uint Channel16(uint pixel, uint prepared, uint byteMask) {
  const uint width = prepared >> 24;
  uint c = std::rotl(pixel & prepared & 0xFFFF, static_cast<int>((prepared >> 16) & 0xFF)) & byteMask;
  return c | ((c >> width) & byteMask);
}

}  // namespace

uint BSwap(uint value) { return __builtin_bswap32(value); }
uint BGR12RGB32(uint value) { return Bgr12(value & 0xFFF); }
uint PIX12RGB32(uint value) { return Pix12(value & 0xFFFF); }
uint RGB15RGB32(uint value) { return Rgb15(value & 0x7FFF); }
uint BGR24RGB32(uint value) { return BSwap(value) >> 8; }
uint BGR32RGB32(uint value) { return BSwap(value) >> 8; }
uint RGB32RGB32(uint value) { return value & 0xFFFFFF; }
uint XBGR32RGB32(uint value) { return SwapRedBlue(value); }

void Stosd(uint value, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = value;
}

void Movsd(const uint* source, uint* target, int count) {
  if (count > 0) std::memmove(target, source, static_cast<size_t>(count) * sizeof(uint));
}

void BGR12RGB32s(const ushort* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = Bgr12(source[i] & 0xFFFu);
}

void PIX12RGB32s(const ushort* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = Pix12(source[i]);
}

void RGB15RGB32s(const ushort* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) {
    const uint v = source[i];
    target[i] = Rgb15(v) | (v & 0x8000u) << 9;
  }
}

void RGB16RGB32s(const ushort* source, uint* target, int count, const uint* prepared) {
  const uint red = prepared[0], green = prepared[1], blue = prepared[2];
  for (int i = 0; i < count; ++i) {
    const uint v = source[i];
    target[i] = Channel16(v, red, 0xFF0000) | Channel16(v, green, 0xFF00) | Channel16(v, blue, 0xFF);
  }
}

void BGR24RGB24s(const uchar* source, uchar* target, int count) {
  for (int i = 0; i < count; ++i, source += 3, target += 3) {
    const uchar first = source[0], middle = source[1], last = source[2];
    target[0] = last;
    target[1] = middle;
    target[2] = first;
  }
}

void BGR24RGB32s(const uchar* source, uint* target, int count) {
  for (int i = 0; i < count; ++i, source += 3)
    target[i] = uint(source[0]) << 16 | uint(source[1]) << 8 | source[2];
}

void RGB24RGB32s(const uchar* source, uint* target, int count) {
  for (int i = 0; i < count; ++i, source += 3)
    target[i] = uint(source[2]) << 16 | uint(source[1]) << 8 | source[0];
}

void BGR32RGB32s(const uint* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = BSwap(source[i]) >> 8;
}

void RGB32RGB32s(const uint* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = source[i] & 0xFFFFFF;
}

void XBGR32RGB32s(const uint* source, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = SwapRedBlue(source[i]);
}

void RGB32RGB24s(const uint* source, uchar* target, int count) {
  for (int i = 0; i < count; ++i, target += 3) {
    const uint v = source[i];
    target[0] = uchar(v);
    target[1] = uchar(v >> 8);
    target[2] = uchar(v >> 16);
  }
}

void RGB32BGR24s(const uint* source, uchar* target, int count) {
  for (int i = 0; i < count; ++i, target += 3) {
    const uint v = source[i];
    target[0] = uchar(v >> 16);
    target[1] = uchar(v >> 8);
    target[2] = uchar(v);
  }
}

void LUTsd(const uchar* indices, uint* target, int count, const uint* table) {
  for (int i = 0; i < count; ++i) target[i] = table[indices[i]];
}

void RGB32(const uchar* red, const uchar* green, const uchar* blue, uint* target, int count) {
  for (int i = 0; i < count; ++i) target[i] = uint(red[i]) << 16 | uint(green[i]) << 8 | blue[i];
}

void RGB16PrepareMask(const uint* masks, uint* prepared) {
  static constexpr int kTopBit[3] = {23, 15, 7};
  for (int channel = 0; channel < 3; ++channel) {
    const uint mask = masks[channel] & 0xFFFF;
    if (mask == 0) {
      prepared[channel] = 0;
      continue;
    }
    const int high = 31 - std::countl_zero(mask);
    const int low = std::countr_zero(mask);
    const uint rotation = static_cast<uint>(kTopBit[channel] - high + 32) % 32;
    prepared[channel] = mask | rotation << 16 | static_cast<uint>(high - low + 1) << 24;
  }
}

void SetBitsb(const uchar* bits, uchar* target, int count, int value) {
  const uchar v = static_cast<uchar>(value);
  for (int i = 0; i < count; ++i)
    if (bits[i >> 3] & (0x80 >> (i & 7))) target[i] |= v;
}

void SetBitsd(const uchar* bits, uint* target, int count, uint value) {
  for (int i = 0; i < count; ++i)
    if (bits[i >> 3] & (0x80 >> (i & 7))) target[i] |= value;
}

void GetBitsb(const uchar* source, uchar* bits, int count, int mask) {
  const uchar m = static_cast<uchar>(mask);
  for (int i = 0; i < count; i += 8) {
    uchar packed = 0;
    const int end = i + 8 < count ? i + 8 : count;
    for (int j = i; j < end; ++j)
      if (source[j] & m) packed |= static_cast<uchar>(0x80 >> (j - i));
    bits[i >> 3] = packed;
  }
}

void GetBitsd(const uint* source, uchar* bits, int count, uint mask) {
  for (int i = 0; i < count; i += 8) {
    uchar packed = 0;
    const int end = i + 8 < count ? i + 8 : count;
    for (int j = i; j < end; ++j)
      if (source[j] & mask) packed |= static_cast<uchar>(0x80 >> (j - i));
    bits[i >> 3] = packed;
  }
}

void SetHBytes(const uchar* packed, uchar* target, int count) {
  int i = 0;
  for (; i + 1 < count; i += 2) {
    const uchar byte = packed[i >> 1];  // read before the targets may overwrite it
    target[i] = byte >> 4;
    target[i + 1] = byte & 15;
  }
  if (i < count) target[i] = packed[i >> 1] >> 4;
}

void GetHBytes(const uchar* source, uchar* packed, int count) {
  int i = 0;
  for (; i + 1 < count; i += 2) packed[i >> 1] = static_cast<uchar>(source[i] << 4 | (source[i + 1] & 15));
  if (i < count) packed[i >> 1] = static_cast<uchar>(source[i] << 4);
}

void SetQBytes(const uchar* packed, uchar* target, int count) {
  for (int i = 0; i < count; i += 4) {
    const uchar byte = packed[i >> 2];
    const int end = i + 4 < count ? i + 4 : count;
    for (int j = i; j < end; ++j) target[j] = (byte >> (6 - 2 * (j - i))) & 3;
  }
}

void GetQBytes(const uchar* source, uchar* packed, int count) {
  for (int i = 0; i < count; i += 4) {
    uchar byte = 0;
    const int end = i + 4 < count ? i + 4 : count;
    for (int j = i; j < end; ++j) byte |= static_cast<uchar>((source[j] & 3) << (6 - 2 * (j - i)));
    packed[i >> 2] = byte;
  }
}

int CountColorsFastX(const uint* pixels, uint* work, int count, uint slice, int shift) {
  const uint sliceMask = (1u << shift) - 1;
  std::memset(work, 0, kColorCountWorkBytes >> shift);
  int distinct = 0;
  for (int i = 0; i < count; ++i) {
    const uint colour = pixels[i] & 0xFFFFFF;
    if ((colour & sliceMask) != slice) continue;
    const uint index = colour >> shift;
    uint& word = work[index >> 5];
    const uint bit = 1u << (index & 31);
    if (!(word & bit)) {
      word |= bit;
      ++distinct;
    }
  }
  return distinct;
}

int CountColorsFast(const uint* pixels, uint* work, int count) {
  return CountColorsFastX(pixels, work, count, 0, 0);
}
