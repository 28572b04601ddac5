#include "platform/gdi/DibRle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Moves right that go on past the row's end, for longer than an int can count, must leave
// the pen at the edge: the end of line after them starts the next row at its left, and
// nothing lands outside the canvas.
TEST(DibRle, MovesPastTheRowStopAtItsEdgeHoweverLongTheyGoOn) {
  const size_t moves = (size_t(1) << 31) / 255 + 8;
  std::vector<std::uint8_t> data;
  data.reserve(moves * 4 + 6);
  for (size_t i = 0; i < moves; ++i) data.insert(data.end(), {0, 2, 255, 0});
  data.insert(data.end(), {0, 0, 2, 0x57, 0, 1});  // end of line; a run of two on the top row
  for (bool nibbles : {false, true}) {
    std::vector<std::uint8_t> canvas(3 * 2, 9);
    (nibbles ? DecodeRle4 : DecodeRle8)(data.data(), data.size(), canvas.data(), 3, 2);
    const std::vector<std::uint8_t> expected =
        nibbles ? std::vector<std::uint8_t>{9, 9, 9, 5, 7, 9} : std::vector<std::uint8_t>{9, 9, 9, 0x57, 0x57, 9};
    EXPECT_EQ(canvas, expected) << (nibbles ? "RLE4" : "RLE8");
  }
}

}  // namespace
