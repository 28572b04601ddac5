// The memory a save takes beside the picture: a 4000 x 3000 picture with transparency saved
// below 32 bits (composited over its background) as each format that saves by rows writes
// it. Each save runs in a child process whose peak resident size is reset first; the counter
// "vs_picture" is the peak growth over the picture's own size, the goal at most 0.10.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "FileBench.h"
#include "SyntheticPhoto.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string name = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.compare(0, name.size(), name) == 0) return std::stol(line.substr(name.size()));
  return -1;
}

// The growth in KiB of the peak resident size while save() runs in a forked child.
template <class Save>
long PeakGrowthKiB(Save save) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const long before = StatusKiB("VmRSS");
    save();
    const long growth = StatusKiB("VmHWM") - before;
    (void)!::write(pipeEnds[1], &growth, sizeof growth);
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  long growth = -1;
  if (::read(pipeEnds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  ::close(pipeEnds[0]);
  ::waitpid(child, nullptr, 0);
  return growth;
}

Buffer& Picture() {
  static Buffer picture = [] {
    Buffer b;
    b.Alloc(Pair<int>(kWidth, kHeight));
    const auto px = bench_photo::Make(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        *b.At(x, y) = px[size_t(y) * kWidth + x] | uint((x + y) & 0xFF) << 24;
    return b;
  }();
  return picture;
}

void BM_SavePeakMemory(benchmark::State& state) {
  const char* extension = state.range(0) == 0 ? ".png" : ".jpg";
  state.SetLabel(extension);
  GFXFile::SetAlpha(true);
  const std::string path = bench_files::Scratch().File((std::string("peak") + extension).c_str());
  GFXSaveParams params;
  params.bits = 24;
  params.quality = 90;
  GFXtra32 extra{0, 0, 0, 0x00FFFFFF};
  Buffer& picture = Picture();
  long growth = 0;
  for (auto _ : state) growth = PeakGrowthKiB([&] { GFXFile::Save(picture, path, &extra, &params); });
  GFXFile::SetAlpha(false);
  const double pictureKiB = double(kWidth) * kHeight * 4 / 1024;
  state.counters["peak_growth_MiB"] = double(growth) / 1024;
  state.counters["vs_picture"] = double(growth) / pictureKiB;
  state.counters["goal"] = 0.10;
}

}  // namespace

BENCHMARK(BM_SavePeakMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
