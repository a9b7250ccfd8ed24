#!/usr/bin/env bash
# Starts the real viewer in a window on a virtual X display (SdlHost), waits
# for its window, presses Escape and checks that it exits cleanly.
# Usage: run_viewer_under_xvfb.sh VIEWER DATA_DIR [SCREENSHOT.png]
set -u
viewer=$1
data=$2
screenshot=${3:-}

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$viewer_pid" "$xvfb" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cd "$data" || exit 1
VALMERE_WINDOWED=1 "$viewer" > viewer-stdout.txt 2> viewer-stderr.txt &
viewer_pid=$!

window=""
for _ in $(seq 100); do
  window=$(xdotool search --name "^Valmere Engine$" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "FAIL: no window appeared"; cat viewer-stderr.txt; exit 1
fi
grep -q "running headless" viewer-stderr.txt && { echo "FAIL: the viewer ran headless"; exit 1; }

sleep 1  # let a few frames be presented
if [ -n "$screenshot" ] && command -v import >/dev/null; then
  import -window root "$screenshot" 2>/dev/null
fi
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" Escape

for _ in $(seq 100); do
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$viewer_pid" 2>/dev/null; then
  echo "FAIL: the viewer did not exit after Escape"; exit 1
fi
wait "$viewer_pid"
status=$?
if [ "$status" -ne 0 ]; then
  echo "FAIL: exit status $status"; cat viewer-stderr.txt; exit 1
fi
if [ -s viewer-stderr.txt ]; then
  echo "FAIL: the viewer reported errors:"; cat viewer-stderr.txt; exit 1
fi
echo "PASS: window shown, Escape closed it, exit status 0"
