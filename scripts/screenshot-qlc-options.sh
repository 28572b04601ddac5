#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, runs a test component with an
# option of every kind, and writes the X screen with its option page as a PNG (qlc-options.png).
#   scripts/screenshot-qlc-options.sh [out.png] [build dir, default build-test] [display number, default 84]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='ComponentShot.TheOptionPageOfEveryKind' \
  exec scripts/screenshot-demo.sh "${1:-qlc-options.png}" "${2:-build-test}" "${3:-84}"
