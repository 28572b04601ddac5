#pragma once
// The JPEG entropy encoder: the bit writer (byte stuffing, an output buffer the caller writes
// out after each block), Huffman table construction from symbol counts, and the block coders
// of the sequential and progressive modes. While a writer's frequency table is set, the
// coders only count symbols.

#include <cstddef>
#include <cstdint>

#include "vorlen/formats/jpeg/JpegIO.h"

namespace jpeg {

struct HuffEncoder {
  ushort code[256] = {};
  uchar length[256] = {};
};

struct BitWriter {
  static constexpr int kOutSize = 896;
  int held = 0;              // bits waiting in the accumulator, always fewer than 32
  std::uint64_t acc = 0;     // filled from the low end
  int outPos = 0;
  uchar out[kOutSize + 16] = {};
  uint* freq = nullptr;  // 257 counts: counting pass
  int eobRun = 0;
  int be = 0;  // pending correction bits
  uchar bits[1024] = {};
  Output* sink = nullptr;  // where a nearly full output buffer goes

  void Reset() {
    held = 0;
    acc = 0;
    outPos = 0;
    freq = nullptr;
    eobRun = 0;
    be = 0;
  }
  // Writes the output buffer to the sink and starts it afresh.
  void Drain() {
    if (outPos > 0 && sink != nullptr) sink->Write(out, static_cast<size_t>(outPos));
    outPos = 0;
  }
};

void JPGPutBits(BitWriter& w, uint value, int count);
void JPGPutCorrectionBits(BitWriter& w, const uchar* bytes, int count);
void JPGFlushBits(BitWriter& w);
void JPGEncodeValue(BitWriter& w, int value, int run, const HuffEncoder& table);

// Sequential block: 64 quantised coefficients in natural order.
void JPGEncodeBlock(BitWriter& w, const short* block, short& pred, const HuffEncoder& dc,
                    const HuffEncoder& ac);

// One block for one progressive scan. The coefficients come in zig-zag order, so that a
// band is a run of neighbours.
void JPGEncodeProgressive(BitWriter& w, const short* zz, short& pred, int ah, int al, int se,
                          int ss, const HuffEncoder& table);
// The DC coefficient alone, for the DC scans (ss = 0).
void JPGEncodeProgressiveDC(BitWriter& w, int dc, short& pred, int ah, int al, const HuffEncoder& table);
// The same for `count` blocks of one component, 64 coefficients apart, in an AC scan
// (ss > 0): one call for a whole band, without a question per block of which pass it is.
void JPGEncodeProgressiveBand(BitWriter& w, const short* zz, size_t count, int ah, int al, int se, int ss,
                              const HuffEncoder& table);
void JPGFlushEOBRun(BitWriter& w, const HuffEncoder& table);
void JPGFlushEOBRunAndBits(BitWriter& w, const HuffEncoder& table);

// Code lengths from 257 symbol counts (the last a reserved code point): the 16 counts per
// length and the symbols by length, then by value. Answers the number of symbols.
int JPGBuildHuffLengths(const uint* freq, uchar counts[16], uchar symbols[256]);
void JPGBuildHuffEncoder(const uchar counts[16], const uchar* symbols, HuffEncoder& table);

}  // namespace jpeg
