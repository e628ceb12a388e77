#!/usr/bin/env bash
# Link faults against the real program under Xvfb + openbox: kvx-sim serves
# the instrument, takes the faults on its control pipe while the program
# polls it, and logs the time of every reply, so recovery is measured from
# the instrument's side. Faults cycle through dropped, stalled, truncated,
# corrupted, oversized length and pulled cable; each goes in once the
# program is back at full rate after the one before.
#   bench/fault_soak.sh BUILD_DIR [--faults N] [--hang-limit S]
# Passes when nothing crashed or hung and the setup is untouched: the
# instrument's record is the same after the soak as before it, nothing but
# frame requests reached it meanwhile, and the setup file the program saves
# at quit is byte for byte the one a clean run without faults saved.
set -euo pipefail

build=$(cd "${1:?usage: fault_soak.sh BUILD_DIR [--faults N] [--hang-limit S]}" && pwd)
shift
bench=$(cd "$(dirname "$0")" && pwd)
here="$bench/../tests/e2e"
source "$here/x_session.sh"

start_display
start_window_manager
app="$work/app"
fresh_app_dir "$app"
mkfifo "$work/control"
start_sim "$work/received.bin" --control "$work/control" --frame-log "$work/frames.log"

# The program on kvx-sim in $app, up to its main window: start_program LABEL.
start_program() {
  "$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/$1.out" 2>&1 &
  program=$!
  pids+=($program)
  reach_main_window
}
# The first run of a fresh directory saves files that differ from what later
# runs save; the reference is a clean run from the very files the soak
# starts from.
echo "== a first run, then a clean run: start, quit"
start_program first
signal_and_confirm TERM "$program" "the first run's quit"
cp -a "$app" "$work/app-start"
start_program clean
signal_and_confirm TERM "$program" "the clean run's quit"
cp "$app/Ornikelva.okv.CFG" "$work/clean.CFG" || fail "the clean run saved no setup file"
rm -rf "$app"
cp -a "$work/app-start" "$app"

echo "== the soak"
start_program soak
soak_status=0
/usr/bin/python3 "$bench/fault_soak.py" --log "$work/frames.log" --control "$work/control" \
  --pid "$program" --out "$work" "$@" || soak_status=$?
kill -0 "$program" 2>/dev/null && [ -z "$(ps -o stat= -p "$program" | grep Z)" ] ||
  fail "the program ended during the soak (crash)"
signal_and_confirm TERM "$program" "the quit after the soak"
if cmp -s "$work/clean.CFG" "$app/Ornikelva.okv.CFG"; then
  echo "  setup file saved at quit: the same as after the clean run"
else
  echo "  setup file saved at quit: DIFFERENT from the clean run's:"; cmp -l "$work/clean.CFG" "$app/Ornikelva.okv.CFG" | head -20
  soak_status=1
fi
[ "$soak_status" = 0 ] || fail "the soak did not pass"
echo "PASS"
