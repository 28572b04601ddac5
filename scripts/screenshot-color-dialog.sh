#!/usr/bin/env bash
# Shows the colour dialog fully open (a basic colour picked, two custom colours) on the SDL host
# under a virtual X server, and writes what the X screen shows as a PNG (the default:
# color-dialog.png). With --font first, the font dialog with effects and Apply instead.
#   scripts/screenshot-color-dialog.sh [--font] [out.png] [build dir, default build-test] [display number, default 93]
# The desktop the program drew is written too, straight from its surface: <out>-desktop.png.
set -euo pipefail
cd "$(dirname "$0")/.."
shot='ColorDialogShot.*'
if [ "${1:-}" = --font ]; then
  shot='FontDialogShot.*'
  shift
fi
QUILLO_SHOT_TEST="$shot" exec scripts/screenshot-demo.sh "${1:-color-dialog.png}" "${2:-build-test}" "${3:-93}"
