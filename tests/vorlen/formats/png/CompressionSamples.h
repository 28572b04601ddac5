#pragma once
// Sample inputs for the compression tests and the zlib reference calls they are checked
// against.

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "vorlen/formats/png/Checksum.h"
#include "vorlen/formats/png/Deflate.h"
#include "vorlen/formats/png/Inflate.h"

namespace samples {

using Bytes = std::vector<unsigned char>;

struct Sample {
  const char* name;
  Bytes bytes;
};

inline uint32_t Lcg(uint32_t& s) { return s = s * 1664525u + 1013904223u; }

inline Bytes Noise(size_t n, uint32_t seed = 1) {
  Bytes b(n);
  for (auto& c : b) c = static_cast<unsigned char>(Lcg(seed) >> 24);
  return b;
}

inline Bytes Text(size_t n, uint32_t seed = 7) {
  static const char* words[] = {"the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ",
                                "dog ", "paint ", "image ", "layer ", "brush ", "colour ",
                                "pixel ", "\n", "filter ", "undo ", "palette "};
  Bytes b;
  while (b.size() < n) {
    const char* w = words[(Lcg(seed) >> 16) % 18];
    b.insert(b.end(), w, w + std::char_traits<char>::length(w));
  }
  b.resize(n);
  return b;
}

// Rows of a smooth picture with a little noise, as filtered PNG data looks.
inline Bytes Photo(size_t n, uint32_t seed = 3) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t x = i % 3000, y = i / 3000;
    const int v = static_cast<int>((x * 7 + y * 3) / 40 + ((Lcg(seed) >> 29)));
    b[i] = static_cast<unsigned char>(v);
  }
  return b;
}

// Rows of a screen picture after the PNG filter: flat stretches (runs of zeros), and rows that
// repeat the one above but for a few bytes, so long matches one row back.
inline Bytes ScreenRows(size_t n, uint32_t seed = 13) {
  constexpr size_t kRow = 2400;
  Bytes b;
  Bytes row(kRow, 0);
  while (b.size() < n) {
    if (Lcg(seed) % 8 == 0)
      for (size_t i = 0; i < kRow; i += 1 + Lcg(seed) % 200) row[i] = static_cast<unsigned char>(Lcg(seed) >> 24);
    for (int k = 0; k < 3; ++k) row[Lcg(seed) % kRow] ^= 0x20;
    b.insert(b.end(), row.begin(), row.end());
  }
  b.resize(n);
  return b;
}

inline Bytes Runs(size_t n) {
  Bytes b;
  uint32_t s = 11;
  while (b.size() < n) b.insert(b.end(), 1 + (Lcg(s) >> 22), static_cast<unsigned char>(Lcg(s) >> 28));
  b.resize(n);
  return b;
}

inline Bytes ZlibCompress(const Bytes& in, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy) != Z_OK) throw std::runtime_error("zlib");
  Bytes out(deflateBound(&z, in.size()) + 64);
  z.next_in = const_cast<unsigned char*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("zlib deflate");
  return out;
}

// Inflates with zlib; answers false when zlib refuses the stream.
inline bool ZlibInflate(const Bytes& in, Bytes& out, size_t expected) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  out.assign(expected + 16, 0);
  z.next_in = const_cast<unsigned char*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
  inflateEnd(&z);
  return whole;
}

struct VectorSink : DeflateSink {
  Bytes bytes;
  void Put(const uchar* data, size_t n) override { bytes.insert(bytes.end(), data, data + n); }
};

inline Bytes OurCompress(const Bytes& in, size_t piece = SIZE_MAX) {
  VectorSink sink;
  Deflate d(sink);
  d.WriteZlibHeader();
  for (size_t i = 0; i < in.size(); i += piece) d.Write(in.data() + i, std::min(piece, in.size() - i));
  d.FinishZlib();
  return sink.bytes;
}

// Hands the input out in pieces of a few bytes, so that every piece boundary is crossed.
struct PieceSource : InflateSource {
  const unsigned char* data;
  size_t size;
  size_t piece;
  size_t at = 0;
  PieceSource(const Bytes& b, size_t p) : data(b.data()), size(b.size()), piece(p) {}
  size_t Pull(const uchar*& out) override {
    const size_t n = std::min(piece, size - at);
    out = data + at;
    at += n;
    return n;
  }
};

inline Bytes OurInflate(const Bytes& in, size_t piece = SIZE_MAX) {
  PieceSource src(in, piece);
  Inflate inf(src);
  inf.ReadZlibHeader();
  Bytes out;
  unsigned char buf[7919];
  for (;;) {
    const size_t n = inf.Read(buf, sizeof buf);
    out.insert(out.end(), buf, buf + n);
    if (n < sizeof buf) break;
  }
  inf.FinishZlib();
  return out;
}

}  // namespace samples
