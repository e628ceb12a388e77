#!/usr/bin/env bash
# The live scope in a real window under Xvfb with a window manager, against
# kvx-sim: traces of both channels, the trigger marker dragged with the mouse,
# persistence on and off, a channel switched off. Each step is checked on the
# screenshot's pixels or in what the instrument received. Shots go to $SHOTS.
set -euo pipefail

build=${1:?usage: live_scope.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager

red=FF0000 green=00C000
pale_reds="FF2020 FF4040 FF6060 FF8080 FFA0A0 FFC0C0 FFE0E0"
app="$work/app"
fresh_app_dir "$app"

# The graph's plot area on the screen: from the window's client origin, the
# marker column (268) and the graph's top (46) plus its margins, to the
# panel's right edge and the strip below the graph.
plot_area() {
  local geometry
  geometry=$(xwininfo -id "$main")
  ox=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
  oy=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
  w=$(sed -n 's/.*Width: *//p' <<<"$geometry")
  h=$(sed -n 's/.*Height: *//p' <<<"$geometry")
  px=$((ox + 268 + 20)) py=$((oy + 46 + 12)) pw=$((w - 268 - 40)) ph=$((h - 68 - 30))
}
count() { /usr/bin/python3 "$here/pixels.py" count "$SHOTS/$1.png" "$px" "$py" "$pw" "$ph" "${@:2}"; }
run_program() {  # run_program LABEL [kvx-sim options]
  run_on_sim "$@"
  plot_area
}
quit_program() {
  signal_and_confirm TERM "$program" "$1"
  kill -TERM "$sim"
  wait "$sim" || true
}

echo "== live traces, then the trigger marker dragged"
run_program live
press "$main" F3
sleep 2
shot live-traces
[ "$(count live-traces $red)" -gt 300 ] || fail "no CH1 trace on the graph"
[ "$(count live-traces $green)" -gt 300 ] || fail "no CH2 trace on the graph"
read -r tx ty < <(/usr/bin/python3 "$here/pixels.py" centre "$SHOTS/live-traces.png" "$px" "$py" "$pw" "$ph" 0000FF)
[ "$tx" != none ] || fail "no trigger marker"
xdotool mousemove "$tx" "$ty" mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((tx + 10 * step)) $((ty - 8 * step)); sleep 0.05; done
xdotool mouseup 1
sleep 1.5
shot trigger-dragged
quit_program "trigger drag"
received=$(received_text "$work/live.bin")
case "$received" in *':TRIG:LEV'*':SWE:OFFS:TIME'*) ;; *) fail "the drag sent no level and position" ;; esac

echo "== persistence on (remembered in the preferences), with a noisy CH1"
/usr/bin/python3 "$here/patch_state.py" persistence "$app" 1
run_program persistence --ch1-noise 0.05
sleep 2
shot persistence-on
[ "$(count persistence-on $pale_reds)" -gt 50 ] || fail "no older, paler CH1 drawings with persistence on"
quit_program "persistence on"

echo "== persistence off, CH1 switched off in the remembered setup"
/usr/bin/python3 "$here/patch_state.py" persistence "$app" 0
/usr/bin/python3 "$here/patch_state.py" channel "$app" 1 0
run_program channel-off --ch1-noise 0.05
sleep 2
shot channel-off
[ "$(count channel-off $pale_reds)" = 0 ] || fail "paler drawings with persistence off"
[ "$(count channel-off $red)" -lt 80 ] || fail "CH1 still drawn while switched off"
[ "$(count channel-off $green)" -gt 300 ] || fail "CH2 no longer drawn"
quit_program "channel off"
echo "3 passed, 0 failed"
