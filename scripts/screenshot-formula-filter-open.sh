#!/usr/bin/env bash
# Shows the filter factory's open dialog on a library of filters, its second entry chosen and
# previewed beside the file list, on the SDL host under a virtual X server, and writes the X
# screen as a PNG (formula-filter-open.png).
#   scripts/screenshot-formula-filter-open.sh [out.png] [build dir, default build-test] [display number, default 151]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='FormulaFilterShot.*' \
  exec scripts/screenshot-demo.sh "${1:-formula-filter-open.png}" "${2:-build-test}" "${3:-151}"
