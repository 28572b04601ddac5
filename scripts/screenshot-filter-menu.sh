#!/usr/bin/env bash
# Starts the program with a folder of sample filter plug-ins on the SDL host under a virtual X
# server, opens the Image menu on its filter submenu and one category, and writes the X screen
# as a PNG (filter-menu.png) and the desktop the program drew as filter-menu-desktop.png.
#   scripts/screenshot-filter-menu.sh [out.png] [build dir, default build-test] [display number, default 73]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='FilterPluginMenuTest.TheImageMenuOpensOnTheFilterSubmenuAndACategory' \
  exec scripts/screenshot-demo.sh "${1:-filter-menu.png}" "${2:-build-test}" "${3:-73}"
