#!/usr/bin/env bash
# Static analysis of the program's own code (src/): cppcheck, then clang-tidy over the
# Windows build as mingw-w64 compiles it. Prints every finding; exit code 1 when there is
# any, 0 when both are clean.
#
#   scripts/static-analysis.sh [--no-tidy]
#
# Each suppression below carries its reason; add none without one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${ZB_JOBS:-2}
tidy=1
[ "${1:-}" = "--no-tidy" ] && tidy=""

status=0

echo "== cppcheck $(cppcheck --version | sed 's/Cppcheck //')"
cppcheck_suppressions=(
  # The system headers are not given to cppcheck: its windows library describes them.
  --suppress=missingIncludeSystem
  # A hint to turn short loops into algorithm calls: taste, not a fault.
  --suppress=useStlAlgorithm
  # com_ptr converts from nullptr implicitly on purpose, as std::unique_ptr does.
  --suppress=noExplicitConstructor:src/winkit/com_ptr.h
  # The icon handle is loaded in the constructor body once the base (and with it the
  # application object it asks for the module) is there; a pointer copy costs nothing.
  --suppress=useInitializationList:src/player/PlaynookAppDlg.cpp
)
if ! nice cppcheck -q --enable=warning,style,performance,portability --std=c++20 --language=c++ \
    --library=windows -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE -I src --inline-suppr \
    "${cppcheck_suppressions[@]}" --error-exitcode=1 -j "$jobs" \
    --template='{file}:{line}: {severity}: {message} [{id}]' src/; then
  status=1
else
  echo "cppcheck: no findings"
fi

if [ -n "$tidy" ]; then
  echo "== clang-tidy $(clang-tidy --version | sed -n 's/.*LLVM version //p')"
  # A configured (not built) Windows tree gives the compile commands; clang reads them as
  # a mingw-w64 target with GCC's C++ headers.
  tree=build/static-analysis
  cmake --preset mingw -B "$tree" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  gxx_include=$(echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
                sed -n '/#include <...> search/,/End of search/p' | grep '/include/c++$' | tr -d ' ')
  checks='-*,bugprone-*,clang-analyzer-*,performance-*'
  # Pairs of same-typed parameters (command and argument, width and height) are the
  # Win32 and COM shapes themselves.
  checks+=',-bugprone-easily-swappable-parameters'
  # Win32 carries pointers in integers by design (window longs, registry handles).
  checks+=',-performance-no-int-to-ptr'
  files=$(python3 -c '
import json, sys
root = sys.argv[1] + "/src/"
db = json.load(open(sys.argv[2]))
print("\n".join(sorted({e["file"] for e in db if e["file"].startswith(root)})))' "$root" "$tree/compile_commands.json")
  out=$tree/clang-tidy.log
  # Files in parallel; each prints only its findings.
  echo "$files" | nice xargs -P "$jobs" -n 4 clang-tidy -p "$tree" --quiet --checks="$checks" \
      --header-filter="$root/src/.*" --extra-arg=--target=x86_64-w64-mingw32 \
      --extra-arg=-isystem"$gxx_include" --extra-arg=-isystem"$gxx_include/x86_64-w64-mingw32" \
      --extra-arg=-isystem"$gxx_include/backward" >"$out" 2>&1 || true
  if grep -qE '(warning|error):' "$out"; then
    grep -E '(warning|error):' "$out" | sort -u
    status=1
  else
    echo "clang-tidy: no findings in $(echo "$files" | wc -l) files"
  fi
fi
exit $status
