#!/usr/bin/env bash
# Shows every window component on one gradient caption form (and a band caption form beside
# it) on the SDL host under a virtual X server, and writes the X screen as a PNG
# (components.png).
#   scripts/screenshot-components.sh [out.png] [build dir, default build-test] [display number, default 92]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST='ComponentsDemoTest.*' \
  exec scripts/screenshot-demo.sh "${1:-components.png}" "${2:-build-test}" "${3:-92}"
