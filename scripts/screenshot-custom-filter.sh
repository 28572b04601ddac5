#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens Image > Custom Filter
# beside a picture and previews an edge-finding kernel, and writes the X screen as a PNG
# (custom-filter.png) and the desktop the program drew as custom-filter-desktop.png.
#   scripts/screenshot-custom-filter.sh [out.png] [build dir, default build-test] [display number, default 67]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='FiltersShot.CustomFilterBesideAPreviewedPicture' \
  exec scripts/screenshot-demo.sh "${1:-custom-filter.png}" "${2:-build-test}" "${3:-67}"
