// Formula filters over a 4000 x 3000 picture: the compiled routines against the tests'
// reference evaluator (a tree walk) and against the same filter written by hand in C++.
// Four typical filters: a blur from the neighbouring pixels, a colour mix with mix and scl,
// a polar distortion with d and m, and a threshold with a conditional.
//
// The compiled routines run three ways: called per pixel and channel (as a compiled filter
// component calls them), through the row routine alone, and through RunFormulaFilter over
// two pictures, which is how the program runs them. The
// "...Ratio" benchmarks time one of them and the hand-written filter in turn in each
// iteration and print "ratio", the compiled time over the hand-written one.
//
// The reference evaluator is slow, so it runs over a band of rows; every figure is a rate in
// megapixels per second ("Mpix/s").

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "quillo/document/UDBuffer.h"
#include "quillo/filters/FormulaCompiler.h"
#include "quillo/filters/FormulaFilterRun.h"
#include "tests/quillo/filters/FormulaReference.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kReferenceRows = 40;
constexpr std::int32_t kSliders[8] = {120, 40, 200, 96, 0, 0, 0, 0};

struct Filter {
  const char* name;
  std::array<std::string, 4> formulas;
};

const Filter kBlur{"blur", {"cnv(1,2,1,2,4,2,1,2,1,16)", "cnv(1,2,1,2,4,2,1,2,1,16)", "cnv(1,2,1,2,4,2,1,2,1,16)", "a"}};
const Filter kColourMix{"colour mix",
                        {"mix(r, scl(g, 0, 255, ctl(0), ctl(1)), ctl(2), 255)",
                         "mix(g, scl(b, 0, 255, ctl(1), ctl(0)), ctl(3), 255)",
                         "mix(b, scl(r, 16, 240, 0, 255), ctl(2), 255)", "a"}};
const Filter kPolar{"polar", {"rad(d + m / 4, m, 0)", "rad(d + m / 4, m, 1)", "rad(d + m / 4, m, 2)", "a"}};
const Filter kThreshold{"threshold", {"i > ctl(0) ? 255 : 0", "i > ctl(0) ? 255 : 0", "i > ctl(1) ? r : 0", "a"}};

// The host's clamped pixel read, as the program's pixel service would do it.
const std::uint32_t* gSourcePixels = nullptr;

std::uint32_t FetchSource(std::int32_t row, std::int32_t column) {
  row = std::clamp(row, 0, kHeight - 1);
  column = std::clamp(column, 0, kWidth - 1);
  return gSourcePixels[std::size_t(row) * kWidth + column];
}

struct Pictures {
  TestPicture source;
  std::vector<std::uint32_t> destination;

  Pictures() : source{kWidth, kHeight, std::vector<std::uint32_t>(std::size_t(kWidth) * kHeight)} {
    // A photo-like picture: smooth gradients with some texture, mostly opaque.
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t r = (x * 255 / kWidth + (x * y >> 7)) & 255, g = (y * 255 / kHeight) & 255,
                            b = ((x + y) * 7 >> 3) & 255, t = (x * y) % 97 == 0 ? 128 : 0;
        source.pixels[std::size_t(y) * kWidth + x] = t << 24 | r << 16 | g << 8 | b;
      }
    destination.resize(source.pixels.size());
    sourcePicture.Buffer::Alloc(Pair<int>(kWidth, kHeight), source.pixels.data(), kWidth);
    destinationPicture.Buffer::Alloc(Pair<int>(kWidth, kHeight), destination.data(), kWidth);
  }

  // The same pixels as the program's pictures.
  UDBuffer sourcePicture;
  UDBuffer destinationPicture;
};

Pictures& ThePictures() {
  static Pictures pictures;
  gSourcePixels = pictures.source.pixels.data();
  return pictures;
}


std::uint32_t Clamp255(std::int32_t v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); }

std::uint32_t Pack(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a) {
  return (255 - Clamp255(a)) << 24 | Clamp255(r) << 16 | Clamp255(g) << 8 | Clamp255(b);
}

void SetRate(benchmark::State& state, std::int64_t pixels) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

// ---- Compiled ------------------------------------------------------------------------------

CompiledFormula CompileFilter(const Filter& filter) {
  FormulaSource source;
  for (int c = 0; c < 4; ++c) source.text[c] = filter.formulas[c].c_str();
  return CompileFormula(source);
}

