#include "vorlen/formats/png/InflateTable.h"

#include <cstddef>

#include "vorlen/formats/png/DeflateTables.h"

using namespace inflate_entry;

namespace {

uint MakeEntry(uint kind, uint value, uint bits) { return value << 16 | kind << 8 | bits; }

uint Reverse(uint code, int bits) {
  uint r = 0;
  for (int i = 0; i < bits; ++i, code >>= 1) r = r << 1 | (code & 1);
  return r;
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
  int perLength[kMax + 1] = {};
  for (int s = 0; s < count; ++s) perLength[lengths[s]]++;
  perLength[0] = 0;
  int left = 1;
  for (int len = 1; len <= kMax; ++len) {
    left = left * 2 - perLength[len];
    if (left < 0) return false;
  }

  // Until a code fills it, every entry is "no code": it consumes the whole width, so that
  // a reader short of bits fetches more before it judges the entry.
  const uint rootSize = 1u << rootBits_;
  entries_.assign(rootSize, MakeEntry(kBad, 0, rootBits_));

  uint nextCode[kMax + 2] = {};
  for (int len = 1; len <= kMax; ++len) nextCode[len + 1] = (nextCode[len] + perLength[len]) << 1;
  for (int s = 0; s < count; ++s) {
    const int len = lengths[s];
    if (len == 0) continue;
    const uint code = Reverse(nextCode[len]++, len);
    if (len <= rootBits_) {
      const uint e = EntryFor(s, len);
      for (uint i = code; i < rootSize; i += 1u << len) entries_[i] = e;
      continue;
    }
    const uint prefix = code & (rootSize - 1);
    if (Kind(entries_[prefix]) != kLink) {
      entries_[prefix] = MakeEntry(kLink, static_cast<uint>(entries_.size()), rootBits_);
      entries_.resize(entries_.size() + (size_t(1) << subBits_), MakeEntry(kBad, 0, subBits_));
    }
    const uint base = Value(entries_[prefix]);
    const int subLen = len - rootBits_;
    const uint e = EntryFor(s, subLen);
    for (uint i = code >> rootBits_; i < (1u << subBits_); i += 1u << subLen) entries_[base + i] = e;
  }
  return true;
}
