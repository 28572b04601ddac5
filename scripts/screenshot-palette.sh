#!/usr/bin/env bash
# Starts the program with its own skin on the SDL host under a virtual X server, holds the
# pens' palette button until the icon panel opens beside it, and writes the X screen as a PNG
# (palette.png) and the desktop the program drew as palette-desktop.png.
#   scripts/screenshot-palette.sh [out.png] [build dir, default build-test] [display number, default 71]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='PaletteShot.*' \
  exec scripts/screenshot-demo.sh "${1:-palette.png}" "${2:-build-test}" "${3:-71}"
