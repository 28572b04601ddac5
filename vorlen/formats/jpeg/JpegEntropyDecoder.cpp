#include "vorlen/formats/jpeg/JpegEntropyDecoder.h"

#include <bit>
#include <cstring>

#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/jpeg/JpegMasks.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

void BitReader::Fail() { ThrowInvalidImage(); }

void JPGBuildHuffDecoder(HuffDecoder& table, const uchar counts[16], const uchar* symbols) {
  int total = 0;
  for (int i = 0; i < 16; ++i) total += counts[i];
  if (total > 256) BitReader::Fail();
  std::memcpy(table.counts, counts, 16);
  std::memcpy(table.symbols, symbols, static_cast<size_t>(total));
  std::memset(table.lookup, 0, sizeof table.lookup);
  int code = 0;
  int index = 0;
  for (int length = 1; length <= 16; ++length) {
    const int n = counts[length - 1];
    table.valueOffset[length] = index - code;
    if (n > 0 && code + n > (1 << length)) BitReader::Fail();  // over-full code space
    for (int i = 0; i < n; ++i, ++code, ++index) {
      if (length > kLookupBits) continue;
      const int shift = kLookupBits - length;
      const ushort entry = static_cast<ushort>(length << 8 | table.symbols[index]);
      for (int fillIndex = 0; fillIndex < (1 << shift); ++fillIndex)
        table.lookup[(code << shift) | fillIndex] = entry;
    }
    table.maxCode[length] = n > 0 ? code - 1 : -1;
    code <<= 1;
  }
  table.maxCode[17] = 0x7FFFFFFF;  // sentinel: no code is this long
  for (int bits = 0; bits < (1 << kLookupBits); ++bits) {
    const int entry = table.lookup[bits];
    const int length = entry >> 8, size = entry & 15;
    table.fastAc[bits] = 0;
    if (entry == 0 || size == 0 || length + size > kLookupBits) continue;
    const int raw = bits >> (kLookupBits - length - size) & ((1 << size) - 1);
    const int value = raw < (1 << (size - 1)) ? raw - (1 << size) + 1 : raw;
    table.fastAc[bits] = value * 65536 + (entry & 0xFF) * 256 + length + size;
  }
  table.defined = true;
}

void BitReader::Fill() {
  // Eight bytes at once when none of them is FF (no stuffing, no marker): as many whole
  // bytes as the accumulator takes, exactly what the byte loop below would take.
  if (marker_ == 0 && bits_ <= 56 && in_.Available() >= 8) {
    std::uint64_t word;
    std::memcpy(&word, in_.Here(), 8);
    word = __builtin_bswap64(word);  // the first byte at the top
    const bool anyFF = ((~word - 0x0101010101010101ULL) & word & 0x8080808080808080ULL) != 0;
    if (!anyFF) {
      const int bytes = (64 - bits_) >> 3;
      acc_ |= (word >> (64 - 8 * bytes)) << (64 - bits_ - 8 * bytes);
      bits_ += 8 * bytes;
      in_.Advance(bytes);
      return;
    }
  }
  while (bits_ <= 56) {
    uint byte = 0;
    if (marker_ == 0) {
      byte = in_.Byte();
      if (byte == 0xFF) {
        uint next = in_.Byte();
        while (next == 0xFF) next = in_.Byte();  // fill bytes before a marker
        if (next != 0) {
          marker_ = static_cast<int>(next);
          byte = 0;
          padBits_ += 8;
        }
      }
    } else {
      padBits_ += 8;
    }
    acc_ |= static_cast<std::uint64_t>(byte) << (56 - bits_);
    bits_ += 8;
  }
}

int BitReader::DecodeLong(const HuffDecoder& table) {
  int length = kLookupBits + 1;
  int code = static_cast<int>(acc_ >> (64 - length));
  while (length <= 16 && code > table.maxCode[length]) {
    ++length;
    code = static_cast<int>(acc_ >> (64 - length));
  }
  if (length > 16) Fail();  // no symbol has this code
  acc_ <<= length;
  bits_ -= length;
  return table.symbols[(table.valueOffset[length] + code) & 0xFF];
}

namespace {

int DecodeDCDiff(BitReader& br, const HuffDecoder& dc) {
  const int s = br.Decode(dc);
  if (s > 16) BitReader::Fail();
  return br.Extend(s);
}

}  // namespace

void JPGDecodeBlock(BitReader& br, short* block, int& pred, const HuffDecoder& dc,
                    const HuffDecoder& ac) {
  pred = static_cast<short>(pred + DecodeDCDiff(br, dc));
  block[0] = static_cast<short>(pred);
  for (int k = 1; k < 64;) {
    int value;
    const int symbol = br.DecodeAc(ac, value);
    const int run = symbol >> 4;
    const int s = symbol & 15;
    if (s != 0) {
      k += run;
      block[kZigZag[k]] = static_cast<short>(value);
      ++k;
    } else if (run == 15) {
      k += 16;
    } else {
      break;
    }
  }
  br.CheckOverrun();
}

