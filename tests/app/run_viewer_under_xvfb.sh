#!/usr/bin/env bash
# The real viewer (SdlHost) on a virtual X display at 1280x1024, used as a
# person would use it: xdotool for input, screenshots of the root window
# (ImageMagick's import) measured by screen_check.py, the viewer's CPU time
# read from /proc. Exits 77 (skipped) where a tool is missing or Xvfb cannot
# start.
#
# Usage: run_viewer_under_xvfb.sh VIEWER DATA_DIR SCENARIO
#   escape    a window (VALMERE_WINDOWED=1) on a bare X server; Escape
#             exits 0 and nothing is printed
#   bare      full screen without a window manager: the picture fills the
#             screen (4:3, letterboxed); 1 ms taps of Z and X raise and
#             lower the eye, every one of four; with the focus given away
#             (the device is lost) and hidden, 3 s each, the viewer idles,
#             and both times the picture comes back; Escape exits 0
#   openbox   full screen under openbox: fills the screen; unfocused and
#             minimised for 3 s it idles; restored, the picture is back;
#             Alt+F4 (the window manager's close) exits 0
#   windowed  a window under openbox: while another window has the focus
#             the viewer keeps presenting (its window, resized, shows the
#             picture scaled anew); minimised it idles; Alt+F4 exits 0
# Every scenario prints the CPU use it measured. Screenshots stay in
# $VALMERE_SCREENSHOTS when that names a folder.
set -u
viewer=$(realpath "$1")
data=$2
scenario=$3
here=$(cd "$(dirname "$0")" && pwd)

# A core's share that a viewer with nothing to draw stays under, and the
# least that one drawing at the display's rate uses.
idle_limit=5
drawing_floor=5

skip() { echo "SKIP: $*"; exit 77; }
for tool in Xvfb xdotool xdpyinfo xprop xwininfo xmessage import; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
python=/usr/bin/python3
"$python" -c 'import PIL' 2>/dev/null || skip "Pillow is not installed for $python"
case $scenario in
  openbox|windowed) command -v openbox >/dev/null || skip "openbox is not installed" ;;
  escape|bare) ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac

