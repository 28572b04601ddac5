#!/usr/bin/env bash
# Shows in turn, in the started program on the SDL host under a virtual X server, the e-mail
# dialog with its advanced part, the capture dialog, and the desktop with an exported
# wallpaper, and writes each X screen as a PNG: <out>-mail.png, <out>-capture.png,
# <out>-wallpaper.png.
#   scripts/screenshot-output.sh [out, default output] [build dir, default build-test] [display number, default 153]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-output}
out=${out%.png}
for shot in mail:TheMailDialogWithItsAdvancedPart capture:TheCaptureDialog wallpaper:TheDesktopWithAnExportedWallpaper; do
  QUILLO_SHOT_TESTS=quillo_tests QUILLO_SHOT_TEST="OutputShot.${shot#*:}*" \
    scripts/screenshot-demo.sh "$out-${shot%%:*}.png" "${2:-build-test}" "${3:-153}"
done
