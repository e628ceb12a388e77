#!/usr/bin/env bash
# The splash panel is on screen, drawn, for the whole of a slow instrument
# search (with and without a window manager), and Ctrl+C (SIGINT) ends the
# program its own way: the quit question, then the instrument reset and
# released and the preferences saved. Screenshots go to $SHOTS.
set -euo pipefail

build=${1:?usage: splash_and_interrupt.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"

# The identification's reply comes after 2.2 s (the link waits up to 3 s).
readonly stall_ms=2200

# The splash window is mapped and shows its title (dark blue, bold) and the
# build date (black) on white.
splash_drawn() {
  local picture="$work/splash-$1.png" colours
  import -window "$2" "$picture" 2>/dev/null || return 1
  colours=$(convert "$picture" -format %c histogram:info:-)
  grep -qi '#003080' <<<"$colours" && grep -qi '#000000 ' <<<"$colours" && grep -qi '#FFFFFF' <<<"$colours"
}

start_display
for manager in none openbox; do
  echo "== $manager: splash during a slow search, then Ctrl+C"
  [ "$manager" = openbox ] && start_window_manager
  app="$work/app-$manager"
  fresh_app_dir "$app"
  start_sim "$work/received-$manager.bin" --stall 1 --stall-ms "$stall_ms"
  started=$(date +%s%N)
  "$build/ORNIKELVARINLAB" --connect "$address" --app-dir "$app" >"$work/program-$manager.out" 2>&1 &
  program=$!
  pids+=($program)
  splash=$(wait_window '^ORNIKELVARINLAB$' 15) || fail "$manager: no splash within 1.5 s"
  for moment in early late; do
    if [ "$moment" = late ]; then  # shortly before the reply comes
      wait_ms=$((stall_ms - 600 - ($(date +%s%N) - started) / 1000000))
      [ "$wait_ms" -le 0 ] || sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
    fi
    splash_drawn "$manager-$moment" "$splash" || fail "$manager: the splash is not drawn ($moment in the search)"
    if xdotool search --onlyvisible --name '^ORNIKELVARINLAB v1.00$|ERROR' >/dev/null 2>&1; then
      fail "$manager: the search ended early ($moment); the stall did not hold it"
    fi
  done
  if [ "$manager" = none ]; then shot splash_slow_search; else shot splash_slow_search_openbox; fi

  reach_main_window
  signal_and_confirm INT "$program" "$manager"
  kill -TERM "$sim"
  wait "$sim" || true
  received=$(received_text "$work/received-$manager.bin")
  case "$received" in
    *'*RST\rZC:USED0\r') ;;
    *) fail "$manager: the instrument did not receive *RST then ZC:USED 0 last: ...${received: -60}" ;;
  esac
  [ -s "$app/Ornikelva.okv" ] || fail "$manager: the preferences were not saved"
  [ "$manager" = openbox ] && stop_window_manager
done

echo "2 passed, 0 failed"
