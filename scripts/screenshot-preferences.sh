#!/usr/bin/env bash
# Shows each of the preferences dialog's ten pages over the started program on the SDL host
# under a virtual X server, and writes the X screens as PNG files <prefix>-0.png to
# <prefix>-9.png (with the desktops the program drew as <prefix>-N-desktop.png).
#   scripts/screenshot-preferences.sh [prefix, default preferences] [build dir, default build-test] [display number, default 84]
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-preferences}
for page in 0 1 2 3 4 5 6 7 8 9; do
  QUILLO_PREFS_PAGE=$page QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='PreferencesShot.*' \
    scripts/screenshot-demo.sh "$prefix-$page.png" "${2:-build-test}" "${3:-84}"
done
