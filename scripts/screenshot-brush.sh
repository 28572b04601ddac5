#!/usr/bin/env bash
# Shows in turn, in the started program on the SDL host under a virtual X server, the rotate
# tool turning a striped brush with the angle in the status bar, the drop-shadow dialog, and
# the Brush menu open, and writes each X screen as a PNG: <out>-rotate.png, <out>-shadow.png,
# <out>-menu.png.
#   scripts/screenshot-brush.sh [out, default brush] [build dir, default build-test] [display number, default 151]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-brush}
out=${out%.png}
for shot in rotate:TheRotateFeedback shadow:TheDropShadowDialog menu:TheBrushMenuOpen; do
  QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="BrushShot.${shot#*:}*" \
    scripts/screenshot-demo.sh "$out-${shot%%:*}.png" "${2:-build-test}" "${3:-151}"
done