// The whole picture, each pixel through the set-up and the four channel routines.
void RunPerPixel(const CompiledFormula& compiled, FormulaContext& context, Pictures& pictures) {
  const auto setup = compiled.Setup();
  const CompiledFormula::ChannelRoutine channel[4] = {compiled.Channel(0), compiled.Channel(1), compiled.Channel(2),
                                                      compiled.Channel(3)};
  context.Start(kWidth, kHeight, kSliders, &FetchSource);
  for (int y = 0; y < kHeight; ++y) {
    const std::uint32_t* in = &pictures.source.pixels[std::size_t(y) * kWidth];
    std::uint32_t* out = &pictures.destination[std::size_t(y) * kWidth];
    context.y = y;
    for (int x = 0; x < kWidth; ++x) {
      context.x = x;
      setup(in[x], &context);
      const std::int32_t r = channel[0](&context), g = channel[1](&context), b = channel[2](&context),
                         a = channel[3](&context);
      out[x] = Pack(r, g, b, a);
    }
  }
  benchmark::ClobberMemory();
}

// The whole picture through the row routine, a row a call.
void RunRows(const CompiledFormula& compiled, FormulaContext& context, Pictures& pictures) {
  const auto row = compiled.Row();
  context.Start(kWidth, kHeight, kSliders, &FetchSource);
  for (int y = 0; y < kHeight; ++y) {
    context.y = y;
    context.x = 0;
    row(&pictures.source.pixels[std::size_t(y) * kWidth], &pictures.destination[std::size_t(y) * kWidth], kWidth,
        &context);
  }
  benchmark::ClobberMemory();
}

// The program's run over the whole picture.
void RunProgram(const CompiledFormula& compiled, FormulaContext&, Pictures& pictures) {
  RunFormulaFilter(compiled, pictures.sourcePicture, pictures.destinationPicture, kSliders);
  benchmark::ClobberMemory();
}

using CompiledRun = void (*)(const CompiledFormula&, FormulaContext&, Pictures&);

void RunCompiledFilter(benchmark::State& state, const Filter& filter, CompiledRun run) {
  Pictures& pictures = ThePictures();
  const CompiledFormula compiled = CompileFilter(filter);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  for (auto _ : state) run(compiled, *context, pictures);
  SetRate(state, std::int64_t(kWidth) * kHeight);
}

// ---- Reference evaluator -------------------------------------------------------------------

void RunReferenceFilter(benchmark::State& state, const Filter& filter) {
  Pictures& pictures = ThePictures();
  std::vector<ReferenceFormula> parsed;
  for (const std::string& text : filter.formulas) parsed.emplace_back(text);
  auto run = std::make_unique<ReferenceRunState>();
  for (auto _ : state) {
    *run = ReferenceRunState{};
    std::copy(std::begin(kSliders), std::end(kSliders), run->sliders);
    for (int y = 0; y < kReferenceRows; ++y)
      for (int x = 0; x < kWidth; ++x) {
        std::int32_t v[4];
        for (int c = 0; c < 4; ++c) v[c] = parsed[c].Evaluate(pictures.source, x, y, c, *run);
        pictures.destination[std::size_t(y) * kWidth + x] = Pack(v[0], v[1], v[2], v[3]);
      }
    benchmark::ClobberMemory();
  }
  SetRate(state, std::int64_t(kWidth) * kReferenceRows);
}

// ---- By hand -------------------------------------------------------------------------------

struct Channels {
  std::int32_t r, g, b, a;
};

inline Channels Split(std::uint32_t p) {
  return {std::int32_t(p >> 16 & 255), std::int32_t(p >> 8 & 255), std::int32_t(p & 255), 255 - std::int32_t(p >> 24)};
}

// Pixels of the first rows where the hand-written filter differs from the compiled one.
template <typename PerPixel>
int CountDifferences(const Filter& filter, PerPixel perPixel) {
  Pictures& pictures = ThePictures();
  const CompiledFormula compiled = CompileFilter(filter);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->Start(kWidth, kHeight, kSliders, &FetchSource);
  int differences = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < kWidth; ++x) {
      context->x = x;
      context->y = y;
      compiled.Setup()(pictures.source.pixels[std::size_t(y) * kWidth + x], context.get());
      std::int32_t v[4];
      for (int c = 0; c < 4; ++c) v[c] = compiled.Channel(c)(context.get());
      differences += Pack(v[0], v[1], v[2], v[3]) != perPixel(pictures.source, x, y);
    }
  return differences;
}

template <typename PerPixel>
void RunByHand(benchmark::State& state, const Filter& filter, PerPixel perPixel) {
  Pictures& pictures = ThePictures();
  state.counters["differing"] = CountDifferences(filter, perPixel);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      std::uint32_t* out = &pictures.destination[std::size_t(y) * kWidth];
      for (int x = 0; x < kWidth; ++x) out[x] = perPixel(pictures.source, x, y);
    }
    benchmark::ClobberMemory();
  }
  SetRate(state, std::int64_t(kWidth) * kHeight);
}

