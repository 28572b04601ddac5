#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with the tip of the day showing
# as it does at start, and writes the X screen as a PNG (tips.png) and the desktop the program
# drew as tips-desktop.png.
#   scripts/screenshot-tips.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='TipShot.*' \
  exec scripts/screenshot-demo.sh "${1:-tips.png}" "${2:-build-test}" "${3:-83}"
