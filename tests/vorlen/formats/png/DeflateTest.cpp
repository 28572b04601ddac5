#include "vorlen/formats/png/Deflate.h"

#include <gtest/gtest.h>

#include "CompressionSamples.h"
#include "platform/rtl/Exceptions.h"

using namespace samples;

namespace {

std::vector<Sample> AllSamples() {
  Bytes mixed = Text(70000);
  const Bytes noise = Noise(50000);
  mixed.insert(mixed.end(), noise.begin(), noise.end());
  const Bytes photo = Photo(150000);
  mixed.insert(mixed.end(), photo.begin(), photo.end());
  return {{"empty", {}},           {"one byte", {0x41}},        {"two bytes", {7, 7}},
          {"text", Text(300000)},  {"noise", Noise(200000)},    {"photo", Photo(400000)},
          {"runs", Runs(300000)},  {"zeros", Bytes(1000000, 0)}, {"mixed", mixed},
          {"screen rows", ScreenRows(600000)}};
}


}  // namespace

TEST(Deflate, ZlibReadsWhatWeWrite) {
  for (const Sample& s : AllSamples()) {
    SCOPED_TRACE(s.name);
    const Bytes z = OurCompress(s.bytes);
    Bytes back;
    ASSERT_TRUE(ZlibInflate(z, back, s.bytes.size()));
    EXPECT_EQ(back, s.bytes);
    EXPECT_EQ(OurInflate(z), s.bytes);
  }
}

TEST(Deflate, OutputDoesNotDependOnHowInputIsCut) {
  const Bytes text = Text(120000);
  const Bytes whole = OurCompress(text);
  for (size_t piece : {1, 3, 1000, 65536}) EXPECT_EQ(OurCompress(text, piece), whole) << piece;
}

TEST(Deflate, CompressesAboutAsWellAsZlib) {
  for (const Sample& s : AllSamples()) {
    if (s.bytes.size() < 100000) continue;
    const size_t ours = OurCompress(s.bytes).size();
    const size_t zlib6 = ZlibCompress(s.bytes, 6).size();
    EXPECT_LE(ours, zlib6 * 103 / 100 + 64) << s.name << " " << ours << " vs " << zlib6;
  }
}

TEST(Deflate, LongRunsBecomeMatchesOfDistanceOne) {
  const Bytes zeros(100000, 0);
  // 388 matches of 258 bytes at 2-3 bits each: far below a byte per match.
  EXPECT_LT(OurCompress(zeros).size(), 200u);
}

TEST(Deflate, StartsWithTheZlibHeaderAndEndsWithTheAdler) {
  const Bytes text = Text(1000);
  const Bytes z = OurCompress(text);
  ASSERT_GE(z.size(), 6u);
  EXPECT_EQ(z[0], 0x78);
  EXPECT_EQ(z[1], 0x9C);
  const uint adler = Adler32(1, text.data(), text.size());
  EXPECT_EQ(z[z.size() - 4], adler >> 24);
  EXPECT_EQ(z[z.size() - 1], adler & 0xFF);
  // Dynamic block (BTYPE 2), final.
  EXPECT_EQ(z[2] & 7, 5);
}

TEST(Deflate, SingleByteGivesOneBitCodes) {
  const Bytes z = OurCompress(Bytes{0x41});
  // BFINAL 1, BTYPE 2, HLIT - 257 = 0 fill the first byte; HDIST - 1 = 0 opens the second.
  EXPECT_EQ(z[2], 0x05);
  EXPECT_EQ(z[3] & 0x1F, 0);
  Bytes back;
  ASSERT_TRUE(ZlibInflate(z, back, 1));
  EXPECT_EQ(back, Bytes{0x41});
}

TEST(Deflate, ManySymbolsGiveSeveralBlocks) {
  // Noise gives one literal per byte: 40000 literals need three blocks of 16384.
  const Bytes noise = Noise(40000, 9);
  const Bytes z = OurCompress(noise);
  Bytes back;
  ASSERT_TRUE(ZlibInflate(z, back, noise.size()));
  EXPECT_EQ(back, noise);
  z_stream zs{};
  ASSERT_EQ(inflateInit(&zs), Z_OK);
  Bytes out(noise.size());
  zs.next_in = const_cast<unsigned char*>(z.data());
  zs.avail_in = static_cast<uInt>(z.size());
  int blocks = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    rc = inflate(&zs, Z_BLOCK);
    ASSERT_TRUE(rc == Z_OK || rc == Z_STREAM_END);
    if (zs.data_type & 128) ++blocks;  // stopped at a block boundary
  }
  inflateEnd(&zs);
  EXPECT_GE(blocks, 3);
}

