#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens the palette sheet's Limit
# Colors dialog, and writes the X screen as a PNG (limit-colors.png) and the desktop the
# program drew as limit-colors-desktop.png.
#   scripts/screenshot-limit-colors.sh [out.png] [build dir, default build-test] [display number, default 68]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='FiltersShot.LimitColorsDialog' \
  exec scripts/screenshot-demo.sh "${1:-limit-colors.png}" "${2:-build-test}" "${3:-68}"
