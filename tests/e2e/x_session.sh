# Sourced by the end-to-end scripts: a display of their own (Xvfb, with or
# without a window manager), the program's windows found by name, real key
# presses, screenshots to $SHOTS, and clean-up of everything started.
# The caller sets `build` and `here` first.

work=$(mktemp -d)
SHOTS=${SHOTS:-$work/shots}
mkdir -p "$SHOTS"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do { kill -9 "$pid" && wait "$pid"; } 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.out; do [ -e "$log" ] && { echo "--- $log"; cat "$log"; }; done >&2
  exit 1
}

start_display() {
  # A display number whose server is ours: one held by a live server is
  # skipped, and if another script takes the same number first, our server
  # exits and the next number is tried. Stale sockets do not count.
  local number server
  for number in $(seq 90 250); do
    server=$(cat "/tmp/.X$number-lock" 2>/dev/null | tr -d ' ') || true
    [ -n "$server" ] && kill -0 "$server" 2>/dev/null && continue
    # -noreset: the server would otherwise reset when our probe disconnects, and refuse the next client meanwhile.
    Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    server=$!
    export DISPLAY=":$number"
    for _ in $(seq 100); do
      kill -0 "$server" 2>/dev/null || break
      if xdotool getdisplaygeometry >/dev/null 2>&1 && [ "$(tr -d ' ' <"/tmp/.X$number-lock" 2>/dev/null)" = "$server" ]; then
        pids+=($server)
        return 0
      fi
      sleep 0.05
    done
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  done
  fail "no display could be started"
}

# A real window manager: frames with title bars, placement, focus.
start_window_manager() {
  openbox --sm-disable >"$work/openbox.out" 2>&1 &
  wm=$!
  pids+=($wm)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  fail "openbox did not start"
}
stop_window_manager() {
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
}

# Waits up to $2 tenths of a second (default 150) for a mapped window whose
# name matches; prints its id.
wait_window() {
  local id
  for _ in $(seq "${2:-150}"); do
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
start_sim() {  # start_sim RECORD_FILE [kvx-sim options]; sets $sim and $address
  local record=$1
  shift
  "$build/kvx-sim" --listen 127.0.0.1:0 --record "$record" "$@" >"$work/sim.out" &
  sim=$!
  pids+=($sim)
  for _ in $(seq 300); do grep -q '^listening on' "$work/sim.out" 2>/dev/null && break; sleep 0.05; done
  address=$(sed -n 's/^listening on //p' "$work/sim.out")
  [ -n "$address" ] || fail "kvx-sim did not start"
}
fresh_app_dir() {
  rm -rf "$1"
  mkdir -p "$1"
  printf '1\n0\n' >"$1/setupD.7up"
}
# The main window, after the missing-preferences message a fresh directory
# gives; with a label, screenshots of both.
reach_main_window() {
  local box answered=""
  for _ in $(seq 150); do
    if [ -z "$answered" ] && box=$(wait_window '^FILE ERROR$' 1); then
      [ -z "${1:-}" ] || shot "$1-missing-preferences"
      press "$box" Return
      answered=yes
    fi
    if main=$(wait_window '^ORNIKELVARINLAB v1.00$' 1); then
      [ -z "${1:-}" ] || { sleep 0.5; shot "$1-main-window"; }
      return 0
    fi
  done
  fail "no main window"
}
# Closes the main window with its close box and answers Yes to the question.
close_and_confirm() {
  local question
  /usr/bin/python3 "$here/wm_close.py" 'ORNIKELVARINLAB v1.00' || fail "could not close the window"
  question=$(wait_window '^WARNING !$') || fail "no quit question"
  press "$question" Return
}
# Sends SIGNAL to PROGRAM, answers Yes to the quit question and waits for the
# end, which must be a clean one: signal_and_confirm SIGNAL PROGRAM WHAT.
signal_and_confirm() {
  local question
  kill "-$1" "$2"
  question=$(wait_window '^WARNING !$') || fail "$3: no quit question on SIG$1"
  press "$question" Return
  wait_exit "$2" || fail "$3: the program did not end after Yes"
  [ "$status" = 0 ] || fail "$3: exit status $status after SIG$1 and Yes"
}
# kvx-sim (recording to $work/LABEL.bin) and the program on it, in $app, up
# to its main window: run_on_sim LABEL [kvx-sim options]; sets $sim, $program, $main.
run_on_sim() {
  local label=$1
  shift
  start_sim "$work/$label.bin" "$@"
  "$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/$label.out" 2>&1 &
  program=$!
  pids+=($program)
  reach_main_window "$label"
}
# What the instrument received, as od prints characters, without spaces.
received_text() { od -An -c "$1" | tr -d ' \n'; }
