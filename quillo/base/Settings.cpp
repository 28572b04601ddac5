#include "quillo/base/Settings.h"

TSettings Settings;

std::int32_t GammaFactor(int grey, int channel) {
  return static_cast<std::int32_t>((grey + channel) * 0.01 * 65536 + 0.5);
}
