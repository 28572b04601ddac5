// MulDiv, the Windows arithmetic helper the dialog units, toolbars and captions share.

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/WinDefs.h"

namespace {

static_assert(MulDiv(3, 4, 2) == 6);  // usable in constant expressions

TEST(MulDiv, RoundsHalvesAwayFromZeroWithA64BitProduct) {
  struct Case {
    int a, b, c;
    int result;
  };
  const Case cases[] = {
      {32, 10, 100, 3},
      {29, 50, 100, 15},     // 14.5
      {-29, 50, 100, -15},   // -14.5
      {29, 50, -100, -15},   // a negative divisor the same
      {-29, 50, -100, 15},
      {199, 10, 20, 100},    // 99.5
      {1, 1, 3, 0},          // 0.33
      {2, 1, 3, 1},          // 0.67
      {0, 7, 5, 0},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},       // the product needs 64 bits
      {100000, 100000, 1000, 10000000},
      {INT_MIN, 1, 1, INT_MIN},
      {1, 1, 0, -1},                               // no divisor
      {INT_MAX, 2, 1, -1},                         // the result does not fit
      {INT_MIN, -1, 1, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << " * " << c.b << " / " << c.c;
}

}  // namespace
