#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bits.h"

namespace {

TEST(Bits, GrowsWhenSetAndFindsTheFirstOpenBit) {
  TBits bits;
  EXPECT_EQ(bits.Size(), 0);
  EXPECT_EQ(bits.OpenBit(), 0);
  bits.SetBit(2, true);
  EXPECT_EQ(bits.Size(), 3);
  EXPECT_FALSE(bits.Bits(0));
  EXPECT_TRUE(bits.Bits(2));
  bits.SetBit(0, true);
  bits.SetBit(1, true);
  EXPECT_EQ(bits.OpenBit(), 3);  // all set: the size
  bits.SetBit(1, false);
  EXPECT_EQ(bits.OpenBit(), 1);
  bits.SetSize(1);
  bits.SetSize(4);
  EXPECT_FALSE(bits.Bits(2));  // cut bits come back cleared
}

TEST(Bits, IndexesOutsideRaise) {
  TBits bits;
  bits.SetSize(8);
  EXPECT_THROW(bits.Bits(8), EBitsError);
  EXPECT_THROW(bits.Bits(-1), EBitsError);
  EXPECT_THROW(bits.SetBit(-1, true), EBitsError);
  EXPECT_THROW(bits.SetSize(-1), EBitsError);
  EXPECT_EQ(bits.Size(), 8);
}

}  // namespace
