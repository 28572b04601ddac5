#pragma once
// Decoding tables for canonical Huffman codes: a direct table indexed by the first
// `root` bits of the input (least significant bit first), with second-level tables for the
// longer codes. Each entry says how many bits to consume and what the code means.

#include <vector>

#include "vorlen/core/Types.h"

namespace inflate_entry {
// Entry layout: bits 0-7 the bits to consume, 8-15 the kind, 16-31 the value.
inline constexpr uint kLiteral = 0x00;  // value: the byte
// Kinds 0x01-0x0F: two literals whose codes fit the root bits together; the kind is the
// length of the first code, the value the first byte in its low half, the second above it.
inline constexpr uint kBase = 0x10;     // kind | extra bits; value: the length or distance base
inline constexpr uint kLink = 0x40;     // value: offset of the second-level table
inline constexpr uint kEnd = 0x60;      // end of block
inline constexpr uint kBad = 0x80;      // no code or a symbol out of range

inline uint Bits(uint e) { return e & 0xFF; }
inline uint Kind(uint e) { return (e >> 8) & 0xFF; }
inline uint Value(uint e) { return e >> 16; }
// Whether the entry gives one literal or two.
inline bool IsLiteral(uint e) { return Kind(e) < kBase; }
inline bool IsLiteralPair(uint e) { return Kind(e) - 1u < kBase - 1u; }
}  // namespace inflate_entry

class InflateTable {
public:
  enum class Alphabet { LiteralLength, Distance, CodeLength };

  InflateTable(Alphabet alphabet, int rootBits, int subBits);

  // Builds the table from one code length per symbol (0 = unused). Answers false for an
  // over-subscribed set of lengths, which no encoder can produce.
  bool Build(const uchar* lengths, int count);
  // Turns every root entry of a literal whose remaining bits hold a whole second literal into
  // an entry for the pair, so that runs of short literal codes decode two at a lookup.
  void JoinLiteralPairs();

  const uint* Entries() const { return entries_.data(); }
  int RootBits() const { return rootBits_; }
  int SubBits() const { return subBits_; }

private:
  uint EntryFor(int symbol, int bits) const;

  Alphabet alphabet_;
  int rootBits_;
  int subBits_;
  std::vector<uint> entries_;
};
