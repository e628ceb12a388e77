#!/usr/bin/env bash
# The function keys in a real window under Xvfb with a window manager: each
# of F1-F12 pressed once against kvx-sim, and what the instrument received
# checked command by command afterwards. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: function_keys.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager

app="$work/app"
fresh_app_dir "$app"
run_on_sim keys
sleep 1
shot keys-live
for key in F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12; do
  press "$main" "$key"
  sleep 1.5
  shot "keys-after-$key"
done
signal_and_confirm TERM "$program" "quit after the keys"
kill -TERM "$sim"
wait "$sim" || true
/usr/bin/python3 "$here/check_function_keys.py" "$work/keys.bin" || fail "the keys did not send what they should"
echo "1 passed, 0 failed"
