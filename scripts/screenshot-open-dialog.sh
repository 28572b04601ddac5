#!/usr/bin/env bash
# Shows the open dialog with a preview child template (the way the program extends it) on
# the SDL host under a virtual X server and writes the X screen as a PNG (open-dialog.png).
#   scripts/screenshot-open-dialog.sh [out.png] [build dir, default build-test] [display number, default 93]
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLO_SHOT_TEST='FileDialogShot.*' exec scripts/screenshot-demo.sh "${1:-open-dialog.png}" "${2:-build-test}" "${3:-93}"
