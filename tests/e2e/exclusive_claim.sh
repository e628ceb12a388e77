#!/usr/bin/env bash
# A second copy of the program, started by the same user in the same
# application directory while the first holds the instrument: kvx-sim answers
# it BUSY, so it shows the communication error, ends without touching the
# state files, and the first copy keeps acquiring, answers a function key and
# quits cleanly. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: exclusive_claim.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager

state_sums() { (cd "$app" && sha256sum -- * | sort); }
# Frame queries the instrument received after the first F5 (kvx-sim writes
# its record when it ends).
frames_after_f5() {
  awk 'BEGIN { RS = "\r" } /^:ZC:VOLT1:RANG:PTP / { seen = 1 } seen && $0 == "ZC:HTTP?" { n++ } END { print n + 0 }' "$1"
}

app="$work/app"
fresh_app_dir "$app"
run_on_sim first
first=$program
sleep 1
before=$(state_sums)
echo "== second copy while the first holds the instrument"
"$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/second.out" 2>&1 &
second=$!
pids+=($second)
box=$(wait_window '^COMMUNICATION ERROR$') || fail "the second copy showed no communication error"
sleep 0.5
shot second-copy-busy
press "$box" Return
wait_exit "$second" || fail "the second copy did not end after its message"
[ "$status" = 1 ] || fail "the second copy ended with status $status"
[ "$(state_sums)" = "$before" ] || fail "the second copy changed the state files: $(ls -l "$app")"

echo "== the first copy keeps working"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
wait_window '^ORNIKELVARINLAB v1.00$' 1 >/dev/null || fail "the first copy lost its main window"
press "$main" F5
sleep 2
shot first-copy-after-F5
signal_and_confirm TERM "$first" "the first copy's quit"
kill -TERM "$sim"
wait "$sim" || true
case "$(received_text "$work/first.bin")" in
  *'*RST\rZC:USED0\r') ;;
  *) fail "the first copy did not end its session with *RST then ZC:USED 0" ;;
esac
[ "$(frames_after_f5 "$work/first.bin")" -ge 5 ] || fail "the first copy did not answer F5 and keep acquiring"
[ "$(stat -c %s "$app/Ornikelva.okv")" = 20795 ] || fail "the first copy's preferences file"
[ "$(stat -c %s "$app/Ornikelva.okv.CFG")" = 574 ] || fail "the first copy's setup file"
[ -z "$(find "$app" -name '*.tmp')" ] || fail "temporary files left: $(ls "$app")"

echo "2 passed, 0 failed"
