// The building blocks: transforms, quantiser, colour products, bit writer, Huffman tables
// and progressive band coding.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>

#include "platform/rtl/Exceptions.h"
#include "tests/vorlen/formats/jpeg/JpegTestSupport.h"
#include "vorlen/formats/jpeg/JpegColour.h"
#include "vorlen/formats/jpeg/JpegDct.h"
#include "vorlen/formats/jpeg/JpegEncoder.h"
#include "vorlen/formats/jpeg/JpegEntropyDecoder.h"
#include "vorlen/formats/jpeg/JpegEntropyEncoder.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace {

using Bytes = std::vector<unsigned char>;

double Basis(int x, int u) {
  const double c = u == 0 ? std::sqrt(0.5) : 1.0;
  return c * std::cos((2 * x + 1) * u * M_PI / 16);
}

std::uint32_t g_state = 99;
int Random(int lo, int hi) {
  g_state = g_state * 1664525u + 1013904223u;
  return lo + static_cast<int>((g_state >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
}

constexpr jpeg::DctPath kPaths[] = {jpeg::DctPath::Plain, jpeg::DctPath::Sse2, jpeg::DctPath::Avx2};

}  // namespace

TEST(JpegDct, ForwardTransformOfFlatBlocks) {
  for (auto [sample, dc] : {std::pair{-128, -1024}, std::pair{10, 79}, std::pair{127, 1015}}) {
    short block[64];
    std::fill(block, block + 64, static_cast<short>(sample));
    jpeg::JPGForwardDCT(block);
    EXPECT_EQ(block[0], dc) << sample;
    for (int n = 1; n < 64; ++n) ASSERT_EQ(block[n], 0) << sample << " at " << n;
  }
}

// Every instruction set gives the plain path's coefficients, bit for bit: random samples,
// the extremes, and patterns that drive single coefficients to their largest.
TEST(JpegDct, ForwardTransformIsTheSameOnEveryPath) {
  std::vector<std::array<short, 64>> blocks;
  for (int trial = 0; trial < 2000; ++trial) {
    std::array<short, 64> b;
    for (short& s : b) s = static_cast<short>(Random(-128, 127));
    blocks.push_back(b);
  }
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v) {
      std::array<short, 64> b;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) b[8 * y + x] = Basis(x, u) * Basis(y, v) >= 0 ? 127 : -128;
      blocks.push_back(b);
    }
  std::array<short, 64> low, high;
  low.fill(-128);
  high.fill(127);
  blocks.push_back(low);
  blocks.push_back(high);
  for (auto path : kPaths) {
    if (!jpeg::DctPathAvailable(path)) continue;
    for (size_t i = 0; i < blocks.size(); ++i) {
      std::array<short, 64> plain = blocks[i], other = blocks[i];
      jpeg::JPGForwardDCTOn(jpeg::DctPath::Plain, plain.data());
      jpeg::JPGForwardDCTOn(path, other.data());
      ASSERT_EQ(other, plain) << "path " << int(path) << " block " << i;
      std::array<short, 64> chosen = blocks[i];
      jpeg::JPGForwardDCT(chosen.data());
      ASSERT_EQ(chosen, plain) << "block " << i;
    }
  }
}

// Both transforms stay within two units of the exact DCT of the standard (two roundings).
TEST(JpegDct, TransformsFollowTheExactDct) {
  int worstForward = 0, worstInverse = 0;
  for (int trial = 0; trial < 300; ++trial) {
    short block[64];
    for (short& s : block) s = static_cast<short>(Random(-128, 127));
    double exact[64];
    for (int v = 0; v < 8; ++v)
      for (int u = 0; u < 8; ++u) {
        double sum = 0;
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) sum += block[8 * y + x] * Basis(x, u) * Basis(y, v);
        exact[8 * v + u] = sum / 4;
      }
    short coef[64];
    std::copy(block, block + 64, coef);
    jpeg::JPGForwardDCT(coef);
    for (int n = 0; n < 64; ++n)
      worstForward = std::max(worstForward, static_cast<int>(std::lround(std::abs(coef[n] - exact[n]))));
    int in[64];
    for (int n = 0; n < 64; ++n) in[n] = static_cast<int>(std::lround(exact[n]));
    uchar samples[64];
    jpeg::JPGIDCT(in, samples, 8);
    for (int n = 0; n < 64; ++n) worstInverse = std::max(worstInverse, std::abs(samples[n] - 128 - block[n]));
  }
  EXPECT_LE(worstForward, 2);
  EXPECT_LE(worstInverse, 2);
}

