#!/usr/bin/env bash
# Starts the program with an image, opens File > Save As and chooses the GIF type, on the SDL
# host under a virtual X server, and writes the X screen as a PNG (save-picture.png) and the
# desktop the program drew as save-picture-desktop.png: the save dialog with the type's
# depths and options in its panel. QUILLO_SAVE_SHOT=SavePictureShot.TheSaveDialogWithTheJpegQuality
# shows the JPEG type's quality instead.
#   scripts/screenshot-save-picture.sh [out.png] [build dir, default build-test] [display number, default 119]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="${QUILLO_SAVE_SHOT:-SavePictureShot.TheSaveDialogWithTheFormatOptions}" \
  exec scripts/screenshot-demo.sh "${1:-save-picture.png}" "${2:-build-test}" "${3:-119}"
