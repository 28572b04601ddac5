#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens Image > Filter Factory
# beside a picture with a filter on its thumbnail, and writes the X screen as a PNG
# (filter-factory.png) and the desktop the program drew as filter-factory-desktop.png.
#   scripts/screenshot-filter-factory.sh [out.png] [build dir, default build-test] [display number, default 67]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='FiltersShot.FilterFactoryWithAFilterOnItsThumbnail' \
  exec scripts/screenshot-demo.sh "${1:-filter-factory.png}" "${2:-build-test}" "${3:-67}"
