#include "vorlen/formats/jpeg/JpegEntropyEncoder.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "vorlen/formats/jpeg/JpegMasks.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

inline void PutByte(BitWriter& w, uint byte) {
  w.out[w.outPos++] = static_cast<uchar>(byte);
  if (byte == 0xFF) w.out[w.outPos++] = 0;
}

// Writes 32 bits, most significant byte first, each 0xFF byte followed by a stuffed 0.
void WriteWord(BitWriter& w, uint word) {
  // A block never fills the buffer; only a long run of pending bits comes near it.
  if (w.outPos > BitWriter::kOutSize - 8) w.Drain();
  const uint inverted = ~word;
  if (((inverted - 0x01010101u) & ~inverted & 0x80808080u) == 0) {  // no 0xFF byte
    const uint bigEndian = __builtin_bswap32(word);
    std::memcpy(w.out + w.outPos, &bigEndian, 4);
    w.outPos += 4;
    return;
  }
  PutByte(w, word >> 24);
  PutByte(w, word >> 16 & 255);
  PutByte(w, word >> 8 & 255);
  PutByte(w, word & 255);
}

inline int BitLength(int magnitude) { return static_cast<int>(std::bit_width(static_cast<uint>(magnitude))); }

// The bit writer's steps, inline here for the block coders; the exported functions wrap them.
// Up to 32 bits at a time: fewer than 32 are held, so the 64-bit accumulator has room.
inline void PutBits(BitWriter& w, uint value, int count) {
  if (count <= 0) return;
  w.acc = w.acc << count | (value & ((std::uint64_t{1} << count) - 1));
  w.held += count;
  if (w.held >= 32) {
    w.held -= 32;
    WriteWord(w, static_cast<uint>(w.acc >> w.held));
  }
}

// The coders come in two builds: one that counts symbols for a Huffman table made for the
// image and one that writes them, so that neither asks per symbol which pass it is in.
template <bool kCounting>
inline void Code(BitWriter& w, int symbol, const HuffEncoder& table) {
  if constexpr (kCounting)
    ++w.freq[symbol];
  else
    PutBits(w, table.code[symbol], table.length[symbol]);
}

// A value with its run of zeros before it: the symbol, then the value's bits.
template <bool kCounting>
inline void CodeValue(BitWriter& w, int value, int run, const HuffEncoder& table) {
  const int s = BitLength(value < 0 ? -value : value);
  const int symbol = run << 4 | s;
  if constexpr (kCounting) {
    ++w.freq[symbol];
  } else {
    // The code and the value's bits in one step: at most 16 + 11 bits.
    const uint bits = static_cast<uint>(value < 0 ? value - 1 : value) & ((1u << s) - 1);
    PutBits(w, uint(table.code[symbol]) << s | bits, table.length[symbol] + s);
  }
}

inline void PutCode(BitWriter& w, int symbol, const HuffEncoder& table) {
  if (w.freq != nullptr)
    Code<true>(w, symbol, table);
  else
    Code<false>(w, symbol, table);
}

inline void EncodeValue(BitWriter& w, int value, int run, const HuffEncoder& table) {
  if (w.freq != nullptr)
    CodeValue<true>(w, value, run, table);
  else
    CodeValue<false>(w, value, run, table);
}

}  // namespace

void JPGPutBits(BitWriter& w, uint value, int count) { PutBits(w, value, count); }

void JPGFlushBits(BitWriter& w) {
  if (w.held > 0) {
    int held = w.held;
    uint bits = static_cast<uint>(w.acc << (32 - held));  // the held bits at the top, zeros after
    if (w.outPos > BitWriter::kOutSize - 8) w.Drain();
    for (; held > 0; held -= 8, bits <<= 8) PutByte(w, bits >> 24);
    w.acc = 0;
    w.held = 0;
  }
  w.Drain();
}

void JPGEncodeValue(BitWriter& w, int value, int run, const HuffEncoder& table) {
  EncodeValue(w, value, run, table);
}

