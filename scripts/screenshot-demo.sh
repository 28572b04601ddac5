#!/usr/bin/env bash
# Shows the controls demonstration dialog with its View menu open on the SDL host under a
# virtual X server, and writes what the X screen shows as a PNG (the default: demo.png).
#   scripts/screenshot-demo.sh [out.png] [build dir, default build-test] [display number, default 97]
# The desktop the program drew is written too, straight from its surface: <out>-desktop.png.
# QUILLO_SHOT_TEST names another test that saves and holds the screen the same way (the open,
# colour and font dialogs and the components' form use this), QUILLO_SHOT_TESTS the test
# program it is in (the default: platform_tests).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-demo.png}")
build=${2:-build-test}
display=${3:-97}
tests="$build/tests/${QUILLO_SHOT_TESTS:-platform_tests}"
[ -x "$tests" ] || { echo "build the tests first: cmake --build $build" >&2; exit 1; }
for tool in Xvfb import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is needed (Xvfb, ImageMagick)" >&2; exit 1; }
done

[ -e "/tmp/.X$display-lock" ] && { echo "display :$display is in use; pick another number (third argument)" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
cleanup() {
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE
# Ready when it answers (a socket file alone may be left from an earlier server).
ready=0
for _ in $(seq 100); do
  if DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 || DISPLAY=":$display" import -window root null: 2>/dev/null; then
    ready=1
    break
  fi
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
[ "$ready" = 1 ] && kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb :$display did not start (in use? pick another number)" >&2; exit 1; }

# The test holds the screen with the menu open while the X screen is read.
DISPLAY=":$display" QUILLO_HOST=sdl SDL_RENDER_DRIVER=software QUILLO_DEMO_HOLD_MS=10000 \
  QUILLO_SHOT="$work/desktop.bmp" ASAN_OPTIONS=detect_leaks=0 \
  "$tests" --gtest_filter="${QUILLO_SHOT_TEST:-DemoDialogShot.*}" >"$work/test.log" 2>&1 &
test=$!
for _ in $(seq 300); do [ -s "$work/desktop.bmp" ] && break; sleep 0.1; done
# The host's window may take a moment to reach the X screen: read it until it shows.
for _ in $(seq 16); do
  sleep 0.5
  DISPLAY=":$display" import -window root "$out"
  shown=$(convert "$out" -format '%[fx:mean>0.05]' info:)
  [ "$shown" = 1 ] && break
done
if ! wait "$test"; then
  cat "$work/test.log" >&2
  exit 1
fi
convert "$work/desktop.bmp" "${out%.png}-desktop.png"
if [ "$shown" != 1 ]; then
  echo "the X screen stayed blank (is another server on :$display?); the desktop itself is in ${out%.png}-desktop.png" >&2
  exit 1
fi
echo "wrote $out and ${out%.png}-desktop.png"
