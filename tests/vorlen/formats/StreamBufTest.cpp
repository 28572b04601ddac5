#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/StreamBuf.h"

namespace {

TMemoryStream CountingStream(int n) {
  TMemoryStream s;
  for (int i = 0; i < n; ++i) {
    const uchar b = static_cast<uchar>(i % 251);
    s.WriteBuffer(&b, 1);
  }
  s.SetPosition(0);
  return s;
}

}  // namespace

TEST(StreamBuf, HandsOutBytesInStreamOrder) {
  TMemoryStream s = CountingStream(100);
  StreamBuf in(&s, 16);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(in.Get(), i % 251) << i;
  EXPECT_THROW(in.Get(), EReadError);
}

TEST(StreamBuf, ReadSpanningThreeLoadsKeepsOrder) {
  TMemoryStream s = CountingStream(60);
  StreamBuf in(&s, 16);
  in.Get();
  std::vector<uchar> out(40);
  in.Read(out.data(), 40);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(out[i], i + 1);
  EXPECT_EQ(in.Get(), 41);
}

TEST(StreamBuf, ZeroSkipAndReadChangeNothing) {
  TMemoryStream s = CountingStream(10);
  StreamBuf in(&s);
  EXPECT_EQ(in.size, 0x800);
  in.Get();
  const int position = in.position, fill = in.fill;
  in.Skip(0);
  in.Read(nullptr, 0);
  EXPECT_EQ(in.position, position);
  EXPECT_EQ(in.fill, fill);
}

TEST(StreamBuf, SkipAcrossLoadsAndBeyondTheEnd) {
  TMemoryStream s = CountingStream(50);
  StreamBuf in(&s, 8);
  in.Skip(20);
  EXPECT_EQ(in.Get(), 20);
  in.Skip(29);
  EXPECT_THROW(in.Get(), EReadError);
  TMemoryStream t = CountingStream(5);
  StreamBuf short_(&t, 8);
  EXPECT_THROW(short_.Skip(6), EReadError);
  TMemoryStream u = CountingStream(5);
  StreamBuf reader(&u, 4);
  uchar out[8];
  EXPECT_THROW(reader.Read(out, 8), EReadError);
}
