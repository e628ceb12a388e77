#!/usr/bin/env bash
# What a screen reader finds in the main window: starts the program on the
# simulated instrument under Xvfb with its own session bus and Qt's
# accessibility bridge on, and lists every accessible object with its name
# (tests/e2e/accessible_names.py), in the language given (0 English .. 4
# Italian). Fails when a control has no name. Needs python3-pyatspi and
# at-spi2-core; not part of the default test run.
set -euo pipefail

build=${1:?usage: accessible_names.sh BUILD_DIR [LANGUAGE]}
language=${2:-0}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- "$0" "$@"
fi
source "$here/x_session.sh"

start_display
app="$work/app"
fresh_app_dir "$app"
printf '1\n%s\n' "$language" >"$app/setupD.7up"
# The accessibility bus must be up before the program looks for it.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
  "$build/ORNIKELVARINLAB" --simulate --app-dir "$app" >"$work/program.out" 2>&1 &
program=$!
pids+=($program)
for _ in $(seq 150); do
  box=$(xdotool search --onlyvisible --name '(ERROR|ERREUR|FEHLER|ERRORE)' 2>/dev/null | head -n 1) || true
  [ -n "$box" ] && press "$box" Return
  main=$(wait_window '^ORNIKELVARINLAB v1.00$' 1) && break
done
[ -n "${main:-}" ] || fail "no main window"
sleep 1  # the bridge registers the window's objects after it is shown
status=0
/usr/bin/python3 "$here/accessible_names.py" ORNIKELVARINLAB || status=$?
kill -TERM "$program" 2>/dev/null || true
exit $status
