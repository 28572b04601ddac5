// Run-length encoded rows of 8- and 4-bit bitmaps: the decoder and the two row encoders.

#include <algorithm>

#include "vorlen/formats/StreamBuf.h"
#include "vorlen/formats/bmp/BmpFile.h"

namespace bmp {

namespace {

// Where decoded pixels go: file rows count from the bottom; pixels outside the decoded
// area are dropped.
class RleTarget {
public:
  RleTarget(Buffer& dst, const Header& h)
      : dst_(dst), table_(h.table.data()), height_(static_cast<int>(h.height)),
        columns_(dst.pixels == nullptr ? 0 : std::min<long long>(dst.rect.right + 1, h.width)),
        rows_(dst.pixels == nullptr ? 0 : std::min(dst.rect.bottom + 1, height_)) {
    if (dst.rect.left > 0 || dst.rect.top > 0) columns_ = rows_ = 0;
  }

  void Put(uchar index) {
    const int row = height_ - 1 - y;
    if (x >= 0 && x < columns_ && row >= 0 && row < rows_) *(dst_.At(static_cast<int>(x), row)) = table_[index];
    ++x;
  }
  bool Finished() const { return y >= height_; }
  int RowsDone() const { return std::min(y, rows_); }
  int Rows() const { return rows_; }

  long long x = 0;
  int y = 0;

private:
  Buffer& dst_;
  const uint* table_;
  int height_;
  long long columns_;
  int rows_;
};

bool EndOfLine(RleTarget& t) {
  t.x = 0;
  ++t.y;
  return t.Rows() == 0 || GFXFile::Step(t.RowsDone() * 100 / t.Rows());
}

void Literal(StreamBuf& in, RleTarget& t, int n, bool nibbles) {
  const int bytes = nibbles ? (n + 1) / 2 : n;
  for (int i = 0; i < bytes; ++i) {
    const uchar b = in.Get();
    if (nibbles) {
      t.Put(b >> 4);
      if (2 * i + 1 < n) t.Put(b & 15);
    } else {
      t.Put(b);
    }
  }
  if (bytes & 1) in.Get();  // literals are padded to an even number of bytes
}

}  // namespace

bool DecodeRle(Buffer& dst, const Header& h, TStream* pixels) {
  const bool nibbles = h.compression == kRle4;
  StreamBuf in(pixels, StreamBuf::kDefaultSize);
  RleTarget t(dst, h);
  while (!t.Finished()) {
    const int n = in.Get();
    const uchar value = in.Get();
    if (n > 0) {
      for (int i = 0; i < n; ++i) t.Put(nibbles ? (i & 1 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {
      if (!EndOfLine(t)) return false;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      const int right = in.Get();
      const int up = in.Get();
      t.x += right;
      t.y += up;  // a move past the last row ends the bitmap
    } else {
      Literal(in, t, value, nibbles);
    }
  }
  return true;
}

}  // namespace bmp

namespace {

class RleWriter {
public:
  explicit RleWriter(uchar* out) : start_(out), o_(out) {}
  void Pair(int a, int b) {
    *o_++ = static_cast<uchar>(a);
    *o_++ = static_cast<uchar>(b);
  }
  void Byte(int a) { *o_++ = static_cast<uchar>(a); }
  int Written() const { return static_cast<int>(o_ - start_); }

private:
  uchar* start_;
  uchar* o_;
};

void FlushLiteral8(RleWriter& w, const uchar* literal, int& n) {
  if (n >= 3) {
    w.Pair(0, n);
    for (int i = 0; i < n; ++i) w.Byte(literal[i]);
    if (n & 1) w.Byte(0);
  } else {
    for (int i = 0; i < n; ++i) w.Pair(1, literal[i]);
  }
  n = 0;
}

void FlushLiteral4(RleWriter& w, const uchar* literal, int& n) {
  if (n >= 3) {
    w.Pair(0, n);
    const int bytes = (n + 3) / 4 * 2;
    for (int i = 0; i < bytes; ++i) {
      const int hi = 2 * i < n ? literal[2 * i] & 15 : 0;
      const int lo = 2 * i + 1 < n ? literal[2 * i + 1] & 15 : 0;
      w.Byte(hi << 4 | lo);
    }
  } else if (n == 2) {
    w.Pair(2, (literal[0] & 15) << 4 | (literal[1] & 15));
  } else if (n == 1) {
    w.Pair(1, (literal[0] & 15) << 4);
  }
  n = 0;
}

// Pixels from i on that repeat the pair at i (an odd last pixel counts when it matches
// the first of the pair), at most 255.
int PairRun(const uchar* row, int i, int count) {
  if (i + 1 >= count) return 1;
  int run = 2;
  while (run < 255 && i + run < count) {
    if (row[i + run] != row[i]) break;
    if (i + run + 1 < count) {
      if (run + 2 > 255 || row[i + run + 1] != row[i + 1]) {
        ++run;
        break;
      }
      run += 2;
    } else {
      ++run;
    }
  }
  return run;
}

}  // namespace

int BMPEncodeRLE8(const uchar* row, uchar* out, int count) {
  RleWriter w(out);
  const uchar* literal = row;
  int pending = 0;
  for (int i = 0; i < count;) {
    int run = 1;
    while (run < 255 && i + run < count && row[i + run] == row[i]) ++run;
    if (run >= 2) {
      FlushLiteral8(w, literal, pending);
      w.Pair(run, row[i]);
      i += run;
      continue;
    }
    if (pending == 0) literal = row + i;
    ++pending;
    ++i;
    if (pending == 255) FlushLiteral8(w, literal, pending);
  }
  FlushLiteral8(w, literal, pending);
  w.Pair(0, 0);
  return w.Written();
}

int BMPEncodeRLE4(const uchar* row, uchar* out, int count) {
  RleWriter w(out);
  const uchar* literal = row;
  int pending = 0;
  for (int i = 0; i < count;) {
    const int run = PairRun(row, i, count);
    if (run >= 4) {
      FlushLiteral4(w, literal, pending);
      const int second = run > 1 ? row[i + 1] & 15 : 0;
      w.Pair(run, (row[i] & 15) << 4 | second);
      i += run;
      continue;
    }
    if (pending == 0) literal = row + i;
    ++pending;
    ++i;
    if (pending == 255) FlushLiteral4(w, literal, pending);
  }
  FlushLiteral4(w, literal, pending);
  w.Pair(0, 0);
  return w.Written();
}
