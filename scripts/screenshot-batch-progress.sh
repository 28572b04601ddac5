#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with the progress window with the message lines of a run
# showing, and writes the X screen as a PNG (batch-progress.png) and the desktop the program drew as
# batch-progress-desktop.png.
#   scripts/screenshot-batch-progress.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='BatchShot.TheProgressWindowWithMessageLines' \
  exec scripts/screenshot-demo.sh "${1:-batch-progress.png}" "${2:-build-test}" "${3:-83}"
