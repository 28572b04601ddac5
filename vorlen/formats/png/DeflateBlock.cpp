#include "vorlen/formats/png/DeflateBlock.h"

#include <algorithm>
#include <cstring>

using namespace flate;

namespace {

constexpr std::array<uchar, 259> MakeLengthCodes() {
  std::array<uchar, 259> t{};
  for (int code = 0; code < 29; ++code) {
    const int last = code == 28 ? 258 : kLengthBase[code] + (1 << kLengthExtra[code]) - 1;
    for (int len = kLengthBase[code]; len <= last && len <= 258; ++len) t[len] = uchar(code);
  }
  t[258] = 28;  // 258 has a code of its own rather than 227 + 31 of code 27
  return t;
}

// Distances 1-256 directly; above that by (distance - 1) >> 7 from entry 256 on.
constexpr std::array<uchar, 512> MakeDistanceCodes() {
  std::array<uchar, 512> t{};
  for (int code = 0; code < 30; ++code) {
    const int first = kDistanceBase[code];
    const int last = first + (1 << kDistanceExtra[code]) - 1;
    for (int d = first; d <= last; ++d) {
      if (d <= 256) t[d - 1] = uchar(code);
      else t[256 + ((d - 1) >> 7)] = uchar(code);
    }
  }
  return t;
}

// Two of length j become one of j - 1 and one of i + 1, and one of length i becomes i + 1,
// applied to the first symbols of those lengths.
void ShortenOnce(uchar* lengths, int n, int j, int i) {
  int movedJ = 0;
  bool movedI = false;
  for (int s = 0; s < n && (movedJ < 2 || !movedI); ++s) {
    if (lengths[s] == j && movedJ < 2) {
      lengths[s] = uchar(movedJ == 0 ? i + 1 : j - 1);
      ++movedJ;
    } else if (lengths[s] == i && !movedI) {
      lengths[s] = uchar(i + 1);
      movedI = true;
    }
  }
}

}  // namespace

const std::array<uchar, 259> DeflateBlock::kLengthCodeOf = MakeLengthCodes();
const std::array<uchar, 512> DeflateBlock::kDistanceCodeOf = MakeDistanceCodes();

void DeflateBuildLengths(const uint* frequencies, int n, int limit, uchar* lengths) {
  constexpr int kMaxSymbols = 320;
  unsigned long long freq[kMaxSymbols];
  int size[kMaxSymbols];
  int others[kMaxSymbols];
  for (int s = 0; s < n; ++s) {
    freq[s] = frequencies[s];
    size[s] = 0;
    others[s] = -1;
  }
  // The two least frequent are taken from a heap rather than found by a scan of all symbols
  // per step; of equal frequencies the higher symbol comes first, as the scan would take it.
  struct Entry {
    unsigned long long freq;
    int symbol;
  };
  auto after = [](const Entry& a, const Entry& b) {
    return a.freq != b.freq ? a.freq > b.freq : a.symbol < b.symbol;
  };
  Entry heap[kMaxSymbols];
  int count = 0;
  for (int s = 0; s < n; ++s)
    if (freq[s] != 0) heap[count++] = Entry{freq[s], s};
  std::make_heap(heap, heap + count, after);
  auto pop = [&] {
    std::pop_heap(heap, heap + count, after);
    return heap[--count].symbol;
  };
  while (count >= 2) {
    int v1 = pop();
    int v2 = pop();
    freq[v1] += freq[v2];
    freq[v2] = 0;
    heap[count++] = Entry{freq[v1], v1};
    std::push_heap(heap, heap + count, after);
    for (++size[v1]; others[v1] >= 0; ++size[v1]) v1 = others[v1];
    others[v1] = v2;
    for (++size[v2]; others[v2] >= 0; ++size[v2]) v2 = others[v2];
  }
  if (count == 1 && size[heap[0].symbol] == 0) size[heap[0].symbol] = 1;

  int maxLength = 0;
  for (int s = 0; s < n; ++s) {
    lengths[s] = uchar(size[s] > 255 ? 255 : size[s]);
    if (size[s] > maxLength) maxLength = size[s];
  }
  int perLength[kMaxSymbols + 1] = {};
  for (int s = 0; s < n; ++s) perLength[size[s]]++;
  for (int j = maxLength; j > limit; --j) {
    while (perLength[j] > 0) {
      int i = j - 2;
      while (perLength[i] == 0) --i;
      perLength[j] -= 2;
      perLength[j - 1]++;
      perLength[i + 1] += 2;
      perLength[i]--;
      ShortenOnce(lengths, n, j, i);
    }
  }
}

