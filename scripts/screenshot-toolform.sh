#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with a picture open and the line
# tool chosen: the tool options window shows the line tool's option bar from the English file.
# Writes the X screen as a PNG (toolform.png) and the desktop the program drew as
# toolform-desktop.png.
#   scripts/screenshot-toolform.sh [out.png] [build dir, default build-test] [display number, default 73]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='ToolFormShot.*' \
  exec scripts/screenshot-demo.sh "${1:-toolform.png}" "${2:-build-test}" "${3:-73}"
