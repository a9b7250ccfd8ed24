#!/usr/bin/env bash
# Starts the real viewer in a window on a virtual X display (SdlHost), waits
# for its window, presses Escape and checks that it exits cleanly.
# Usage: run_viewer_under_xvfb.sh VIEWER DATA_DIR [SCREENSHOT.png]
set -u
viewer=$1
data=$2
screenshot=${3:-}

for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
viewer_pid=""
cleanup() { kill $viewer_pid "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
# Xvfb picks a free display itself and writes its number to the file; it
# must not reset when its last client leaves, or a client connecting right
# then is refused.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
# The server accepts connections a moment after it names its display.
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb does not accept connections on $DISPLAY"; exit 1; }
# An X display only: no Wayland probing (and its complaints) on machines without a session.
export SDL_VIDEODRIVER=x11 XDG_RUNTIME_DIR="$work"

cd "$data" || exit 1
VALMERE_WINDOWED=1 "$viewer" > "$work/stdout.txt" 2> "$work/stderr.txt" &
viewer_pid=$!

window=""
for _ in $(seq 300); do
  window=$(xdotool search --name "^Valmere Engine$" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "FAIL: no window appeared"; cat "$work/stdout.txt" "$work/stderr.txt"; exit 1
fi
grep -q "running headless" "$work/stderr.txt" && { echo "FAIL: the viewer ran headless"; exit 1; }

sleep 1  # let a few frames be presented
if [ -n "$screenshot" ] && command -v import >/dev/null; then
  import -window root "$screenshot" 2>/dev/null
fi
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" Escape

for _ in $(seq 300); do
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$viewer_pid" 2>/dev/null; then
  echo "FAIL: the viewer did not exit after Escape"; exit 1
fi
wait "$viewer_pid"
status=$?
if [ "$status" -ne 0 ]; then
  echo "FAIL: exit status $status"; cat "$work/stderr.txt"; exit 1
fi
if [ -s "$work/stderr.txt" ]; then
  echo "FAIL: the viewer reported errors:"; cat "$work/stderr.txt"; exit 1
fi
echo "PASS: window shown, Escape closed it, exit status 0"
