#include "vorlen/core/Colconv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(Colconv, SinglePixels) {
  struct Case {
    uint (*convert)(uint);
    uint in, out;
  } cases[] = {
      {BGR12RGB32, 0x0F00, 0x0000FF},     {BGR12RGB32, 0x000F, 0xFF0000},
      {BGR12RGB32, 0xF0A5, 0x55AA00},     {RGB15RGB32, 0x7FFF, 0xFFFFFF},
      {RGB15RGB32, 0x0001, 0x000008},     {RGB15RGB32, 0xFC00, 0xFF0000},
      {PIX12RGB32, 0x4080, 0x20000000},   {PIX12RGB32, 0x4101, 0x10010100},
      {PIX12RGB32, 0x0123, 0x332211},     {PIX12RGB32, 0xFFFF, 0x20BF7F00},
      {BGR24RGB32, 0x00332211, 0x112233}, {BGR32RGB32, 0xEE332211, 0x112233},
      {RGB32RGB32, 0xEE332211, 0x332211}, {XBGR32RGB32, 0xEE332211, 0xEE112233},
      {BSwap, 0x11223344, 0x44332211},
  };
  for (const Case& c : cases) EXPECT_EQ(c.convert(c.in), c.out) << std::hex << c.in;
  EXPECT_EQ(XBGR32RGB32(XBGR32RGB32(0x80ABCDEF)), 0x80ABCDEFu);
  EXPECT_EQ(BSwap(0x00563412) >> 8, 0x00123456u);  // framework colour to pixel
}

TEST(Colconv, ByteOrderRuns) {
  const uchar bytes[6] = {1, 2, 3, 4, 5, 6};
  uint words[2];
  RGB24RGB32s(bytes, words, 2);
  EXPECT_EQ(words[0], 0x030201u);
  EXPECT_EQ(words[1], 0x060504u);
  BGR24RGB32s(bytes, words, 2);
  EXPECT_EQ(words[0], 0x010203u);

  uchar out[6];
  const uint pixels[2] = {0xFF030201, 0x00060504};
  RGB32RGB24s(pixels, out, 2);
  EXPECT_EQ(std::memcmp(out, bytes, 6), 0);
  RGB32BGR24s(pixels, out, 2);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[5], 4);

  uint converted[2];
  BGR32RGB32s(pixels, converted, 2);
  EXPECT_EQ(converted[0], 0x010203u);
  RGB32RGB32s(pixels, converted, 2);
  EXPECT_EQ(converted[0], 0x030201u);
  XBGR32RGB32s(pixels, converted, 2);
  EXPECT_EQ(converted[0], 0xFF010203u);

  const uchar r[2] = {0x11, 0xAA}, g[2] = {0x22, 0xBB}, b[2] = {0x33, 0xCC};
  RGB32(r, g, b, converted, 2);
  EXPECT_EQ(converted[1], 0xAABBCCu);

  uint table[256] = {};
  table[0] = 7;
  table[5] = 9;
  table[255] = 11;
  const uchar indices[3] = {5, 255, 0};
  uint looked[3];
  LUTsd(indices, looked, 3, table);
  EXPECT_EQ(looked[0], 9u);
  EXPECT_EQ(looked[1], 11u);
  EXPECT_EQ(looked[2], 7u);
}

TEST(Colconv, SixteenBitRunsAndTheirTopBit) {
  const ushort source[3] = {0x7FFF, 0x8000 | 0x001F, 0x0F00};
  uint target[3];
  RGB15RGB32s(source, target, 3);
  EXPECT_EQ(target[0], 0x00FFFFFFu);
  EXPECT_EQ(target[1], 0x010000FFu);
  BGR12RGB32s(source + 2, target, 1);
  EXPECT_EQ(target[0], 0x0000FFu);
  const ushort markers[2] = {0x4080, 0x0F00};
  PIX12RGB32s(markers, target, 2);
  EXPECT_EQ(target[0], 0x20000000u);
  EXPECT_EQ(target[1], 0x0000FFu);
}

