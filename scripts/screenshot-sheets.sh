#!/usr/bin/env bash
# Shows, one after the other, the tool options window's Palette, Brush and Histogram sheets, the
# colour dialog and the clone tool's source marker on the SDL host under a virtual X server, and
# writes each X screen as a PNG: <prefix>-palette.png, -brush.png, -histogram.png,
# -colour-dialog.png and -clone.png (the desktops the program drew beside them, -desktop.png).
#   scripts/screenshot-sheets.sh [prefix, default sheets] [build dir, default build-test] [display number, default 77]
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-sheets}
build=${2:-build-test}
display=${3:-77}
for shot in Palette:palette Brush:brush Histogram:histogram ColourDialog:colour-dialog CloneMarker:clone; do
  QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="SheetsShot.${shot%%:*}" \
    scripts/screenshot-demo.sh "$prefix-${shot##*:}.png" "$build" "$display"
done
