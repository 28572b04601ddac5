#!/usr/bin/env bash
# Starts the program on the SDL host under a virtual X server with File > Acquire's options window showing (SANE's test scanner)
# (see tests/quillo/output/PrintShotTest.cpp), and writes the X screen as a PNG (scan.png) and the
# desktop the program drew as scan-desktop.png.
#   scripts/screenshot-scan.sh [out.png] [build dir, default build-test] [display number, default 84]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='PrintShot.TheScannersOptions' \
  exec scripts/screenshot-demo.sh "${1:-scan.png}" "${2:-build-test}" "${3:-84}"
