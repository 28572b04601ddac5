#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens Help > About, and writes
# the X screen as a PNG (about.png) and the desktop the program drew as about-desktop.png.
#   scripts/screenshot-about.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='AboutShot.*' \
  exec scripts/screenshot-demo.sh "${1:-about.png}" "${2:-build-test}" "${3:-83}"
