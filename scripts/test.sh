#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test. It also builds the optimised Release
# configuration with its tests, without running them, so that warnings only an optimising
# compiler gives stop the build here too. The libFuzzer programs are built (not run) once with
# clang, as fuzz/README builds them, so that they stay buildable.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLO_SANITIZE=ON -DQUILLO_TESTS=ON
cmake --build build-test
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLO_TESTS=ON
cmake --build build-release
# Unoptimised and without debug information: clang's errors and warnings come from its front
# end alike, and this takes a third of the time.
CC=clang CXX=clang++ cmake -S . -B build-fuzz-check -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG=-O0 -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DQUILLO_FUZZ=ON -DQUILLO_SANITIZE=ON -DQUILLO_TESTS=OFF
cmake --build build-fuzz-check --target fuzzers
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build-test --output-on-failure -j "$(nproc)" "$@"
