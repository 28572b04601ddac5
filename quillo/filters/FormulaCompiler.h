#pragma once
// The formula compiler: turns the four channel formulas of a formula filter into native
// x86-64 routines, one per channel, plus a set-up routine that prepares the per-pixel values
// the formulas use.
//
// Calling contract (System V, playing the part of the 32-bit register contract):
//  - set-up routine: void(uint32_t pixel, FormulaContext* context); pixel 0xTTRRGGBB. Fills
//    only the fields the formulas use. Changes no callee-saved register; leaves the x87
//    stack empty. A filter that needs no per-pixel value gets a bare return.
//  - channel routine: int32_t(FormulaContext* context); the channel's value, not clamped.
//    Same register rules; it calls context->fetch for "src", "cnv" and "rad".
// Both run with the default x87 control word (round to nearest, 64-bit precision).
//  - row routine, for the program's own runs: void(const uint32_t* source, uint32_t*
//    destination, int32_t count, FormulaContext* context). Runs the set-up and the four
//    channels on `count` source pixels in turn, from the column context->x of row
//    context->y, exactly as the routines above would, and writes each result as a pixel:
//    the channels clamped to 0..255, the transparency byte 255 minus the opacity. context->x
//    ends one past the last pixel.
//  - interior row routine, the same with the source's row bytes as a fifth argument: for
//    pixels whose eight neighbours all lie inside the picture the fetch routine reads (never
//    a pixel of the outermost rows or columns), with `source` pointing into that picture. It
//    reads the neighbours of "cnv" straight from the rows, so it gives the same pixels as the
//    row routine there without calling the fetch routine for them.
//
// A channel whose formula has a syntax error (or exceeds a limit) compiles to the constant 0
// and reports where the scanner stopped; the other channels are unaffected.

#include <cstddef>
#include <cstdint>
#include <span>

#include "quillo/filters/ExecutableMemory.h"
#include "quillo/filters/FormulaContext.h"

inline constexpr int kFormulaChannels = 4;  // red, green, blue, opacity
inline constexpr int kFormulaSourceChars = 1024;
inline constexpr std::size_t kFormulaSetupBytes = 512;
inline constexpr std::size_t kFormulaChannelBytes = 4096;
inline constexpr int kFormulaMostPendingOperators = 128;
inline constexpr int kFormulaMostConditionals = 128;

// Which per-pixel values the formulas use; each set-up piece runs when all its bits are set.
inline constexpr std::uint32_t kFormulaUsesColour = 15;     // r g b a c
inline constexpr std::uint32_t kFormulaUsesIntensity = 31;  // i
inline constexpr std::uint32_t kFormulaUsesU = 47;
inline constexpr std::uint32_t kFormulaUsesV = 79;
inline constexpr std::uint32_t kFormulaUsesAngle = 0x100;     // d
inline constexpr std::uint32_t kFormulaUsesDistance = 0x200;  // m

// What the caller hands the compiler; the compiler fills the error fields.
struct FormulaSource {
  const char* text[kFormulaChannels] = {};  // null counts as an empty text
  std::int32_t errorPosition[kFormulaChannels] = {-1, -1, -1, -1};  // offset just after the bad token
  std::int32_t errorLength[kFormulaChannels] = {};  // that token with the white space before it
};

enum class FormulaError : std::uint8_t {
  kNone,
  kSyntax,
  kTooManyOperators,     // more than 128 operators waiting
  kTooManyConditionals,  // more than 128 nested conditionals
  kCodeTooLong,          // the routine would pass 4096 bytes
};

class CompiledFormula {
 public:
  using SetupRoutine = void (*)(std::uint32_t pixel, FormulaContext* context);
  using ChannelRoutine = std::int32_t (*)(FormulaContext* context);
  using RowRoutine = void (*)(const std::uint32_t* source, std::uint32_t* destination, std::int32_t count,
                              FormulaContext* context);
  using InteriorRowRoutine = void (*)(const std::uint32_t* source, std::uint32_t* destination, std::int32_t count,
                                      FormulaContext* context, std::ptrdiff_t sourceRowBytes);

  SetupRoutine Setup() const;
  ChannelRoutine Channel(int channel) const;
  RowRoutine Row() const;
  InteriorRowRoutine InteriorRow() const;

  // The routines' bytes, as a compiled filter component carries them.
  std::span<const std::uint8_t> SetupCode() const;
  std::span<const std::uint8_t> ChannelCode(int channel) const;
  std::span<const std::uint8_t> RowCode() const;

  std::uint32_t Usage() const { return usage_; }
  FormulaError Error(int channel) const { return errors_[channel]; }

 private:
  friend CompiledFormula CompileFormula(FormulaSource& source);

  ExecutableMemory memory_;
  std::size_t setupLength_ = 0;
  std::size_t channelLength_[kFormulaChannels] = {};
  std::size_t rowLength_ = 0;
  std::uint32_t usage_ = 0;
  FormulaError errors_[kFormulaChannels] = {};
};

// Compiles all four channels. Never fails as a whole; throws std::bad_alloc only when no
// code memory can be had.
CompiledFormula CompileFormula(FormulaSource& source);
