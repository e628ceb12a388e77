#!/usr/bin/env bash
# The main window comes back where the user left it, start after start, with
# and without a window manager: what is remembered is the client area's place
# (below the menu bar), never the frame's, so the window does not creep by its
# title bar. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: window_placement.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"

# The main window's client area on the screen: "X Y WIDTH HEIGHT", once it
# has stopped moving.
client_geometry() {
  local now before=""
  for _ in $(seq 30); do
    now=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    [ "$now" = "$before" ] && { echo "$now"; return 0; }
    before=$now
    sleep 0.2
  done
  echo "$now"
}
# The main panel's remembered rectangle in the preferences file: "TOP LEFT HEIGHT WIDTH".
saved_rectangle() { od -An -t d4 --endian=little -j $((25 + 648)) -N 16 "$1" | xargs; }

# One start: the window must come back at `expected` (unless empty), may be
# moved to `moveTo`, and is closed with its close box; the preferences file
# must then hold where it was.
start_move_close() {
  local label=$1 expected=$2 moveTo=$3 program left top saved
  "$build/ORNIKELVARINLAB" --simulate --app-dir "$app" >"$work/$label.out" 2>&1 &
  program=$!
  pids+=($program)
  reach_main_window
  left=$(client_geometry "$main")
  if [ -n "$expected" ] && [ "$left" != "$expected" ]; then
    shot "$label-misplaced"
    fail "$label: the window came back at $left, it was left at $expected"
  fi
  if [ -n "$moveTo" ]; then
    xdotool windowmove "$main" $moveTo
    left=$(client_geometry "$main")
    [ "${left% * *}" = "$moveTo" ] || fail "$label: moving the window to $moveTo put it at $left"
  fi
  [ "$label" = openbox-start4 ] && shot wm_third_restart
  close_and_confirm
  wait_exit "$program" || fail "$label: the program did not end"
  [ "$status" = 0 ] || fail "$label: exit status $status"
  # Remembered: the client area below the menu bar, the menu bar's height the same each time.
  read -r top savedLeft height width <<<"$(saved_rectangle "$app/Ornikelva.okv")"
  read -r x y w h <<<"$left"
  bar=$((top - y))
  [ "$savedLeft" = "$x" ] || fail "$label: left $savedLeft remembered for a window at x $x"
  [ "$width" = "$w" ] || fail "$label: width $width remembered for a window $w wide"
  [ "$height" = $((h - bar)) ] || fail "$label: height $height remembered for $h less a menu bar of $bar"
  [ "$bar" -gt 10 ] && [ "$bar" -lt 40 ] || fail "$label: top $top remembered for a window at y $y"
  [ -z "${firstBar:-}" ] || [ "$bar" = "$firstBar" ] || fail "$label: the remembered top drifted ($bar, was $firstBar)"
  firstBar=$bar
  placed=$left
  echo "   $label: $left, remembered top $top left $savedLeft"
}

start_display
for manager in none openbox; do
  echo "== $manager"
  [ "$manager" = openbox ] && start_window_manager
  app="$work/app-$manager"
  fresh_app_dir "$app"
  firstBar=""
  start_move_close "$manager-start1" "" "210 160"
  start_move_close "$manager-start2" "$placed" ""
  start_move_close "$manager-start3" "$placed" "37 83"
  start_move_close "$manager-start4" "$placed" ""
  [ "$manager" = openbox ] && stop_window_manager
done

echo "2 passed, 0 failed"
