#include "vorlen/formats/png/InflateTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CompressionSamples.h"
#include "vorlen/formats/png/DeflateBlock.h"

using namespace samples;
using namespace inflate_entry;

namespace {

// One entry of the table at the low bits of `bits`, following a link to the second level.
uint EntryAt(const InflateTable& t, unsigned long long bits, int& consumed) {
  const uint* e = t.Entries();
  uint entry = e[bits & ((1u << t.RootBits()) - 1)];
  consumed = 0;
  if (Kind(entry) == kLink) {
    consumed = t.RootBits();
    entry = e[Value(entry) + ((bits >> t.RootBits()) & ((1u << t.SubBits()) - 1))];
  }
  consumed += int(Bits(entry));
  return entry;
}

struct Decoded {
  std::vector<int> symbols;  // literals as bytes, anything else as 256 + kind
  std::vector<int> ends;     // bits consumed after each entry
};

// Up to four entries from the start of `bits`; stops after the first one that is no literal.
Decoded Decode(const InflateTable& t, unsigned long long bits) {
  Decoded d;
  int at = 0;
  for (int i = 0; i < 4 && at < 34; ++i) {
    int used = 0;
    const uint e = EntryAt(t, bits >> at, used);
    at += used;
    if (IsLiteralPair(e)) {
      d.symbols.push_back(int(Value(e) & 0xFF));
      d.symbols.push_back(int(Value(e) >> 8));
    } else {
      d.symbols.push_back(Kind(e) == kLiteral ? int(Value(e)) : 256 + int(Kind(e)));
    }
    d.ends.push_back(at);
    if (!IsLiteral(e)) break;
  }
  return d;
}

}  // namespace

// Joined or not, a table reads the same symbols from the same bits; pairs appear where two
// literal codes fit the root bits together, and only there.
TEST(InflateTable, LiteralPairsDecodeAsTheirTwoCodesDo) {
  uint32_t seed = 17;
  const struct {
    const char* name;
    int distinct;     // literals in use
    uint32_t spread;  // frequencies up to this
    bool pairs;       // whether two literal codes fit 10 bits anywhere
  } cases[] = {{"photo residuals", 12, 100000, true}, {"text", 40, 1000, true},
               {"every byte", 256, 50, false}, {"skewed, long codes", 256, 1u << 30, true},
               {"one common literal", 1, 1, true}};
  for (const auto& c : cases) {
    std::vector<uint> freq(flate::kLiteralCodes, 0);
    for (int s = 0; s < c.distinct; ++s) freq[s * 7 % 256] = 1 + (Lcg(seed) >> 8) % c.spread;
    if (c.distinct == 1) freq[0] = 1000000;
    if (c.spread > 1000000)  // frequencies a power of two apart give codes up to the limit
      for (int s = 0; s < 40; ++s) freq[s] = 1u << (s % 30);
    freq[flate::kEndOfBlock] = 1;
    for (int s = 257; s < 270; ++s) freq[s] = 1 + (Lcg(seed) >> 8) % 50;
    std::vector<uchar> lengths(flate::kLiteralCodes);
    DeflateBuildLengths(freq.data(), flate::kLiteralCodes, flate::kMaxCodeLength, lengths.data());

    InflateTable single(InflateTable::Alphabet::LiteralLength, 10, 5);
    InflateTable joined(InflateTable::Alphabet::LiteralLength, 10, 5);
    ASSERT_TRUE(single.Build(lengths.data(), flate::kLiteralCodes)) << c.name;
    ASSERT_TRUE(joined.Build(lengths.data(), flate::kLiteralCodes)) << c.name;
    joined.JoinLiteralPairs();

    int pairs = 0;
    for (uint i = 0; i < 1024; ++i) {
      const uint e = joined.Entries()[i];
      if (!IsLiteralPair(e)) continue;
      ++pairs;
      EXPECT_LE(Bits(e), 10u) << c.name;
    }
    EXPECT_EQ(pairs > 0, c.pairs) << c.name << " " << pairs;

    for (int round = 0; round < 20000; ++round) {
      const unsigned long long bits = (static_cast<unsigned long long>(Lcg(seed)) << 32) | Lcg(seed);
      const Decoded a = Decode(single, bits);
      const Decoded b = Decode(joined, bits);
      // The joined table reads at least as many symbols in its four entries; the first ones
      // agree, and every end of a joined entry is an end of a single code.
      const size_t common = std::min(a.symbols.size(), b.symbols.size());
      for (size_t i = 0; i < common; ++i) ASSERT_EQ(a.symbols[i], b.symbols[i]) << c.name << " " << round;
      for (int end : b.ends) {
        if (end > a.ends.back()) break;
        ASSERT_NE(std::find(a.ends.begin(), a.ends.end(), end), a.ends.end()) << c.name << " " << round;
      }
    }
  }
}

// The table answers over-subscribed lengths with false and leaves the bits of an incomplete
// code as "no code", however it is built.
TEST(InflateTable, RefusesOverSubscribedAndMarksMissingCodes) {
  const uchar over[4] = {1, 1, 1, 0};
  InflateTable t(InflateTable::Alphabet::LiteralLength, 10, 5);
  EXPECT_FALSE(t.Build(over, 4));
  const uchar one[2] = {0, 1};  // a single code "0" of one bit
  ASSERT_TRUE(t.Build(one, 2));
  t.JoinLiteralPairs();
  for (uint i = 0; i < 1024; ++i) {
    const uint e = t.Entries()[i];
    if (i & 1) EXPECT_EQ(Kind(e), kBad) << i;
    else if (i & 2) EXPECT_TRUE(Kind(e) == kLiteral && Value(e) == 1 && Bits(e) == 1) << i;
    else EXPECT_TRUE(IsLiteralPair(e) && Value(e) == 0x0101 && Bits(e) == 2) << i;
  }
}
