#!/usr/bin/env bash
# The release package: configures and builds the mingw-release tree and makes, in
# build/mingw-release/release/, the installer ZembarooSetup-<version>.exe, the portable
# program PlaynookApp-<version>-portable.zip and SHA256SUMS for both.
#
#   scripts/release.sh [CHANNEL]
#
# CHANNEL is the download channel the installer records when its command line names none
# (the cache variable ZB_CHANNEL; "official" unless set before). Only the program and the
# package are built, not the tests of the release tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${ZB_JOBS:-2}

scripts/install-deps.sh

configure=(cmake --preset mingw-release)
if [ -n "${1:-}" ]; then configure+=("-DZB_CHANNEL=$1"); fi
"${configure[@]}" >/dev/null
cmake --build --preset mingw-release -j "$jobs" --target release_package

out=build/mingw-release/release
(cd "$out" && sha256sum -c SHA256SUMS)
ls -l "$out"
