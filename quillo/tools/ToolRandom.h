#pragma once
// The two pseudo-random sources the spraying tools draw from, with the ranges the tools were
// worked out for: a small one of 0 to 32767 (where the spray places its dots) and a large one
// of 0 to 2^31 - 1 (the airbrush's noise). Both are the program's own and seedable, so a run
// repeats; a test may put a fixed sequence in their place to pin a dab down.

#include <functional>

constexpr int SmallRandomMax = 32767;
constexpr int LargeRandomMax = 0x7FFFFFFF;

// The next number of each source.
int SmallRandom();
int LargeRandom();
// Both sources start again from seed.
void SeedToolRandom(unsigned seed);

// A stand-in source: every draw calls it and keeps the result within the source's range.
// An empty function gives the source back.
using RandomSource = std::function<int()>;
void ReplaceSmallRandom(RandomSource source);
void ReplaceLargeRandom(RandomSource source);

// Stand-ins for a scope: the program's own sources come back at every way out.
class ScopedToolRandom {
public:
  ScopedToolRandom(RandomSource small, RandomSource large) {
    ReplaceSmallRandom(std::move(small));
    ReplaceLargeRandom(std::move(large));
  }
  ~ScopedToolRandom() {
    ReplaceSmallRandom({});
    ReplaceLargeRandom({});
  }
  ScopedToolRandom(const ScopedToolRandom&) = delete;
  ScopedToolRandom& operator=(const ScopedToolRandom&) = delete;
};
