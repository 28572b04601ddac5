#include "vorlen/formats/png/Deflate.h"

#include <algorithm>
#include <cstring>

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
// Search effort: candidates tried per position, fewer once the pending match is good; a
// match this long ends the search, and one this long is not second-guessed at the next byte.
constexpr int kMaxChain = 128;
constexpr int kGoodMatch = 8;
constexpr int kNiceMatch = 128;
constexpr int kLazyEnough = 32;

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

// Positions are window offsets; -1 (or anything below the window's reach) means none.
struct Deflate::Tables {
  int head3[1 << kHash3Bits];  // the latest position of each 3-byte hash
  int head4[1 << kHash4Bits];  // the latest position of each 4-byte hash
  int prev4[kWindowSize];      // the position before it with the same 4-byte hash
};

Deflate::Deflate(DeflateSink& sink)
    : block_(sink), t_(new Tables), window_(new uchar[kWindowCapacity + kReadSlack]()) {
  std::fill(std::begin(t_->head3), std::end(t_->head3), -1);
  std::fill(std::begin(t_->head4), std::end(t_->head4), -1);
  std::fill(std::begin(t_->prev4), std::end(t_->prev4), -1);
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
    Decide(position_, std::min(kMaxMatch, end_ - position_));
    ++position_;
  }
}

// Moves the last 32 KB before the next position to the front; the shift is a multiple of
// 32 KB so that the link arrays, indexed by position modulo 32 KB, stay in place.
void Deflate::Slide() {
  const int shift = (position_ - kWindowSize) & ~kWindowMask;
  if (shift <= 0) return;
  std::memmove(window_.get(), window_.get() + shift, static_cast<size_t>(end_ - shift));
  end_ -= shift;
  position_ -= shift;
  auto rebase = [shift](int* first, int count) {
    for (int i = 0; i < count; ++i) first[i] = std::max(first[i] - shift, -1);
  };
  rebase(t_->head3, 1 << kHash3Bits);
  rebase(t_->head4, 1 << kHash4Bits);
  rebase(t_->prev4, kWindowSize);
}

void Deflate::Decide(int p, int maxLength) {
  const int first = LinkPosition(p, maxLength);
  if (covered_ > 0) {
    --covered_;
    return;
  }
  Match current;
  if (pending_.length < kLazyEnough) {
    const int chain = pending_.length >= kGoodMatch ? kMaxChain / 4 : kMaxChain;
    current = LongestMatch(p, first, maxLength, chain);
    if (current.length == kMinMatch && current.distance > kFarThreeByteMatch) current = Match{};
    if (current.length > 0 && !block_.MatchPays(window_.get() + p, current.length, current.distance))
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
    return;
  }
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
int Deflate::LinkPosition(int p, int maxLength) {
  Tables& t = *t_;
  const int slot = p & kWindowMask;
  if (maxLength < kMinMatch) {
    t.prev4[slot] = -1;
    return -1;
  }
  const uchar* w = window_.get();
  const int low = p - kWindowSize + 1;
  const uint h3 = Hash3(w + p);
  const int c3 = t.head3[h3];
  t.head3[h3] = p;
  int first = -1;
  if (c3 >= low && c3 >= 0 && (Load32(w + c3) & 0xFFFFFF) == (Load32(w + p) & 0xFFFFFF))
    first = -2 - c3;
  if (maxLength < 4) {
    t.prev4[slot] = -1;
    return first;
  }
  const uint h4 = Hash4(w + p);
  const int c4 = t.head4[h4];
  t.head4[h4] = p;
  t.prev4[slot] = c4;
  return c4 >= low && c4 >= 0 && Load32(w + c4) == Load32(w + p) ? c4 : first;
}

Deflate::Match Deflate::LongestMatch(int p, int first, int maxLength, int chain) const {
  Match best;
  if (first == -1) return best;
  if (first < -1) {
    best.length = kMinMatch;
    best.distance = p - (-2 - first);
    return best;
  }
  const uchar* w = window_.get();
  const int low = std::max(p - kWindowSize + 1, 0);
  for (int c = first; c >= low && chain-- > 0; c = t_->prev4[c & kWindowMask]) {
    if (w[c + best.length] != w[p + best.length]) continue;  // cannot be longer
    const int len = MatchLength(c, p, maxLength);
    if (len > best.length) {
      best.length = len;
      best.distance = p - c;
      if (len >= maxLength || len >= kNiceMatch) break;
    }
  }
  return best;
}

int Deflate::MatchLength(int a, int b, int maxLength) const {
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
