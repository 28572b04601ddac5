// Turning a 1000 x 1000 brush by 30 degrees. TransformBrush against a plain inverse-mapping
// loop with the same 2 x 2 supersampling written here (goal: within 1.5 times), the rotate
// tool's whole commit (the brush's undo step, the turn, the crop, the stamped shape; goal:
// within 2 times of the loop), and the feedback drawn into a picture, reported as frames per
// second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "quillo/base/Settings.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTransforms.h"

namespace {

constexpr int kSide = 1000;
constexpr double kAngle = std::numbers::pi / 6;

// A round opaque brush with a soft ring, outside in the corners.
void MakeBrush(UDBuffer& brush) {
  brush.Alloc(kSide, kSide);
  const double r = kSide / 2.0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - r, y + 0.5 - r);
      std::uint32_t& p = *brush.At(x, y);
      if (d > r) p = BrushOutside;
      else if (d > r - 20) p = static_cast<std::uint32_t>((d - (r - 20)) * 12) << 24 | 0x3366CC;
      else p = static_cast<std::uint32_t>(x * 7 ^ y * 13) & 0xFFFFFF;
    }
}

// The loop to compare with: every target pixel's four samples mapped back into the source,
// averaged channel by channel with their transparency.
void PlainInverseLoop(const std::vector<std::uint32_t>& src, int sw, int sh, std::vector<std::uint32_t>& dst, int dw,
                      int dh, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      unsigned sums[4] = {0, 0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        const double X = x + 0.25 + 0.5 * (k & 1) - dw / 2.0, Y = y + 0.25 + 0.5 * (k >> 1) - dh / 2.0;
        const double sx = sw / 2.0 + c * X - s * Y, sy = sh / 2.0 + s * X + c * Y;
        std::uint32_t p = BrushOutside;
        if (sx >= 0 && sy >= 0 && sx < sw && sy < sh) p = src[static_cast<std::size_t>(sy) * sw + static_cast<std::size_t>(sx)];
        const unsigned alpha = 255 - (p >> 24);
        sums[3] += p >> 24;
        for (int ch = 0; ch < 3; ++ch) sums[ch] += alpha * (p >> (8 * ch) & 0xFF);
      }
      const unsigned opacity = 4 * 255 - sums[3];
      std::uint32_t out = (sums[3] + 2) / 4 << 24;
      if (opacity)
        for (int ch = 0; ch < 3; ++ch) out |= (sums[ch] + opacity / 2) / opacity << (8 * ch);
      dst[static_cast<std::size_t>(y) * dw + x] = out;
    }
}

void BM_PlainInverseLoop(benchmark::State& state) {
  UDBuffer brush;
  MakeBrush(brush);
  std::vector<std::uint32_t> src(brush.pixels, brush.pixels + static_cast<std::size_t>(kSide) * kSide);
  const Pair<int> size = RotatedSize(kSide, kSide, kAngle);
  std::vector<std::uint32_t> dst(static_cast<std::size_t>(size.x) * size.y);
  for (auto _ : state) {
    PlainInverseLoop(src, kSide, kSide, dst, size.x, size.y, kAngle);
    benchmark::DoNotOptimize(dst.data());
  }
}
BENCHMARK(BM_PlainInverseLoop)->Unit(benchmark::kMillisecond);

// The brush as it was before the last iteration turned it, outside the timing.
void RestoreBrush(benchmark::State& state, const UDBuffer& original) {
  state.PauseTiming();
  Brush.Alloc(kSide, kSide);
  Brush.Copy(original, {0, 0}, Buffer::kPlain);
  while (Brush.UndoChain) Brush.DropUndoStep();
  state.ResumeTiming();
}

void BM_TransformBrush(benchmark::State& state) {
  UDBuffer original;
  MakeBrush(original);
  for (auto _ : state) {
    RestoreBrush(state, original);
    TransformBrush(static_cast<float>(kAngle));
    benchmark::DoNotOptimize(Brush.pixels);
  }
}
BENCHMARK(BM_TransformBrush)->Unit(benchmark::kMillisecond);

// The rotate tool's commit: the undo step, the turn, the crop and the stamped shape.
void BM_RotateCommit(benchmark::State& state) {
  ApplyUndoDefaults();
  Settings.OptimBrush = true;
  UDBuffer original;
  MakeBrush(original);
  for (auto _ : state) {
    RestoreBrush(state, original);
    BrushStep step("Rotate");
    TransformBrush(static_cast<float>(kAngle));
    TrimBrush();
    UseCustomBrushShape();
    benchmark::DoNotOptimize(BrushShape.pixels);
  }
  while (Brush.UndoChain) Brush.DropUndoStep();
  Settings.OptimBrush = false;
}
BENCHMARK(BM_RotateCommit)->Unit(benchmark::kMillisecond);

// The rotate tool's feedback: the stamped brush turned and composited into a picture.
void BM_RotateFeedback(benchmark::State& state) {
  UDBuffer shape, picture;
  MakeBrush(shape);
  picture.Alloc(1600, 1200);
  picture.Box(picture.rect, 0xFFFFFF);
  const Pair<int> size = RotatedSize(kSide, kSide, kAngle);
  double angle = kAngle;
  for (auto _ : state) {
    DrawRotated(picture, shape, angle, {800 - size.x / 2, 600 - size.y / 2}, size);
    angle += 0.001;
    benchmark::DoNotOptimize(picture.pixels);
  }
  state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RotateFeedback)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
