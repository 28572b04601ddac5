#pragma once
// Smallest, largest and exchange of numbers; the array forms want a non-empty array and
// answer its first extreme element.

#include <cstdint>
#include <span>
#include <utility>

#include "platform/rtl/DateTime.h"

inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
inline void SwapInt(int& a, int& b) { std::swap(a, b); }
inline void SwapLong(long& a, long& b) { std::swap(a, b); }
inline void SwapInt64(std::int64_t& a, std::int64_t& b) { std::swap(a, b); }

namespace MaxMinDetail {
template <class T, class Better>
T Extreme(std::span<const T> values, Better better) {
  T best = values.front();
  for (const T& v : values.subspan(1))
    if (better(v, best)) best = v;
  return best;
}
}  // namespace MaxMinDetail

inline int MaxInteger(std::span<const int> v) { return MaxMinDetail::Extreme(v, [](int a, int b) { return a > b; }); }
inline int MinInteger(std::span<const int> v) { return MaxMinDetail::Extreme(v, [](int a, int b) { return a < b; }); }
inline std::int64_t MaxInt64(std::span<const std::int64_t> v) {
  return MaxMinDetail::Extreme(v, [](std::int64_t a, std::int64_t b) { return a > b; });
}
inline std::int64_t MinInt64(std::span<const std::int64_t> v) {
  return MaxMinDetail::Extreme(v, [](std::int64_t a, std::int64_t b) { return a < b; });
}
inline double MaxFloat(std::span<const double> v) { return MaxMinDetail::Extreme(v, [](double a, double b) { return a > b; }); }
inline double MinFloat(std::span<const double> v) { return MaxMinDetail::Extreme(v, [](double a, double b) { return a < b; }); }
inline TDateTime MaxDateTime(std::span<const TDateTime> v) { return MaxFloat(v); }
inline TDateTime MinDateTime(std::span<const TDateTime> v) { return MinFloat(v); }
