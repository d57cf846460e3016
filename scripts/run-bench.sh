#!/usr/bin/env bash
# Runs the benchmarks and prints their figures: the switch through the real window and
# the start-up, then the snapshot bench under Wine on the real registry and files (the
# figures that count), then natively on the fakes.
set -u
B=$(cd "${1:-build}" && pwd)
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" --prefix "$B/wineprefix" -- "$0" "$B"
fi
rc=0
echo "== bench_switch under Wine"
"$WINE" "$B/win64/bench/bench_switch.exe" || rc=1
echo
echo "== bench_snapshots under Wine"
"$WINE" "$B/win64/bench/bench_snapshots.exe" || rc=1
if [ -x "$B/native/bench/bench_snapshots" ]; then
  echo
  echo "== bench_snapshots natively"
  "$B/native/bench/bench_snapshots" || rc=1
fi
exit $rc