TEST(JpegDct, InverseClampsAndSurvivesExtremeCoefficients) {
  short coef[64];
  ushort quant[64];
  std::fill(quant, quant + 64, static_cast<ushort>(65535));
  for (int pattern = 0; pattern < 4; ++pattern) {
    for (int n = 0; n < 64; ++n) coef[n] = static_cast<short>(((n + pattern) % 3 == 0) == (pattern & 1) ? 32767 : -32768);
    int deq[64];
    jpeg::JPGDequantize(coef, quant, deq);
    uchar out[64];
    jpeg::JPGIDCT(deq, out, 8);  // the sanitizers watch for overflow
  }
  SUCCEED();
}

// Exact for every coefficient a transform of 8-bit samples can give and every divisor.
namespace {

struct InverseCase {
  std::array<short, 64> coef;
  std::array<ushort, 64> quant;
};

// Blocks of every kind the inverse transform meets: a photo's, flat ones (zero AC, or AC the
// table zeroes), a single coefficient at each place, and coefficients and tables that
// saturate the products.
std::vector<InverseCase> InverseCases() {
  std::vector<InverseCase> cases;
  std::array<ushort, 64> standard;
  jpeg::NaturalOrder(std::vector<ushort>(jpeg::kStdLumQuant, jpeg::kStdLumQuant + 64).data(), standard.data());
  auto add = [&](auto coefOf, auto quantOf) {
    InverseCase c;
    for (int n = 0; n < 64; ++n) {
      c.coef[n] = static_cast<short>(coefOf(n));
      c.quant[n] = static_cast<ushort>(quantOf(n));
    }
    cases.push_back(c);
  };
  auto standardOf = [&](int n) { return standard[n]; };
  for (int t = 0; t < 500; ++t) add([](int n) { return n < 20 ? Random(-60, 60) : Random(-2, 2); }, standardOf);
  for (int t = 0; t < 300; ++t) add([](int) { return Random(-32768, 32767); }, [](int) { return Random(0, 65535); });
  for (int t = 0; t < 300; ++t) add([](int) { return Random(-300, 300); }, [](int) { return Random(1, 12); });
  for (int t = 0; t < 100; ++t) {
    const int dc = Random(-32768, 32767), q = Random(0, 65535);
    add([dc](int n) { return n == 0 ? dc : 0; }, [q](int) { return q; });
    add([](int) { return Random(-100, 100); }, [q](int n) { return n == 0 ? q : 0; });
  }
  for (int place = 0; place < 64; ++place)
    for (int value : {2047, -2048, 1, -1}) add([=](int n) { return n == place ? value : 0; }, [](int) { return 1; });
  for (int pattern = 0; pattern < 4; ++pattern)
    add([pattern](int n) { return ((n + pattern) % 3 == 0) == (pattern & 1) ? 32767 : -32768; },
        [](int) { return 65535; });
  add([](int) { return 0; }, standardOf);
  add([](int n) { return n % 2 == 0 ? 32767 : -32768; }, [](int n) { return n % 3 == 0 ? 2048 : 2049; });
  return cases;
}

}  // namespace

// Every path gives the plain dequantisation and transform's samples, bit for bit, and
// writes the 8 x 8 samples only.
TEST(JpegDct, InverseIsTheSameOnEveryPath) {
  const std::vector<InverseCase> cases = InverseCases();
  constexpr int kStride = 13;
  for (auto path : kPaths) {
    if (!jpeg::DctPathAvailable(path)) continue;
    for (size_t i = 0; i < cases.size(); ++i) {
      int dequantized[64];
      jpeg::JPGDequantize(cases[i].coef.data(), cases[i].quant.data(), dequantized);
      std::array<uchar, 8 * kStride> plain, other;
      plain.fill(7);
      other.fill(7);
      jpeg::JPGIDCT(dequantized, plain.data(), kStride);
      jpeg::JPGInverseOn(path, cases[i].coef.data(), cases[i].quant.data(), other.data(), kStride);
      ASSERT_EQ(other, plain) << "path " << int(path) << " case " << i;
    }
  }
}

