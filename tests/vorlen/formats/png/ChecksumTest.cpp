#include "vorlen/formats/png/Checksum.h"

#include <gtest/gtest.h>

#include "CompressionSamples.h"

using namespace samples;

TEST(Checksum, KnownValues) {
  const uchar text[] = "123456789";
  EXPECT_EQ(PNGCrc32(0, text, 9), 0xCBF43926u);
  EXPECT_EQ(Adler32(1, text, 9), 0x091E01DEu);
  const uchar iend[] = {'I', 'E', 'N', 'D'};
  EXPECT_EQ(PNGCrc32(0, iend, 4), 0xAE426082u);
  EXPECT_EQ(PNGCrc32(0, nullptr, 0), 0u);
  EXPECT_EQ(Adler32(1, nullptr, 0), 1u);
}

TEST(Checksum, AgreesWithZlibForEveryLengthAndSplit) {
  const Bytes data = Noise(20000, 4);
  const Bytes ones(70000, 0xFF);  // the largest sums, to exercise the deferred modulo
  for (const Bytes* b : {&data, &ones}) {
    for (size_t n : {size_t(0), size_t(1), size_t(7), size_t(8), size_t(9), size_t(5552),
                     size_t(5553), b->size()}) {
      EXPECT_EQ(PNGCrc32(0, b->data(), n), crc32(0, b->data(), uInt(n))) << n;
      EXPECT_EQ(Adler32(1, b->data(), n), adler32(1, b->data(), uInt(n))) << n;
      const size_t half = n / 3;
      EXPECT_EQ(PNGCrc32(PNGCrc32(0, b->data(), half), b->data() + half, n - half),
                crc32(0, b->data(), uInt(n)));
      EXPECT_EQ(Adler32(Adler32(1, b->data(), half), b->data() + half, n - half),
                adler32(1, b->data(), uInt(n)));
    }
  }
}

// Every instruction set this processor has gives zlib's sum, from any start and offset, at
// lengths around the chunk sizes and the reduction interval.
TEST(Checksum, EveryAdlerPathAgreesWithZlib) {
  const Bytes data = Noise(40000, 9);
  const Bytes ones(40000, 0xFF);
  for (ChecksumPath path : {ChecksumPath::Plain, ChecksumPath::Sse2, ChecksumPath::Avx2}) {
    if (!ChecksumPathAvailable(path)) continue;
    for (const Bytes* b : {&data, &ones}) {
      for (size_t offset : {size_t(0), size_t(1), size_t(13)}) {
        for (size_t n : {size_t(0), size_t(15), size_t(16), size_t(31), size_t(32), size_t(33),
                         size_t(5551), size_t(5552), size_t(5553), size_t(11104), size_t(39000)}) {
          const uchar* p = b->data() + offset;
          EXPECT_EQ(Adler32On(path, 1, p, n), adler32(1, p, uInt(n))) << int(path) << " " << n;
          const uint start = 0xFFF0FFF0u;  // both halves near the modulus
          EXPECT_EQ(Adler32On(path, start, p, n), adler32(start, p, uInt(n))) << int(path) << " " << n;
        }
      }
    }
  }
}
