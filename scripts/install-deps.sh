#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, once.
set -euo pipefail
pkgs=(cmake ninja-build g++ libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64
      g++-mingw-w64-i686 binutils-mingw-w64 wine64 xvfb xauth imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
