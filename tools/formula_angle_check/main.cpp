// Compares the set-up routine's quick angle path with the x87 fpatan path on every offset
// pair (dx, dy) the quick path accepts, |dx| and |dy| below 32768: both must store the same
// d. Prints the pairs that differ (none may). Takes about a minute on four cores.
//
//   build/tools/formula_angle_check [threads]

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "quillo/filters/ExecutableMemory.h"
#include "quillo/filters/FormulaContext.h"
#include "quillo/filters/FormulaTemplates.h"

namespace {

using SetupRoutine = void (*)(std::uint32_t pixel, FormulaContext* context);

// One set-up piece followed by a return, in its own code pages.
struct PieceRoutine {
  explicit PieceRoutine(FormulaTemplate piece) : memory(FormulaTemplateCode(piece).size() + 1) {
    const auto code = FormulaTemplateCode(piece);
    const std::uint8_t ret[] = {0xC3};
    memory.Write(0, code);
    memory.Write(code.size(), ret);
    memory.Seal();
  }
  SetupRoutine Routine() const { return reinterpret_cast<SetupRoutine>(const_cast<std::uint8_t*>(memory.Data())); }
  ExecutableMemory memory;
};

// Sets x, y, X and Y so that the set-up sees the offsets 2x - X = dx and 2y - Y = dy.
void PlaceOffsets(FormulaContext& context, std::int32_t dx, std::int32_t dy) {
  context.width = dx & 1;
  context.x = (dx + context.width) / 2;
  context.height = dy & 1;
  context.y = (dy + context.height) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int threads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
  const PieceRoutine quick(FormulaTemplate::kSetupAngle), plain(FormulaTemplate::kSetupAnglePlain);
  constexpr std::int32_t kLow = -32768, kHigh = 32767;
  std::atomic<std::int32_t> nextRow{kLow};
  std::atomic<std::uint64_t> mismatches{0}, checked{0};
  const auto work = [&] {
    auto context = std::make_unique<FormulaContext>();
    context->Reset();
    for (std::int32_t dy; (dy = nextRow.fetch_add(1)) <= kHigh;) {
      std::uint64_t rowMismatches = 0;
      for (std::int32_t dx = kLow; dx <= kHigh; ++dx) {
        PlaceOffsets(*context, dx, dy);
        context->d = 0x55555555;
        quick.Routine()(0, context.get());
        const std::int32_t fast = context->d;
        context->d = 0x55555555;
        plain.Routine()(0, context.get());
        if (fast != context->d) {
          if (++rowMismatches <= 3)
            std::printf("dx %d dy %d: quick %d, fpatan %d\n", dx, dy, fast, context->d);
        }
      }
      mismatches += rowMismatches;
      checked += kHigh - kLow + 1;
    }
  };
  std::vector<std::thread> pool;
  for (int k = 0; k < threads; ++k) pool.emplace_back(work);
  for (std::thread& t : pool) t.join();
  std::printf("%llu pairs checked, %llu differ\n", static_cast<unsigned long long>(checked.load()),
              static_cast<unsigned long long>(mismatches.load()));
  return mismatches == 0 ? 0 : 1;
}
