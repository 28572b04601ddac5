#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server, opens File > Browse on a folder
# of pictures, and writes the X screen as a PNG (browser.png).
#   scripts/screenshot-browser.sh [out.png] [build dir, default build-test] [display number, default 83]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='BrowseShot.TheBrowserWithAGrid' \
  exec scripts/screenshot-demo.sh "${1:-browser.png}" "${2:-build-test}" "${3:-83}"
