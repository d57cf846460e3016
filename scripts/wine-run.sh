#!/usr/bin/env bash
# Runs one Windows program under Wine: inside the caller's Wine session when there is
# one (run-tests.sh), otherwise in a session of its own. CTest's emulator for the
# Windows builds; --32 first marks a 32-bit program, which needs Debian's wine32:
# without it the run ends with 77, which CTest reports as skipped.
set -u
if [ "${1:-}" = --32 ]; then
  shift
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "skipped: 32-bit Wine (wine32) is not installed" >&2
    exit 77
  fi
fi
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" -- "$0" "$@"
fi
exec "$WINE" "$@"
