#include "vorlen/formats/gif/GifLzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

class MemorySource : public LZWSource {
public:
  explicit MemorySource(std::vector<uchar> d) : data(std::move(d)) {}
  void Read(uchar* target, int count) override {
    if (position + count > data.size()) throw EReadError(RtlText::ReadError);
    std::memcpy(target, data.data() + position, count);
    position += count;
  }
  std::vector<uchar> data;
  size_t position = 0;
};

class MemorySink : public LZWSink {
public:
  void Write(const uchar* source, int count) override { data.insert(data.end(), source, source + count); }
  std::vector<uchar> data;
};

std::vector<uchar> Encode(const std::vector<uchar>& pixels, int minimum) {
  MemorySink sink;
  LZWEncoder encoder(sink);
  encoder.Start(minimum);
  encoder.Put(pixels.data(), static_cast<int>(pixels.size()));
  encoder.Finish();
  return sink.data;
}

std::vector<uchar> Decode(const std::vector<uchar>& stream, int minimum, size_t count) {
  MemorySource source(stream);
  LZWDecoder decoder(source);
  decoder.Reset(minimum);
  std::vector<uchar> out(count);
  decoder.Decode(out.data(), static_cast<int>(count));
  return out;
}

// Codes unpacked from sub-blocks, for checking what the encoder wrote.
std::vector<int> Codes(const std::vector<uchar>& stream, int minimum) {
  std::vector<uchar> bytes;
  for (size_t i = 0; i < stream.size() && stream[i] != 0; i += stream[i] + 1)
    bytes.insert(bytes.end(), stream.begin() + i + 1, stream.begin() + i + 1 + stream[i]);
  std::vector<int> codes;
  const int clear = 1 << minimum;
  int size = minimum + 1, next = clear + 2;
  bool first = true;
  size_t bit = 0;
  while (bit + size <= bytes.size() * 8) {
    int code = 0;
    for (int k = 0; k < size; ++k, ++bit) code |= ((bytes[bit / 8] >> (bit % 8)) & 1) << k;
    codes.push_back(code);
    if (code == clear + 1) break;
    if (code == clear) {
      size = minimum + 1, next = clear + 2, first = true;
      continue;
    }
    if (!first && next < 4096 && ++next == (1 << size) && size < 12) ++size;
    first = false;
  }
  return codes;
}

}  // namespace

TEST(GifLzw, KnownStream) {
  // Four pixels of index 1: clear, 1, 6, 1, end (the end code already 4 bits wide).
  const std::vector<uchar> stream = {0x02, 0x8C, 0x53, 0x00};
  EXPECT_EQ(Encode({1, 1, 1, 1}, 2), stream);
  EXPECT_EQ(Decode(stream, 2, 4), (std::vector<uchar>{1, 1, 1, 1}));
}

TEST(GifLzw, RoundTripsAtEveryCodeSize) {
  std::mt19937 random(7);
  for (int minimum = 2; minimum <= 8; ++minimum) {
    for (size_t count : {size_t(0), size_t(1), size_t(2), size_t(257), size_t(70000)}) {
      std::vector<uchar> pixels(count);
      // Mixed runs and noise, so that strings of many lengths arise.
      for (size_t i = 0; i < count; ++i)
        pixels[i] = (i / 37) % 3 == 0 ? uchar(random() & ((1 << minimum) - 1)) : uchar((i / 11) % (1 << minimum));
      const std::vector<uchar> stream = Encode(pixels, minimum);
      EXPECT_EQ(Decode(stream, minimum, count), pixels) << minimum << " " << count;
      EXPECT_EQ(stream.back(), 0);
    }
  }
}

TEST(GifLzw, FullTableWritesClearCode) {
  std::mt19937 random(11);
  std::vector<uchar> pixels(200000);
  for (uchar& p : pixels) p = uchar(random());
  const std::vector<uchar> stream = Encode(pixels, 8);
  const std::vector<int> codes = Codes(stream, 8);
  EXPECT_GT(std::count(codes.begin() + 1, codes.end(), 256), 10);
  EXPECT_EQ(codes.back(), 257);
  EXPECT_EQ(Decode(stream, 8, pixels.size()), pixels);
}

TEST(GifLzw, SubBlocksHoldAtMost255Bytes) {
  std::vector<uchar> pixels(5000);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uchar(i * 7);
  const std::vector<uchar> stream = Encode(pixels, 8);
  size_t i = 0;
  while (stream[i] != 0) {
    if (i + stream[i] + 1 < stream.size() - 1) {
      EXPECT_EQ(stream[i], 255);
    }
    i += stream[i] + 1;
  }
  EXPECT_EQ(i, stream.size() - 1);
}

TEST(GifLzw, DecodesAcrossClearCodesAndWithoutLeadingClear) {
  // min 2, 3-bit codes: 1, 6(=1,1), clear, 2, end.   Bits: 001 110 100 010 101
  //  byte0 = b0..7: 1,0,0, 0,1,1, 0,0 = 0x31; byte1: b8=1, 0,1,0, 1,0,1, 0 = 0x55
  const std::vector<uchar> stream = {0x02, 0x31, 0x55, 0x00};
  EXPECT_EQ(Decode(stream, 2, 4), (std::vector<uchar>{1, 1, 1, 2}));
}

TEST(GifLzw, MalformedStreamsAreRefused) {
  struct Case {
    const char* what;
    std::vector<uchar> stream;
    size_t count;
  } cases[] = {
      // clear(4) then 6: a first code that is not a root
      {"non-root after clear", {0x01, 0x34, 0x00}, 2},
      // 6 with no previous code at the start
      {"next code first", {0x01, 0x06, 0x00}, 2},
      // 1 then 7: above the next free code (6)
      {"code above next", {0x01, 0x39, 0x00}, 3},
      // 1 then the end code among the pixels
      {"end code early", {0x01, 0x29, 0x00}, 3},
      // clear then the end code
      {"end after clear", {0x01, 0x2C, 0x00}, 1},
      // data runs out into the terminator
      {"terminator", {0x01, 0x01, 0x00}, 5},
      // clear then the end code at the very start
      {"end first", {0x01, 0x05, 0x00}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(Decode(c.stream, 2, c.count), EInvalidImage) << c.what;
  }
  EXPECT_THROW(Decode({0x05, 0x01}, 2, 1), EReadError);
}

TEST(GifLzw, SkipToTerminatorPassesTheRest) {
  std::vector<uchar> pixels(3000, 3);
  for (size_t i = 0; i < pixels.size(); i += 5) pixels[i] = uchar(i);
  std::vector<uchar> stream = Encode(pixels, 8);
  stream.push_back(0x3B);
  MemorySource source(stream);
  LZWDecoder decoder(source);
  decoder.Reset(8);
  std::vector<uchar> out(10);
  decoder.Decode(out.data(), 10);
  decoder.Skip(5);
  EXPECT_EQ(decoder.DecodeNext(), pixels[15]);
  decoder.SkipToTerminator();
  EXPECT_EQ(source.position, stream.size() - 1);
}