TEST(JpegQuantizer, RoundsToNearestExactly) {
  for (int q = 1; q <= 255; ++q) {
    uchar table[64];
    std::fill(table, table + 64, static_cast<uchar>(q));
    const jpeg::Quantizer quant(table);
    for (int base = -1151; base <= 1151; base += 64) {
      short coef[64], out[64];
      for (int n = 0; n < 64; ++n) coef[n] = static_cast<short>(std::min(base + n, 1151));
      jpeg::QuantizeCoefficients(coef, quant, out);
      for (int n = 0; n < 64; ++n) {
        const int a = coef[n];
        int expected = a >= 0 ? (a + q / 2) / q : -((q / 2 - a) / q);
        if (n > 0) expected = std::clamp(expected, -1023, 1023);
        ASSERT_EQ(out[n], expected) << "a " << a << " q " << q;
      }
    }
  }
}

TEST(JpegColour, ProductsMatchTheirDefinitions) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(jpeg::YFromR(i), std::lround(i * 0.299 * 128)) << i;
    EXPECT_EQ(jpeg::YFromG(i), std::lround(i * 0.587 * 128)) << i;
    EXPECT_EQ(jpeg::YFromB(i), std::lround(i * 0.114 * 128)) << i;
    EXPECT_LE(std::abs(jpeg::CbFromR(i) + i * 0.1687 * 128), 3.0) << i;
    EXPECT_LE(std::abs(jpeg::CbFromG(i) + i * 0.3313 * 128), 3.0) << i;
    EXPECT_LE(std::abs(jpeg::CrFromG(i) + i * 0.4187 * 128), 3.0) << i;
    EXPECT_LE(std::abs(jpeg::CrFromB(i) + i * 0.0813 * 128), 3.0) << i;
  }
  EXPECT_EQ(jpeg::CbFromR(0) | jpeg::CbFromG(0) | jpeg::CrFromG(0) | jpeg::CrFromB(0), 0);
  // Grey pixels keep their level and get neutral chroma.
  for (int v = 0; v < 256; ++v) {
    const uint p = 0x010101u * static_cast<uint>(v);
    short y, cb, cr;
    short* out[3] = {&y, &cb, &cr};
    jpeg::RgbToSamples(&p, 1, out);
    EXPECT_EQ(y, v - 128);
    EXPECT_LE(std::abs(cb), 1);
    EXPECT_LE(std::abs(cr), 1);
  }
}

TEST(JpegColour, DecoderReplicatesChroma) {
  // 2x2 sampling: one chroma sample serves four pixels.
  uchar y[4 * 4];
  std::iota(y, y + 16, static_cast<uchar>(100));
  const uchar cb[4] = {128, 200, 60, 128}, cr[4] = {128, 60, 200, 255};
  uint out[16];
  jpeg::JPGStoreYCbCr(y, 4, cb, cr, 2, 1, 1, out, 4, 4, 4);
  for (int row = 0; row < 4; ++row)
    for (int x = 0; x < 4; ++x) {
      const int c = (row / 2) * 2 + x / 2;
      const double l = y[row * 4 + x], b = cb[c] - 128, r = cr[c] - 128;
      const double rgb[3] = {l + 1.402 * r, l - 0.344136 * b - 0.714136 * r, l + 1.772 * b};
      const uint p = out[row * 4 + x];
      EXPECT_EQ(p >> 24, 0u);
      for (int k = 0; k < 3; ++k) {
        const int got = static_cast<int>(p >> (16 - 8 * k) & 255);
        EXPECT_LE(std::abs(got - std::clamp(rgb[k], 0.0, 255.0)), 1.5) << row << "," << x << " channel " << k;
      }
    }
}