TEST(Colconv, BitFieldMasks) {
  const uint masks565[3] = {0xF800, 0x07E0, 0x001F};
  uint prepared[3];
  RGB16PrepareMask(masks565, prepared);
  EXPECT_EQ(prepared[0], 0xF800u | 8u << 16 | 5u << 24);   // bit 15 to bit 23
  EXPECT_EQ(prepared[1], 0x07E0u | 5u << 16 | 6u << 24);   // bit 10 to bit 15
  EXPECT_EQ(prepared[2], 0x001Fu | 3u << 16 | 5u << 24);   // bit 4 to bit 7
  const ushort pixels[4] = {0xFFFF, 0x0000, 0xF800, 0x0020};
  uint out[4];
  RGB16RGB32s(pixels, out, 4, prepared);
  EXPECT_EQ(out[0], 0xFFFFFFu);
  EXPECT_EQ(out[1], 0u);
  EXPECT_EQ(out[2], 0xFF0000u);
  EXPECT_EQ(out[3], 0x000400u);  // green 1 of 6 bits: 0x04 | 0x04 >> 6

  const uint masks555[3] = {0x7C00, 0x03E0, 0x001F};
  RGB16PrepareMask(masks555, prepared);
  const ushort sample[1] = {0x4210};  // 16, 16, 16
  RGB16RGB32s(sample, out, 1, prepared);
  EXPECT_EQ(out[0], 0x848484u);
  EXPECT_EQ(out[0], RGB15RGB32(0x4210));
}

TEST(Colconv, BitPlanes) {
  const uchar plane[2] = {0b10100000, 0b11000000};
  uchar indices[10] = {};
  indices[1] = 4;
  SetBitsb(plane, indices, 10, 0x102);  // only the low byte is ORed
  const uchar expected[10] = {2, 4, 2, 0, 0, 0, 0, 0, 2, 2};
  EXPECT_EQ(std::memcmp(indices, expected, 10), 0);
  uint words[3] = {0x10, 0, 0};
  SetBitsd(plane, words, 3, 0x0F000001);
  EXPECT_EQ(words[0], 0x0F000011u);
  EXPECT_EQ(words[1], 0u);
  EXPECT_EQ(words[2], 0x0F000001u);
  SetBitsb(plane, indices, 0, 0xFF);
  EXPECT_EQ(indices[3], 0);

  uchar packed[4];
  std::memset(packed, 0xEE, sizeof packed);
  const uchar nine[9] = {1, 0, 1, 0, 0, 0, 0, 1, 3};
  GetBitsb(nine, packed, 9, 1);
  EXPECT_EQ(packed[0], 0b10100001);
  EXPECT_EQ(packed[1], 0b10000000);
  EXPECT_EQ(packed[2], 0xEE);  // nine bytes write two
  const uint values[3] = {0x100, 0x200, 0x300};
  GetBitsd(values, packed, 3, 0x200);
  EXPECT_EQ(packed[0], 0b01100000);
  GetBitsb(nine, packed + 3, 0, 1);
  EXPECT_EQ(packed[3], 0xEE);
}

TEST(Colconv, PackedNibblesAndQuarters) {
  const uchar nibbles[5] = {1, 2, 15, 4, 9};
  uchar packed[3];
  GetHBytes(nibbles, packed, 5);
  EXPECT_EQ(packed[0], 0x12);
  EXPECT_EQ(packed[1], 0xF4);
  EXPECT_EQ(packed[2], 0x90);
  uchar unpacked[5];
  SetHBytes(packed, unpacked, 5);
  EXPECT_EQ(std::memcmp(unpacked, nibbles, 5), 0);

  const uchar quarters[6] = {3, 0, 1, 2, 2, 1};
  GetQBytes(quarters, packed, 6);
  EXPECT_EQ(packed[0], 0b11000110);
  EXPECT_EQ(packed[1], 0b10010000);
  uchar back[6];
  SetQBytes(packed, back, 6);
  EXPECT_EQ(std::memcmp(back, quarters, 6), 0);
}

