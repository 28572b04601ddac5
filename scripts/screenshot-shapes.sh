#!/usr/bin/env bash
# Draws a filled polygon and a dotted circle in the started program on the SDL host under a
# virtual X server, then shows in turn the line tool's rubber line with its arrow head and its
# size in the status bar, an ellipse's dotted feedback, and the solid fill's option bar, and
# writes each X screen as a PNG: <out>-line.png, <out>-ellipse.png, <out>-fill.png.
#   scripts/screenshot-shapes.sh [out, default shapes] [build dir, default build-test] [display number, default 149]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-shapes}
out=${out%.png}
for shot in line:ARubberLine ellipse:ACirclesDotted fill:TheFillBar; do
  QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="ShapesShot.${shot#*:}*" \
    scripts/screenshot-demo.sh "$out-${shot%%:*}.png" "${2:-build-test}" "${3:-149}"
done
