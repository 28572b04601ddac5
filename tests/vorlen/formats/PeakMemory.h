#pragma once
// How much memory a decoder takes, measured from outside it: the growth of the peak resident
// size while an action runs in a child process. The child's peak starts at what it shares
// with the test program, so what earlier tests took does not hide the growth, and the
// sanitizers' own bookkeeping (address space reserved, not touched) does not count.

#include <functional>

// The growth in KiB of the peak resident size while `action` runs in a forked child (an
// exception it raises ends it like a return); -1 when the child could not report.
long PeakMemoryGrowthKiB(const std::function<void()>& action);

// What a load of a few bytes may take: far below any image the bytes claim (the tests'
// hostile files claim 23000 x 23000, 2 GB as 32-bit pixels).
inline constexpr long kSmallGrowthKiB = 64 * 1024;
