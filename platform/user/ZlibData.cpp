// Stored deflate blocks out; every deflate block kind in, as RFC 1950 and 1951 define them.

#include "platform/user/ZlibData.h"

#include <algorithm>
#include <array>

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, size_t size) {
  std::uint32_t a = 1, b = 0;
  while (size > 0) {
    const size_t run = size < 5552 ? size : 5552;  // the longest run without overflow
    for (size_t i = 0; i < run; ++i) {
      a += data[i];
      b += a;
    }
    a %= 65521;
    b %= 65521;
    data += run;
    size -= run;
  }
  return b << 16 | a;
}

std::vector<std::uint8_t> StoredZlibStream(const std::uint8_t* data, size_t size) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  size_t done = 0;
  do {
    const size_t n = size - done < 65535 ? size - done : 65535;
    out.push_back(done + n == size ? 1 : 0);  // BFINAL on the last block, BTYPE 00
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), data + done, data + done + n);
    done += n;
  } while (done < size);
  const std::uint32_t adler = Adler32(data, size);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
  return out;
}

namespace {

class BitReader {
public:
  BitReader(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
  // False once the stream has run out.
  bool Bits(int count, std::uint32_t& out) {
    while (have_ < count) {
      if (pos_ >= size_) return false;
      buffer_ |= std::uint32_t(data_[pos_++]) << have_;
      have_ += 8;
    }
    out = buffer_ & ((std::uint32_t(1) << count) - 1);
    buffer_ >>= count;
    have_ -= count;
    return true;
  }
  void AlignToByte() {
    buffer_ = 0;
    have_ = 0;
  }
  size_t Position() const { return pos_; }
  void Skip(size_t n) { pos_ += n; }
  size_t Remaining() const { return size_ - pos_; }
  const std::uint8_t* Here() const { return data_ + pos_; }

private:
  const std::uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  std::uint32_t buffer_ = 0;
  int have_ = 0;
};

// A canonical Huffman code: how many codes of each length, and the symbols in code order.
struct Huffman {
  std::array<std::uint16_t, 16> counts{};
  std::array<std::uint16_t, 288> symbols{};
  // False for lengths that over-subscribe the code; an incomplete code is allowed only
  // where deflate allows it (a single distance code), and decoding then fails on its gaps.
  bool Build(const std::uint8_t* lengths, int n) {
    counts.fill(0);
    for (int i = 0; i < n; ++i) ++counts[lengths[i]];
    counts[0] = 0;
    int left = 1;
    for (int len = 1; len < 16; ++len) {
      left = left * 2 - counts[len];
      if (left < 0) return false;
    }
    std::array<std::uint16_t, 16> offsets{};
    for (int len = 1; len < 15; ++len) offsets[len + 1] = offsets[len] + counts[len];
    for (int i = 0; i < n; ++i)
      if (lengths[i]) symbols[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
    return true;
  }
  bool Decode(BitReader& in, int& symbol) const {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
      std::uint32_t bit;
      if (!in.Bits(1, bit)) return false;
      code |= static_cast<int>(bit);
      const int count = counts[len];
      if (code - first < count) {
        symbol = symbols[index + code - first];
        return true;
      }
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return false;
  }
};

constexpr std::uint16_t kLengthBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129,
                                         193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097,
                                         6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
public:
  Inflater(BitReader& in, size_t limit, std::vector<std::uint8_t>& out) : in_(in), limit_(limit), out_(out) {}

  bool Run() {
    std::uint32_t last = 0, type = 0;
    do {
      if (!in_.Bits(1, last) || !in_.Bits(2, type)) return false;
      bool ok = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 ? Dynamic() : false;
      if (!ok) return false;
    } while (!last);
    return true;
  }

private:
  bool Stored() {
    in_.AlignToByte();
    if (in_.Remaining() < 4) return false;
    const std::uint8_t* p = in_.Here();
    const size_t len = p[0] | p[1] << 8, nlen = p[2] | p[3] << 8;
    if (len != (~nlen & 0xFFFF)) return false;
    in_.Skip(4);
    if (in_.Remaining() < len || out_.size() + len > limit_) return false;
    out_.insert(out_.end(), in_.Here(), in_.Here() + len);
    in_.Skip(len);
    return true;
  }

