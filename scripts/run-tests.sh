#!/usr/bin/env bash
# Runs every test through CTest: native first, then the Windows tests under Wine, in
# one Wine session (private prefix <build>/wineprefix, private display when none is set).
set -u
B=${1:-build}; shift
B=$(cd "$B" && pwd)
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" --prefix "$B/wineprefix" -- "$0" "$B" "$@"
fi
wine_only=0; args=()
for a in "$@"; do [ "$a" = --wine-only ] && wine_only=1 || args+=("$a"); done
# One CTest tree over both builds, so a single summary counts all tests.
if [ $wine_only = 0 ]; then
  printf 'subdirs("native" "win64")\n' > "$B/CTestTestfile.cmake"
  dir=$B
else
  dir=$B/win64
fi
ctest --test-dir "$dir" "${args[@]}"
