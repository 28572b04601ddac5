#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it with any arguments given (image
# files to open). It shows in a window of its own when a display is there (DISPLAY or
# WAYLAND_DISPLAY); without one it says so and ends, unless QUILLO_HOST=headless asks for the
# program without a screen (it then runs until it is sent SIGTERM or SIGINT, e.g. Ctrl+C).
# It installs and builds first either way, so the program is ready when a display is there.
set -euo pipefail
start=$PWD
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_TESTS=OFF
cmake --build build --target quillo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QUILLO_HOST:-}" != headless ]; then
  cat >&2 <<'MSG'
There is no display to show the program on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it where a display is, or without a screen:  QUILLO_HOST=headless scripts/run.sh [files...]
(it then runs until Ctrl+C or SIGTERM), or look at it through scripts/screenshot-program.sh.
MSG
  exit 1
fi
# File names relative to where the script was started from.
files=()
for f in "$@"; do
  case "$f" in
    /*) files+=("$f") ;;
    *) files+=("$start/$f") ;;
  esac
done
exec build/bin/quillo "${files[@]}"