  bool Fixed() {
    std::uint8_t lengths[288 + 30];
    for (int i = 0; i < 144; ++i) lengths[i] = 8;
    for (int i = 144; i < 256; ++i) lengths[i] = 9;
    for (int i = 256; i < 280; ++i) lengths[i] = 7;
    for (int i = 280; i < 288; ++i) lengths[i] = 8;
    for (int i = 0; i < 30; ++i) lengths[288 + i] = 5;
    Huffman lit, dist;
    lit.Build(lengths, 288);
    dist.Build(lengths + 288, 30);
    return Codes(lit, dist);
  }

  bool Dynamic() {
    std::uint32_t hlit, hdist, hclen;
    if (!in_.Bits(5, hlit) || !in_.Bits(5, hdist) || !in_.Bits(4, hclen)) return false;
    hlit += 257;
    hdist += 1;
    hclen += 4;
    if (hlit > 286 || hdist > 30) return false;
    static constexpr std::uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    std::uint8_t codeLengths[19] = {};
    for (std::uint32_t i = 0; i < hclen; ++i) {
      std::uint32_t v;
      if (!in_.Bits(3, v)) return false;
      codeLengths[order[i]] = static_cast<std::uint8_t>(v);
    }
    Huffman lengthCode;
    if (!lengthCode.Build(codeLengths, 19)) return false;
    std::uint8_t lengths[286 + 30] = {};
    std::uint32_t n = 0;
    while (n < hlit + hdist) {
      int symbol;
      if (!lengthCode.Decode(in_, symbol)) return false;
      if (symbol < 16) {
        lengths[n++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint32_t repeat, extra;
      std::uint8_t value = 0;
      if (symbol == 16) {
        if (n == 0 || !in_.Bits(2, extra)) return false;
        value = lengths[n - 1];
        repeat = 3 + extra;
      } else if (symbol == 17) {
        if (!in_.Bits(3, extra)) return false;
        repeat = 3 + extra;
      } else {
        if (!in_.Bits(7, extra)) return false;
        repeat = 11 + extra;
      }
      if (n + repeat > hlit + hdist) return false;
      while (repeat--) lengths[n++] = value;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code
    Huffman lit, dist;
    if (!lit.Build(lengths, static_cast<int>(hlit)) || !dist.Build(lengths + hlit, static_cast<int>(hdist))) return false;
    return Codes(lit, dist);
  }

  bool Codes(const Huffman& lit, const Huffman& dist) {
    for (;;) {
      int symbol;
      if (!lit.Decode(in_, symbol)) return false;
      if (symbol < 256) {
        if (out_.size() >= limit_) return false;
        out_.push_back(static_cast<std::uint8_t>(symbol));
        continue;
      }
      if (symbol == 256) return true;
      symbol -= 257;
      if (symbol >= 29) return false;
      std::uint32_t extra;
      if (!in_.Bits(kLengthExtra[symbol], extra)) return false;
      const size_t length = kLengthBase[symbol] + extra;
      int d;
      if (!dist.Decode(in_, d) || d >= 30) return false;
      if (!in_.Bits(kDistExtra[d], extra)) return false;
      const size_t distance = kDistBase[d] + extra;
      if (distance > out_.size() || out_.size() + length > limit_) return false;
      const size_t from = out_.size() - distance;
      for (size_t i = 0; i < length; ++i) out_.push_back(out_[from + i]);
    }
  }

  BitReader& in_;
  size_t limit_;
  std::vector<std::uint8_t>& out_;
};

}  // namespace

bool InflateZlibStream(const std::uint8_t* data, size_t size, size_t expectedSize, std::vector<std::uint8_t>& out) {
  out.clear();
  if (!data || size < 6) return false;
  const unsigned cmf = data[0], flg = data[1];
  if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20)) return false;
  // Deflate cannot expand data more than about 1032 times: a header that claims more is
  // not believed before the data show it.
  out.reserve(std::min<size_t>(expectedSize, size * 1032));
  BitReader in(data + 2, size - 2);
  Inflater inflater(in, expectedSize, out);
  if (!inflater.Run() || out.size() != expectedSize) return false;
  const size_t end = 2 + in.Position();
  if (size - end < 4) return false;
  const std::uint32_t stored = std::uint32_t(data[end]) << 24 | std::uint32_t(data[end + 1]) << 16 |
                               std::uint32_t(data[end + 2]) << 8 | data[end + 3];
  return stored == Adler32(out.data(), out.size());
}