// Every path gives the plain colour stage's pixels: each sampling, widths around the
// sixteen-pixel steps, odd heights, and samples at and near the ends of their range.
TEST(JpegColour, EveryPathGivesThePlainPixels) {
  constexpr int kMax = 67;
  auto sample = [] {
    const int pick = Random(0, 9);
    return static_cast<uchar>(pick == 0 ? 0 : pick == 1 ? 255 : pick == 2 ? Random(0, 8) : pick == 3 ? Random(247, 255) : Random(0, 255));
  };
  std::vector<uchar> y(kMax * kMax), cb(kMax * kMax), cr(kMax * kMax);
  for (auto* plane : {&y, &cb, &cr})
    for (uchar& v : *plane) v = sample();
  const std::pair<int, int> samplings[] = {{0, 0}, {1, 0}, {1, 1}};
  for (auto path : kPaths) {
    if (!jpeg::DctPathAvailable(path)) continue;
    for (auto [hShift, vShift] : samplings)
      for (int width : {1, 2, 7, 15, 16, 17, 31, 32, 33, 48, 63, 64})
        for (int height : {1, 2, 3, 8, 16}) {
          std::vector<uint> plain(kMax * kMax, 0xDEADBEEF), other(kMax * kMax, 0xDEADBEEF);
          jpeg::JPGStoreYCbCr(y.data(), kMax, cb.data(), cr.data(), kMax, hShift, vShift, plain.data(), kMax, width, height);
          jpeg::JPGStoreYCbCrOn(path, y.data(), kMax, cb.data(), cr.data(), kMax, hShift, vShift, other.data(), kMax,
                                width, height);
          ASSERT_EQ(other, plain) << "path " << int(path) << " sampling " << hShift << vShift << " " << width << "x" << height;
        }
  }
}

// The refill takes eight bytes at once where none is FF: whatever the mix of stuffed bytes,
// the bits come out as a one-byte-at-a-time reader gives them, then zeros behind the marker.
TEST(JpegBitReader, ReadsStuffedDataAsOneBitAtATime) {
  for (int ffShare : {0, 3, 50}) {
    Bytes file;
    std::vector<int> bits;
    for (int i = 0; i < 3000; ++i) {
      const int byte = Random(0, 99) < ffShare ? 0xFF : Random(0, 255);
      file.push_back(static_cast<unsigned char>(byte));
      if (byte == 0xFF) file.push_back(0);
      for (int b = 7; b >= 0; --b) bits.push_back(byte >> b & 1);
    }
    file.push_back(0xFF);
    file.push_back(0xD9);
    jpeg::MemoryInput in(file.data(), file.size());
    jpeg::BitReader reader(in);
    size_t at = 0;
    while (at < bits.size() + 40) {
      const int n = Random(1, 16);
      uint expected = 0;
      for (int b = 0; b < n; ++b, ++at) expected = expected << 1 | (at < bits.size() ? bits[at] : 0);
      ASSERT_EQ(reader.Get(n), expected) << "share " << ffShare << " at " << at;
      if (at <= bits.size()) reader.CheckOverrun();
    }
    EXPECT_EQ(reader.Marker(), 0xD9);
    EXPECT_THROW(reader.CheckOverrun(), EInvalidImage);
  }
}

TEST(JpegBitWriter, FlushAndStuffing) {
  jpeg_test::VectorOutput sink;
  jpeg::BitWriter w;
  w.sink = &sink;
  jpeg::JPGFlushBits(w);
  EXPECT_TRUE(sink.bytes.empty());  // an empty accumulator writes nothing
  jpeg::JPGPutBits(w, 0x7FF, 11);
  jpeg::JPGPutBits(w, 0xABCD, 16);  // 27 bits: 4 bytes, the last 5 bits 0
  jpeg::JPGFlushBits(w);
  EXPECT_EQ(sink.bytes, (Bytes{0xFF, 0x00, 0xF5, 0x79, 0xA0}));
  sink.bytes.clear();
  for (int i = 0; i < 5; ++i) jpeg::JPGPutBits(w, 0xFF, 8);
  jpeg::JPGFlushBits(w);
  EXPECT_EQ(sink.bytes, (Bytes{0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0}));
}

