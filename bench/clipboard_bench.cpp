// A large picture through the clipboard, against copying its pixels once, and the format
// queries the Edit menu makes while such a picture is there.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "BenchDesktop.h"
#include "platform/user/Clipboard.h"
#include "platform/user/User.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr size_t kPixelBytes = static_cast<size_t>(kWidth) * kHeight * 4;

// A 32-bit top-down CF_DIB block of the picture, with a pattern in its pixels.
HGLOBAL PictureBlock() {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + kPixelBytes);
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kWidth;
  header.biHeight = -kHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  std::memcpy(bytes, &header, sizeof header);
  auto* pixels = reinterpret_cast<std::uint32_t*>(bytes + sizeof header);
  for (size_t i = 0; i < kPixelBytes / 4; ++i) pixels[i] = static_cast<std::uint32_t>(i * 2654435761u);
  GlobalUnlock(block);
  return block;
}

void PutPicture(HGLOBAL block) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_DIB, block);
  CloseClipboard();
}

// The program's own work of making the picture's block is left out of the time.
void BM_ClipboardCopyAndPastePicture(benchmark::State& state) {
  FreshDesktop();
  for (auto _ : state) {
    state.PauseTiming();
    HGLOBAL block = PictureBlock();
    state.ResumeTiming();
    PutPicture(block);
    OpenClipboard(nullptr);
    HANDLE pasted = GetClipboardData(CF_DIB);
    benchmark::DoNotOptimize(GlobalLock(pasted));
    GlobalUnlock(pasted);
    CloseClipboard();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kPixelBytes));
}
BENCHMARK(BM_ClipboardCopyAndPastePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// What copying the picture's pixels once costs: the mark the clipboard is measured against.
void BM_MemcpyPicturePixels(benchmark::State& state) {
  std::vector<std::uint8_t> from(kPixelBytes, 7), to(kPixelBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kPixelBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kPixelBytes));
}
BENCHMARK(BM_MemcpyPicturePixels)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ClipboardFormatQueryWithAPicture(benchmark::State& state) {
  FreshDesktop();
  PutPicture(PictureBlock());
  for (auto _ : state) {
    benchmark::DoNotOptimize(IsClipboardFormatAvailable(CF_DIB));
    benchmark::DoNotOptimize(IsClipboardFormatAvailable(CF_BITMAP));
  }
}
BENCHMARK(BM_ClipboardFormatQueryWithAPicture)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
