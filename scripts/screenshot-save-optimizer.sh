#!/usr/bin/env bash
# Starts the program with a picture, opens File > Save As and its "Optimize..." button, probes
# four slots (two JPEG qualities, a 256-colour GIF, a 16-colour PNG), on the SDL host under a
# virtual X server, and writes the X screen as a PNG (save-optimizer.png) and the desktop the
# program drew as save-optimizer-desktop.png.
#   scripts/screenshot-save-optimizer.sh [out.png] [build dir, default build-test] [display number, default 153]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='SaveOptimShot.*' \
  exec scripts/screenshot-demo.sh "${1:-save-optimizer.png}" "${2:-build-test}" "${3:-153}"
