#!/usr/bin/env bash
# Starts the program with its own skin on the SDL host under a virtual X server: the main
# window's standard toolbar with its glyphs, and a form showing every glyph of the skin's
# first strip on a button (ten a row, the row's first index at its left) and the menu glyphs
# of the second strip beneath. Writes the X screen as a PNG (skin.png) and the desktop the
# program drew as skin-desktop.png.
#   scripts/screenshot-skin.sh [out.png] [build dir, default build-test] [display number, default 141]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='SkinShot.*' \
  exec scripts/screenshot-demo.sh "${1:-skin.png}" "${2:-build-test}" "${3:-141}"
