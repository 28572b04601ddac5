#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with the batch conversion window with both panels open
# showing, and writes the X screen as a PNG (batch.png) and the desktop the program drew as
# batch-desktop.png.
#   scripts/screenshot-batch.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='BatchShot.TheBatchWindowWithBothPanelsOpen' \
  exec scripts/screenshot-demo.sh "${1:-batch.png}" "${2:-build-test}" "${3:-83}"
