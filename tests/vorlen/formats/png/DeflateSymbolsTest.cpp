// What the compressor chooses, seen by walking the symbols of its blocks.

#include <gtest/gtest.h>

#include <algorithm>

#include "CompressionSamples.h"
#include "vorlen/formats/png/DeflateTables.h"
#include "vorlen/formats/png/InflateTable.h"

using namespace samples;
using namespace inflate_entry;

namespace {

struct MatchSeen {
  uint length;
  uint distance;
};

struct Walk {
  int blocks = 0;
  bool allDynamic = true;
  size_t literals = 0;
  std::vector<MatchSeen> matches;
};

class BitReader {
public:
  explicit BitReader(const Bytes& b) : bytes_(b), at_(16) {}  // after the zlib header
  uint Get(int n) {
    uint v = 0;
    for (int i = 0; i < n; ++i, ++at_) v |= uint((bytes_.at(at_ >> 3) >> (at_ & 7)) & 1) << i;
    return v;
  }
  uint Symbol(const InflateTable& t) {
    uint e = t.Entries()[Peek(t.RootBits())];
    if (Kind(e) == kLink) {
      at_ += t.RootBits();
      e = t.Entries()[Value(e) + Peek(t.SubBits())];
    }
    at_ += Bits(e);
    return e;
  }

private:
  uint Peek(int n) {
    const size_t keep = at_;
    uint v = 0;
    for (int i = 0; i < n && (at_ >> 3) < bytes_.size(); ++i, ++at_) v |= uint((bytes_[at_ >> 3] >> (at_ & 7)) & 1) << i;
    at_ = keep;
    return v;
  }
  const Bytes& bytes_;
  size_t at_;
};

Walk WalkBlocks(const Bytes& z) {
  Walk w;
  BitReader r(z);
  for (bool final = false; !final;) {
    final = r.Get(1);
    w.allDynamic &= r.Get(2) == 2;
    ++w.blocks;
    const int hlit = int(r.Get(5)) + 257, hdist = int(r.Get(5)) + 1, hclen = int(r.Get(4)) + 4;
    uchar cl[19] = {};
    for (int i = 0; i < hclen; ++i) cl[flate::kCodeLengthOrder[i]] = uchar(r.Get(3));
    InflateTable clTable(InflateTable::Alphabet::CodeLength, 7, 0);
    clTable.Build(cl, 19);
    std::vector<uchar> lengths;
    while (int(lengths.size()) < hlit + hdist) {
      const uint s = Value(r.Symbol(clTable));
      if (s < 16) lengths.push_back(uchar(s));
      else if (s == 16) lengths.insert(lengths.end(), 3 + r.Get(2), lengths.back());
      else if (s == 17) lengths.insert(lengths.end(), 3 + r.Get(3), 0);
      else lengths.insert(lengths.end(), 11 + r.Get(7), 0);
    }
    InflateTable lit(InflateTable::Alphabet::LiteralLength, 10, 5);
    InflateTable dist(InflateTable::Alphabet::Distance, 8, 7);
    lit.Build(lengths.data(), hlit);
    dist.Build(lengths.data() + hlit, hdist);
    for (;;) {
      const uint e = r.Symbol(lit);
      if (Kind(e) == kEnd) break;
      if (Kind(e) == kLiteral) {
        ++w.literals;
        continue;
      }
      const uint length = Value(e) + r.Get(int(Kind(e) & 15));
      const uint d = r.Symbol(dist);
      w.matches.push_back({length, Value(d) + r.Get(int(Kind(d) & 15))});
    }
  }
  return w;
}

}  // namespace

TEST(DeflateSymbols, RunsBecomeDistanceOneMatchesOfTheLongestLength) {
  Bytes input(3001, 'a');
  input[0] = 'x';
  const Walk w = WalkBlocks(OurCompress(input));
  EXPECT_TRUE(w.allDynamic);
  EXPECT_EQ(w.literals, 2u);  // 'x' and the first 'a'
  ASSERT_FALSE(w.matches.empty());
  for (const MatchSeen& m : w.matches) EXPECT_EQ(m.distance, 1u);
  EXPECT_EQ(w.matches.front().length, 258u);
}

TEST(DeflateSymbols, FarThreeByteRepeatsStayLiterals) {
  for (size_t gap : {size_t(1000), size_t(6000)}) {
    Bytes input = {'q', 'z', 'j'};
    const Bytes noise = Noise(gap, 21);
    input.insert(input.end(), noise.begin(), noise.end());
    input.insert(input.end(), {'q', 'z', 'j', 'K'});
    const Walk w = WalkBlocks(OurCompress(input));
    bool found = false;
    for (const MatchSeen& m : w.matches) found |= m.distance == gap + 3 && m.length == 3;
    EXPECT_EQ(found, gap < 4096) << gap;
  }
}

TEST(DeflateSymbols, SymbolListsSplitIntoBlocks) {
  const Walk w = WalkBlocks(OurCompress(Noise(40000, 9)));
  EXPECT_TRUE(w.allDynamic);
  EXPECT_EQ(w.blocks, 3);  // 40000 literals in lists of 16384
  const Walk one = WalkBlocks(OurCompress(Bytes{0x41}));
  EXPECT_EQ(one.blocks, 1);
  EXPECT_EQ(one.literals, 1u);
}

// Among cheap literals (a photo's residuals) the search thins out after a stretch without a
// match, yet a long repeat is still found, at most a few bytes after its start.
TEST(DeflateSymbols, LongRepeatsAmongCheapLiteralsAreStillFound) {
  Bytes input(100000);
  uint32_t seed = 31;
  for (auto& b : input) b = static_cast<unsigned char>(Lcg(seed) >> 28);  // 16 values
  Bytes repeat(48);
  for (auto& b : repeat) b = static_cast<unsigned char>(Lcg(seed) >> 28);
  const size_t kEvery = 20000;
  for (size_t at = 30000; at + repeat.size() <= input.size(); at += kEvery)
    std::copy(repeat.begin(), repeat.end(), input.begin() + long(at));
  const Walk w = WalkBlocks(OurCompress(input));
  int found = 0;
  for (const MatchSeen& m : w.matches) found += m.distance == kEvery && m.length >= repeat.size() - 3;
  EXPECT_EQ(found, 3);  // the copies at 50000, 70000 and 90000
  Bytes back;
  ASSERT_TRUE(ZlibInflate(OurCompress(input), back, input.size()));
  EXPECT_EQ(back, input);
}
