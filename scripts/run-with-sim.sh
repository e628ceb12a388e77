#!/usr/bin/env bash
# Starts kvx-sim on a free loopback port and runs the program against it.
set -euo pipefail
build=${1:-build/default}
shift || true

log=$(mktemp)
"$build/kvx-sim" --listen 127.0.0.1:0 >"$log" &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true; rm -f "$log"' EXIT

for _ in $(seq 100); do
  grep -q '^listening on' "$log" && break
  sleep 0.05
done
address=$(sed -n 's/^listening on //p' "$log" | head -n 1)
[ -n "$address" ] || { echo "kvx-sim did not start" >&2; exit 1; }
echo "kvx-sim listening on $address"
"$build/ORNIKELVARINLAB" --connect "$address" "$@"
