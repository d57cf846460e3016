#!/usr/bin/env bash
# Runs every test through CTest: native first, then the Windows tests under Wine
# in a private prefix, with one private Xvfb display when none is set.
set -u
B=${1:-build}; shift
wine_only=0; args=()
for a in "$@"; do [ "$a" = --wine-only ] && wine_only=1 || args+=("$a"); done
B=$(cd "$B" && pwd)
export GLEISORA_WINEPREFIX=$B/wineprefix
rc=0
# One CTest tree over both builds, so a single summary counts all tests.
if [ $wine_only = 0 ]; then
  printf 'subdirs("native" "win64")\n' > "$B/CTestTestfile.cmake"
  dir=$B
else
  dir=$B/win64
fi
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!; export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
fi
"$(dirname "$0")/wine-run.sh" --init
ctest --test-dir "$dir" "${args[@]}" || rc=1
WINEPREFIX=$GLEISORA_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $rc
