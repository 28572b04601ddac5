#include "quillo/filters/FormulaContext.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

// Entries where the stored tangent table departs from the 14-bit rule below: the zeros and
// poles of the tangent and the two diagonals of the second half-turn.
struct PinnedTangent {
  int index;
  std::int32_t value;
};
constexpr PinnedTangent kPinnedTangents[] = {
    {0, -6}, {256, -167772}, {384, -1017}, {512, 6}, {640, 1030}, {767, 167772}, {768, -167772}};

double Angle(int k) { return 2.0 * std::numbers::pi * k / 1024.0; }

// The tangent as the quotient of sine and cosine, each cut to 14 fraction bits, times 1024.
// It rises 6 or 7 a step near 0 and reaches 1024 at an eighth of a turn exactly.
std::int32_t TangentEntry(int k) {
  const auto sine14 = static_cast<std::int64_t>(std::trunc(16384.0 * std::sin(Angle(k))));
  const auto cosine14 = static_cast<std::int64_t>(std::trunc(16384.0 * std::cos(Angle(k))));
  if (cosine14 == 0) return 0;  // only at the poles, which are pinned
  return static_cast<std::int32_t>(1024 * sine14 / cosine14);
}

FormulaTables MakeTables() {
  FormulaTables tables{};
  for (int k = 0; k < kFormulaSineEntries; ++k)
    tables.sine[k] = static_cast<std::int32_t>(std::trunc(512.0 * std::sin(Angle(k))));
  for (int k = 0; k < kFormulaTangentEntries; ++k) tables.tangent[k] = TangentEntry(k);
  for (const PinnedTangent& pinned : kPinnedTangents) tables.tangent[pinned.index] = pinned.value;
  for (int t = 0; t < kFormulaWeightTables; ++t)
    for (int k = 0; k < 256; ++k) tables.weights[t][k] = static_cast<std::uint16_t>(k * kFormulaWeights[t]);
  return tables;
}

}  // namespace

const FormulaTables& TheFormulaTables() {
  static const FormulaTables tables = MakeTables();
  return tables;
}

void FormulaContext::Reset() {
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  channelShift[0] = 16;
  channelShift[1] = 8;
  channelShift[2] = 0;
  channelShift[3] = 24;
  angleScale = static_cast<float>(512.0 / std::numbers::pi);
  const FormulaTables& tables = TheFormulaTables();
  std::memcpy(sine, tables.sine, sizeof sine);
  std::memcpy(tangent, tables.tangent, sizeof tangent);
  std::memcpy(weights, tables.weights, sizeof weights);
}

void FormulaContext::Start(int pictureWidth, int pictureHeight,
                           const std::int32_t (&sliderValues)[kFormulaSliders], FormulaPixelFetch pixelFetch) {
  r = g = b = a = i = u = v = d = m = 0;
  x = y = 0;
  seed = 0;
  width = pictureWidth;
  height = pictureHeight;
  const double w = pictureWidth, h = pictureHeight;
  mostDistance = static_cast<std::int32_t>(std::sqrt(w * w + h * h) * 0.5);
  std::memcpy(sliders, sliderValues, sizeof sliders);
  std::memset(cells, 0, sizeof cells);
  fetch = pixelFetch;
}
