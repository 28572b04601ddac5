#include "vorlen/formats/png/Deflate.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vorlen/formats/png/Checksum.h"

using namespace flate;

namespace {

constexpr int kWindowMask = kWindowSize - 1;
constexpr int kWindowCapacity = 4 * kWindowSize;
constexpr int kReadSlack = 8;  // matches are compared a word at a time
// Positions are decided once this many bytes follow them (the longest match and the bytes
// the links look at).
constexpr int kLookahead = kMaxMatch + 3;
// A 3-byte match farther back than this costs more than its literals.
constexpr int kFarThreeByteMatch = 4096;
// Search effort: candidates tried per position, only a couple once the pending match is good
// (a longer one found a byte later seldom pays for the literal it costs); a match this long
// ends the search, and one this long is not second-guessed at the next byte.
constexpr int kMaxChain = 64;
constexpr int kLazyChain = 2;
constexpr int kGoodMatch = 8;
constexpr int kNiceMatch = 64;
constexpr int kLazyEnough = 16;
// Where literals are cheap (a photo's residuals) only long matches pay, and a long match is
// still found a few positions after its start. So after this many positions in a row without
// a match, only every second position is searched, one more skipped for every kSkipGrowth
// positions more, up to every kMostStride-th.
constexpr int kMissesBeforeSkipping = 32;
constexpr int kSkipGrowth = 64;
constexpr int kMostStride = 4;

unsigned long long Load64(const uchar* p) {
  unsigned long long v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

constexpr int kHash3Bits = 15;
constexpr int kHash4Bits = 16;

uint Load32(const uchar* p) {
  uint v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint Hash3(const uchar* p) { return ((Load32(p) & 0xFFFFFF) * 2654435761u) >> (32 - kHash3Bits); }
uint Hash4(const uchar* p) { return (Load32(p) * 2654435761u) >> (32 - kHash4Bits); }

}  // namespace

// Positions are kept in 16 bits, relative to a base at most 32 KB behind every position
// recorded since, so that the tables are half the size and stay in the caches. kNone lies
// beyond the window's reach from any position at or after the base.
struct Deflate::Tables {
  static constexpr short kNone = -32768;
  short head3[1 << kHash3Bits];  // the latest position of each 3-byte hash
  short head4[1 << kHash4Bits];  // the latest position of each 4-byte hash
  short prev4[kWindowSize];      // the position before it with the same 4-byte hash
};

Deflate::Deflate(DeflateSink& sink)
    : block_(sink), t_(new Tables), window_(new uchar[kWindowCapacity + kReadSlack]()) {
  std::fill(std::begin(t_->head3), std::end(t_->head3), Tables::kNone);
  std::fill(std::begin(t_->head4), std::end(t_->head4), Tables::kNone);
  std::fill(std::begin(t_->prev4), std::end(t_->prev4), Tables::kNone);
}

Deflate::~Deflate() = default;

void Deflate::WriteZlibHeader() {
  const uchar header[2] = {0x78, 0x9C};
  block_.PutBytes(header, 2);
}

void Deflate::Write(const uchar* data, size_t n) {
  adler_ = Adler32(adler_, data, n);
  while (n > 0) {
    if (end_ == kWindowCapacity) Slide();
    const size_t k = std::min(n, static_cast<size_t>(kWindowCapacity - end_));
    std::memcpy(window_.get() + end_, data, k);
    end_ += static_cast<int>(k);
    data += k;
    n -= k;
    DecideAvailable(kLookahead);
  }
}

void Deflate::FinishZlib() {
  DecideAvailable(0);
  if (pending_.length > 0) block_.AddMatch(pending_.length, pending_.distance);
  pending_ = Match{};
  block_.WriteBlock(true);
  block_.Flush();
  const uchar trailer[4] = {uchar(adler_ >> 24), uchar(adler_ >> 16), uchar(adler_ >> 8),
                            uchar(adler_)};
  block_.PutBytes(trailer, 4);
}

void Deflate::DecideAvailable(int lookahead) {
  while (end_ - position_ > lookahead) {
    if (covered_ > 0) {
      // The positions inside a match are only recorded, in one tight loop.
      const int stop = std::min(position_ + covered_, end_ - lookahead);
      for (int p = position_; p < stop; ++p) {
        if (p - base_ >= kWindowSize) Rebase();
        Insert(p, std::min(kMaxMatch, end_ - p));
      }
      covered_ -= stop - position_;
      position_ = stop;
      continue;
    }
    Decide(position_, std::min(kMaxMatch, end_ - position_));
    ++position_;
  }
}

// Moves the last 32 KB before the next position to the front; the shift is a multiple of
// 32 KB so that the link arrays, indexed by position modulo 32 KB, stay in place. The tables
// hold positions relative to the base, which moves with the bytes.
void Deflate::Slide() {
  const int shift = (position_ - kWindowSize) & ~kWindowMask;
  if (shift <= 0) return;
  std::memmove(window_.get(), window_.get() + shift, static_cast<size_t>(end_ - shift));
  end_ -= shift;
  position_ -= shift;
  base_ -= shift;
}

// Moves the base 32 KB on; positions now out of reach become kNone. Saturating subtractions
// of 32767 and 1 do both at once, eight entries at a time.
void Deflate::Rebase() {
  auto rebase = [](short* first, int count) {
#if defined(__SSE2__)
    const __m128i most = _mm_set1_epi16(32767);
    const __m128i one = _mm_set1_epi16(1);
    for (int i = 0; i < count; i += 8) {
      __m128i* v = reinterpret_cast<__m128i*>(first + i);
      _mm_storeu_si128(v, _mm_subs_epi16(_mm_subs_epi16(_mm_loadu_si128(v), most), one));
    }
#else
    for (int i = 0; i < count; ++i) first[i] = short(std::max(first[i] - kWindowSize, int(Tables::kNone)));
#endif
  };
  rebase(t_->head3, 1 << kHash3Bits);
  rebase(t_->head4, 1 << kHash4Bits);
  rebase(t_->prev4, kWindowSize);
  base_ += kWindowSize;
}

inline void Deflate::Decide(int p, int maxLength) {
  if (p - base_ >= kWindowSize) Rebase();
  if (covered_ > 0) {
    Insert(p, maxLength);
    --covered_;
    return;
  }
  if (pending_.length == 0 && misses_ >= kMissesBeforeSkipping &&
      block_.ShortestWorthwhileMatch() > kMostStride) {
    const int stride = 1 + std::min(kMostStride - 1, (misses_ - kMissesBeforeSkipping) / kSkipGrowth);
    if (++skipped_ < stride) {
      block_.AddLiteral(window_[p]);
      ++misses_;
      return;
    }
    skipped_ = 0;
  }
  const int first = LinkPosition(p, maxLength);
  Match current;
  if (pending_.length < kLazyEnough) {
    const int chain = pending_.length >= kGoodMatch ? kLazyChain : kMaxChain;
    // Only a match longer than the pending one can change what is written, and only one
    // worth looking for is looked for.
    const int floor = std::max(pending_.length, block_.ShortestWorthwhileMatch() - 1);
    current = LongestMatch(p, first, maxLength, chain, floor);
    if (current.length == kMinMatch && current.distance > kFarThreeByteMatch) current = Match{};
    // Pricing is the costlier test: only a match that would replace the pending one needs it.
    if (current.length > pending_.length &&
        !block_.MatchPays(window_.get() + p, current.length, current.distance))
      current = Match{};
  }
  if (pending_.length > 0 && pending_.length >= current.length) {
    block_.AddMatch(pending_.length, pending_.distance);
    covered_ = pending_.length - 2;
    pending_ = Match{};
    return;
  }
  if (current.length == 0) {
    block_.AddLiteral(window_[p]);
    if (pending_.length == 0) ++misses_;
    return;
  }
  misses_ = 0;
  if (pending_.length > 0) block_.AddLiteral(window_[p - 1]);
  pending_ = current;
  if (current.length == maxLength) {
    block_.AddMatch(current.length, current.distance);
    covered_ = current.length - 1;
    pending_ = Match{};
  }
}

// Records p in the hash tables. Answers the first candidate to extend from: the previous
// position with p's 4-byte hash, else the nearest position that agrees with p in 3 bytes
// (negated and less 2, to tell it apart: a 3-byte match), else -1.
inline int Deflate::LinkPosition(int p, int maxLength) {
  Tables& t = *t_;
  const int slot = p & kWindowMask;
  if (maxLength < kMinMatch) {
    t.prev4[slot] = Tables::kNone;
    return -1;
  }
  const uchar* w = window_.get();
  Prefetch(p + 1);
  const int low = p - kWindowSize + 1;
  const short here = short(p - base_);
  int first = -1;
  // Where no 3-byte match can pay, the 3-byte table is left alone; the positions it keeps
  // meanwhile are checked against the bytes before they are used.
  if (block_.ShortestWorthwhileMatch() <= kMinMatch) {
    const uint h3 = Hash3(w + p);
    const int c3 = base_ + t.head3[h3];
    t.head3[h3] = here;
    if (c3 >= low && (Load32(w + c3) & 0xFFFFFF) == (Load32(w + p) & 0xFFFFFF)) first = -2 - c3;
  }
  if (maxLength < 4) {
    t.prev4[slot] = Tables::kNone;
    return first;
  }
  const uint h4 = Hash4(w + p);
  const short c4 = t.head4[h4];
  t.head4[h4] = here;
  t.prev4[slot] = c4;
  const int c = base_ + c4;
  return c >= low && Load32(w + c) == Load32(w + p) ? c : first;
}

// Records a position inside a match, which is never searched from.
inline void Deflate::Insert(int p, int maxLength) {
  Tables& t = *t_;
  const int slot = p & kWindowMask;
  if (maxLength < 4) {
    t.prev4[slot] = Tables::kNone;
    if (maxLength == kMinMatch) t.head3[Hash3(window_.get() + p)] = short(p - base_);
    return;
  }
  // No prefetch here: what is read only feeds a store, which waits for no one.
  const uchar* w = window_.get();
  const short here = short(p - base_);
  if (block_.ShortestWorthwhileMatch() <= kMinMatch) t.head3[Hash3(w + p)] = here;
  const uint h4 = Hash4(w + p);
  t.prev4[slot] = t.head4[h4];
  t.head4[h4] = here;
}

// Brings the table entries of a position about to be recorded into the cache.
inline void Deflate::Prefetch(int p) const {
  const uchar* w = window_.get() + p;
  __builtin_prefetch(&t_->head3[Hash3(w)], 1);
  __builtin_prefetch(&t_->head4[Hash4(w)], 1);
}

// The longest match from p found in chain candidates, if it is longer than floor.
inline Deflate::Match Deflate::LongestMatch(int p, int first, int maxLength, int chain,
                                            int floor) const {
  Match best;
  if (first == -1 || floor >= maxLength) return best;
  if (first < -1) {
    if (floor < kMinMatch) {
      best.length = kMinMatch;
      best.distance = p - (-2 - first);
    }
    return best;
  }
  best.length = floor;
  const uchar* w = window_.get();
  const int low = std::max(p - kWindowSize + 1, 0);
  for (int c = first; c >= low && chain-- > 0; c = base_ + t_->prev4[c & kWindowMask]) {
    // A candidate that differs in the last four bytes of the best so far cannot be longer.
    if (best.length >= 4 && Load32(w + c + best.length - 3) != Load32(w + p + best.length - 3))
      continue;
    const int len = MatchLength(c, p, maxLength);
    if (len > best.length) {
      best.length = len;
      best.distance = p - c;
      if (len >= maxLength || len >= kNiceMatch) break;
    }
  }
  return best.distance > 0 ? best : Match{};
}

inline int Deflate::MatchLength(int a, int b, int maxLength) const {
  const uchar* w = window_.get();
  int len = 0;
  while (len + 8 <= maxLength) {
    const unsigned long long diff = Load64(w + a + len) ^ Load64(w + b + len);
    if (diff) return len + (__builtin_ctzll(diff) >> 3);
    len += 8;
  }
  while (len < maxLength && w[a + len] == w[b + len]) ++len;
  return len;
}
