#!/usr/bin/env bash
# The measuring tools in a real window under Xvfb with a window manager,
# against kvx-sim: two references beside the live traces, the zoom with its
# record overview, the cursors tracking and free with their readouts, and the
# XY window drawing a Lissajous figure. Each step is checked on the
# screenshot's pixels or in what the instrument received. Shots go to $SHOTS.
set -euo pipefail

build=${1:?usage: measuring_tools.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager

# A window's client area on the screen, below its menu bar of $2 pixels
# (default none): origin ox oy, size w h.
client_area() {
  local geometry menu=${2:-0}
  geometry=$(xwininfo -id "$1")
  ox=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
  oy=$(($(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry") + menu))
  w=$(sed -n 's/.*Width: *//p' <<<"$geometry")
  h=$(($(sed -n 's/.*Height: *//p' <<<"$geometry") - menu))
}
main_menu_bar=19
# count SHOT X Y W H COLOURS...: pixels of the colours in a client-area rectangle.
count() { pixels count "$@"; }
count_near() { pixels near "$@"; }  # antialiased text
pixels() {
  /usr/bin/python3 "$here/pixels.py" "$1" "$SHOTS/$2.png" $((ox + $3)) $((oy + $4)) "$5" "$6" "${@:7}"
}
# The graph's plot area beside a marker column of width $1 (268, or 398 with
# the cursor readouts): count_on_graph SHOT COLUMN COLOURS...
count_on_graph() { count "$1" $(($2 + 14)) 58 $((w - $2 - 30)) $((h - 106)) "${@:3}"; }
click() {  # click X Y, in client coordinates
  xdotool mousemove $((ox + $1)) $((oy + $2)) click 1
}
run_program() {  # run_program LABEL [kvx-sim options]
  run_on_sim "$@"
  client_area "$main" "$main_menu_bar"
}
quit_program() {
  signal_and_confirm TERM "$program" "$1"
  kill -TERM "$sim"
  wait "$sim" || true
}
patch() { /usr/bin/python3 "$here/patch_state.py" "$@"; }
more_than() { [ "$("${@:2}")" -gt "$1" ]; }  # more_than N COMMAND...: COMMAND printed more than N
# Screenshots SHOT until CHECK holds, for up to TRIES half-seconds (a loaded
# machine draws late): shot_until SHOT TRIES CHECK...
shot_until() {
  local name=$1 tries=$2
  for _ in $(seq "$tries"); do
    shot "$name"
    "${@:3}" && return 0
    sleep 0.5
  done
  return 1
}

echo "== two references beside the live traces, then the zoom and its overview"
app="$work/app"
fresh_app_dir "$app"
run_program zoom
press "$main" F3
sleep 2
click 277 14  # the toolbar's ScreenShot button
sleep 1.5
press "$main" F6
press "$main" F8
both_references_beside_live() {
  more_than 200 count_on_graph references 268 FF8080 && more_than 200 count_on_graph references 268 80FF80
}
shot_until references 20 both_references_beside_live || fail "no CH1 and CH2 references beside the live traces"
[ "$(count_on_graph references 268 FF0000)" -gt 200 ] || fail "no live CH1 trace beside the references"
[ "$(count_near references $((268 + 25)) $((h - 23)) 92 10 FF8080)" -gt 20 ] || fail "no REF1 label"
[ "$(count_near references $((268 + 25)) $((h - 13)) 92 10 80FF80)" -gt 20 ] || fail "no REF2 label"
click $(((w + 268 - 24) / 2 + 11)) $((h - 23 + 9))
overview="292 46 $((w - 292 - 24)) 75"
overview_with_frame() { more_than 300 count zoom $overview 000000 && more_than 50 count zoom $overview FF0000 00C000; }
shot_until zoom 20 overview_with_frame || fail "no zoom window frame and trace on the overview"
quit_program "zoom"
case "$(received_text "$work/zoom.bin")" in *':DISP:TRAC:ZOOM:H'*) ;; *) fail "the zoom sent no :DISP:TRAC:ZOOM:H" ;; esac

for mode in tracking free; do
  echo "== cursors $mode, with their readouts"
  patch cursors "$app" "$mode"
  run_program "cursors-$mode"
  readouts="268 46 130 $((h - 92))"
  readouts_shown() {
    more_than 50 count_near "cursors-$mode" $readouts 0000FF && more_than 50 count_near "cursors-$mode" $readouts 800080
  }
  shot_until "cursors-$mode" 20 readouts_shown || fail "$mode: no blue and purple readout texts"
  # Below the readouts the panel shows where the plot area was; it starts at 398 now.
  [ "$(count "cursors-$mode" 300 330 97 200 000000)" = 0 ] || fail "$mode: plot area left of x = 398"
  [ "$(count "cursors-$mode" 412 330 40 200 000000)" -gt 5000 ] || fail "$mode: no plot area right of x = 398"
  [ "$(count_on_graph "cursors-$mode" 398 FF0000)" -gt 200 ] || fail "$mode: no CH1 trace on the moved graph"
  quit_program "cursors $mode"
done

echo "== the XY window drawing a Lissajous figure"
patch xy "$app" 1 2
run_on_sim xy --ch1 sine --ch1-freq 1000 --ch2 sine --ch2-freq 1500
xy=$(wait_window '^[-] XY : X=CH1, Y=CH2$') || fail "no XY window with X=CH1, Y=CH2"
client_area "$xy"
shot_until xy 20 more_than 300 count xy 0 0 "$w" "$h" CC6600 || fail "no Lissajous figure in the XY window"
quit_program "xy"
echo "5 passed, 0 failed"
