#pragma once
// Facts of the JPEG format shared by the decoder and the encoder: marker codes, the zig-zag
// order and the example tables of the standard (ISO/IEC 10918-1 Annex K).

#include "vorlen/core/Types.h"

namespace jpeg {

// Marker codes (the byte after 0xFF).
enum Marker : uchar {
  kSOF0 = 0xC0, kSOF1 = 0xC1, kSOF2 = 0xC2, kDHT = 0xC4, kJPG = 0xC8, kDAC = 0xCC,
  kRST0 = 0xD0, kRST7 = 0xD7, kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kDQT = 0xDB,
  kDRI = 0xDD, kAPP0 = 0xE0, kCOM = 0xFE,
};

// kZigZag[k] is the natural (row-major) index of the k-th coefficient in zig-zag order.
// Entries 64..79 repeat 63 so that a corrupt run past the end of a block stays inside it.
extern const uchar kZigZag[80];

// Annex K.1 (luminance) and K.2 (chrominance) quantisation tables, in zig-zag order.
extern const uchar kStdLumQuant[64];
extern const uchar kStdChromQuant[64];

// A Huffman table as stored in a DHT segment: codes per length 1..16, then the symbols.
struct HuffSpec {
  const uchar* counts;  // 16 entries
  const uchar* symbols;
  int symbolCount;
};

// Annex K.3 tables: DC and AC for luminance (index 0) and chrominance (index 1).
extern const HuffSpec kStdDC[2];
extern const HuffSpec kStdAC[2];

// Most blocks one MCU can hold (2x2 luminance plus two chrominance blocks).
constexpr int kMaxBlocksPerMcu = 6;

}  // namespace jpeg
