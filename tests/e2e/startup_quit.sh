#!/usr/bin/env bash
# The program as a user meets it, in a real window under Xvfb: start-up
# against kvx-sim, the close box with its question, the end-of-session
# request, and a start without an instrument. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: startup_quit.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display

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
signal_and_confirm TERM "$program" "second SIGTERM"
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