namespace {

// The writing pass over a block's AC coefficients (non-zero ones marked in nonZero), with the
// accumulator held in registers until the block is done.
void WriteAcCoefficients(BitWriter& w, const short* zz, std::uint64_t nonZero, const HuffEncoder& ac) {
  std::uint64_t acc = w.acc;
  int held = w.held;
  auto put = [&](uint value, int count) {
    acc = acc << count | (value & ((std::uint64_t{1} << count) - 1));
    held += count;
    if (held >= 32) {
      held -= 32;
      WriteWord(w, static_cast<uint>(acc >> held));
    }
  };
  int last = 0;
  while (nonZero != 0) {
    const int k = std::countr_zero(nonZero);
    nonZero &= nonZero - 1;
    int run = k - last - 1;
    for (; run > 15; run -= 16) put(ac.code[0xF0], ac.length[0xF0]);
    const int value = zz[k];
    const int s = BitLength(value < 0 ? -value : value);
    const int symbol = run << 4 | s;
    const uint bits = static_cast<uint>(value < 0 ? value - 1 : value) & ((1u << s) - 1);
    put(uint(ac.code[symbol]) << s | bits, ac.length[symbol] + s);
    last = k;
  }
  if (last < 63) put(ac.code[0x00], ac.length[0x00]);
  w.acc = acc;
  w.held = held;
}

}  // namespace

void JPGEncodeBlock(BitWriter& w, const short* block, short& pred, const HuffEncoder& dc,
                    const HuffEncoder& ac) {
  EncodeValue(w, static_cast<short>(block[0] - pred), 0, dc);
  pred = block[0];
  // The AC coefficients in zig-zag order with a mask of the non-zero ones, so that runs of
  // zeros are skipped in one step.
  alignas(16) short zz[64];
  for (int k = 0; k < 64; ++k) zz[k] = block[kZigZag[k]];
  std::uint64_t nonZero = NonZeroMask(zz) & ~std::uint64_t{1};  // the DC term is coded above
  if (w.freq == nullptr) return WriteAcCoefficients(w, zz, nonZero, ac);
  int last = 0;
  while (nonZero != 0) {
    const int k = std::countr_zero(nonZero);
    nonZero &= nonZero - 1;
    int run = k - last - 1;
    for (; run > 15; run -= 16) PutCode(w, 0xF0, ac);
    EncodeValue(w, zz[k], run, ac);
    last = k;
  }
  if (last < 63) PutCode(w, 0x00, ac);
}