// Codecs widen a row in place: the packed source sits at the end of the target row.
TEST(Colconv, WidensInPlaceFromTheEndOfTheRow) {
  constexpr int n = 37;
  std::vector<uint> row(n);
  auto* bytes = reinterpret_cast<uchar*>(row.data());
  std::vector<uchar> source(3 * n);
  for (int i = 0; i < 3 * n; ++i) source[i] = static_cast<uchar>(i * 7 + 1);
  std::memcpy(bytes + n, source.data(), source.size());
  RGB24RGB32s(bytes + n, row.data(), n);
  for (int i = 0; i < n; ++i)
    ASSERT_EQ(row[i], uint(source[3 * i + 2]) << 16 | uint(source[3 * i + 1]) << 8 | source[3 * i]);

  std::vector<uchar> indices(n);
  std::vector<uchar> packed((n + 1) / 2);
  for (size_t i = 0; i < packed.size(); ++i) packed[i] = static_cast<uchar>(i * 37 + 5);
  std::memcpy(indices.data() + n - packed.size(), packed.data(), packed.size());
  SetHBytes(indices.data() + n - packed.size(), indices.data(), n);
  for (int i = 0; i < n; ++i)
    ASSERT_EQ(indices[i], (i % 2 ? packed[i / 2] & 15 : packed[i / 2] >> 4)) << i;

  std::vector<uchar> quarters((n + 3) / 4);
  for (size_t i = 0; i < quarters.size(); ++i) quarters[i] = static_cast<uchar>(i * 53 + 11);
  std::memcpy(indices.data() + n - quarters.size(), quarters.data(), quarters.size());
  SetQBytes(indices.data() + n - quarters.size(), indices.data(), n);
  for (int i = 0; i < n; ++i) ASSERT_EQ(indices[i], (quarters[i / 4] >> (6 - 2 * (i % 4))) & 3) << i;

  std::vector<ushort> words16(2 * n);
  for (int i = 0; i < n; ++i) words16[n + i] = static_cast<ushort>(i * 997);
  std::vector<ushort> copy(words16.begin() + n, words16.end());
  RGB15RGB32s(words16.data() + n, reinterpret_cast<uint*>(words16.data()), n);
  for (int i = 0; i < n; ++i)
    ASSERT_EQ(reinterpret_cast<uint*>(words16.data())[i],
              RGB15RGB32(copy[i]) | (copy[i] & 0x8000u) << 9);
}

TEST(Colconv, SameAddressAndOverlappingRuns) {
  uchar pixels[6] = {1, 2, 3, 4, 5, 6};
  BGR24RGB24s(pixels, pixels, 2);
  const uchar swapped[6] = {3, 2, 1, 6, 5, 4};
  EXPECT_EQ(std::memcmp(pixels, swapped, 6), 0);

  uint words[6] = {1, 2, 3, 4, 5, 6};
  Movsd(words, words + 2, 4);
  const uint forward[6] = {1, 2, 1, 2, 3, 4};
  EXPECT_EQ(std::memcmp(words, forward, sizeof words), 0);
  Movsd(words + 2, words, 4);
  const uint backward[6] = {1, 2, 3, 4, 3, 4};
  EXPECT_EQ(std::memcmp(words, backward, sizeof words), 0);
  Movsd(words, words + 1, 0);
  Stosd(9, words, 3);
  EXPECT_EQ(words[2], 9u);
  EXPECT_EQ(words[3], 4u);
}

TEST(Colconv, CountsDistinctColoursIgnoringTheTopByte) {
  std::vector<uint> work(kColorCountWorkBytes / 4, 0xFFFFFFFF);  // cleared by the counter
  const uint pixels[5] = {0x00123456, 0xFF123456, 0x000001, 0x000002, 0x000001};
  EXPECT_EQ(CountColorsFast(pixels, work.data(), 5), 3);
  EXPECT_EQ(CountColorsFast(pixels, work.data(), 0), 0);
  int total = 0;
  for (uint slice = 0; slice < 4; ++slice) total += CountColorsFastX(pixels, work.data(), 5, slice, 2);
  EXPECT_EQ(total, 3);
  EXPECT_EQ(CountColorsFastX(pixels, work.data(), 5, 1, 2), 1);
}
