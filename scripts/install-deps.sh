#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, once.
# --wine32: Debian's 32-bit Wine for the 32-bit tests. The i386 half of the mirror is
# at times out of step; a failed install is then only a warning, and the 32-bit
# tests are reported skipped.
set -uo pipefail
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if [ "${1:-}" = --wine32 ]; then
  [ -x /usr/lib/wine/wine ] && exit 0
  echo "Installing wine32 (32-bit Wine)"
  if ! { $SUDO dpkg --add-architecture i386 && $SUDO apt-get update &&
         $SUDO apt-get install -y --no-install-recommends wine32; }; then
    echo "WARNING: wine32 could not be installed; the 32-bit tests will be skipped." >&2
  fi
  exit 0
fi

pkgs=(cmake ninja-build g++ libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64
      g++-mingw-w64-i686 binutils-mingw-w64 wine64 xvfb xauth imagemagick python3)
missing=()
for p in "${pkgs[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
set -e
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
