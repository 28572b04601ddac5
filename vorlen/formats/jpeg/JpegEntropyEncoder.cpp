#include "vorlen/formats/jpeg/JpegEntropyEncoder.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

inline void PutCode(BitWriter& w, int symbol, const HuffEncoder& table) {
  if (w.freq != nullptr) {
    ++w.freq[symbol];
    return;
  }
  PutBits(w, table.code[symbol], table.length[symbol]);
}

inline void EncodeValue(BitWriter& w, int value, int run, const HuffEncoder& table) {
  const int s = BitLength(value < 0 ? -value : value);
  const int symbol = run << 4 | s;
  if (w.freq != nullptr) {
    ++w.freq[symbol];
    return;
  }
  // The code and the value's bits in one step: at most 16 + 11 bits.
  const uint bits = static_cast<uint>(value < 0 ? value - 1 : value) & ((1u << s) - 1);
  PutBits(w, uint(table.code[symbol]) << s | bits, table.length[symbol] + s);
}

// Bit k set where v[k] is not zero, eight at a time.
inline std::uint64_t NonZeroMask(const short* v) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  std::uint64_t zeros = 0;
  for (int i = 0; i < 64; i += 16) {
    const __m128i a = _mm_cmpeq_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(v + i)), zero);
    const __m128i b = _mm_cmpeq_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(v + i + 8)), zero);
    zeros |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << i;
  }
  return ~zeros;
#else
  std::uint64_t mask = 0;
  for (int k = 0; k < 64; ++k) mask |= static_cast<std::uint64_t>(v[k] != 0) << k;
  return mask;
#endif
}

// An AC coefficient's point transform: magnitude divided by 2^al, sign kept.
inline int PointTransform(int v, int al) { return v < 0 ? -(-v >> al) : v >> al; }

}  // namespace

void JPGPutBits(BitWriter& w, uint value, int count) { PutBits(w, value, count); }

void JPGPutCorrectionBits(BitWriter& w, const uchar* bytes, int count) {
  if (w.freq != nullptr) return;
  for (int i = 0; i < count; ++i) JPGPutBits(w, bytes[i] & 1u, 1);
}

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

void JPGFlushEOBRun(BitWriter& w, const HuffEncoder& table) {
  if (w.eobRun == 0) return;
  const int n = BitLength(w.eobRun);
  PutCode(w, (n - 1) << 4, table);
  if (w.freq == nullptr && n > 1) JPGPutBits(w, static_cast<uint>(w.eobRun), n - 1);
  w.eobRun = 0;
}

void JPGFlushEOBRunAndBits(BitWriter& w, const HuffEncoder& table) {
  JPGFlushEOBRun(w, table);
  JPGPutCorrectionBits(w, w.bits, w.be);
  w.be = 0;
}

namespace {

// Whether every coefficient of the band vanishes under the point transform (the common
// case in the higher bands, answered without walking the band's codes).
inline bool BandIsZero(const short* zz, int ss, int se, int al) {
  int any = 0;
  for (int k = ss; k <= se; ++k) {
    const int v = zz[k];
    any |= (v < 0 ? -v : v) >> al;
  }
  return any == 0;
}

void EncodeACFirst(BitWriter& w, const short* zz, int al, int ss, int se, const HuffEncoder& table) {
  if (BandIsZero(zz, ss, se, al)) {
    if (++w.eobRun == 0x7FFF) JPGFlushEOBRun(w, table);
    return;
  }
  int run = 0;
  for (int k = ss; k <= se; ++k) {
    const int v = PointTransform(zz[k], al);
    if (v == 0) {
      ++run;
      continue;
    }
    JPGFlushEOBRun(w, table);
    for (; run > 15; run -= 16) PutCode(w, 0xF0, table);
    JPGEncodeValue(w, v, run, table);
    run = 0;
  }
  if (run > 0 && ++w.eobRun == 0x7FFF) JPGFlushEOBRun(w, table);
}

void EncodeACRefine(BitWriter& w, const short* zz, int al, int ss, int se, const HuffEncoder& table) {
  if (BandIsZero(zz, ss, se, al)) {  // only zeros: the band joins the end-of-band run
    if (++w.eobRun == 0x7FFF || w.be > 959) JPGFlushEOBRunAndBits(w, table);
    return;
  }
  int last = -1;  // the last newly non-zero coefficient of the band
  for (int k = ss; k <= se; ++k) {
    const int v = zz[k];
    if ((v < 0 ? -v : v) >> al == 1) last = k;
  }
  uchar own[64];
  int ownCount = 0;
  int run = 0;
  for (int k = ss; k <= se; ++k) {
    const int v = zz[k];
    const int t = (v < 0 ? -v : v) >> al;
    if (t == 0) {
      ++run;
      continue;
    }
    while (run > 15 && k <= last) {
      JPGFlushEOBRunAndBits(w, table);
      PutCode(w, 0xF0, table);
      JPGPutCorrectionBits(w, own, ownCount);
      ownCount = 0;
      run -= 16;
    }
    if (t > 1) {
      own[ownCount++] = static_cast<uchar>(t & 1);
      continue;
    }
    JPGFlushEOBRunAndBits(w, table);
    JPGEncodeValue(w, v < 0 ? -1 : 1, run, table);
    JPGPutCorrectionBits(w, own, ownCount);
    ownCount = 0;
    run = 0;
  }
  if (run > 0 || ownCount > 0) {
    ++w.eobRun;
    std::memcpy(w.bits + w.be, own, static_cast<size_t>(ownCount));
    w.be += ownCount;
    if (w.eobRun == 0x7FFF || w.be > 959) JPGFlushEOBRunAndBits(w, table);
  }
}

}  // namespace

void JPGEncodeProgressive(BitWriter& w, const short* zz, short& pred, int ah, int al, int se,
                          int ss, const HuffEncoder& table) {
  if (ss == 0) {
    const int v = zz[0] >> al;
    if (ah == 0) {
      JPGEncodeValue(w, static_cast<short>(v - pred), 0, table);
      pred = static_cast<short>(v);
    } else {
      JPGPutBits(w, static_cast<uint>(v & 1), 1);
    }
    return;
  }
  if (ah == 0)
    EncodeACFirst(w, zz, al, ss, se, table);
  else
    EncodeACRefine(w, zz, al, ss, se, table);
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
