#pragma once
// The row routine of a compiled formula filter: one call runs a whole row segment. It holds
// the set-up routine's body and the four channel bodies, copied in one after the other inside
// a loop over the pixels, so that a pixel costs no calls, prologues or returns, and it clamps
// and packs the four values itself. The bodies run with the same registers and stack as
// inside their own routines, and they reach nothing outside themselves but the stack, the
// context and the fetch routine, so the copies compute exactly what the routines do.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "quillo/filters/FormulaCompiler.h"

// At most this many bytes: the set-up and channel bodies and the loop around them.
inline constexpr std::size_t kFormulaRowBytes =
    kFormulaSetupBytes + kFormulaChannels * (kFormulaChannelBytes + 64) + 256;

// What the row routine is given besides the row: kWithRowBytes takes the source's row bytes
// as a fifth argument and keeps them in RBP for the bodies (with R12 at the current pixel).
enum class FormulaRowSource : std::uint8_t { kAlone, kWithRowBytes };

// Writes the row routine (to lie at a 16-byte boundary) from the finished set-up routine (ending in its return) and the
// four finished channel routines (each between its prologue and epilogue).
std::vector<std::uint8_t> WriteFormulaRowLoop(std::span<const std::uint8_t> setup,
                                              const std::span<const std::uint8_t> (&channels)[kFormulaChannels],
                                              FormulaRowSource rowSource);
