#include "vorlen/formats/FormatTarget.h"

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"

namespace {

struct FillCase {
  int width;
  int height;
  std::int64_t remaining;
  DataDensity density;
  bool enough;
};

TEST(CheckDataCanFill, RefusesImagesTheirDataCannotDescribe) {
  const FillCase cases[] = {
      {10, 10, 300, {1, 3}, true},          // raw 24-bit, exactly enough
      {10, 10, 299, {1, 3}, false},         // one byte short
      {64, 1, 8, {8, 1}, true},             // 1-bit rows
      {64, 1, 7, {8, 1}, false},
      {23000, 23000, 81, {128, 2}, false},  // a few bytes claiming half a gigapixel
      {0, 23000, 0, {1, 1}, true},          // an empty image needs nothing
      {2147483647, 2147483647, INT64_MAX, {1, 1}, true},  // no overflow at the extremes
      {2147483647, 2147483647, 1LL << 40, {1, 4}, false},
      {5, 5, -1, {1, 1}, false},            // a position past the end
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " from " << c.remaining);
    if (c.enough) {
      EXPECT_NO_THROW(CheckDataCanFill(c.width, c.height, c.remaining, c.density));
    } else {
      EXPECT_THROW(CheckDataCanFill(c.width, c.height, c.remaining, c.density), EInvalidImage);
    }
  }
}

TEST(CheckDataCanFill, CountsTheBytesFromTheStreamPosition) {
  TMemoryStream stream;
  const char bytes[40] = {};
  stream.WriteBuffer(bytes, sizeof bytes);
  stream.SetPosition(10);
  EXPECT_NO_THROW(CheckDataCanFill(10, 3, &stream, {1, 1}));
  EXPECT_THROW(CheckDataCanFill(10, 4, &stream, {1, 1}), EInvalidImage);
}

}  // namespace
