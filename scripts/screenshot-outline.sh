#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, selects an ellipse with a hole
# in a document at zoom 2, lets the marching outline run, and writes the X screen as a PNG
# (outline.png) and the desktop the program drew as outline-desktop.png.
#   scripts/screenshot-outline.sh [out.png] [build dir, default build-test] [display number, default 81]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='OutlineShot.*' \
  exec scripts/screenshot-demo.sh "${1:-outline.png}" "${2:-build-test}" "${3:-81}"