namespace {

template <bool kCounting>
inline void FlushRun(BitWriter& w, const HuffEncoder& table) {
  if (w.eobRun == 0) return;
  const int n = BitLength(w.eobRun);
  Code<kCounting>(w, (n - 1) << 4, table);
  if (!kCounting && n > 1) PutBits(w, static_cast<uint>(w.eobRun), n - 1);
  w.eobRun = 0;
}

// Correction bits (one a byte, in their low bit), up to 24 at a time.
inline void PutCorrection(BitWriter& w, const uchar* bytes, int count) {
  while (count > 0) {
    const int n = count < 24 ? count : 24;
    uint packed = 0;
    for (int i = 0; i < n; ++i) packed = packed << 1 | (bytes[i] & 1u);
    PutBits(w, packed, n);
    bytes += n;
    count -= n;
  }
}

template <bool kCounting>
inline void FlushRunAndBits(BitWriter& w, const HuffEncoder& table) {
  FlushRun<kCounting>(w, table);
  if (!kCounting) PutCorrection(w, w.bits, w.be);
  w.be = 0;
}

// Bits ss..se set.
inline std::uint64_t BandBits(int ss, int se) {
  return (~std::uint64_t{0} >> (63 - se)) & (~std::uint64_t{0} << ss);
}

// A band's first pass: each coded coefficient with its run of zeros, a band that ends in
// zeros (or holds nothing) joining the end-of-band run. Only the coded coefficients are
// visited.
template <bool kCounting>
void EncodeACFirst(BitWriter& w, const short* zz, int al, int ss, int se, const HuffEncoder& table) {
  std::uint64_t coded, ones;
  PointMasks(zz, al, coded, ones);
  coded &= BandBits(ss, se);
  if (coded == 0) {
    if (++w.eobRun == 0x7FFF) FlushRun<kCounting>(w, table);
    return;
  }
  FlushRun<kCounting>(w, table);
  int previous = ss - 1;
  while (coded != 0) {
    const int k = std::countr_zero(coded);
    coded &= coded - 1;
    int run = k - previous - 1;
    previous = k;
    for (; run > 15; run -= 16) Code<kCounting>(w, 0xF0, table);
    const int v = zz[k];
    const int t = (v < 0 ? -v : v) >> al;
    CodeValue<kCounting>(w, v < 0 ? -t : t, run, table);
  }
  if (previous < se && ++w.eobRun == 0x7FFF) FlushRun<kCounting>(w, table);
}

// A band's refining pass: coefficients newly reaching magnitude 1 are coded with their runs of
// zeros; those coded before send one correction bit each, after the next code (or with the
// end-of-band run). Only the non-zero coefficients are visited.
template <bool kCounting>
void EncodeACRefine(BitWriter& w, const short* zz, int al, int ss, int se, const HuffEncoder& table) {
  std::uint64_t coded, ones;
  PointMasks(zz, al, coded, ones);
  const std::uint64_t band = BandBits(ss, se);
  coded &= band;
  if (coded == 0) {  // only zeros: the band joins the end-of-band run
    if (++w.eobRun == 0x7FFF || w.be > 959) FlushRunAndBits<kCounting>(w, table);
    return;
  }
  ones &= band;
  const int last = ones != 0 ? 63 - std::countl_zero(ones) : -1;  // the last newly non-zero one
  uchar own[64];
  int ownCount = 0;
  int run = 0;
  int previous = ss - 1;
  while (coded != 0) {
    const int k = std::countr_zero(coded);
    coded &= coded - 1;
    run += k - previous - 1;
    previous = k;
    while (run > 15 && k <= last) {
      FlushRunAndBits<kCounting>(w, table);
      Code<kCounting>(w, 0xF0, table);
      if (!kCounting) PutCorrection(w, own, ownCount);
      ownCount = 0;
      run -= 16;
    }
    const int v = zz[k];
    const int t = (v < 0 ? -v : v) >> al;
    if (t > 1) {
      own[ownCount++] = static_cast<uchar>(t & 1);
      continue;
    }
    FlushRunAndBits<kCounting>(w, table);
    CodeValue<kCounting>(w, v < 0 ? -1 : 1, run, table);
    if (!kCounting) PutCorrection(w, own, ownCount);
    ownCount = 0;
    run = 0;
  }
  run += se - previous;
  if (run > 0 || ownCount > 0) {
    ++w.eobRun;
    std::memcpy(w.bits + w.be, own, static_cast<size_t>(ownCount));
    w.be += ownCount;
    if (w.eobRun == 0x7FFF || w.be > 959) FlushRunAndBits<kCounting>(w, table);
  }
}

// A DC coefficient's first pass (its difference from the predictor) or refining bit.
template <bool kCounting>
inline void EncodeDC(BitWriter& w, int dc, short& pred, int ah, int al, const HuffEncoder& table) {
  const int v = dc >> al;
  if (ah == 0) {
    CodeValue<kCounting>(w, static_cast<short>(v - pred), 0, table);
    pred = static_cast<short>(v);
  } else {
    PutBits(w, static_cast<uint>(v & 1), 1);
  }
}

template <bool kCounting>
void EncodeBlock(BitWriter& w, const short* zz, short& pred, int ah, int al, int se, int ss,
                 const HuffEncoder& table) {
  if (ss == 0) return EncodeDC<kCounting>(w, zz[0], pred, ah, al, table);
  if (ah == 0)
    EncodeACFirst<kCounting>(w, zz, al, ss, se, table);
  else
    EncodeACRefine<kCounting>(w, zz, al, ss, se, table);
}

template <bool kCounting>
void EncodeBand(BitWriter& w, const short* zz, size_t count, int ah, int al, int se, int ss,
                const HuffEncoder& table) {
  const short* const end = zz + count * 64;
  if (ah == 0) {
    for (; zz != end; zz += 64) EncodeACFirst<kCounting>(w, zz, al, ss, se, table);
  } else {
    for (; zz != end; zz += 64) EncodeACRefine<kCounting>(w, zz, al, ss, se, table);
  }
}

}  // namespace

