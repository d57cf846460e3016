#!/usr/bin/env bash
# Runs one Windows program under Wine: inside the caller's Wine session when there is
# one (run-tests.sh), otherwise in a session of its own. CTest's emulator for the
# Windows builds; --32 first marks a 32-bit program: where 32-bit programs do not run
# (wine32 missing, or unable to start a program) the run ends with 77, which CTest
# reports as skipped.
set -u
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" -- "$0" "$@"
fi
if [ "${1:-}" = --32 ]; then
  shift
  if [ -n "$GLEISORA_NO_WINE32" ]; then
    echo "skipped: $GLEISORA_NO_WINE32" >&2
    exit 77
  fi
fi
exec "$WINE" "$@"
