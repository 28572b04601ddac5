#pragma once
// The library's scalar types and its shared geometry records.

#include <cstdint>

using uint = std::uint32_t;
using ushort = std::uint16_t;
using uchar = std::uint8_t;

// An inclusive integer rectangle; the empty rectangle is (0, 0, -1, -1).
struct Rect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;

  constexpr Rect() = default;
  constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

  constexpr int Width() const { return right - left + 1; }
  constexpr int Height() const { return bottom - top + 1; }
  constexpr bool Empty() const { return right < left || bottom < top; }
  constexpr bool operator==(const Rect&) const = default;
};

// A point, size or vector.
template <class T>
struct Pair {
  T x{};
  T y{};

  constexpr Pair() = default;
  constexpr Pair(T px, T py) : x(px), y(py) {}
  constexpr bool operator==(const Pair&) const = default;
};

// The largest part of two rectangles that lies in both; possibly empty.
constexpr Rect Intersect(const Rect& a, const Rect& b) {
  return Rect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
}
