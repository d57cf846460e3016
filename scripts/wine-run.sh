#!/usr/bin/env bash
# Runs one Windows program under Wine: inside the caller's Wine session when there is
# one (run-tests.sh), otherwise in a session of its own. CTest's emulator for the
# Windows builds.
set -u
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" -- "$0" "$@"
fi
exec "$WINE" "$@"
