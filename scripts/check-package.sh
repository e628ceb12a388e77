#!/usr/bin/env bash
# The .deb as a user gets it: lintian without errors, then extracted into a
# scratch root and run from there: --version, and a start against kvx-sim
# under Xvfb as an ordinary user, who finds the resources in
# usr/share/ornikelvarinlab and keeps the state files in $XDG_CONFIG_HOME.
# Usage: check-package.sh PACKAGE.deb BUILD_DIR (BUILD_DIR holds kvx-sim).
set -euo pipefail

deb=$(realpath "${1:?usage: check-package.sh PACKAGE.deb BUILD_DIR}")
build=$(realpath "${2:?usage: check-package.sh PACKAGE.deb BUILD_DIR}")
here=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
source "$here/x_session.sh"
trap 'chmod -R u+w "$work" 2>/dev/null; cleanup' EXIT

echo "== lintian"
lint_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || lint_status=$?
grep -v 'root privileges' "$work/lintian.txt" || true
[ "$lint_status" = 0 ] || fail "lintian reports errors"

echo "== extracted tree"
chmod 755 "$work"
root="$work/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/ORNIKELVARINLAB"
version=$("$program" --version)
[ "$version" = "ORNIKELVARINLAB v1.00" ] || fail "--version printed '$version'"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml >"$work/metainfo.out" 2>&1 ||
  { cat "$work/metainfo.out"; fail "metainfo"; }
[ -f "$root/usr/lib/udev/rules.d/60-kelvarinlab.rules" ] || fail "no udev rule"
grep -c 'TAG+="uaccess"' "$root/usr/lib/udev/rules.d/60-kelvarinlab.rules" | grep -qx 2 || fail "the rule lacks uaccess"

# The installed directories are read-only to the user: root runs the
# program as nobody, anyone else loses the write permission.
home="$work/home"
config="$home/config/ornikelvarinlab"
mkdir -p "$config"
printf '1\n0\n' >"$config/setupD.7up"
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R nobody: "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  chmod -R a-w "$root"
fi

echo "== start and quit against kvx-sim"
start_display
start_sim "$work/received.bin"
"${as_user[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/config" "$program" --connect "$address" \
  >"$work/program.out" 2>&1 &
program_pid=$!
pids+=($program_pid)
reach_main_window package
signal_and_confirm TERM "$program_pid" "extracted program"
kill -TERM "$sim"

for file in Ornikelva.okv Ornikelva.okv.CFG ORNIKELVARINLAB.pdf; do
  [ -s "$config/$file" ] || fail "$file is not in \$XDG_CONFIG_HOME/ornikelvarinlab: $(ls "$config")"
done
[ "$(ls "$root/usr/bin")" = ORNIKELVARINLAB ] || fail "files written beside the program: $(ls "$root/usr/bin")"
echo "package check passed"
