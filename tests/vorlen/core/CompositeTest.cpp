#include "vorlen/core/CompositeTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

namespace {

// The tables as their definitions read, without the running sums of the library.
int Product(int i, int j) { return i == 0 ? 0 : (127 + i * j) / 255; }
int Weight(int i, int j) { return i == 255 ? 0 : 255 * j * (255 - i) / (65025 - i * j); }

uint Reference(uint s, uint d) {
  const int ts = int(s >> 24), td = int(d >> 24);
  const int w = Weight(td, ts);
  uint result = uint(Product(td, ts)) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int channel = Product(w, int(d >> shift) & 0xFF) + Product(255 - w, int(s >> shift) & 0xFF);
    result |= uint(channel) << shift;
  }
  return result;
}

uint BlendOne(uint s, uint d) {
  BlendRun(&d, &s, 1);
  return d;
}

}  // namespace

TEST(CompositeTables, MatchTheirDefinitionsEverywhere) {
  const CompositeTableBlock& t = CompositeTables();
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) {
      ASSERT_EQ(t.product[i][j], Product(i, j)) << i << "," << j;
      ASSERT_EQ(t.weight[i][j], Weight(i, j)) << i << "," << j;
    }
  EXPECT_EQ(reinterpret_cast<const uchar*>(&t.weight[3][7]) - &t.product[3][7], 65536);
}

TEST(CompositeTables, WorkedCases) {
  struct Case {
    uint source, target, expected;
  } const cases[] = {
      {0x80FF0000, 0x000000FF, 0x007F0080},  // half-transparent red over opaque blue
      {0x40FF0000, 0xFF00FF00, 0x40FF0000},  // over a fully transparent target: the source
      {0x00123456, 0x80ABCDEF, 0x00123456},  // an opaque source replaces
      {0xFF123456, 0x00ABCDEF, 0x00ABCDEF},  // a fully transparent source keeps the target
      {0xFF123456, 0xFFABCDEF, 0xFF123456},  // both fully transparent: the source's colour
      {0x80000000, 0x80FFFFFF, 0x40555555},  // two halves: w = W[128][128] = 85, a third white
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BlendOne(c.source, c.target), c.expected) << std::hex << c.source << " over " << c.target;
    EXPECT_EQ(Reference(c.source, c.target), c.expected) << std::hex << c.source << " over " << c.target;
  }
}

TEST(CompositeTables, BlendRunAgreesWithTheRuleForEveryTransparencyPair) {
  std::mt19937 random(7);
  const uint extremes[] = {0x000000, 0xFFFFFF, 0xFF00FF, 0x00FF00, 0x7F8001};
  for (int round = 0; round < 4; ++round) {
    std::vector<uint> source, target;
    for (int ts = 0; ts < 256; ++ts)
      for (int td = 0; td < 256; ++td) {
        const uint s = round < 2 ? random() & 0xFFFFFF : extremes[(ts + td) % 5];
        const uint d = round < 2 ? random() & 0xFFFFFF : extremes[(ts * 3 + td + round) % 5];
        source.push_back(uint(ts) << 24 | s);
        target.push_back(uint(td) << 24 | d);
      }
    std::vector<uint> blended = target;
    // Runs of 13: a group of eight and a remainder taken one by one, at every alignment.
    for (size_t i = 0; i < source.size(); i += 13)
      BlendRun(&blended[i], &source[i], int(std::min<size_t>(13, source.size() - i)));
    for (size_t i = 0; i < source.size(); ++i) {
      ASSERT_EQ(blended[i], Reference(source[i], target[i])) << i;
      ASSERT_EQ(CompositePixel(CompositeTables(), source[i], target[i]), blended[i]) << i;
    }
  }
}

TEST(CompositeTables, BlendRunTakesOpaqueAndSkipsClearGroups) {
  std::vector<uint> target(16, 0x00555555);
  target[1] = 0xFF222222;
  target[2] = 0x80333333;
  std::vector<uint> source(16, 0xFF000000);
  for (int i = 0; i < 8; ++i) source[size_t(i)] = 0x00A0A0A0u + uint(i);
  std::vector<uint> expected(16, 0x00555555);
  for (int i = 0; i < 8; ++i) expected[size_t(i)] = source[size_t(i)];
  BlendRun(target.data(), source.data(), 16);
  EXPECT_EQ(target, expected);
}
