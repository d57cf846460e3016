#!/usr/bin/env bash
# Runs a command in a Wine session, for the tests, the demo and the benchmark alike:
# a private prefix (made once with wineboot), a wineserver kept running for the whole
# command (a run pays Wine's start-up once) and, when no DISPLAY is set, a private
# Xvfb display. The command sees WINEPREFIX, DISPLAY, WINE, WINESERVER and
# GLEISORA_WINE_SESSION; GLEISORA_HEADLESS=1 when the display is the private one;
# GLEISORA_NO_WINE32 is empty when 32-bit programs run, else why they do not.
# GLEISORA_WINE32_LOADER names the 32-bit loader (default Debian's).
# Usage: wine-session.sh [--prefix DIR] [--screen WxHxD] [--] command [args...]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${GLEISORA_WINEPREFIX:-$here/build/wineprefix}
screen=1280x1024x24
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) prefix=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko installers, and no menu entries or file associations on the host.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
wine32=${GLEISORA_WINE32_LOADER:-/usr/lib/wine/wine}

(
  flock 9
  if [ ! -f "$WINEPREFIX/.gleisora-ready" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.gleisora-ready"
  fi
  # A prefix made before wine32 was installed lacks the 32-bit half.
  if [ -x "$wine32" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    "$WINE" wineboot -u >/dev/null 2>&1
    "$WINESERVER" -w
  fi
) 9>"$WINEPREFIX.lock"

xvfb_pid=""
cleanup() {
  "$WINESERVER" -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
export GLEISORA_HEADLESS=0
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 199); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n GLEISORA_HEADLESS=1
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
  if [ -z "$xvfb_pid" ]; then
    echo "wine-session: no free X display number" >&2
    exit 1
  fi
fi

# Wine's system processes start with the first program and inherit its output; start
# them here, detached, so that no test's output pipe is held open after it ends.
"$WINESERVER" -p
"$WINE" cmd.exe /c exit >/dev/null 2>&1 </dev/null
# The 32-bit loader counts only when it really starts a program: on a kernel without
# 32-bit support it is installed but every program fails to start.
export GLEISORA_NO_WINE32=""
if [ ! -x "$wine32" ]; then
  GLEISORA_NO_WINE32="32-bit Wine (wine32) is not installed (scripts/install-deps.sh --wine32 installs it)"
elif ! timeout 120 "$wine32" cmd.exe /c exit 0 >/dev/null 2>&1 </dev/null; then
  GLEISORA_NO_WINE32="32-bit Wine ($wine32) is installed but cannot start a program (a kernel without 32-bit support?)"
fi
export GLEISORA_WINE_SESSION=$WINEPREFIX
"$@"
