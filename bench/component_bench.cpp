// A component's pixels go through the host's callbacks, one call per pixel, each checking its
// coordinates against the picture it addresses. The inverter over 4000 x 3000 through them,
// with blend items 0 (replace) and 4 (hard light), against a plain loop doing the same work
// through unchecked functions (goal: within 2 times); and an option change with its 120 x 90
// instant preview (goal: under 30 ms).

#include <benchmark/benchmark.h>

#include <cstdint>

#include "PairedRatio.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/plugins/ComponentBlend.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

ComponentParams* Params = nullptr;

// The inverter, as a component writes it.
void Inverter(void* block, std::int32_t command) {
  if (command == CMD_INIT) Params = static_cast<ComponentParams*>(block);
  if (command != CMD_PROCESS || !Params) return;
  const ComponentCallbacks& cb = Params->Callbacks;
  for (std::int32_t y = Params->ClipTop; y <= Params->ClipBottom; ++y)
    for (std::int32_t x = Params->ClipLeft; x <= Params->ClipRight; ++x)
      cb.CompPutPixel(~cb.CompGetSrcPixel(y, x) & 0xFFFFFF, y, x);
}

void Fill(UDBuffer& picture, int width, int height) {
  picture.Alloc(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *picture.At(x, y) = static_cast<std::uint32_t>(x * 7 + y * 13) & 0xFFFFFF;
}

// The host set up as the effect tool sets it up, the inverter current.
struct Host {
  UDBuffer source, destination;
  Host(int width, int height, int mode) {
    Fill(source, width, height);
    Fill(destination, width, height);
    ComponentTable[0] = QLCDSTR{};
    ComponentTable[0].Name = "Inverter";
    ComponentTable[0].Entry = Inverter;
    ComponentCount = 1;
    CurrentComponent = 0;
    InitComponentParams(mode);
    SetComponentPictures(&destination, &source);
    HostParams.ClipLeft = 0;
    HostParams.ClipTop = 0;
    HostParams.ClipRight = width - 1;
    HostParams.ClipBottom = height - 1;
    CallComponent(CMD_INIT, &HostParams);
  }
  ~Host() {
    ComponentCount = 0;
    ComponentTable[0] = QLCDSTR{};
  }
};

// The same work without checks: a plain picture's pixels read and written through functions
// the loop cannot see into, as a component's calls are.
struct Plain {
  std::uint32_t* source;
  std::uint32_t* destination;
  int width;
  int mode;
};
Plain ThePlain;
__attribute__((noinline)) std::uint32_t PlainGet(int y, int x) { return ThePlain.source[y * ThePlain.width + x]; }
__attribute__((noinline)) void PlainPut(std::uint32_t colour, int y, int x) {
  std::uint32_t& p = ThePlain.destination[y * ThePlain.width + x];
  p = BlendPixel(ThePlain.mode, ThePlain.source[y * ThePlain.width + x], colour, p);
}
using GetFn = std::uint32_t (*)(int, int);
using PutFn = void (*)(std::uint32_t, int, int);
volatile GetFn PlainGetFn = PlainGet;
volatile PutFn PlainPutFn = PlainPut;

void PlainInverter(int width, int height) {
  const GetFn get = PlainGetFn;
  const PutFn put = PlainPutFn;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) put(~get(y, x) & 0xFFFFFF, y, x);
}

void BM_InverterThroughCallbacks(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Host host(kWidth, kHeight, mode);
  UDBuffer plainSource, plainDestination;
  Fill(plainSource, kWidth, kHeight);
  Fill(plainDestination, kWidth, kHeight);
  ThePlain = Plain{plainSource.pixels, plainDestination.pixels, kWidth, mode};
  bench_ratio::Paired(
      state, 2.0, [&] { CallComponent(CMD_PROCESS, &HostParams); }, [&] { PlainInverter(kWidth, kHeight); });
  benchmark::DoNotOptimize(*host.destination.At(5, 5));
  benchmark::DoNotOptimize(*plainDestination.At(5, 5));
}
BENCHMARK(BM_InverterThroughCallbacks)->Arg(0)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond);

// An option change: the values sent, then the component run on the 120 x 90 thumbnail.
void BM_OptionChangeWithInstantPreview(benchmark::State& state) {
  Host host(120, 90, 0);
  HostParams.InstantPreview = 1;
  for (auto _ : state) {
    SendComponentOptions(ComponentOptionValues.data());
    host.destination.CopyFrom(host.source);
    CallComponent(CMD_PROCESS, &HostParams);
  }
  state.counters["goal_ms"] = 30;
}
BENCHMARK(BM_OptionChangeWithInstantPreview)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