std::uint32_t BlurByHand(const TestPicture& p, int x, int y) {
  static constexpr int kWeights[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
  const int xs[3] = {std::max(x - 1, 0), x, std::min(x + 1, kWidth - 1)};
  const int ys[3] = {std::max(y - 1, 0), y, std::min(y + 1, kHeight - 1)};
  std::int32_t r = 0, g = 0, b = 0;
  for (int k = 0; k < 9; ++k) {
    const Channels c = Split(p.pixels[std::size_t(ys[k / 3]) * kWidth + xs[k % 3]]);
    r += kWeights[k] * c.r;
    g += kWeights[k] * c.g;
    b += kWeights[k] * c.b;
  }
  return Pack(r / 16, g / 16, b / 16, Split(p.pixels[std::size_t(y) * kWidth + x]).a);
}

std::int32_t Mix(std::int32_t a, std::int32_t b, std::int32_t n, std::int32_t d) {
  return b + std::int32_t((std::int64_t(a - b) * n + (d >> 1)) / d);
}

std::int32_t Scale(std::int32_t a, std::int32_t il, std::int32_t ih, std::int32_t ol, std::int32_t oh) {
  return ol + std::int32_t((std::int64_t(a - il) * (oh - ol) + ((ih - il) >> 1)) / (ih - il));
}

std::uint32_t ColourMixByHand(const TestPicture& p, int x, int y) {
  const Channels c = Split(p.pixels[std::size_t(y) * kWidth + x]);
  return Pack(Mix(c.r, Scale(c.g, 0, 255, kSliders[0], kSliders[1]), kSliders[2], 255),
              Mix(c.g, Scale(c.b, 0, 255, kSliders[1], kSliders[0]), kSliders[3], 255),
              Mix(c.b, Scale(c.r, 16, 240, 0, 255), kSliders[2], 255), c.a);
}

std::uint32_t PolarByHand(const TestPicture& p, int x, int y) {
  static const std::unique_ptr<std::int32_t[]> sine = [] {
    auto table = std::make_unique<std::int32_t[]>(1280);
    for (int k = 0; k < 1280; ++k) table[k] = std::int32_t(std::trunc(512 * std::sin(2 * M_PI * k / 1024)));
    return table;
  }();
  const int dx = 2 * x - kWidth, dy = 2 * y - kHeight;
  const std::int32_t d = std::int32_t(std::lrint(std::atan2(double(dy), double(dx)) * (512 / M_PI)));
  const std::int32_t m = std::int32_t(std::lrint(std::sqrt(double(dx) * dx + double(dy) * dy))) >> 1;
  const int angle = (d + m / 4) & 1023;
  const int column = std::clamp((((m * sine[angle + 256]) >> 8) + kWidth) >> 1, 0, kWidth - 1);
  const int row = std::clamp((((m * sine[angle]) >> 8) + kHeight) >> 1, 0, kHeight - 1);
  const Channels at = Split(p.pixels[std::size_t(row) * kWidth + column]);
  return Pack(at.r, at.g, at.b, Split(p.pixels[std::size_t(y) * kWidth + x]).a);
}

std::uint32_t ThresholdByHand(const TestPicture& p, int x, int y) {
  const Channels c = Split(p.pixels[std::size_t(y) * kWidth + x]);
  const std::int32_t i = (76 * c.r + 150 * c.g + 29 * c.b) >> 8;
  return Pack(i > kSliders[0] ? 255 : 0, i > kSliders[0] ? 255 : 0, i > kSliders[1] ? c.r : 0, c.a);
}

// Pixels where the row routine's picture differs from the per-pixel routines' one.
int CountRowDifferences(const CompiledFormula& compiled, FormulaContext& context, Pictures& pictures) {
  RunPerPixel(compiled, context, pictures);
  const std::vector<std::uint32_t> perPixel = pictures.destination;
  RunRows(compiled, context, pictures);
  int differences = 0;
  for (std::size_t k = 0; k < perPixel.size(); ++k) differences += perPixel[k] != pictures.destination[k];
  return differences;
}

// The compiled run and the hand-written filter, timed in turn in every iteration; the
// benchmark's own time is the compiled run's. A goal, when given, is printed beside the ratio.
template <typename PerPixel>
void RunRatio(benchmark::State& state, const Filter& filter, CompiledRun run, PerPixel perPixel, double goal = 0) {
  using Clock = std::chrono::steady_clock;
  Pictures& pictures = ThePictures();
  const CompiledFormula compiled = CompileFilter(filter);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  state.counters["differing"] = CountRowDifferences(compiled, *context, pictures);
  double compiledSeconds = 0, byHandSeconds = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    run(compiled, *context, pictures);
    const Clock::time_point between = Clock::now();
    for (int y = 0; y < kHeight; ++y) {
      std::uint32_t* out = &pictures.destination[std::size_t(y) * kWidth];
      for (int x = 0; x < kWidth; ++x) out[x] = perPixel(pictures.source, x, y);
    }
    benchmark::ClobberMemory();
    const Clock::time_point end = Clock::now();
    const double seconds = std::chrono::duration<double>(between - start).count();
    compiledSeconds += seconds;
    byHandSeconds += std::chrono::duration<double>(end - between).count();
    state.SetIterationTime(seconds);
  }
  const double pixels = double(state.iterations()) * kWidth * kHeight;
  state.counters["ns/pixel"] = compiledSeconds * 1e9 / pixels;
  state.counters["by hand ns/pixel"] = byHandSeconds * 1e9 / pixels;
  state.counters["ratio"] = compiledSeconds / byHandSeconds;
  if (goal > 0) state.counters["goal"] = goal;
}

