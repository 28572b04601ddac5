#include "vorlen/formats/png/Inflate.h"

#include <algorithm>
#include <cstring>

#include "vorlen/formats/png/Checksum.h"
#include "vorlen/formats/png/DeflateTables.h"
#include "vorlen/formats/GFXFile.h"

using namespace inflate_entry;

namespace {

constexpr size_t kHistory = flate::kWindowSize;
constexpr size_t kBufferSize = kHistory + 256 * 1024;
// Room a whole match needs, plus the bytes the block-wise copy may write past its end.
constexpr size_t kCopySlack = 32;
constexpr size_t kDecodeLimit = kBufferSize - flate::kMaxMatch - kCopySlack;
// A request with at least this much still to fill, after the history it needs, is decoded
// straight into the caller's memory rather than through the window.
constexpr size_t kDirectMinimum = 64 * 1024;
constexpr size_t kDirectPiece = 128 * 1024;
constexpr int kLiteralRoot = 10;
constexpr int kDistanceRoot = 8;

unsigned long long Load64(const uchar* p) {
  unsigned long long v;
  std::memcpy(&v, p, sizeof v);
  return v;  // little-endian host
}

constexpr uint Mask(uint n) { return (1u << n) - 1; }

void FixedLengths(uchar* literals, uchar* distances) {
  for (int s = 0; s < flate::kFixedLiteralCodes; ++s)
    literals[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
  std::memset(distances, 5, flate::kFixedDistanceCodes);
}

// Copies a match a piece at a time where the distance allows (16 bytes, else 8, runs of one
// byte as blocks of it, shorter periods as words from a multiple of the period back), which
// may write up to 31 bytes past its end (the window keeps room for them). Each piece is read
// after the one before it is written, so a piece may repeat bytes the match itself wrote.
[[gnu::always_inline]] inline void CopyMatch(uchar*& out, uint length, uint distance) {
  const uchar* src = out - distance;
  uchar* const end = out + length;
  if (distance >= 16) {
    do {
      std::memcpy(out, src, 16);
      std::memcpy(out + 16, src + 16, 16);
      out += 32;
      src += 32;
    } while (out < end);
  } else if (distance >= 8) {
    do {
      std::memcpy(out, src, 8);
      std::memcpy(out + 8, src + 8, 8);
      out += 16;
      src += 16;
    } while (out < end);
  } else if (distance == 1) {
    // Runs are mostly short: blocks of the repeated byte beat a call to memset.
    uchar run[16];
    std::memset(run, *src, 16);
    uchar* p = out;
    do {
      std::memcpy(p, run, 16);
      std::memcpy(p + 16, run, 16);
      p += 32;
    } while (p < end);
  } else {
    // Distances 2-7: byte by byte only until a whole number of periods of 8 bytes or more lies
    // behind, then words from that far back, which repeat the same pattern.
    const uint period = distance * ((8 + distance - 1) / distance);
    uchar* p = out;
    uchar* const primed = out + (period - distance) < end ? out + (period - distance) : end;
    for (; p < primed; ++p, ++src) *p = *src;
    for (; p < end; p += 8) std::memcpy(p, p - period, 8);
  }
  out = end;
}

void Store16(uchar* p, uint v) {
  const ushort s = static_cast<ushort>(v);
  std::memcpy(p, &s, 2);  // little-endian host
}

}  // namespace

size_t MemorySource::Pull(const uchar*& data) {
  data = data_;
  size_t n = size_;
  data_ += n;
  size_ = 0;
  return n;
}

Inflate::Inflate(InflateSource& source)
    : source_(source),
      literals_(InflateTable::Alphabet::LiteralLength, kLiteralRoot, 15 - kLiteralRoot),
      distances_(InflateTable::Alphabet::Distance, kDistanceRoot, 15 - kDistanceRoot),
      window_(std::make_unique_for_overwrite<uchar[]>(kBufferSize + kCopySlack)),
      out_(window_.get()),
      limit_(kDecodeLimit) {}

Inflate::~Inflate() = default;

// Runs one step of the caller's; an error marks the stream failed before it passes on.
template <class Step>
void Inflate::FailOnError(Step step) {
  try {
    (this->*step)();
  } catch (...) {
    Fail();
    throw;
  }
}

void Inflate::ReadZlibHeader() { FailOnError(&Inflate::CheckZlibHeader); }

void Inflate::CheckZlibHeader() {
  const uint cmf = GetBits(8);
  const uint flg = GetBits(8);
  if ((cmf & 0x0F) != 8 || (cmf & 0x80) || (flg & 0x20) || (cmf * 256 + flg) % 31 != 0)
    ThrowInvalidImage();
}

size_t Inflate::Read(uchar* dst, size_t n) {
  size_t done = 0;
  while (done < n) {
    const size_t avail = written_ - handedOut_;
    if (avail > 0) {
      const size_t k = avail < n - done ? avail : n - done;
      std::memcpy(dst + done, window_.get() + handedOut_, k);
      handedOut_ += k;
      done += k;
      continue;
    }
    if (state_ == State::Failed) ThrowPending();
    if (state_ == State::Done) break;
    // The caller's last 32 KB are the history, so the rest can be decoded in place.
    if (done >= kHistory && n - done >= kDirectMinimum) {
      done = ProduceInto(dst, done, n);
      continue;
    }
    Produce();
  }
  return done;
}

// Decodes into dst from done on, leaving room for a whole match before n, with the bytes
// before done as history; afterwards the window takes the last 32 KB of it. Answers how far
// dst is filled.
size_t Inflate::ProduceInto(uchar* dst, size_t done, size_t n) {
  out_ = dst;
  written_ = done;
  const size_t last = n - flate::kMaxMatch - kCopySlack;
  // Piece by piece, so that the checksum reads bytes still in the cache.
  size_t summed = done;
  try {
    while (written_ < last && state_ != State::Done && state_ != State::Failed) {
      limit_ = std::min(last, written_ + kDirectPiece);
      Decode();
      adler_ = Adler32(adler_, dst + summed, written_ - summed);
      summed = written_;
    }
  } catch (...) {
    Fail();
    adler_ = Adler32(adler_, dst + summed, written_ - summed);
  }
  const size_t filled = written_;
  std::memcpy(window_.get(), dst + filled - kHistory, kHistory);
  out_ = window_.get();
  written_ = handedOut_ = kHistory;
  limit_ = kDecodeLimit;
  return filled;
}

void Inflate::FinishZlib() { FailOnError(&Inflate::CheckTrailer); }

void Inflate::Fail() {
  if (state_ != State::Failed) error_ = std::current_exception();
  state_ = State::Failed;
}

void Inflate::CheckTrailer() {
  while (state_ != State::Done) {
    if (state_ == State::Failed) ThrowPending();
    handedOut_ = written_;
    Produce();
  }
  handedOut_ = written_;
  bits_ >>= bitCount_ & 7;
  bitCount_ &= ~7;
  uint stored = 0;
  for (int i = 0; i < 4; ++i) stored = stored << 8 | GetBits(8);
  if (stored != adler_) ThrowInvalidImage();
}

void Inflate::ThrowPending() { std::rethrow_exception(error_); }

// Decodes as much as the window has room for. A fault keeps what was decoded before it and
// is raised once those bytes have been handed out.
void Inflate::Produce() {
  if (written_ >= kDecodeLimit) Slide();
  const size_t start = written_;
  try {
    Decode();
  } catch (...) {
    Fail();
  }
  adler_ = Adler32(adler_, window_.get() + start, written_ - start);
}

// Keeps the last 32 KB as history; called only when every decoded byte was handed out.
void Inflate::Slide() {
  std::memmove(window_.get(), window_.get() + written_ - kHistory, kHistory);
  written_ = handedOut_ = kHistory;
}

void Inflate::Decode() {
  while (written_ < limit_) {
    switch (state_) {
      case State::BlockHeader:
        if (finalBlock_) {
          state_ = State::Done;
          return;
        }
        DecodeBlockHeader();
        break;
      case State::Stored:
        CopyStored();
        break;
      case State::Huffman:
        DecodeHuffmanFast();
        if (state_ == State::Huffman && written_ < limit_) DecodeHuffmanSlow();
        break;
      case State::Done:
      case State::Failed:
        return;
    }
  }
}

void Inflate::DecodeBlockHeader() {
  finalBlock_ = GetBits(1) != 0;
  switch (GetBits(2)) {
    case 0: {
      bits_ >>= bitCount_ & 7;
      bitCount_ &= ~7;
      const uint len = GetBits(16);
      const uint nlen = GetBits(16);
      if ((len ^ nlen) != 0xFFFF) ThrowInvalidImage();
      storedLeft_ = len;
      state_ = len ? State::Stored : State::BlockHeader;
      return;
    }
    case 1: {
      uchar lit[flate::kFixedLiteralCodes];
      uchar dist[flate::kFixedDistanceCodes];
      FixedLengths(lit, dist);
      literals_.Build(lit, flate::kFixedLiteralCodes);
      distances_.Build(dist, flate::kFixedDistanceCodes);
      state_ = State::Huffman;
      return;
    }
    case 2:
      ReadDynamicTables();
      literals_.JoinLiteralPairs();
      state_ = State::Huffman;
      return;
    default:
      ThrowInvalidImage();
  }
}

void Inflate::ReadDynamicTables() {
  const int hlit = static_cast<int>(GetBits(5)) + 257;
  const int hdist = static_cast<int>(GetBits(5)) + 1;
  const int hclen = static_cast<int>(GetBits(4)) + 4;
  if (hlit > flate::kLiteralCodes) ThrowInvalidImage();
  uchar clLengths[flate::kCodeLengthCodes] = {};
  for (int i = 0; i < hclen; ++i) clLengths[flate::kCodeLengthOrder[i]] = uchar(GetBits(3));
  InflateTable clTable(InflateTable::Alphabet::CodeLength, 7, 0);
  if (!clTable.Build(clLengths, flate::kCodeLengthCodes)) ThrowInvalidImage();

  uchar lengths[flate::kFixedLiteralCodes + flate::kFixedDistanceCodes];
  const int total = hlit + hdist;
  int i = 0;
  while (i < total) {
    const uint sym = Value(DecodeSymbol(clTable));
    if (sym < 16) {
      lengths[i++] = uchar(sym);
      continue;
    }
    uchar value = 0;
    int repeat;
    if (sym == 16) {
      if (i == 0) ThrowInvalidImage();
      value = lengths[i - 1];
      repeat = 3 + static_cast<int>(GetBits(2));
    } else if (sym == 17) {
      repeat = 3 + static_cast<int>(GetBits(3));
    } else {
      repeat = 11 + static_cast<int>(GetBits(7));
    }
    if (i + repeat > total) ThrowInvalidImage();
    std::memset(lengths + i, value, repeat);
    i += repeat;
  }
  if (!literals_.Build(lengths, hlit) || !distances_.Build(lengths + hlit, hdist))
    ThrowInvalidImage();
}

void Inflate::CopyStored() {
  uchar* const base = out_;
  while (storedLeft_ > 0 && bitCount_ >= 8 && written_ < limit_) {
    base[written_++] = uchar(bits_);
    bits_ >>= 8;
    bitCount_ -= 8;
    --storedLeft_;
  }
  while (storedLeft_ > 0 && written_ < limit_) {
    if (in_ == inEnd_) {
      const size_t got = source_.Pull(in_);
      if (got == 0) ThrowInvalidImage();
      inEnd_ = in_ + got;
    }
    size_t k = static_cast<size_t>(inEnd_ - in_);
    if (k > storedLeft_) k = storedLeft_;
    if (k > limit_ - written_) k = limit_ - written_;
    std::memcpy(base + written_, in_, k);
    in_ += k;
    written_ += k;
    storedLeft_ -= static_cast<uint>(k);
  }
  if (storedLeft_ == 0) state_ = State::BlockHeader;
}

// The main loop: while at least 8 input bytes and room for a whole match remain. The bit
// buffer is topped up to 56 or more bits once per pass, enough for the longest
// length-and-distance pair (48 bits) or three literal entries; the next code's entry is looked
// up as soon as the bits of the one before are consumed, ahead of any copy.
void Inflate::DecodeHuffmanFast() {
  if (inEnd_ - in_ < 8 || written_ >= limit_) return;
  uchar* const base = out_;
  uchar* out = base + written_;
  uchar* const outLimit = base + limit_;
  const uchar* in = in_;
  const uchar* const inLimit = inEnd_ - 8;
  unsigned long long bb = bits_;
  uint n = static_cast<uint>(bitCount_);
  const uint* const lt = literals_.Entries();
  const uint* const dt = distances_.Entries();
  constexpr uint kRootMask = Mask(kLiteralRoot);
  bool bad = false;
  // The loaded bytes beyond the counted bits are the input's own next bits, so a refill never
  // changes bits already looked at.
  auto refill = [&] {
    bb |= Load64(in) << n;
    in += (63 - n) >> 3;
    n |= 56;
  };
  auto consume = [&](uint count) {
    bb >>= count;
    n -= count;
  };
  // One entry of one or two literals.
  auto literal = [&](uint e) {
    Store16(out, Value(e));
    out += IsLiteralPair(e) ? 2 : 1;
    consume(Bits(e));
    return lt[bb & kRootMask];
  };
  refill();
  uint e = lt[bb & kRootMask];
  for (;;) {
    if (IsLiteral(e)) {
      e = literal(e);
      if (IsLiteral(e)) {
        e = literal(e);
        if (IsLiteral(e)) e = literal(e);
      }
    } else {
      if (Kind(e) == kLink) {
        consume(kLiteralRoot);
        e = lt[Value(e) + (bb & Mask(15 - kLiteralRoot))];
      }
      const uint kind = Kind(e);
      if (kind == kLiteral) {
        *out++ = uchar(Value(e));
        consume(Bits(e));
        e = lt[bb & kRootMask];
      } else if (kind >= kLink) {
        consume(Bits(e));
        if (kind == kEnd) state_ = State::BlockHeader;
        else bad = true;
        break;
      } else {
        const uint extra = kind & 0x0F;
        const uint length = Value(e) + static_cast<uint>((bb >> Bits(e)) & Mask(extra));
        consume(Bits(e) + extra);
        uint d = dt[bb & Mask(kDistanceRoot)];
        if (Kind(d) == kLink) {
          consume(kDistanceRoot);
          d = dt[Value(d) + (bb & Mask(15 - kDistanceRoot))];
        }
        if (Kind(d) >= kLink) {
          bad = true;
          break;
        }
        const uint dextra = Kind(d) & 0x0F;
        const uint distance = Value(d) + static_cast<uint>((bb >> Bits(d)) & Mask(dextra));
        consume(Bits(d) + dextra);
        if (distance > static_cast<size_t>(out - base)) {
          bad = true;
          break;
        }
        e = lt[bb & kRootMask];
        CopyMatch(out, length, distance);
      }
    }
    if (in > inLimit || out >= outLimit) break;
    refill();
  }
  // Whole bytes loaded beyond the valid bits are still unread at `in`.
  bits_ = bb & ((1ull << n) - 1);
  bitCount_ = static_cast<int>(n);
  in_ = in;
  written_ = static_cast<size_t>(out - base);
  if (bad) ThrowInvalidImage();
}

// One symbol with input fetched byte by byte: near the end of an input piece, and never
// beyond the bytes the symbol needs.
bool Inflate::DecodeHuffmanSlow() {
  const uint e = DecodeSymbol(literals_);
  const uint kind = Kind(e);
  uchar* const base = out_;
  if (kind == kLiteral) {
    base[written_++] = uchar(Value(e));
    return true;
  }
  if (kind == kEnd) {
    state_ = State::BlockHeader;
    return true;
  }
  const uint length = Value(e) + GetBits(static_cast<int>(kind & 0x0F));
  const uint d = DecodeSymbol(distances_);
  const uint distance = Value(d) + GetBits(static_cast<int>(Kind(d) & 0x0F));
  if (distance > written_) ThrowInvalidImage();
  uchar* out = base + written_;
  CopyMatch(out, length, distance);
  written_ += length;
  return true;
}

uint Inflate::DecodeSymbol(const InflateTable& table) {
  const uint* t = table.Entries();
  int width = table.RootBits();
  uint e;
  for (;;) {
    e = t[bits_ & Mask(width)];
    // Of a pair only the first literal is taken: the bits of the second may not be there yet.
    if (IsLiteralPair(e)) e = (Value(e) & 0xFF) << 16 | Kind(e);
    if (static_cast<int>(Bits(e)) <= bitCount_) break;
    if (!PullByte()) ThrowInvalidImage();
  }
  if (Kind(e) == kLink) {
    bits_ >>= width;
    bitCount_ -= width;
    t += Value(e);
    width = table.SubBits();
    for (;;) {
      e = t[bits_ & Mask(width)];
      if (static_cast<int>(Bits(e)) <= bitCount_) break;
      if (!PullByte()) ThrowInvalidImage();
    }
  }
  if (Kind(e) == kBad) ThrowInvalidImage();
  bits_ >>= Bits(e);
  bitCount_ -= static_cast<int>(Bits(e));
  return e;
}

bool Inflate::PullByte() {
  if (in_ == inEnd_) {
    const size_t got = source_.Pull(in_);
    if (got == 0) return false;
    inEnd_ = in_ + got;
  }
  bits_ |= static_cast<unsigned long long>(*in_++) << bitCount_;
  bitCount_ += 8;
  return true;
}

void Inflate::NeedBits(int n) {
  while (bitCount_ < n)
    if (!PullByte()) ThrowInvalidImage();
}

uint Inflate::GetBits(int n) {
  NeedBits(n);
  const uint v = static_cast<uint>(bits_ & Mask(static_cast<uint>(n)));
  bits_ >>= n;
  bitCount_ -= n;
  return v;
}
