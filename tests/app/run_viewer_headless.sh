#!/usr/bin/env bash
# The real viewer without a display: its scripted walk, the last frame saved
# where VALMERE_FRAME_PNG says (else valmere-last-frame.png in $TMPDIR), and
# messages whose frame counts agree. Two runs at once writing the same path
# leave one whole PNG (read back by Pillow).
# Usage: run_viewer_headless.sh VIEWER DATA_DIR
set -u
viewer=$(realpath "$1")
data=$2
python=/usr/bin/python3
"$python" -c 'import PIL' 2>/dev/null || { echo "SKIP: Pillow is not installed for $python"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.txt; do echo "--- $f"; cat "$f"; done; exit 1; }

run() {  # run NAME [VAR=VALUE...]: the viewer headless in the data folder
  local name=$1
  shift
  (cd "$data" && env -u DISPLAY -u WAYLAND_DISPLAY "$@" "$viewer") >"$work/$name.out.txt" 2>"$work/$name.err.txt"
}

# Standard error announces the walk; standard output counts the frames
# presented as the walk's and those until Escape closed the window.
check_messages() {  # check_messages NAME PATH
  local out err walk presented after saved
  out=$(cat "$work/$1.out.txt")
  err=$(cat "$work/$1.err.txt")
  [[ $err =~ running\ headless:\ a\ scripted\ walk\ of\ ([0-9]+)\ frames,\ then\ Escape ]] || fail "$1: stderr: $err"
  walk=${BASH_REMATCH[1]}
  [[ $out =~ ^valmere:\ last\ frame\ \(([0-9]+)\ presented:\ the\ walk\'s\ ([0-9]+),\ then\ ([0-9]+)\ until\ Escape\ closed\ the\ window\)\ saved\ to\ (.*)$ ]] ||
    fail "$1: stdout: $out"
  presented=${BASH_REMATCH[1]}
  after=${BASH_REMATCH[3]}
  saved=${BASH_REMATCH[4]}
  [ "${BASH_REMATCH[2]}" = "$walk" ] || fail "$1: the walk has $walk frames on standard error, ${BASH_REMATCH[2]} on standard output"
  [ "$presented" -eq $((walk + after)) ] || fail "$1: $presented presented is not $walk + $after"
  [ "$saved" = "$2" ] || fail "$1: saved to $saved instead of $2"
  "$python" -c 'import sys; from PIL import Image
im = Image.open(sys.argv[1]); im.load()
sys.exit(0 if (im.mode, im.size) == ("RGB", (800, 600)) else 1)' "$2" || fail "$1: $2 is not an 800x600 RGB PNG"
}

# Two runs at once, one path.
run first VALMERE_FRAME_PNG="$work/frame.png" &
first=$!
run second VALMERE_FRAME_PNG="$work/frame.png" &
second=$!
wait "$first" || fail "the first run's exit status is $?"
wait "$second" || fail "the second run's exit status is $?"
check_messages first "$work/frame.png"
check_messages second "$work/frame.png"
leftovers=$(find "$work" -name '*.tmp')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

# Without VALMERE_FRAME_PNG: the temporary folder.
mkdir "$work/tmp"
run default TMPDIR="$work/tmp" || fail "exit status $?"
check_messages default "$work/tmp/valmere-last-frame.png"
echo "PASS: frames saved where asked, whole, with agreeing counts"
