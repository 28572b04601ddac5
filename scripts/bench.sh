#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them all (or those named).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLO_TESTS=OFF -DQUILLO_BENCH=ON
cmake --build build-bench
for bench in build-bench/bench/*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  if [ $# -eq 0 ] || [[ " $* " == *" $(basename "$bench") "* ]]; then "$bench"; fi
done