void JPGPutCorrectionBits(BitWriter& w, const uchar* bytes, int count) {
  if (w.freq == nullptr) PutCorrection(w, bytes, count);
}

void JPGFlushEOBRun(BitWriter& w, const HuffEncoder& table) {
  if (w.freq != nullptr)
    FlushRun<true>(w, table);
  else
    FlushRun<false>(w, table);
}

void JPGFlushEOBRunAndBits(BitWriter& w, const HuffEncoder& table) {
  if (w.freq != nullptr)
    FlushRunAndBits<true>(w, table);
  else
    FlushRunAndBits<false>(w, table);
}

void JPGEncodeProgressive(BitWriter& w, const short* zz, short& pred, int ah, int al, int se,
                          int ss, const HuffEncoder& table) {
  if (w.freq != nullptr)
    EncodeBlock<true>(w, zz, pred, ah, al, se, ss, table);
  else
    EncodeBlock<false>(w, zz, pred, ah, al, se, ss, table);
}

void JPGEncodeProgressiveDC(BitWriter& w, int dc, short& pred, int ah, int al, const HuffEncoder& table) {
  if (w.freq != nullptr)
    EncodeDC<true>(w, dc, pred, ah, al, table);
  else
    EncodeDC<false>(w, dc, pred, ah, al, table);
}

void JPGEncodeProgressiveBand(BitWriter& w, const short* zz, size_t count, int ah, int al, int se, int ss,
                              const HuffEncoder& table) {
  if (w.freq != nullptr)
    EncodeBand<true>(w, zz, count, ah, al, se, ss, table);
  else
    EncodeBand<false>(w, zz, count, ah, al, se, ss, table);
}

int JPGBuildHuffLengths(const uint* counts257, uchar counts[16], uchar symbols[256]) {
  constexpr uint kSentinel = 1000000000;
  uint freq[257];
  std::memcpy(freq, counts257, sizeof freq);
  freq[256] = 1;  // reserved code point: no real code is all ones
  int codeSize[257] = {};
  int others[257];
  for (int& o : others) o = -1;
  for (;;) {
    int c1 = -1, c2 = -1;
    uint v = kSentinel;
    for (int i = 0; i <= 256; ++i)
      if (freq[i] != 0 && freq[i] <= v) v = freq[i], c1 = i;
    v = kSentinel;
    for (int i = 0; i <= 256; ++i)
      if (freq[i] != 0 && freq[i] <= v && i != c1) v = freq[i], c2 = i;
    if (c2 < 0) break;
    freq[c1] += freq[c2];
    freq[c2] = 0;
    ++codeSize[c1];
    while (others[c1] >= 0) ++codeSize[c1 = others[c1]];
    others[c1] = c2;
    ++codeSize[c2];
    while (others[c2] >= 0) ++codeSize[c2 = others[c2]];
  }
  int bits[64] = {};
  for (int i = 0; i <= 256; ++i)
    if (codeSize[i] > 0 && codeSize[i] < 64) ++bits[codeSize[i]];
  for (int i = 63; i > 16; --i) {
    while (bits[i] > 0) {
      int j = i - 2;
      while (bits[j] == 0) --j;
      bits[i] -= 2;
      ++bits[i - 1];
      bits[j + 1] += 2;
      --bits[j];
    }
  }
  int longest = 16;
  while (longest > 0 && bits[longest] == 0) --longest;
  if (longest > 0) --bits[longest];
  for (int i = 0; i < 16; ++i) counts[i] = static_cast<uchar>(bits[i + 1]);
  int n = 0;
  for (int size = 1; size < 64; ++size)
    for (int s = 0; s < 256; ++s)
      if (codeSize[s] == size && n < 256) symbols[n++] = static_cast<uchar>(s);
  return n;
}

void JPGBuildHuffEncoder(const uchar counts[16], const uchar* symbols, HuffEncoder& table) {
  table = HuffEncoder();
  uint code = 0;
  int p = 0;
  for (int length = 1; length <= 16; ++length) {
    for (int i = 0; i < counts[length - 1]; ++i, ++code) {
      table.code[symbols[p]] = static_cast<ushort>(code);
      table.length[symbols[p]] = static_cast<uchar>(length);
      ++p;
    }
    code <<= 1;
  }
}

}  // namespace jpeg
