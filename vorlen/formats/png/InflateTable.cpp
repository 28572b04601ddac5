#include "vorlen/formats/png/InflateTable.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "vorlen/formats/png/DeflateTables.h"

using namespace inflate_entry;

namespace {

uint MakeEntry(uint kind, uint value, uint bits) { return value << 16 | kind << 8 | bits; }

constexpr std::array<uchar, 256> MakeReversedBytes() {
  std::array<uchar, 256> r{};
  for (uint b = 0; b < 256; ++b)
    for (uint i = 0; i < 8; ++i) r[b] |= uchar(((b >> i) & 1) << (7 - i));
  return r;
}
constexpr std::array<uchar, 256> kReversedBytes = MakeReversedBytes();

// The code's bits in the order they arrive in the stream (codes are sent from the top bit).
uint Reverse(uint code, int bits) {
  const uint r16 = uint(kReversedBytes[code & 0xFF]) << 8 | kReversedBytes[(code >> 8) & 0xFF];
  return r16 >> (16 - bits);
}

}  // namespace

InflateTable::InflateTable(Alphabet alphabet, int rootBits, int subBits)
    : alphabet_(alphabet), rootBits_(rootBits), subBits_(subBits) {}

uint InflateTable::EntryFor(int symbol, int bits) const {
  using namespace flate;
  switch (alphabet_) {
    case Alphabet::LiteralLength:
      if (symbol < 256) return MakeEntry(kLiteral, symbol, bits);
      if (symbol == kEndOfBlock) return MakeEntry(kEnd, 0, bits);
      if (symbol < kLiteralCodes)
        return MakeEntry(kBase | kLengthExtra[symbol - 257], kLengthBase[symbol - 257], bits);
      return MakeEntry(kBad, 0, bits);
    case Alphabet::Distance:
      if (symbol < kDistanceCodes)
        return MakeEntry(kBase | kDistanceExtra[symbol], kDistanceBase[symbol], bits);
      return MakeEntry(kBad, 0, bits);
    case Alphabet::CodeLength:
      break;
  }
  return MakeEntry(kLiteral, symbol, bits);
}

bool InflateTable::Build(const uchar* lengths, int count) {
  constexpr int kMax = flate::kMaxCodeLength;
  if (count > flate::kFixedLiteralCodes) return false;
  int perLength[kMax + 1] = {};
  for (int s = 0; s < count; ++s) perLength[lengths[s]]++;
  perLength[0] = 0;
  int left = 1;
  for (int len = 1; len <= kMax; ++len) {
    left = left * 2 - perLength[len];
    if (left < 0) return false;
  }

  // The symbols in the order of their codes: by code length, then by symbol.
  int next[kMax + 1];
  next[1] = 0;
  for (int len = 1; len < kMax; ++len) next[len + 1] = next[len] + perLength[len];
  short sorted[flate::kFixedLiteralCodes];
  for (int s = 0; s < count; ++s)
    if (lengths[s] != 0) sorted[next[lengths[s]]++] = short(s);

  // Codes up to the root width: the table grows from two entries by doubling, each code set
  // once at the size of its own length, so that the doubling repeats it wherever it applies.
  // Until a code fills it, an entry is "no code": it consumes the whole width, so that a
  // reader short of bits fetches more before it judges the entry.
  const uint rootSize = 1u << rootBits_;
  entries_.resize(rootSize);
  uint* const t = entries_.data();
  t[0] = t[1] = MakeEntry(kBad, 0, rootBits_);
  uint code = 0;  // the canonical code of the next symbol
  int at = 0;     // its place in sorted
  for (int len = 1; len <= rootBits_; ++len) {
    if (len > 1) std::memcpy(t + (1u << (len - 1)), t, sizeof(uint) << (len - 1));
    for (int k = 0; k < perLength[len]; ++k, ++code) t[Reverse(code, len)] = EntryFor(sorted[at++], len);
    code <<= 1;
  }

  // Longer codes go to a second-level table under their first root bits.
  for (int len = rootBits_ + 1; len <= kMax; ++len) {
    for (int k = 0; k < perLength[len]; ++k, ++code) {
      const uint reversed = Reverse(code, len);
      const uint prefix = reversed & (rootSize - 1);
      if (Kind(entries_[prefix]) != kLink) {
        entries_[prefix] = MakeEntry(kLink, static_cast<uint>(entries_.size()), rootBits_);
        entries_.resize(entries_.size() + (size_t(1) << subBits_), MakeEntry(kBad, 0, subBits_));
      }
      const uint base = Value(entries_[prefix]);
      const int subLen = len - rootBits_;
      const uint e = EntryFor(sorted[at++], subLen);
      for (uint i = reversed >> rootBits_; i < (1u << subBits_); i += 1u << subLen) entries_[base + i] = e;
    }
    code <<= 1;
  }
  return true;
}

// From the top down, so that the entry for the bits after the first code, which lies below,
// is still a single literal when it is read.
void InflateTable::JoinLiteralPairs() {
  uint* const t = entries_.data();
  for (int i = (1 << rootBits_) - 1; i >= 0; --i) {
    const uint e = t[i];
    if (Kind(e) != kLiteral) continue;
    const uint first = Bits(e);
    const uint second = t[static_cast<uint>(i) >> first];
    if (Kind(second) != kLiteral || first + Bits(second) > static_cast<uint>(rootBits_)) continue;
    t[i] = MakeEntry(first, Value(e) | Value(second) << 8, first + Bits(second));
  }
}