TEST(JpegBitWriter, EndOfBandRuns) {
  jpeg::HuffEncoder ac;
  jpeg::JPGBuildHuffEncoder(jpeg::kStdAC[0].counts, jpeg::kStdAC[0].symbols, ac);
  struct Case {
    int run;
    int symbol;
    uint extra;
    int extraBits;
  } cases[] = {{1, 0x00, 0, 0}, {5, 0x20, 1, 2}, {32767, 0xE0, 0x3FFF, 14}};
  for (const Case& c : cases) {
    jpeg_test::VectorOutput sink, expected;
    jpeg::BitWriter w, e;
    w.sink = &sink;
    e.sink = &expected;
    w.eobRun = c.run;
    jpeg::JPGFlushEOBRun(w, ac);
    EXPECT_EQ(w.eobRun, 0);
    jpeg::JPGFlushBits(w);
    jpeg::JPGPutBits(e, ac.code[c.symbol], ac.length[c.symbol]);
    jpeg::JPGPutBits(e, c.extra, c.extraBits);
    jpeg::JPGFlushBits(e);
    EXPECT_EQ(sink.bytes, expected.bytes) << c.run;
  }
}

// A band that is zero in every block sends only end-of-band runs: one run symbol for each
// 32767 blocks and one for the rest.
TEST(JpegBitWriter, ZeroBandsMakeLongRuns) {
  uint freq[257] = {};
  jpeg::BitWriter w;
  w.freq = freq;
  jpeg::HuffEncoder unused;
  short zero[64] = {}, pred = 0;
  for (int i = 0; i < 70000; ++i) jpeg::JPGEncodeProgressive(w, zero, pred, 0, 1, 63, 1, unused);
  jpeg::JPGFlushEOBRunAndBits(w, unused);
  EXPECT_EQ(freq[0xE0], 2u);
  EXPECT_EQ(freq[0xC0], 1u);  // 70000 - 2 x 32767 = 4466, 13 bits
  EXPECT_EQ(std::accumulate(freq, freq + 256, 0u), 3u);
}

// Optimal tables stay within 16 bits, leave the all-ones code unused and code every symbol
// that was counted, so that the decoder reads back what the encoder wrote.
TEST(JpegHuffman, BuiltTablesRoundTrip) {
  for (int shape = 0; shape < 3; ++shape) {
    uint freq[257] = {};
    uint fib[2] = {1, 1};
    for (int s = 0; s < 256; ++s) {
      if (shape == 0) freq[s] = s < 40 ? (fib[s & 1] = fib[0] + fib[1]) : 0;  // very skewed
      if (shape == 1) freq[s] = 1 + static_cast<uint>(Random(0, 1000));
      if (shape == 2) freq[s] = s == 7 ? 5 : 0;  // a single symbol
    }
    uchar counts[16], symbols[256];
    const int n = jpeg::JPGBuildHuffLengths(freq, counts, symbols);
    int total = 0;
    double kraft = 0;
    for (int i = 0; i < 16; ++i) {
      total += counts[i];
      kraft += counts[i] / std::pow(2.0, i + 1);
    }
    EXPECT_EQ(total, n);
    EXPECT_EQ(n, shape == 0 ? 40 : shape == 1 ? 256 : 1);
    EXPECT_LT(kraft, 1.0);
    jpeg::HuffEncoder enc;
    jpeg::JPGBuildHuffEncoder(counts, symbols, enc);
    jpeg::HuffDecoder dec;
    jpeg::JPGBuildHuffDecoder(dec, counts, symbols);
    jpeg_test::VectorOutput sink;
    jpeg::BitWriter w;
    w.sink = &sink;
    for (int i = 0; i < n; ++i) jpeg::JPGPutBits(w, enc.code[symbols[i]], enc.length[symbols[i]]);
    jpeg::JPGFlushBits(w);
    sink.bytes.push_back(0xFF);
    sink.bytes.push_back(0xD9);
    jpeg::MemoryInput in(sink.bytes.data(), sink.bytes.size());
    jpeg::BitReader reader(in);
    for (int i = 0; i < n; ++i) ASSERT_EQ(reader.Decode(dec), symbols[i]) << "shape " << shape;
    reader.CheckOverrun();
  }
}

