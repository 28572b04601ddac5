#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with File > Printer Setup showing
# (see tests/quillo/output/PrintShotTest.cpp), and writes the X screen as a PNG (print-setup.png) and the
# desktop the program drew as print-setup-desktop.png.
#   scripts/screenshot-print-setup.sh [out.png] [build dir, default build-test] [display number, default 84]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='PrintShot.ThePrinterSetupDialog' \
  exec scripts/screenshot-demo.sh "${1:-print-setup.png}" "${2:-build-test}" "${3:-84}"
