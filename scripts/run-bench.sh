#!/usr/bin/env bash
# Runs the benchmarks and prints their figures: the snapshot bench under Wine on the
# real registry and files (the figures that count), then natively on the fakes.
set -u
B=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
B=$(cd "$B" && pwd)
export GLEISORA_WINEPREFIX=${GLEISORA_WINEPREFIX:-$B/wineprefix}
rc=0
echo "== bench_snapshots under Wine"
"$here/scripts/wine-run.sh" "$B/win64/bench/bench_snapshots.exe" || rc=1
if [ -x "$B/native/bench/bench_snapshots" ]; then
  echo
  echo "== bench_snapshots natively"
  "$B/native/bench/bench_snapshots" || rc=1
fi
exit $rc