DeflateBlock::DeflateBlock(DeflateSink& sink) : sink_(sink) {}

void DeflateBlock::BuildCodes(const uchar* lengths, int n, Code* codes) {
  int perLength[kMaxCodeLength + 1] = {};
  for (int s = 0; s < n; ++s) perLength[lengths[s]]++;
  perLength[0] = 0;
  uint next[kMaxCodeLength + 2] = {};
  for (int len = 1; len <= kMaxCodeLength; ++len) next[len + 1] = (next[len] + perLength[len]) << 1;
  for (int s = 0; s < n; ++s) {
    const int len = lengths[s];
    uint code = len ? next[len]++ : 0;
    uint reversed = 0;
    for (int b = 0; b < len; ++b, code >>= 1) reversed = reversed << 1 | (code & 1);
    codes[s] = Code{ushort(reversed), uchar(len)};
  }
}

void DeflateBlock::WriteBlock(bool final) {
  literalFreq_[kEndOfBlock] = 1;
  uchar lengths[kLiteralCodes + kDistanceCodes];
  DeflateBuildLengths(literalFreq_, kLiteralCodes, kMaxCodeLength, lengths);
  uchar* const distLengths = lengths + kLiteralCodes;
  DeflateBuildLengths(distanceFreq_, kDistanceCodes, kMaxCodeLength, distLengths);
  BuildCodes(lengths, kLiteralCodes, literalCodes_);
  BuildCodes(distLengths, kDistanceCodes, distanceCodes_);

  int hlit = kLiteralCodes;
  while (hlit > 257 && lengths[hlit - 1] == 0) --hlit;
  int hdist = kDistanceCodes;
  while (hdist > 1 && distLengths[hdist - 1] == 0) --hdist;
  // One sequence of lengths, so that a run may cross from the first list into the second.
  uchar all[kLiteralCodes + kDistanceCodes];
  std::memcpy(all, lengths, hlit);
  std::memcpy(all + hlit, distLengths, hdist);

  uint clFreq[kCodeLengthCodes] = {};
  WriteCodeLengths(all, hlit + hdist, nullptr, clFreq);
  uchar clLengths[kCodeLengthCodes];
  DeflateBuildLengths(clFreq, kCodeLengthCodes, 7, clLengths);
  Code clCodes[kCodeLengthCodes];
  BuildCodes(clLengths, kCodeLengthCodes, clCodes);
  int hclen = kCodeLengthCodes;
  while (hclen > 4 && clLengths[kCodeLengthOrder[hclen - 1]] == 0) --hclen;

  PutBits(final ? 1 : 0, 1);
  PutBits(2, 2);
  PutBits(uint(hlit - 257), 5);
  PutBits(uint(hdist - 1), 5);
  PutBits(uint(hclen - 4), 4);
  for (int i = 0; i < hclen; ++i) PutBits(clLengths[kCodeLengthOrder[i]], 3);
  WriteCodeLengths(all, hlit + hdist, clCodes, nullptr);
  WriteSymbols();
  PutCode(literalCodes_[kEndOfBlock]);

  count_ = 0;
  priced_ = true;
  FindShortestWorthwhile();
  std::memset(literalFreq_, 0, sizeof literalFreq_);
  std::memset(distanceFreq_, 0, sizeof distanceFreq_);
}