TEST(JpegTables, ExampleQuantTablesInZigZagOrder) {
  // Annex K.1 and K.2 as printed (row by row).
  const int lum[64] = {16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
                       14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
                       18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
                       49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
  for (int k = 0; k < 64; ++k) EXPECT_EQ(jpeg::kStdLumQuant[k], lum[jpeg::kZigZag[k]]) << k;
  const int chromaTop[4][4] = {{17, 18, 24, 47}, {18, 21, 26, 66}, {24, 26, 56, 99}, {47, 66, 99, 99}};
  for (int k = 0; k < 64; ++k) {
    const int n = jpeg::kZigZag[k];
    const int expected = n / 8 < 4 && n % 8 < 4 ? chromaTop[n / 8][n % 8] : 99;
    EXPECT_EQ(jpeg::kStdChromQuant[k], expected) << k;
  }
}

// Random pieces of 1 to 32 bits, ones made more common so that 0xFF bytes fall at every place
// in a word, written as a plain bit-by-bit packer with byte stuffing would write them.
TEST(JpegBitWriter, AnyPiecesPackAsOneBitAtATime) {
  jpeg_test::VectorOutput sink;
  jpeg::BitWriter w;
  w.sink = &sink;
  std::vector<int> bits;
  uint32_t seed = 77;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const int count = 1 + static_cast<int>(seed >> 27);
    seed = seed * 1664525u + 1013904223u;
    const uint value = (seed >> 28) < 10 ? 0xFFFFFFFFu : seed;
    jpeg::JPGPutBits(w, value, count);
    for (int b = count - 1; b >= 0; --b) bits.push_back(static_cast<int>(value >> b & 1));
  }
  jpeg::JPGFlushBits(w);
  while (bits.size() % 8 != 0) bits.push_back(0);  // the writer pads with zeros
  Bytes expected;
  for (size_t i = 0; i < bits.size(); i += 8) {
    int byte = 0;
    for (int b = 0; b < 8; ++b) byte = byte << 1 | bits[i + b];
    expected.push_back(static_cast<unsigned char>(byte));
    if (byte == 0xFF) expected.push_back(0);
  }
  EXPECT_EQ(sink.bytes, expected);
}

// A block's coder writes what coding its values one at a time in zig-zag order gives: runs
// of zeros over 15 as ZRL codes, and an end-of-block code unless the last value is non-zero.
TEST(JpegBitWriter, BlocksCodeAsTheirValuesOneByOne) {
  jpeg::HuffEncoder dc, ac;
  jpeg::JPGBuildHuffEncoder(jpeg::kStdDC[0].counts, jpeg::kStdDC[0].symbols, dc);
  jpeg::JPGBuildHuffEncoder(jpeg::kStdAC[0].counts, jpeg::kStdAC[0].symbols, ac);
  jpeg_test::VectorOutput sink, expectedSink;
  jpeg::BitWriter w, e;
  w.sink = &sink;
  e.sink = &expectedSink;
  short pred = 0, expectedPred = 0;
  uint32_t seed = 3;
  for (int b = 0; b < 3000; ++b) {
    short block[64] = {};
    const uint32_t density = b % 4 == 0 ? 0 : b % 4 == 1 ? 3 : b % 4 == 2 ? 12 : 16;  // of 16
    for (int n = 0; n < 64; ++n) {
      seed = seed * 1664525u + 1013904223u;
      if ((seed >> 28) < density) block[n] = static_cast<short>(static_cast<int>(seed >> 8 & 2047) - 1023);
    }
    if (b % 7 == 0) block[jpeg::kZigZag[63]] = 5;  // the last value non-zero: no end-of-block
    jpeg::JPGEncodeBlock(w, block, pred, dc, ac);

    jpeg::JPGEncodeValue(e, block[0] - expectedPred, 0, dc);
    expectedPred = block[0];
    int run = 0;
    for (int k = 1; k < 64; ++k) {
      const int v = block[jpeg::kZigZag[k]];
      if (v == 0) {
        ++run;
        continue;
      }
      for (; run > 15; run -= 16) jpeg::JPGEncodeValue(e, 0, 15, ac);
      jpeg::JPGEncodeValue(e, v, run, ac);
      run = 0;
    }
    if (run > 0) jpeg::JPGEncodeValue(e, 0, 0, ac);
  }
  jpeg::JPGFlushBits(w);
  jpeg::JPGFlushBits(e);
  EXPECT_EQ(sink.bytes, expectedSink.bytes);
}
