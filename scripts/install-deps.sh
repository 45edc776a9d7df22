#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and the machine lacks.
# Safe to run again: it does nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ make googletest
  g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 fonts-wine fonts-wqy-microhei
  xvfb xdotool x11-utils imagemagick python3 nsis
  clang clang-tidy libclang-rt-14-dev cppcheck
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
