// The custom convolution filter over a 4000 x 3000 picture, row by row as the preview runs it,
// against plain loops written here that do the same arithmetic (weights scaled by 2^37 in
// 64-bit integers, ties to even inside, truncation on the border): a non-separable 5 x 5
// kernel, a 3 x 3 one and the separable 5 x 5 (1 4 6 4 1 by 1 4 6 4 1, Div 256). The goal:
// within 1.5 times the plain loops. For the separable kernel also a two-pass loop (goal: 1.3
// times it, the filter running in two passes too), and a
// Preview of a 256 x 256 area in the program, message pumping included (goal: under 30 ms).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cmath>
#include <cstdint>
#include <vector>

#include "BenchProgram.h"
#include "PairedRatio.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/PreviewState.h"
#include "quillo/filters/ConvolutionKernel.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/tools/Tool.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr double kGoal = 1.5;
// The separable kernel runs in two passes: against a two-pass loop.
constexpr double kTwoPassGoal = 1.3;

enum KernelKind { kFull = 0, kSmall = 1, kSeparable = 2 };

ConvolutionKernel KernelOf(int kind) {
  ConvolutionKernel k;
  if (kind == kFull) {
    const int cells[25] = {-1, 2, -3, 2, -1, 3, -5, 7, -5, 2, -2, 9, 40, 8, -3, 1, -6, 6, -4, 2, -1, 2, -3, 1, -1};
    std::copy(std::begin(cells), std::end(cells), k.Cells.begin());
    k.Div = 31;
    k.Bias = 3;
  } else if (kind == kSmall) {
    const int cells[9] = {-1, -1, -1, -1, 9, -1, -1, -1, -1};
    for (int i = 0; i < 9; ++i) k.Cells[static_cast<std::size_t>((i / 3 + 1) * 5 + i % 3 + 1)] = cells[i];
  } else {
    const int taps[5] = {1, 4, 6, 4, 1};
    for (int i = 0; i < 25; ++i) k.Cells[static_cast<std::size_t>(i)] = taps[i / 5] * taps[i % 5];
    k.Div = 256;
  }
  return k;
}

const Buffer& Photo() {
  static Buffer photo = [] {
    Buffer b;
    b.Alloc(Pair<int>(kWidth, kHeight));
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t smooth = static_cast<std::uint32_t>((x / 7 + y / 5) & 0xFF);
        *b.At(x, y) = (smooth << 16 | ((x ^ y) & 0xFF) << 8 | ((seed >> 16) & 0xFF));
      }
    return b;
  }();
  return photo;
}

// The plain loops: every pixel on its own, the neighbourhood read by index.
struct Plain {
  int side;
  std::vector<std::int64_t> weights;
  std::int64_t bias;

  explicit Plain(const ConvolutionKernel& kernel) {
    bool outer = false;
    for (int c = 0; c < 25; ++c)
      if ((c / 5 == 0 || c / 5 == 4 || c % 5 == 0 || c % 5 == 4) && kernel.Cells[static_cast<std::size_t>(c)]) outer = true;
    side = outer ? 5 : 3;
    const int skip = (5 - side) / 2;
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        const float w = static_cast<float>(kernel.Cells[static_cast<std::size_t>((r + skip) * 5 + c + skip)]) /
                        static_cast<float>(kernel.Div);
        weights.push_back(static_cast<std::int64_t>(std::ldexp(static_cast<double>(w), 37)));
      }
    bias = static_cast<std::int64_t>(kernel.Bias) << 37;
  }

  static std::uint32_t Round(std::int64_t s, bool interior) {
    std::int64_t q;
    if (interior) {
      q = s >> 37;
      const std::int64_t rest = s & ((std::int64_t{1} << 37) - 1);
      if (rest > (std::int64_t{1} << 36) || (rest == (std::int64_t{1} << 36) && (q & 1))) ++q;
    } else {
      q = s >= 0 ? s >> 37 : -((-s) >> 37);
    }
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(q, 0, 255));
  }

  void Run(const Buffer& in, Buffer& out) const {
    const int half = side / 2;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool interior = x >= half && x < kWidth - half && y >= half && y < kHeight - half;
        std::int64_t r = bias, g = bias, b = bias;
        for (int ky = 0; ky < side; ++ky)
          for (int kx = 0; kx < side; ++kx) {
            const int sx = interior ? x + kx - half : std::clamp(x + kx - half, 0, kWidth - 1);
            const int sy = interior ? y + ky - half : std::clamp(y + ky - half, 0, kHeight - 1);
            const std::uint32_t c = in.pixels[static_cast<std::size_t>(sy) * kWidth + sx];
            const std::int64_t w = weights[static_cast<std::size_t>(ky * side + kx)];
            r += w * (c >> 16 & 0xFF);
            g += w * (c >> 8 & 0xFF);
            b += w * (c & 0xFF);
          }
        std::uint32_t& o = out.pixels[static_cast<std::size_t>(y) * kWidth + x];
        o = (o & 0xFF000000u) | Round(r, interior) << 16 | Round(g, interior) << 8 | Round(b, interior);
      }
  }
};

void Ours(const ConvolutionFilter& filter, const Buffer& in, Buffer& out) {
  for (int y = 0; y < kHeight; ++y) filter.FilterRow(in, nullptr, out, y, 0, kWidth - 1);
}

// The filters keep the target's own alpha, so both targets start from the same opaque pixels.
Buffer Target() {
  Buffer b;
  b.Alloc(Pair<int>(kWidth, kHeight));
  std::fill(b.pixels, b.pixels + static_cast<std::size_t>(kWidth) * kHeight, 0xFF000000u);
  return b;
}

