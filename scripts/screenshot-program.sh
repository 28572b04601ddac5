#!/usr/bin/env bash
# Starts the program with two images, one of them zoomed in, on the SDL host under a virtual
# X server, and writes the X screen as a PNG (program.png) and the desktop the program drew as
# program-desktop.png.
#   scripts/screenshot-program.sh [out.png] [build dir, default build-test] [display number, default 93]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='ProgramShot.*' \
  exec scripts/screenshot-demo.sh "${1:-program.png}" "${2:-build-test}" "${3:-93}"
