#!/usr/bin/env bash
# The fuzz command: builds the libFuzzer targets of fuzz/ with clang (ASan + UBSan) and
# runs each of them for a while.
#
#   scripts/fuzz.sh [SECONDS]          each target SECONDS (default 60); what the run found
#                                      that reaches new code is merged into fuzz/corpus/
#   scripts/fuzz.sh --check [SECONDS]  each target SECONDS (default 5), the tree's corpus
#                                      only read: the short run of the test command
#   scripts/fuzz.sh ... --only NAME    one target (registry_text, fscommand, ...)
#
# A target that fails leaves its input in build/fuzz/artifacts/; replay it with
# build/fuzz/fuzz_NAME build/fuzz/artifacts/crash-... Exit code 1 when any target failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

check=""
seconds=""
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1 ;;
    --only) only=${2:?--only needs a target name}; shift ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *)
      [[ "$1" =~ ^[0-9]+$ && "$1" -gt 0 ]] || { echo "fuzz.sh: unknown argument $1 (see --help)" >&2; exit 2; }
      seconds=$1 ;;
  esac
  shift
done
seconds=${seconds:-$([ -n "$check" ] && echo 5 || echo 60)}

build=build/fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
nice cmake --build "$build" -j "${ZB_JOBS:-2}" >/dev/null

targets=$(sed -n '/^set(ZB_FUZZ_TARGETS/,/)/p' fuzz/CMakeLists.txt | tr -d '()' | tr ' ' '\n' | grep -v -e '^set$' -e ZB_FUZZ_TARGETS -e '^$')
[ -n "$only" ] && targets=$only
mkdir -p "$build/artifacts"
failed=()
for target in $targets; do
  program="$build/fuzz_$target"
  [ -x "$program" ] || { echo "fuzz.sh: no target $target" >&2; exit 2; }
  seeds="fuzz/corpus/$target"
  work="$build/work/$target"
  mkdir -p "$seeds" "$work"
  log="$build/$target.log"
  # New inputs go to the work folder (first); the tree's seeds are only read.
  if nice "$program" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/artifacts/" -print_final_stats=1 >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf '%-20s ok    %9s inputs in %ss\n' "$target" "${runs:-?}" "$seconds"
  else
    printf '%-20s FAIL  see %s\n' "$target" "$log"
    grep -E '^(SUMMARY|==[0-9]+==ERROR)|Test unit written' "$log" | head -5 | sed 's/^/    /'
    failed+=("$target")
    continue
  fi
  if [ -z "$check" ]; then
    # Keep only what reaches code the seeds do not, so the tree's corpus stays small.
    nice "$program" -merge=1 "$seeds" "$work" >"$build/$target.merge.log" 2>&1 ||
      echo "fuzz.sh: merging the corpus of $target failed (see $build/$target.merge.log)" >&2
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failing targets: ${failed[*]}" >&2
  exit 1
fi