work=$(mktemp -d)
pids=()
viewer_pid=""
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  if [ -n "${VALMERE_SCREENSHOTS:-}" ] && [ -d "$VALMERE_SCREENSHOTS" ]; then
    for shot in "$work"/*.png; do [ -e "$shot" ] && cp "$shot" "$VALMERE_SCREENSHOTS/$scenario-$(basename "$shot")"; done
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL ($scenario): $*"
  echo "--- the viewer's standard error:"; cat "$work/stderr.txt" 2>/dev/null
  exit 1
}

# --- the X server, the window manager, the viewer

# Xvfb picks a free display itself and writes its number to the file; it
# must not reset when its last client leaves, or a client connecting right
# then is refused.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
# The server accepts connections a moment after it names its display.
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || skip "Xvfb does not accept connections on $DISPLAY"
# An X display only: no Wayland probing (and its complaints) on machines without a session.
export SDL_VIDEODRIVER=x11 XDG_RUNTIME_DIR="$work"
unset VALMERE_WINDOWED

window_manager=""
start_openbox() {
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  window_manager=openbox
  # It has taken the screen once it announces itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return
    sleep 0.1
  done
  fail "openbox did not start"
}

window=""
start_viewer() {
  (cd "$data" && exec "$viewer") >"$work/stdout.txt" 2>"$work/stderr.txt" &
  viewer_pid=$!
  for _ in $(seq 300); do
    window=$(xdotool search --name "^Valmere Engine$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$viewer_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window appeared"
  grep -q "running headless" "$work/stderr.txt" && fail "the viewer ran headless"
  wait_until "picture_shows" 20 || fail "no picture appeared"
}

other=""
open_other_window() {  # open_other_window X Y: another client's window
  xmessage -geometry "320x120+$1+$2" "another window" >/dev/null 2>&1 &
  pids+=($!)
  other_pid=$!
  other=""
  for _ in $(seq 100); do
    other=$(xdotool search --class "^Xmessage$" 2>/dev/null | head -n 1)
    [ -n "$other" ] && break
    sleep 0.1
  done
  [ -n "$other" ] || fail "xmessage showed no window"
}
close_other_window() { kill "$other_pid" 2>/dev/null; wait "$other_pid" 2>/dev/null; }

# --- observations

shot() {  # shot NAME: a screenshot of the root window as NAME.png; prints its path
  local file="$work/$1.png"
  import -window root "$file" 2>/dev/null || fail "import could not take a screenshot"
  echo "$file"
}
box() { "$python" "$here/screen_check.py" box "$1"; }
difference() { "$python" "$here/screen_check.py" diff "$@"; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# wait_until COMMAND SECONDS: the window system acts in its own time, so an
# expectation is retried until it holds or the time is up.
wait_until() {
  local deadline=$((SECONDS + $2))
  while :; do
    eval "$1" && return 0
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

picture_shows() { [ "$(box "$(shot picture)")" != none ]; }

# The 800x600 picture scaled to the full width of the 1280x1024 screen is
# 1280x960, between black bars of 32 rows; its lowest rows are black but
# for the grey "Valmere Engine" at the bottom right.
fills_screen() {
  read -r left top right bottom <<<"$(box "$(shot full-screen)")"
  [ "$left" = 0 ] && [ "$top" = 32 ] && [ "$right" = 1279 ] && [ "$bottom" -le 991 ] && [ "$bottom" -ge 900 ]
}

# same_as REFERENCE [BOX [BOX2]]: the screen shows the reference again (its
# BOX scaled to BOX2).
same_as() { below "$(difference "$1" "$(shot again)" "${@:2}")" 1; }
# The viewer's window on the screen: left top right bottom.
window_box() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, x + w - 1, y + h - 1 }'
}
differs_from() { ! below "$(difference "$1" "$(shot changed)")" 10; }
screen_blank() { [ "$(box "$(shot blank)")" = none ]; }

# The viewer's CPU time (utime + stime of /proc/PID/stat, in clock ticks).
cpu_ticks() {
  [ -r "/proc/$viewer_pid/stat" ] || return 1
  sed 's/^.*) //' "/proc/$viewer_pid/stat" | awk '{ print $12 + $13 }'
}

# measure_cpu LABEL SECONDS: the viewer's share of one core over SECONDS,
# in percent, into $percent and the report.
percent=0
cpu_report=""
measure_cpu() {
  local before after
  before=$(cpu_ticks) || fail "the viewer is gone"
  sleep "$2"
  after=$(cpu_ticks) || fail "the viewer is gone"
  percent=$(( (after - before) * 100 / ($(getconf CLK_TCK) * $2) ))
  cpu_report="$cpu_report $1 ${percent}%,"
}

# close_with NAME COMMAND: makes the close request and expects exit status
# 0. A request the window system dropped (a busy machine) is made again; a
# wrong exit status fails at once.
close_with() {
  for _ in 1 2 3; do
    eval "$2"
    for _ in $(seq 50); do kill -0 "$viewer_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$viewer_pid" 2>/dev/null || break
  done
  kill -0 "$viewer_pid" 2>/dev/null && fail "the viewer did not exit after $1"
  wait "$viewer_pid"
  local status=$?
  viewer_pid=""
  [ "$status" -eq 0 ] || fail "exit status $status after $1"
  [ -s "$work/stderr.txt" ] && fail "the viewer reported errors"
  echo "PASS ($scenario):${cpu_report:+ CPU use$cpu_report} $1 gave exit status 0"
  exit 0
}

# A window manager activates a window (and brings back a minimised one);
# without one the focus is set directly.
give_focus_back() {
  if [ -n "$window_manager" ]; then
    xdotool windowactivate --sync "$window"
  else
    xdotool windowfocus --sync "$window"
  fi
}

# --- scenarios

case $scenario in
escape)
  export VALMERE_WINDOWED=1
  start_viewer
  close_with Escape 'xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key --window "$window" Escape'
  ;;

bare)
  start_viewer
  wait_until fills_screen 10 || fail "full screen without a window manager shows $(box "$(shot full-screen)")"
  measure_cpu drawing 1
  [ "$percent" -ge "$drawing_floor" ] || fail "the viewer does not seem to draw"
  before=$(shot before-tap)
  sleep 0.5
  same_as "$before" || fail "the picture changes with no input"
  # Keys pressed and released 1 ms apart (xdotool holds a key half its
  # delay), so both events fall between two reads of the keyboard: Z raises
  # the eye to 50 and X sets it to 1.2, every time. A viewer that sees only
  # some taps (about half) fails one of the four.
  xdotool key --delay 2 z
  wait_until "differs_from '$before'" 5 || fail "a 1 ms tap of Z did not raise the eye"
  raised=$(shot eye-raised)
  xdotool key --delay 2 x
  wait_until "differs_from '$raised'" 5 || fail "a 1 ms tap of X did not lower the eye"
  lowered=$(shot eye-lowered)
  xdotool key --delay 2 z
  wait_until "same_as '$raised'" 5 || fail "the second 1 ms tap of Z did not raise the eye"
  xdotool key --delay 2 x
  wait_until "same_as '$lowered'" 5 || fail "the second 1 ms tap of X did not lower the eye"

  open_other_window 40 40
  xdotool windowfocus --sync "$other"
  sleep 0.5
  measure_cpu unfocused 2
  [ "$percent" -lt "$idle_limit" ] || fail "unfocused in full screen the viewer keeps working"
  close_other_window
  give_focus_back
  wait_until "same_as '$lowered'" 10 || fail "the picture did not come back with the focus"

  xdotool windowunmap "$window"
  wait_until screen_blank 5 || fail "the window did not hide"
  measure_cpu hidden 3
  [ "$percent" -lt "$idle_limit" ] || fail "hidden, the viewer keeps working"
  xdotool windowmap "$window"
  wait_until "same_as '$lowered'" 10 || fail "the picture did not come back after the window showed again"

  close_with Escape 'give_focus_back; xdotool key Escape'
  ;;

openbox)
  start_openbox
  start_viewer
  wait_until fills_screen 10 || fail "full screen under openbox shows $(box "$(shot full-screen)")"
  measure_cpu drawing 1
  [ "$percent" -ge "$drawing_floor" ] || fail "the viewer does not seem to draw"
  before=$(shot before)

  open_other_window 40 40
  xdotool windowactivate --sync "$other"
  sleep 0.5
  measure_cpu unfocused 2
  [ "$percent" -lt "$idle_limit" ] || fail "unfocused in full screen the viewer keeps working"
  close_other_window
  give_focus_back
  wait_until "same_as '$before'" 10 || fail "the picture did not come back with the focus"

  xdotool windowminimize --sync "$window"
  wait_until screen_blank 5 || fail "the window did not minimise"
  measure_cpu minimised 3
  [ "$percent" -lt "$idle_limit" ] || fail "minimised, the viewer keeps working"
  give_focus_back
  wait_until "same_as '$before'" 10 || fail "the picture did not come back after restore"

  close_with Alt+F4 'give_focus_back; xdotool key alt+F4'
  ;;

windowed)
  export VALMERE_WINDOWED=1
  start_openbox
  start_viewer
  picture=$(window_box)
  before=$(shot before)

  open_other_window 900 800
  xdotool windowactivate --sync "$other"
  [ "$(xdotool getactivewindow)" = "$other" ] || fail "the other window did not take the focus"
  measure_cpu unfocused 2
  [ "$percent" -ge "$drawing_floor" ] || fail "unfocused in a window the viewer stopped drawing"
  # Resized, the window shows the picture scaled anew only if the viewer
  # presents frames.
  xdotool windowsize --sync "$window" 400 300
  wait_until "same_as '$before' '$picture' \"\$(window_box)\"" 10 ||
    fail "the viewer did not present while another window had the focus"
  [ "$(xdotool getactivewindow)" = "$other" ] || fail "the other window lost the focus"
  close_other_window

  give_focus_back
  xdotool windowminimize --sync "$window"
  wait_until screen_blank 5 || fail "the window did not minimise"
  measure_cpu minimised 3
  [ "$percent" -lt "$idle_limit" ] || fail "minimised, the viewer keeps working"
  give_focus_back
  wait_until "same_as '$before' '$picture' \"\$(window_box)\"" 10 || fail "the picture did not come back after restore"

  close_with Alt+F4 'give_focus_back; xdotool key alt+F4'
  ;;
esac