void BM_Blur_Compiled(benchmark::State& state) { RunCompiledFilter(state, kBlur, RunPerPixel); }
void BM_Blur_Rows(benchmark::State& state) { RunCompiledFilter(state, kBlur, RunRows); }
void BM_Blur_Reference(benchmark::State& state) { RunReferenceFilter(state, kBlur); }
void BM_Blur_ByHand(benchmark::State& state) { RunByHand(state, kBlur, BlurByHand); }
void BM_ColourMix_Compiled(benchmark::State& state) { RunCompiledFilter(state, kColourMix, RunPerPixel); }
void BM_ColourMix_Rows(benchmark::State& state) { RunCompiledFilter(state, kColourMix, RunRows); }
void BM_ColourMix_Reference(benchmark::State& state) { RunReferenceFilter(state, kColourMix); }
void BM_ColourMix_ByHand(benchmark::State& state) { RunByHand(state, kColourMix, ColourMixByHand); }
void BM_Polar_Compiled(benchmark::State& state) { RunCompiledFilter(state, kPolar, RunPerPixel); }
void BM_Polar_Rows(benchmark::State& state) { RunCompiledFilter(state, kPolar, RunRows); }
void BM_Polar_Reference(benchmark::State& state) { RunReferenceFilter(state, kPolar); }
void BM_Polar_ByHand(benchmark::State& state) { RunByHand(state, kPolar, PolarByHand); }
void BM_Threshold_Compiled(benchmark::State& state) { RunCompiledFilter(state, kThreshold, RunPerPixel); }
void BM_Threshold_Rows(benchmark::State& state) { RunCompiledFilter(state, kThreshold, RunRows); }
void BM_Threshold_Reference(benchmark::State& state) { RunReferenceFilter(state, kThreshold); }
void BM_Threshold_ByHand(benchmark::State& state) { RunByHand(state, kThreshold, ThresholdByHand); }

void BM_Blur_PerPixelRatio(benchmark::State& state) { RunRatio(state, kBlur, RunPerPixel, BlurByHand); }
void BM_Blur_RowsRatio(benchmark::State& state) { RunRatio(state, kBlur, RunRows, BlurByHand); }
// The program's blur: "cnv" reads the neighbours from the rows off the picture's edges.
constexpr double kBlurGoal = 1.6;
void BM_Blur_ProgramRatio(benchmark::State& state) { RunRatio(state, kBlur, RunProgram, BlurByHand, kBlurGoal); }
void BM_ColourMix_PerPixelRatio(benchmark::State& state) { RunRatio(state, kColourMix, RunPerPixel, ColourMixByHand); }
void BM_ColourMix_RowsRatio(benchmark::State& state) { RunRatio(state, kColourMix, RunRows, ColourMixByHand); }
void BM_ColourMix_ProgramRatio(benchmark::State& state) { RunRatio(state, kColourMix, RunProgram, ColourMixByHand); }
void BM_Polar_PerPixelRatio(benchmark::State& state) { RunRatio(state, kPolar, RunPerPixel, PolarByHand); }
void BM_Polar_RowsRatio(benchmark::State& state) { RunRatio(state, kPolar, RunRows, PolarByHand); }
void BM_Polar_ProgramRatio(benchmark::State& state) { RunRatio(state, kPolar, RunProgram, PolarByHand); }
void BM_Threshold_PerPixelRatio(benchmark::State& state) { RunRatio(state, kThreshold, RunPerPixel, ThresholdByHand); }
void BM_Threshold_RowsRatio(benchmark::State& state) { RunRatio(state, kThreshold, RunRows, ThresholdByHand); }
void BM_Threshold_ProgramRatio(benchmark::State& state) { RunRatio(state, kThreshold, RunProgram, ThresholdByHand); }

BENCHMARK(BM_Blur_Compiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_ByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_Compiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_ByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_Compiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_ByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_Compiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_ByHand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_PerPixelRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_RowsRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur_ProgramRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_PerPixelRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_RowsRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMix_ProgramRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_PerPixelRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_RowsRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_ProgramRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_PerPixelRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_RowsRatio)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Threshold_ProgramRatio)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