void BM_CustomFilter(benchmark::State& state) {
  const ConvolutionKernel kernel = KernelOf(static_cast<int>(state.range(0)));
  const ConvolutionFilter filter(kernel);
  const Plain plain(kernel);
  Buffer ours = Target(), reference = Target();
  bench_ratio::Paired(
      state, kGoal, [&] { Ours(filter, Photo(), ours); }, [&] { plain.Run(Photo(), reference); });
  const char* names[] = {"5 x 5", "3 x 3", "separable 5 x 5"};
  state.SetLabel(names[state.range(0)]);
  if (std::memcmp(ours.pixels, reference.pixels, sizeof(std::uint32_t) * kWidth * kHeight) != 0)
    state.SkipWithError("the filter and the plain loops disagree");
}

// The separable kernel in two passes: 1 4 6 4 1 down the columns into 16-bit sums, then
// along the rows, /256 with ties to even inside; the border as the filter does it.
void TwoPass(const Buffer& in, Buffer& out) {
  static const int taps[5] = {1, 4, 6, 4, 1};
  std::vector<std::uint16_t> column(static_cast<std::size_t>(kWidth) * 3);
  const Plain border(KernelOf(kSeparable));
  for (int y = 0; y < kHeight; ++y) {
    const bool interiorRow = y >= 2 && y < kHeight - 2;
    if (interiorRow) {
      const std::uint32_t* rows[5];
      for (int k = 0; k < 5; ++k) rows[k] = in.pixels + static_cast<std::size_t>(y + k - 2) * kWidth;
      for (int x = 0; x < kWidth; ++x) {
        unsigned r = 0, g = 0, b = 0;
        for (int k = 0; k < 5; ++k) {
          const std::uint32_t c = rows[k][x];
          r += taps[k] * (c >> 16 & 0xFF);
          g += taps[k] * (c >> 8 & 0xFF);
          b += taps[k] * (c & 0xFF);
        }
        column[3 * x] = static_cast<std::uint16_t>(r);
        column[3 * x + 1] = static_cast<std::uint16_t>(g);
        column[3 * x + 2] = static_cast<std::uint16_t>(b);
      }
    }
    std::uint32_t* o = out.pixels + static_cast<std::size_t>(y) * kWidth;
    for (int x = 0; x < kWidth; ++x) {
      if (!interiorRow || x < 2 || x >= kWidth - 2) {
        // The few border pixels: the clamped neighbourhood, truncated.
        std::int64_t s[3] = {0, 0, 0};
        for (int ky = 0; ky < 5; ++ky)
          for (int kx = 0; kx < 5; ++kx) {
            const std::uint32_t c = in.pixels[static_cast<std::size_t>(std::clamp(y + ky - 2, 0, kHeight - 1)) * kWidth +
                                              std::clamp(x + kx - 2, 0, kWidth - 1)];
            const std::int64_t w = border.weights[static_cast<std::size_t>(ky * 5 + kx)];
            s[0] += w * (c >> 16 & 0xFF);
            s[1] += w * (c >> 8 & 0xFF);
            s[2] += w * (c & 0xFF);
          }
        o[x] = (o[x] & 0xFF000000u) | Plain::Round(s[0], false) << 16 | Plain::Round(s[1], false) << 8 |
               Plain::Round(s[2], false);
        continue;
      }
      std::uint32_t v[3];
      for (int ch = 0; ch < 3; ++ch) {
        const unsigned sum = column[3 * (x - 2) + ch] + 4u * column[3 * (x - 1) + ch] + 6u * column[3 * x + ch] +
                             4u * column[3 * (x + 1) + ch] + column[3 * (x + 2) + ch];
        unsigned q = sum >> 8;
        const unsigned rest = sum & 0xFF;
        if (rest > 128 || (rest == 128 && (q & 1))) ++q;
        v[ch] = std::min(q, 255u);
      }
      o[x] = (o[x] & 0xFF000000u) | v[0] << 16 | v[1] << 8 | v[2];
    }
  }
}

void BM_SeparableTwoPass(benchmark::State& state) {
  const ConvolutionFilter filter(KernelOf(kSeparable));
  Buffer ours = Target(), twoPass = Target();
  bench_ratio::Paired(
      state, kTwoPassGoal, [&] { Ours(filter, Photo(), ours); }, [&] { TwoPass(Photo(), twoPass); });
  state.SetLabel("ours against a two-pass loop");
  if (std::memcmp(ours.pixels, twoPass.pixels, sizeof(std::uint32_t) * kWidth * kHeight) != 0)
    state.SkipWithError("the filter and the two-pass loop disagree");
}

// Preview over a 256 x 256 picture in the program: the dialog's button handler, which filters
// row by row and lets the waiting messages run after each row.
void BM_Preview256(benchmark::State& state) {
  StartBenchProgram();
  TImageForm* window = CreateDocumentWindow(256, 256, "");
  RunQueue();
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) *window->Picture.At(x, y) = static_cast<std::uint32_t>(x << 16 | y << 8 | (x ^ y));
  SelectTool(&CustomFilterTool, true, -1);
  RunQueue();
  TCFilterForm* dialog = CustomFilterTool.Form;
  if (dialog == nullptr) {
    state.SkipWithError("the dialog did not open");
    ResetApplication();
    return;
  }
  dialog->ShowKernel(KernelOf(kFull));
  for (auto _ : state) {
    PreviewValid = false;
    const auto start = std::chrono::steady_clock::now();
    dialog->PreviewBtnClick(nullptr);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["goal_ms"] = 30;
  dialog->CancelBtnClick(nullptr);
  RunQueue();
  ResetApplication();  // so that a repetition can start the program afresh
}

}  // namespace

BENCHMARK(BM_CustomFilter)->DenseRange(kFull, kSeparable)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_SeparableTwoPass)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_Preview256)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK_MAIN();
