#include "quillo/tools/ToolRandom.h"

#include <cstdint>

namespace {

// The small source is the classic linear congruential generator whose state's bits 16 to 30
// make the number; the large one a 64-bit xorshift whose top 31 bits do.
std::uint32_t smallState = 1;
std::uint64_t largeState = 0x9E3779B97F4A7C15ull;
RandomSource smallStandIn;
RandomSource largeStandIn;

int Within(int value, int max) {
  if (value < 0) return 0;
  return value > max ? max : value;
}

}  // namespace

int SmallRandom() {
  if (smallStandIn) return Within(smallStandIn(), SmallRandomMax);
  smallState = smallState * 214013u + 2531011u;
  return static_cast<int>((smallState >> 16) & SmallRandomMax);
}

int LargeRandom() {
  if (largeStandIn) return Within(largeStandIn(), LargeRandomMax);
  largeState ^= largeState << 13;
  largeState ^= largeState >> 7;
  largeState ^= largeState << 17;
  return static_cast<int>(largeState >> 33);
}

void SeedToolRandom(unsigned seed) {
  smallState = seed;
  // A xorshift state of zero would stay zero.
  largeState = (static_cast<std::uint64_t>(seed) << 32 | seed) ^ 0x9E3779B97F4A7C15ull;
}

void ReplaceSmallRandom(RandomSource source) { smallStandIn = std::move(source); }
void ReplaceLargeRandom(RandomSource source) { largeStandIn = std::move(source); }