TEST(DeflateBuildLengths, LimitsCodeLengths) {
  // Fibonacci frequencies make the deepest possible tree.
  uint freq[30];
  freq[0] = freq[1] = 1;
  for (int i = 2; i < 30; ++i) freq[i] = freq[i - 1] + freq[i - 2];
  uchar lengths[30];
  DeflateBuildLengths(freq, 30, 15, lengths);
  double kraft = 0;
  for (int i = 0; i < 30; ++i) {
    EXPECT_GE(lengths[i], 1);
    EXPECT_LE(lengths[i], 15);
    kraft += 1.0 / double(1 << lengths[i]);
  }
  EXPECT_DOUBLE_EQ(kraft, 1.0);
  uint one[5] = {0, 0, 9, 0, 0};
  DeflateBuildLengths(one, 5, 15, lengths);
  EXPECT_EQ(lengths[2], 1);
  EXPECT_EQ(lengths[0], 0);
}

// The code-size procedure as the JPEG standard writes it (K.2): a scan for the two least
// frequent per step, the later of equals first; lengths above the limit are left as they are.
std::vector<int> CodeSizesByScan(std::vector<unsigned long long> freq) {
  const int n = int(freq.size());
  std::vector<int> size(n, 0), others(n, -1);
  for (;;) {
    int v1 = -1, v2 = -1;
    for (int s = 0; s < n; ++s) {
      if (freq[s] == 0) continue;
      if (v1 < 0 || freq[s] <= freq[v1]) {
        v2 = v1;
        v1 = s;
      } else if (v2 < 0 || freq[s] <= freq[v2]) {
        v2 = s;
      }
    }
    if (v2 < 0) {
      if (v1 >= 0 && size[v1] == 0) size[v1] = 1;
      return size;
    }
    freq[v1] += freq[v2];
    freq[v2] = 0;
    for (++size[v1]; others[v1] >= 0; ++size[v1]) v1 = others[v1];
    others[v1] = v2;
    for (++size[v2]; others[v2] >= 0; ++size[v2]) v2 = others[v2];
  }
}

// Equal frequencies are frequent (every literal once, runs of the same count): the lengths
// must be those of the procedure itself, tie for tie, or the blocks would change.
TEST(DeflateBuildLengths, GivesTheLengthsOfTheStandardProcedure) {
  uint32_t seed = 17;
  for (int round = 0; round < 300; ++round) {
    const int n = round % 3 == 0 ? 286 : round % 3 == 1 ? 30 : 19;
    const uint spread = round % 4 == 0 ? 3 : round % 4 == 1 ? 50 : 100000;
    std::vector<uint> freq(n);
    for (auto& f : freq) f = (Lcg(seed) >> 8) % spread;
    if (round % 5 == 0) freq.assign(n, 7);
    std::vector<uchar> lengths(n);
    DeflateBuildLengths(freq.data(), n, 64, lengths.data());  // no limit reached
    const std::vector<int> expected = CodeSizesByScan(std::vector<unsigned long long>(freq.begin(), freq.end()));
    for (int s = 0; s < n; ++s) ASSERT_EQ(int(lengths[s]), expected[s]) << "round " << round << " symbol " << s;
  }
}

// The small, noisy differences a PNG filter leaves of a photo: literals cost about four bits,
// so short matches found far back cost more than they save and are better left as literals.
TEST(Deflate, CheapLiteralsAreNotTradedForDearShortMatches) {
  Bytes residuals(1u << 20);
  uint32_t seed = 5;
  for (auto& b : residuals) b = static_cast<unsigned char>((Lcg(seed) >> 28) - 8);
  const Bytes ours = OurCompress(residuals);
  const size_t zlib6 = ZlibCompress(residuals, 6).size();
  EXPECT_LT(ours.size(), zlib6 * 97 / 100) << ours.size() << " vs " << zlib6;
  EXPECT_LT(ours.size(), residuals.size() * 52 / 100);  // near the four bits a byte carries
  Bytes back;
  ASSERT_TRUE(ZlibInflate(ours, back, residuals.size()));
  EXPECT_EQ(back, residuals);
}

// Matches shorter than would save bits on the cheapest literals are not looked for; the
// length given is where pricing starts to take such a match.
TEST(DeflateBlock, LooksOnlyForMatchesThatCanPayOnCheapLiterals) {
  const struct {
    const char* name;
    int distinct;  // literals used, equally often
    int shortest;
  } cases[] = {{"no block yet", 0, 3}, {"every byte", 256, 3}, {"sixteen bytes", 16, 5}, {"two bytes", 2, 16}};
  for (const auto& c : cases) {
    VectorSink sink;
    DeflateBlock block(sink);
    for (int i = 0; i < 4096 && c.distinct > 0; ++i) block.AddLiteral(uchar(i % c.distinct));
    if (c.distinct > 0) block.WriteBlock(false);
    EXPECT_EQ(block.ShortestWorthwhileMatch(), c.shortest) << c.name;
    if (c.distinct == 0) continue;
    const Bytes cheapest(258, 0);
    for (int length = 3; length < c.shortest; ++length)
      EXPECT_FALSE(block.MatchPays(cheapest.data(), uint(length), 1)) << c.name << " " << length;
    if (c.shortest < 16) {
      EXPECT_TRUE(block.MatchPays(cheapest.data(), uint(c.shortest), 1)) << c.name;
    }
  }
}
