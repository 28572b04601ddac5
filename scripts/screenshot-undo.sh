#!/usr/bin/env bash
# Paints a few strokes in the started program on the SDL host under a virtual X server, opens
# the undo history list with the arrow beside the Undo button, rests the pointer on its third
# entry, and writes the X screen as a PNG (undo.png) and the desktop the program drew as
# undo-desktop.png.
#   scripts/screenshot-undo.sh [out.png] [build dir, default build-test] [display number, default 85]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='UndoHistoryShot.*' \
  exec scripts/screenshot-demo.sh "${1:-undo.png}" "${2:-build-test}" "${3:-85}"
