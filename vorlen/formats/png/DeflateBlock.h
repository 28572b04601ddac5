#pragma once
// The output side of the compressor: the pending literals and matches of one block, their
// frequencies, the dynamic Huffman codes built from them, and the bit writer that packs the
// block least significant bit first into 2048-byte pieces for the sink.

#include <array>
#include <cstddef>

#include "vorlen/core/Types.h"
#include "vorlen/formats/png/DeflateTables.h"

// Where compressed bytes go.
class DeflateSink {
public:
  virtual ~DeflateSink() = default;
  virtual void Put(const uchar* data, size_t n) = 0;
};

// Code lengths for n symbols from their frequencies, none longer than limit: the code-size
// procedure and length adjustment of the JPEG standard (ISO/IEC 10918-1, K.2 and K.3).
// Unused symbols get length 0; a single used symbol gets length 1.
void DeflateBuildLengths(const uint* frequencies, int n, int limit, uchar* lengths);

class DeflateBlock {
public:
  explicit DeflateBlock(DeflateSink& sink);

  void AddLiteral(uchar byte) {
    if (count_ + 1 > kMaxPending) WriteBlock(false);
    pending_[count_++] = byte;
    literalFreq_[byte]++;
  }
  void AddMatch(uint length, uint distance) {
    if (count_ + 2 > kMaxPending) WriteBlock(false);
    pending_[count_++] = static_cast<ushort>(length + 256);
    pending_[count_++] = static_cast<ushort>(distance);
    literalFreq_[257 + LengthCode(length)]++;
    distanceFreq_[DistanceCode(distance)]++;
  }

  // Whether a match is estimated to cost fewer bits than its bytes as literals, priced by the
  // codes of the block written last (a block's data is mostly like the one before it). Before
  // the first block every match pays. On data whose literals are cheap (the small differences
  // of a filtered photo) short matches far back cost more than they save.
  bool MatchPays(const uchar* bytes, uint length, uint distance) const;
  // The shortest match worth looking for: one that would save bits even on bytes all at the
  // price of the cheapest literal. Where literals are cheap (a filtered photo) shorter matches
  // seldom pay, and looking for them costs more time than they save bytes.
  int ShortestWorthwhileMatch() const { return shortestWorthwhile_; }

  // Writes the pending symbols as one dynamic Huffman block.
  void WriteBlock(bool final);
  // Writes the remaining bits (the last byte padded with zeros) and the output buffer.
  void Flush();
  // Appends whole bytes; the bit writer must be at a byte boundary (after Flush).
  void PutBytes(const uchar* data, size_t n);

  static int LengthCode(uint length) { return kLengthCodeOf[length]; }
  static int DistanceCode(uint distance) {
    return distance <= 256 ? kDistanceCodeOf[distance - 1] : kDistanceCodeOf[256 + ((distance - 1) >> 7)];
  }

private:
  static constexpr int kMaxPending = 16384;
  // Matches this long pay on any data; pricing them would only cost time.
  static constexpr uint kAlwaysPays = 16;
  // Bits of margin a match must save: the estimate leaves out that a match taken changes the
  // codes it was priced by, and that its bytes might have started a longer match. Found by
  // measurement.
  static constexpr int kMargin = 3;
  static constexpr size_t kOutputSize = 2048;
  static const std::array<uchar, 259> kLengthCodeOf;
  static const std::array<uchar, 512> kDistanceCodeOf;

  struct Code {
    ushort bits;  // bit-reversed, ready to be written least significant bit first
    uchar length;
  };
  // Symbols the last block did not use are priced a little above a flat code.
  static int Bits(const Code& c, int unused) { return c.length != 0 ? int(c.length) : unused; }

  void BuildCodes(const uchar* lengths, int n, Code* codes);
  void WriteCodeLengths(const uchar* lengths, int total, const Code* clCodes, uint* clFreq);
  void WriteSymbols();
  void FindShortestWorthwhile();
  void PutBits(uint value, int count) {
    acc_ |= static_cast<unsigned long long>(value) << bitCount_;
    bitCount_ += count;
    if (bitCount_ >= 32) SpillWord();
  }
  void PutCode(const Code& c) { PutBits(c.bits, c.length); }
  void SpillWord();
  void FlushOutput();

  DeflateSink& sink_;
  ushort pending_[kMaxPending];
  int count_ = 0;
  uint literalFreq_[flate::kLiteralCodes] = {};
  uint distanceFreq_[flate::kDistanceCodes] = {};
  Code literalCodes_[flate::kLiteralCodes] = {};
  Code distanceCodes_[flate::kDistanceCodes] = {};
  bool priced_ = false;  // a block has been written: the codes above price matches
  int shortestWorthwhile_ = flate::kMinMatch;
  unsigned long long acc_ = 0;
  int bitCount_ = 0;
  uchar output_[kOutputSize + 8];
  size_t fill_ = 0;
};

// Inline: the compressor asks for every match it finds.
inline bool DeflateBlock::MatchPays(const uchar* bytes, uint length, uint distance) const {
  if (!priced_ || length >= kAlwaysPays) return true;
  int literals = 0;
  for (uint i = 0; i < length; ++i) literals += Bits(literalCodes_[bytes[i]], 9);
  const int lengthCode = LengthCode(length);
  const int distanceCode = DistanceCode(distance);
  const int match = Bits(literalCodes_[257 + lengthCode], 9) + flate::kLengthExtra[lengthCode] +
                    Bits(distanceCodes_[distanceCode], 7) + flate::kDistanceExtra[distanceCode];
  return match + kMargin < literals;
}
