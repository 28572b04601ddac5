#!/usr/bin/env bash
# Paints a wavy stroke with the continuous pen in the started program on the SDL host under a
# virtual X server, leaves the pointer resting over the picture with the brush outline under
# it, and writes the X screen as a PNG (stroke.png) and the desktop the program drew as
# stroke-desktop.png.
#   scripts/screenshot-stroke.sh [out.png] [build dir, default build-test] [display number, default 147]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='StrokeShot.*' \
  exec scripts/screenshot-demo.sh "${1:-stroke.png}" "${2:-build-test}" "${3:-147}"
