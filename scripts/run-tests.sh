#!/usr/bin/env bash
# Runs every test through CTest in one summary: the native tests, the checks of the
# shipped program, then the Windows tests under Wine against the 64-bit and the 32-bit
# build, in one Wine session (private prefix <build>/wineprefix, private display when
# none is set).
set -u
B=${1:-build}; shift
B=$(cd "$B" && pwd)
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" --prefix "$B/wineprefix" -- "$0" "$B" "$@"
fi
wine_only=0; args=()
for a in "$@"; do [ "$a" = --wine-only ] && wine_only=1 || args+=("$a"); done
trees=(win64 win32)
[ $wine_only = 0 ] && trees=(native release "${trees[@]}")
printf 'subdirs(%s)\n' "$(printf '"%s" ' "${trees[@]}")" > "$B/CTestTestfile.cmake"
ctest --test-dir "$B" "${args[@]}"
rc=$?
if [ -n "$GLEISORA_NO_WINE32" ]; then
  echo "WARNING: $GLEISORA_NO_WINE32: the 32-bit Windows tests were skipped."
fi
exit $rc
