#!/usr/bin/env bash
# Shows File > Open of the started program with a picture selected and its preview panel on
# the SDL host under a virtual X server, and writes the X screen as a PNG (open-picture.png).
#   scripts/screenshot-open-picture.sh [out.png] [build dir, default build-test] [display number, default 147]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='OpenPictureShot.*' \
  exec scripts/screenshot-demo.sh "${1:-open-picture.png}" "${2:-build-test}" "${3:-147}"
