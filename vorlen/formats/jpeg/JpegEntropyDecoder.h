#pragma once
// The JPEG entropy decoder: Huffman decoding tables, the bit reader over entropy-coded data
// (byte stuffing, markers) and the block decoders of the sequential and progressive modes.

#include <cstdint>

#include "vorlen/formats/jpeg/JpegIO.h"

namespace jpeg {

constexpr int kLookupBits = 9;

struct HuffDecoder {
  bool defined = false;
  uchar counts[16] = {};
  uchar symbols[256] = {};
  // Per code length 1..16: the largest code of that length (-1: none) and the offset that
  // turns a code of that length into an index into symbols.
  int maxCode[18] = {};
  int valueOffset[17] = {};
  // Codes up to kLookupBits long, indexed by the next kLookupBits bits:
  // length << 8 | symbol, or 0 when the code is longer.
  ushort lookup[1 << kLookupBits] = {};
  // For AC tables: codes whose value bits also lie within the next kLookupBits bits, decoded
  // whole: value x 65536 + symbol x 256 + the bits both take, or 0 when they do not fit.
  int fastAc[1 << kLookupBits] = {};
};

// Derives the decoding limits from counts and symbols. Raises the format error when the
// counts total more than 256 or more codes of a length exist than the code space holds.
void JPGBuildHuffDecoder(HuffDecoder& table, const uchar counts[16], const uchar* symbols);

// Reads entropy-coded data MSB first. A marker met in the data is kept, and zero bits stand
// in for the data behind it; using any of those stand-in bits is the format error, checked
// after each block (Overrun).
class BitReader {
public:
  explicit BitReader(Input& in) : in_(in) {}

  uint Get(int n) {  // n from 1 to 16
    if (bits_ < n) Fill();
    const uint v = static_cast<uint>(acc_ >> (64 - n));
    acc_ <<= n;
    bits_ -= n;
    return v;
  }
  int Decode(const HuffDecoder& table) {
    if (bits_ < 16) Fill();
    const uint entry = table.lookup[acc_ >> (64 - kLookupBits)];
    if (entry != 0) {
      const int length = static_cast<int>(entry >> 8);
      acc_ <<= length;
      bits_ -= length;
      return static_cast<int>(entry & 0xFF);
    }
    return DecodeLong(table);
  }
  // An AC symbol and the value of its size that follows it (0 when the size is 0), with
  // one refill for both: a code and its value take at most 31 bits.
  int DecodeAc(const HuffDecoder& table, int& value) {
    if (bits_ < 32) Fill();
    const int fast = table.fastAc[acc_ >> (64 - kLookupBits)];
    if (fast != 0) {
      const int length = fast & 0xFF;
      acc_ <<= length;
      bits_ -= length;
      value = fast >> 16;
      return fast >> 8 & 0xFF;
    }
    int symbol;
    const uint entry = table.lookup[acc_ >> (64 - kLookupBits)];
    if (entry != 0) {
      const int length = static_cast<int>(entry >> 8);
      acc_ <<= length;
      bits_ -= length;
      symbol = static_cast<int>(entry & 0xFF);
    } else {
      symbol = DecodeLong(table);
    }
    const int s = symbol & 15;
    value = 0;
    if (s != 0) {
      const int v = static_cast<int>(acc_ >> (64 - s));
      acc_ <<= s;
      bits_ -= s;
      value = v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
    }
    return symbol;
  }
  // The next 16 bits at the top of the answer without taking them, `held` of them real (the
  // rest zeros); Skip takes up to that many. It refills only when no bit is held, just where
  // taking bits one at a time would, so that a scan reads as far into its data either way.
  uint Peek16(int& held) {
    if (bits_ == 0) Fill();
    held = bits_ < 16 ? bits_ : 16;
    return static_cast<uint>(acc_ >> 48);
  }
  void Skip(int n) {
    acc_ <<= n;
    bits_ -= n;
  }
  // A value of s bits (s up to 16) with the sign rule of the standard.
  int Extend(int s) {
    if (s == 0) return 0;
    const int v = static_cast<int>(Get(s));
    return v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
  }
  // Raises the format error when stand-in bits behind a marker were used.
  void CheckOverrun() const {
    if (marker_ != 0 && bits_ < padBits_) Fail();
  }
  // Drops the bits held (end of a scan or restart interval).
  void Reset() {
    acc_ = 0;
    bits_ = 0;
    padBits_ = 0;
  }
  // The marker met in the data (0: none yet); taking it forgets it.
  int Marker() const { return marker_; }
  int TakeMarker() {
    const int m = marker_;
    marker_ = 0;
    return m;
  }

  [[noreturn]] static void Fail();

private:
  void Fill();
  int DecodeLong(const HuffDecoder& table);

  Input& in_;
  std::uint64_t acc_ = 0;  // held bits at the top
  int bits_ = 0;
  int padBits_ = 0;  // stand-in zero bits among the held ones
  int marker_ = 0;
};

// Block decoders. pred is the component's DC predictor, eobRun the end-of-band run of
// progressive AC scans. The sequential one fills 64 coefficients in natural order; the
// progressive ones keep theirs in zig-zag order, so that a band is a run of neighbours (the
// DC ones touch zz[0] alone).
void JPGDecodeBlock(BitReader& br, short* block, int& pred, const HuffDecoder& dc,
                    const HuffDecoder& ac);
void JPGDecodeDCFirst(BitReader& br, short* zz, int& pred, const HuffDecoder& dc, int al);
void JPGDecodeDCRefine(BitReader& br, short* zz, int al);
void JPGDecodeACFirst(BitReader& br, short* zz, int& eobRun, const HuffDecoder& ac, int ss,
                      int se, int al);
void JPGDecodeACRefine(BitReader& br, short* zz, int& eobRun, const HuffDecoder& ac, int ss,
                       int se, int al);

// A progressive block's coefficients in natural order (out holds 64).
void JPGNaturalOrder(const short* zz, short* out);

}  // namespace jpeg
