#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with the image information window
# showing, and writes the X screen as a PNG (info.png) and the desktop the program drew as
# info-desktop.png.
#   scripts/screenshot-info.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='BatchShot.TheInformationWindow' \
  exec scripts/screenshot-demo.sh "${1:-info.png}" "${2:-build-test}" "${3:-83}"
