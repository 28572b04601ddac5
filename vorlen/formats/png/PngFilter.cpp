#include "vorlen/formats/png/PngFilter.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace png;

namespace {

uchar Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return uchar(a);
  return pb <= pc ? uchar(b) : uchar(c);
}

struct Spread {
  long long sum = 0;
  long long squares = 0;
  int zeros = 0;

  void Add(uchar difference) {
    const int v = static_cast<signed char>(difference);
    sum += v;
    squares += v * v;
    zeros += v == 0;
  }
  int Deviation(int length) const {
    const double mean = double(sum) / length;
    return static_cast<int>(std::sqrt((double(squares) - double(sum) * mean + 0.01) / length) + 0.5);
  }
};

}  // namespace

void PngUnfilter(int type, uchar* row, const uchar* previous, int n, int length) {
  switch (type) {
    case kFilterSub:
      for (int i = n; i < length; ++i) row[i] = uchar(row[i] + row[i - n]);
      break;
    case kFilterUp:
      for (int i = 0; i < length; ++i) row[i] = uchar(row[i] + previous[i]);
      break;
    case kFilterAverage:
      for (int i = 0; i < n && i < length; ++i) row[i] = uchar(row[i] + (previous[i] >> 1));
      for (int i = n; i < length; ++i) row[i] = uchar(row[i] + ((row[i - n] + previous[i]) >> 1));
      break;
    case kFilterPaeth:
      for (int i = 0; i < n && i < length; ++i) row[i] = uchar(row[i] + previous[i]);
      for (int i = n; i < length; ++i)
        row[i] = uchar(row[i] + Paeth(row[i - n], previous[i], previous[i - n]));
      break;
    default:
      break;
  }
}

int PNGChooseFilter(const uchar* row, const uchar* previous, int n, int length) {
  if (n == 1 || length == 0) return kFilterNone;
  Spread none, sub, up;
  for (int i = 0; i < length; ++i) {
    none.Add(row[i]);
    sub.Add(i < n ? row[i] : uchar(row[i] - row[i - n]));
    up.Add(uchar(row[i] - previous[i]));
  }
  const Spread* candidates[3] = {&none, &sub, &up};
  int best = 0;
  int bestDeviation = none.Deviation(length);
  for (int f = 1; f < 3; ++f) {
    const int d = candidates[f]->Deviation(length);
    if (d < bestDeviation || (d == bestDeviation && candidates[f]->zeros > candidates[best]->zeros)) {
      best = f;
      bestDeviation = d;
    }
  }
  return best;
}

void PngApplyFilter(int type, const uchar* row, const uchar* previous, int n, int length,
                    uchar* out) {
  switch (type) {
    case kFilterSub:
      std::memcpy(out, row, static_cast<size_t>(n < length ? n : length));
      for (int i = n; i < length; ++i) out[i] = uchar(row[i] - row[i - n]);
      break;
    case kFilterUp:
      for (int i = 0; i < length; ++i) out[i] = uchar(row[i] - previous[i]);
      break;
    default:
      std::memcpy(out, row, static_cast<size_t>(length));
      break;
  }
}
