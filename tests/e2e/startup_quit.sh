#!/usr/bin/env bash
# The program as a user meets it, in a real window under Xvfb: start-up
# against kvx-sim, the close box with its question, the end-of-session
# request, and a start without an instrument. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: startup_quit.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
SHOTS=${SHOTS:-$work/shots}
mkdir -p "$SHOTS"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.out; do echo "--- $log"; cat "$log"; done >&2
  exit 1
}

# A display of our own.
for number in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
export DISPLAY=":$number"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

# Waits up to 15 s for a mapped window whose name matches; prints its id.
wait_window() {
  for _ in $(seq 150); do
    if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
press() {  # real key presses (XTEST) into the window
  xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
  xdotool key "$2"
}
shot() { import -window root "$SHOTS/$1.png"; }
wait_exit() {  # waits up to 20 s for a child process; its exit status goes to $status
  for _ in $(seq 200); do
    if ! kill -0 "$1" 2>/dev/null; then
      status=0
      wait "$1" || status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}
start_sim() {
  "$build/kvx-sim" --listen 127.0.0.1:0 --record "$1" >"$work/sim.out" &
  sim=$!
  pids+=($sim)
  for _ in $(seq 100); do grep -q '^listening on' "$work/sim.out" 2>/dev/null && break; sleep 0.05; done
  address=$(sed -n 's/^listening on //p' "$work/sim.out")
  [ -n "$address" ] || fail "kvx-sim did not start"
}
fresh_app_dir() {
  rm -rf "$1"
  mkdir -p "$1"
  printf '1\n0\n' >"$1/setupD.7up"
}
# The main window, after the missing-preferences message a fresh directory gives.
reach_main_window() {
  if box=$(wait_window '^FILE ERROR$'); then
    shot "$1-missing-preferences"
    press "$box" Return
  fi
  main=$(wait_window '^ORNIKELVARINLAB v1.00$') || fail "no main window"
  sleep 0.5
  shot "$1-main-window"
}

echo "== close box, question, Enter"
app="$work/app"
fresh_app_dir "$app"
start_sim "$work/received.bin"
"$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/program.out" 2>&1 &
program=$!
pids+=($program)
reach_main_window close
/usr/bin/python3 "$here/wm_close.py" 'ORNIKELVARINLAB v1.00' || fail "could not close the window"
question=$(wait_window '^WARNING !$') || fail "no quit question"
shot close-question
press "$question" Return
wait_exit "$program" || fail "the program did not end"
[ "$status" = 0 ] || fail "exit status $status"
kill -TERM "$sim"
wait "$sim" || true
received=$(od -An -c "$work/received.bin" | tr -d ' \n')
case "$received" in
  *'*RST\rZC:USED0\r') ;;
  *) fail "the instrument did not receive *RST then ZC:USED 0 last: ...${received: -60}" ;;
esac
[ "$(od -An -c "$app/setupD.7up" | tr -d ' ')" = '1\n0\n' ] || fail "first-run file"
[ "$(stat -c %s "$app/Ornikelva.okv")" = 20795 ] || fail "preferences file size"
[ "$(stat -c %s "$app/Ornikelva.okv.CFG")" = 574 ] || fail "setup file size"

echo "== end of session (SIGTERM), question, No, then Yes"
start_sim "$work/received2.bin"
"$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/program2.out" 2>&1 &
program=$!
pids+=($program)
main=$(wait_window '^ORNIKELVARINLAB v1.00$') || fail "no main window on the second start"
kill -TERM "$program"
question=$(wait_window '^WARNING !$') || fail "no question on SIGTERM"
shot end-task-question
press "$question" Escape
sleep 1
kill -0 "$program" 2>/dev/null || fail "No ended the program"
kill -TERM "$program"
question=$(wait_window '^WARNING !$') || fail "no question on the second SIGTERM"
press "$question" Return
wait_exit "$program" || fail "the program did not end after Yes"
[ "$status" = 0 ] || fail "exit status $status after Yes"
kill -TERM "$sim"

echo "== no instrument"
empty="$work/empty"
fresh_app_dir "$empty"
"$build/ORNIKELVARINLAB" --connect 127.0.0.1:9 --app-dir "$empty" >"$work/program3.out" 2>&1 &
program=$!
pids+=($program)
box=$(wait_window '^COMMUNICATION ERROR$') || fail "no communication error box"
shot no-instrument
press "$box" Return
wait_exit "$program" || fail "the program did not end without an instrument"
[ "$status" != 0 ] || fail "exit status 0 without an instrument"
[ "$(ls "$empty")" = setupD.7up ] || fail "files written without an instrument: $(ls "$empty")"
[ "$(od -An -c "$empty/setupD.7up" | tr -d ' ')" = '1\n0\n' ] || fail "first-run file changed"

echo "3 passed, 0 failed"
