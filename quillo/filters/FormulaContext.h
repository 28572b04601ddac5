#pragma once
// The pixel context of formula filters: the one record that the compiled set-up and channel
// routines read and write. Its byte layout is a binary format: the routines address it by
// fixed offsets, and compiled filter components hand a record of exactly this layout to the
// same routines. The offsets are checked below.
//
// On x86-64 the pixel-fetch routine's address (offset 68) is 8 bytes wide instead of the 4 of
// the 32-bit record. Everything after it moves up by 4 bytes (scratch 76..95, sliders 96,
// cells 128, sine table 4224, tangent table 9344, weight tables 13440, end 18048); the fields
// before it keep their offsets. The record is packed to 4 bytes so the address sits right
// after the channel positions as before, unaligned (x86-64 reads it either way).

#include <cstddef>
#include <cstdint>

// Returns the 32-bit source pixel 0xTTRRGGBB at (row, column), both clamped into the picture.
// The compiled routines call it with the System V convention: row in EDI, column in ESI.
using FormulaPixelFetch = std::uint32_t (*)(std::int32_t row, std::int32_t column);

inline constexpr int kFormulaSliders = 8;
inline constexpr int kFormulaCells = 1024;
inline constexpr int kFormulaSineEntries = 1280;  // 1024 sines, then 256 more for the cosines
inline constexpr int kFormulaTangentEntries = 1024;

// The nine 256-entry weight tables: k times the weight, as unsigned 16-bit words.
enum FormulaWeightTable {
  kWeightIntensityRed, kWeightIntensityGreen, kWeightIntensityBlue,
  kWeightURed, kWeightUGreen, kWeightUBlue,
  kWeightVRed, kWeightVGreen, kWeightVBlue,
  kFormulaWeightTables
};

#pragma pack(push, 4)
struct FormulaContext {
  std::int32_t r, g, b, a;        // low byte written by the set-up routine; the rest stays 0
  std::int32_t x, y;              // current pixel
  std::int32_t width, height;     // X, Y
  std::int32_t i;                 // intensity, low byte written
  std::int32_t u, v;
  std::int32_t d, m, mostDistance;  // d, m, M
  std::uint32_t seed;
  std::uint8_t channelShift[4];   // bit position of red, green, blue, transparency: 16 8 0 24
  float angleScale;               // 512 / pi
  FormulaPixelFetch fetch;
  std::int32_t scratch[5];        // free for the routines; the x86-64 ones keep their state on the stack
  std::int32_t sliders[kFormulaSliders];
  std::int32_t cells[kFormulaCells];
  std::int32_t sine[kFormulaSineEntries];
  std::int32_t tangent[kFormulaTangentEntries];
  std::uint16_t weights[kFormulaWeightTables][256];

  // Fills the constant part (channel positions, angle scale, tables) and clears the rest.
  void Reset();
  // Prepares a run over a picture: sizes, M, sliders; clears cells, seed and pixel values.
  void Start(int pictureWidth, int pictureHeight, const std::int32_t (&sliderValues)[kFormulaSliders],
             FormulaPixelFetch pixelFetch);

  const std::int32_t* Cosine() const { return sine + 256; }
};
#pragma pack(pop)

namespace formula_layout {
inline constexpr int kR = 0, kG = 4, kB = 8, kA = 12, kX = 16, kY = 20, kWidth = 24, kHeight = 28;
inline constexpr int kI = 32, kU = 36, kV = 40, kD = 44, kM = 48, kMostDistance = 52, kSeed = 56;
inline constexpr int kChannelShift = 60, kAngleScale = 64, kFetch = 68, kScratch = 76;
inline constexpr int kSliders = 96, kCells = 128, kSine = 4224, kCosine = kSine + 256 * 4;
inline constexpr int kTangent = 9344, kWeights = 13440, kEnd = 18048;
}  // namespace formula_layout

static_assert(offsetof(FormulaContext, i) == formula_layout::kI);
static_assert(offsetof(FormulaContext, seed) == formula_layout::kSeed);
static_assert(offsetof(FormulaContext, channelShift) == formula_layout::kChannelShift);
static_assert(offsetof(FormulaContext, angleScale) == formula_layout::kAngleScale);
static_assert(offsetof(FormulaContext, fetch) == formula_layout::kFetch);
static_assert(offsetof(FormulaContext, sliders) == formula_layout::kSliders);
static_assert(offsetof(FormulaContext, cells) == formula_layout::kCells);
static_assert(offsetof(FormulaContext, sine) == formula_layout::kSine);
static_assert(offsetof(FormulaContext, tangent) == formula_layout::kTangent);
static_assert(offsetof(FormulaContext, weights) == formula_layout::kWeights);
static_assert(sizeof(FormulaContext) == formula_layout::kEnd);

// The constant tables, computed once per program run.
struct FormulaTables {
  std::int32_t sine[kFormulaSineEntries];
  std::int32_t tangent[kFormulaTangentEntries];
  std::uint16_t weights[kFormulaWeightTables][256];
};
const FormulaTables& TheFormulaTables();

// The weight of each weight table, in table order.
inline constexpr std::uint16_t kFormulaWeights[kFormulaWeightTables] = {76, 150, 29, 19, 37, 56, 78, 65, 13};
