#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it with any arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_TESTS=OFF
cmake --build build
if [ ! -x build/bin/quillo ]; then
  echo "The program itself is not built: the tree holds the platform layer, the graphics library and the formula-filter compiler, each tested on its own (scripts/test.sh)."
  exit 0
fi
exec build/bin/quillo "$@"
