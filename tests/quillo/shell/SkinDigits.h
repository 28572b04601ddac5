#pragma once
// Reads a skin header's digit the way the program does: five pixels of the 3 x 5 digit at
// column x, each compared with the paper colour (true = paper).

#include <functional>

// isPaper(x, y) answers whether the header pixel (x, y) has the paper colour.
inline int ReadSkinDigit(const std::function<bool(int, int)>& isPaper, int x) {
  const bool a = isPaper(x, 1);
  const bool b = isPaper(x + 1, 2);
  const bool c = isPaper(x + 1, 0);
  const bool d = isPaper(x, 3);
  const bool e = isPaper(x + 2, 1);
  if (a) return b ? (c ? 1 : 7) : (d ? 3 : 2);
  if (e) return d ? 5 : 6;
  if (d) return c ? 4 : 9;
  return b ? 0 : 8;
}

// The six header numbers: rows and icon width and height of both strips.
inline void ReadSkinHeader(const std::function<bool(int, int)>& isPaper, int numbers[6]) {
  for (int i = 0; i < 6; ++i)
    numbers[i] = 10 * ReadSkinDigit(isPaper, 12 * i) + ReadSkinDigit(isPaper, 12 * i + 4);
}