// Priced as MatchPays does, with every byte at the cheapest literal's price and the cheapest
// distance code.
void DeflateBlock::FindShortestWorthwhile() {
  int cheapestLiteral = 9;
  for (int s = 0; s < 256; ++s) cheapestLiteral = std::min(cheapestLiteral, Bits(literalCodes_[s], 9));
  int cheapestDistance = 7 + kDistanceExtra[0];
  for (int d = 0; d < kDistanceCodes; ++d)
    cheapestDistance = std::min(cheapestDistance, Bits(distanceCodes_[d], 7) + int(kDistanceExtra[d]));
  shortestWorthwhile_ = kAlwaysPays;
  for (uint length = kMinMatch; length < kAlwaysPays; ++length) {
    const int lengthCode = LengthCode(length);
    const int match = Bits(literalCodes_[257 + lengthCode], 9) + kLengthExtra[lengthCode] + cheapestDistance;
    if (match + kMargin < int(length) * cheapestLiteral) {
      shortestWorthwhile_ = int(length);
      return;
    }
  }
}

// Cuts the lengths into runs and codes them with 16 (repeat), 17 and 18 (zeros). Without
// codes it only counts the code-length symbols.
void DeflateBlock::WriteCodeLengths(const uchar* lengths, int total, const Code* clCodes,
                                    uint* clFreq) {
  auto emit = [&](int symbol, uint extra, int extraBits) {
    if (clCodes) {
      PutCode(clCodes[symbol]);
      if (extraBits) PutBits(extra, extraBits);
    } else {
      clFreq[symbol]++;
    }
  };
  for (int i = 0; i < total;) {
    const int v = lengths[i];
    int n = 1;
    while (i + n < total && lengths[i + n] == v) ++n;
    i += n;
    if (v != 0) {
      emit(v, 0, 0);
      int rest = n - 1;
      for (; rest > 5; rest -= 6) emit(16, 3, 2);
      if (rest < 3) {
        for (; rest > 0; --rest) emit(v, 0, 0);
      } else {
        emit(16, uint(rest - 3), 2);
      }
      continue;
    }
    for (; n > 137; n -= 138) emit(18, 127, 7);
    if (n < 3) {
      for (; n > 0; --n) emit(0, 0, 0);
    } else if (n <= 10) {
      emit(17, uint(n - 3), 3);
    } else {
      emit(18, uint(n - 11), 7);
    }
  }
}

void DeflateBlock::WriteSymbols() {
  for (int i = 0; i < count_; ++i) {
    const uint v = pending_[i];
    if (v < 256) {
      PutCode(literalCodes_[v]);
      continue;
    }
    const uint length = v - 256;
    const uint distance = pending_[++i];
    const int lc = LengthCode(length);
    PutCode(literalCodes_[257 + lc]);
    if (kLengthExtra[lc]) PutBits(length - kLengthBase[lc], kLengthExtra[lc]);
    const int dc = DistanceCode(distance);
    PutCode(distanceCodes_[dc]);
    if (kDistanceExtra[dc]) PutBits(distance - kDistanceBase[dc], kDistanceExtra[dc]);
  }
}

void DeflateBlock::SpillWord() {
  const uint word = static_cast<uint>(acc_);
  std::memcpy(output_ + fill_, &word, 4);  // little-endian host
  fill_ += 4;
  acc_ >>= 32;
  bitCount_ -= 32;
  if (fill_ >= kOutputSize) FlushOutput();
}

void DeflateBlock::FlushOutput() {
  if (fill_ > 0) sink_.Put(output_, fill_);
  fill_ = 0;
}

void DeflateBlock::Flush() {
  while (bitCount_ > 0) {
    output_[fill_++] = uchar(acc_);
    acc_ >>= 8;
    bitCount_ -= 8;
    if (fill_ >= kOutputSize) FlushOutput();
  }
  acc_ = 0;
  bitCount_ = 0;
  FlushOutput();
}

void DeflateBlock::PutBytes(const uchar* data, size_t n) {
  FlushOutput();
  if (n) sink_.Put(data, n);
}
