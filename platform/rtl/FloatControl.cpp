#include "platform/rtl/FloatControl.h"

namespace {

constexpr std::uint32_t kX87ExceptionMasks = 0x003F;  // bits 0-5
constexpr std::uint32_t kX87RoundingShift = 10;       // bits 10-11
constexpr std::uint32_t kSseExceptionMaskShift = 7;   // MXCSR bits 7-12
constexpr std::uint32_t kSseRoundingShift = 13;       // MXCSR bits 13-14
constexpr std::uint32_t kSseExceptionFlags = 0x003F;  // MXCSR bits 0-5

}  // namespace

std::uint16_t GetFPUCW() {
  std::uint16_t word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetFPUCW(std::uint16_t word) {
  asm volatile("fnclex");
  asm volatile("fldcw %0" : : "m"(word));

  std::uint32_t mxcsr = 0;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  mxcsr &= ~(kSseExceptionFlags | (kX87ExceptionMasks << kSseExceptionMaskShift) |
             (3u << kSseRoundingShift));
  mxcsr |= (word & kX87ExceptionMasks) << kSseExceptionMaskShift;
  mxcsr |= ((word >> kX87RoundingShift) & 3u) << kSseRoundingShift;
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}
