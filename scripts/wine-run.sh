#!/usr/bin/env bash
# Runs a Windows program under wine64 in the build's private prefix.
# GLEISORA_WINEPREFIX overrides the prefix; without DISPLAY a private Xvfb is used.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${GLEISORA_WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE=/usr/lib/wine/wine64
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.gleisora-ready" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.gleisora-ready"
  fi
) 9>"$WINEPREFIX.lock"
# --init: only prepare the prefix and keep its wineserver running (a test run then
# pays Wine's start-up once, not per test program).
# Wine's system processes start with the first program and inherit its output; start
# them here, detached, so no test's output pipe is held open after the test ends.
if [ "${1:-}" = --init ]; then
  /usr/lib/wine/wineserver -p
  "$WINE" cmd.exe /c exit >/dev/null 2>&1 </dev/null
  exit 0
fi
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
fi
"$WINE" "$@"
rc=$?
if [ -n "$xvfb_pid" ]; then
  /usr/lib/wine/wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
fi
exit $rc
