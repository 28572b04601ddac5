#!/usr/bin/env bash
# Remakes the shipped bitmap fonts in data/fonts/ from Debian's DejaVu faces (fonts-dejavu-core).
# Usage: tools/rfnmaker/make-fonts.sh BUILD_DIR   (the build that holds tools/rfnmaker)
set -euo pipefail
cd "$(dirname "$0")/../.."
maker=${1:-build-test}/tools/rfnmaker
faces=/usr/share/fonts/truetype/dejavu
mkdir -p data/fonts
"$maker" "$faces/DejaVuSans.ttf" "DejaVu Sans" data/fonts/dejavusans.rfn 2 11 14 18 24
"$maker" "$faces/DejaVuSerif.ttf" "DejaVu Serif" data/fonts/dejavuserif.rfn 2 11 14 18 24
