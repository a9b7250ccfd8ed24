#!/usr/bin/env bash
# Regenerates docs/screenshot.png: builds the viewer and its data, runs it
# headless (its scripted walk) among the data files and keeps the last frame
# it saves.
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: the default preset's build/)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  build=$1
else
  build=build
  cmake --preset default
fi
cmake --build "$build" --target valmere valmere_data
output=$(cd "$build/data" && env -u DISPLAY -u WAYLAND_DISPLAY ../bin/valmere)
frame=${output##* saved to }
[ -f "$frame" ] || { echo "screenshot: the viewer saved no frame ($output)" >&2; exit 1; }
cp "$frame" docs/screenshot.png
echo "docs/screenshot.png: $output"
