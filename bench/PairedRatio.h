#pragma once
// Ours against a reference on the same data, taken in turns within each iteration, so that
// whatever else the machine does at the time weighs on both alike. The benchmark's time is
// ours; the counter "vs_ref" is our total time over the reference's (1.0 = as fast, below
// 1.0 = faster) and "goal" the ratio aimed at, so a run shows at once how each one stands.

#include <benchmark/benchmark.h>

#include <chrono>

namespace bench_ratio {

// Runs ours() and reference() once each per iteration, prepare() untimed before ours(). The
// order alternates so that neither always finds the caches warmed by the other.
template <class Prepare, class Ours, class Reference>
void PairedPrepared(benchmark::State& state, double goal, Prepare prepare, Ours ours, Reference reference) {
  using Clock = std::chrono::steady_clock;
  double oursTotal = 0, referenceTotal = 0;
  bool oursFirst = true;
  for (auto _ : state) {
    auto time = [](auto& run) {
      const auto start = Clock::now();
      run();
      return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double a, b;
    if (oursFirst) {
      prepare();
      a = time(ours);
      b = time(reference);
    } else {
      b = time(reference);
      prepare();
      a = time(ours);
    }
    oursFirst = !oursFirst;
    oursTotal += a;
    referenceTotal += b;
    state.SetIterationTime(a);
  }
  state.counters["vs_ref"] = referenceTotal > 0 ? oursTotal / referenceTotal : 0;
  state.counters["goal"] = goal;
}

// Runs ours() and reference() once each per iteration, as PairedPrepared with nothing to
// prepare.
template <class Ours, class Reference>
void Paired(benchmark::State& state, double goal, Ours ours, Reference reference) {
  PairedPrepared(state, goal, [] {}, ours, reference);
}

}  // namespace bench_ratio
