#!/usr/bin/env bash
# Shows the text tool's anti-aliased preview with outline and shadow beside its Text sheet, and
# the spray radius tool's disc being dragged out, on the SDL host under a virtual X server, and
# writes each X screen as a PNG: <prefix>-text.png and <prefix>-spray-radius.png (the desktops
# the program drew beside them, -desktop.png).
#   scripts/screenshot-text.sh [prefix, default text] [build dir, default build-test] [display number, default 78]
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-text}
build=${2:-build-test}
display=${3:-78}
for shot in AntiAliasedTextWithOutlineAndShadow:text SprayRadiusDisc:spray-radius; do
  QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="TextShot.${shot%%:*}" \
    scripts/screenshot-demo.sh "$prefix-${shot##*:}.png" "$build" "$display"
done
