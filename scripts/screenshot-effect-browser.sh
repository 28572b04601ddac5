#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens the effect browser from a
# test component's option page, and writes the X screen as a PNG (effect-browser.png).
#   scripts/screenshot-effect-browser.sh [out.png] [build dir, default build-test] [display number, default 85]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='ComponentShot.TheEffectBrowser' \
  exec scripts/screenshot-demo.sh "${1:-effect-browser.png}" "${2:-build-test}" "${3:-85}"
