#!/usr/bin/env bash
# The test command: installs what is missing, builds the native (sanitizer) and the Windows
# trees, and runs every test: native units directly, Windows programs under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${ZB_JOBS:-2}

scripts/install-deps.sh

echo "== native build and unit tests (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

echo "== Windows build (mingw-w64) and tests under Wine"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
build=build/mingw
trap 'scripts/wine-session.sh stop "$build"' EXIT
scripts/wine-session.sh start "$build"
eval "$(scripts/wine-session.sh env "$build")"
scripts/wine-session.sh register "$build"
ctest --preset mingw