void JPGDecodeDCFirst(BitReader& br, short* block, int& pred, const HuffDecoder& dc, int al) {
  pred = static_cast<short>(pred + DecodeDCDiff(br, dc));
  block[0] = static_cast<short>(pred * (1 << al));
  br.CheckOverrun();
}

void JPGDecodeDCRefine(BitReader& br, short* block, int al) {
  if (br.Get(1)) block[0] = static_cast<short>(block[0] | (1 << al));
  br.CheckOverrun();
}

namespace {

// Zig-zag position k of a block; a corrupt run past the end lands on the last coefficient.
inline short& At(short* zz, int k) { return zz[k < 63 ? k : 63]; }

}  // namespace

void JPGNaturalOrder(const short* zz, short* out) {
  std::memset(out, 0, 64 * sizeof(short));
  for (std::uint64_t marked = NonZeroMask(zz); marked != 0; marked &= marked - 1) {
    const int k = std::countr_zero(marked);
    out[kZigZag[k]] = zz[k];
  }
}

void JPGDecodeACFirst(BitReader& br, short* zz, int& eobRun, const HuffDecoder& ac, int ss,
                      int se, int al) {
  if (eobRun > 0) {
    --eobRun;
    return;
  }
  for (int k = ss; k <= se;) {
    const int symbol = br.Decode(ac);
    const int run = symbol >> 4;
    const int s = symbol & 15;
    if (s != 0) {
      k += run;
      At(zz, k) = static_cast<short>(br.Extend(s) * (1 << al));
      ++k;
    } else if (run == 15) {
      k += 16;
    } else {
      eobRun = (1 << run) - 1;
      if (run > 0) eobRun += static_cast<int>(br.Get(run));
      break;
    }
  }
  br.CheckOverrun();
}

namespace {

// Correction bit for a coefficient that is already non-zero.
inline void Refine(short& coef, uint bit, int p1) {
  if (bit != 0 && (coef & p1) == 0) coef = static_cast<short>(coef >= 0 ? coef + p1 : coef - p1);
}

// One correction bit for each non-zero coefficient marked, in order, up to 16 taken at a time.
inline void RefineMarked(BitReader& br, short* zz, std::uint64_t marked, int p1) {
  while (marked != 0) {
    int held;
    uint bits = br.Peek16(held) << 16;  // the next bit at the top
    int taken = 0;
    for (; taken < held && marked != 0; ++taken, bits <<= 1) {
      const int k = std::countr_zero(marked);
      marked &= marked - 1;
      Refine(zz[k], bits >> 31, p1);
    }
    br.Skip(taken);
  }
}

}  // namespace

void JPGDecodeACRefine(BitReader& br, short* zz, int& eobRun, const HuffDecoder& ac, int ss,
                       int se, int al) {
  const int p1 = 1 << al;
  // Coefficients only become non-zero behind the position reached, so one look at the block
  // tells which of those ahead take a correction bit.
  const std::uint64_t nonZero = NonZeroMask(zz);
  const std::uint64_t band = ~std::uint64_t{0} >> (63 - se);  // up to se
  int k = ss;
  if (eobRun == 0) {
    for (; k <= se; ++k) {
      const int symbol = br.Decode(ac);
      int run = symbol >> 4;
      const int s = symbol & 15;
      int value = 0;
      if (s != 0) {
        if (s != 1) BitReader::Fail();
        value = br.Get(1) ? p1 : -p1;
      } else if (run != 15) {
        eobRun = 1 << run;
        if (run > 0) eobRun += static_cast<int>(br.Get(run));
        break;
      }
      // Skip `run` zero coefficients, refining the non-zero ones met on the way; the value goes
      // to the zero after them (past the band when the band has too few).
      const std::uint64_t ahead = band & (~std::uint64_t{0} << k);
      std::uint64_t zeros = ahead & ~nonZero;
      for (; run > 0 && zeros != 0; --run) zeros &= zeros - 1;
      const int stop = zeros != 0 ? std::countr_zero(zeros) : se + 1;
      const std::uint64_t beforeStop = stop > 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << stop) - 1;
      RefineMarked(br, zz, nonZero & ahead & beforeStop, p1);
      k = stop;
      if (value != 0) At(zz, k) = static_cast<short>(value);
    }
  }
  if (eobRun > 0) {
    // The rest of the band is in the end-of-band run: only its non-zero coefficients take a bit.
    if (k <= se) RefineMarked(br, zz, nonZero & band & (~std::uint64_t{0} << k), p1);
    --eobRun;
  }
  br.CheckOverrun();
}

}  // namespace jpeg
