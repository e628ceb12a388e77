#!/usr/bin/env bash
# The real program's share of one core while it acquires and draws in a real
# window (Xvfb, Qt), persistence off then on, and its resident memory. The
# instrument is kvx-sim in its own process, as a real one would be: its work
# is not the program's. Not part of the tests: the figures depend on the
# machine.
#   bench/cpu_share.sh BUILD_DIR [SECONDS]
set -euo pipefail

build=${1:?usage: cpu_share.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager
app="$work/app"
fresh_app_dir "$app"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {  # measure LABEL
  run_on_sim "$1"
  press "$main" F3
  sleep 3
  local before after
  before=$(cpu_ticks "$program")
  sleep "$seconds"
  after=$(cpu_ticks "$program")
  awk -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" -v l="$1" \
    'BEGIN { printf "%s: %.1f %% of one core over %d s\n", l, 100 * t / hz / s, s }'
  echo "$1: resident memory $(awk '/VmRSS/ {printf "%.1f MB", $2 / 1024}' "/proc/$program/status")"
  signal_and_confirm TERM "$program" "$1"
  kill -TERM "$sim"
}

measure "persistence off"
/usr/bin/python3 "$here/patch_state.py" persistence "$app" 1
measure "persistence on"
