#!/usr/bin/env bash
# The run command: builds what is missing and runs the client under Wine, with the
# stand-in movie control playing the demo movie (demo/booter.movie), and prints the
# host-movie conversation as it happens.
#
#   scripts/run.sh [--no-control] [--seconds N]
#
#   --no-control  a machine without the player control: the stand-in is unregistered for
#                 the run (and registered again afterwards)
#   --seconds N   the demo closes the window after N seconds (or ZB_DEMO_SECONDS=N)
#
# Without a display of your own it runs on the session's Xvfb, closes by itself after 10
# seconds unless told otherwise, and saves screenshots under build/mingw.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

no_control=""
seconds=${ZB_DEMO_SECONDS:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --no-control) no_control=1 ;;
    --seconds) seconds=${2:?--seconds needs a number}; shift ;;
    --seconds=*) seconds=${1#*=} ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
if [ -n "$seconds" ] && ! [[ "$seconds" =~ ^[0-9]+$ && "$seconds" -gt 0 ]]; then
  echo "run.sh: --seconds wants a whole number of seconds" >&2
  exit 2
fi

say() { echo "run.sh: $*"; }

scripts/install-deps.sh
build=build/mingw
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset mingw; fi
cmake --build --preset mingw -j2

app=""
transcript=""
cleanup() {
  # Only what this run started, by pid.
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  if [ -n "$transcript" ] && kill -0 "$transcript" 2>/dev/null; then kill "$transcript" 2>/dev/null || true; fi
  if [ -n "$no_control" ]; then scripts/wine-session.sh register "$build" 2>/dev/null || true; fi
  scripts/wine-session.sh stop "$build"
}
trap cleanup EXIT
scripts/wine-session.sh start "$build"
eval "$(scripts/wine-session.sh env "$build")"
# The session starts an Xvfb of its own only when there is no display to use.
headless=""
[ -f "$ZB_SESSION_DIR/display" ] && headless=1

if [ -n "$no_control" ]; then
  scripts/wine-session.sh unregister "$build" || say "the stand-in was not registered"
  say "the movie control is not registered"
else
  scripts/wine-session.sh register "$build"
fi

client="$build/src/app/PlaynookApp.exe"
if [ -f "$client" ]; then
  program=$client
  say "running the client, $program"
else
  program="$build/tests/harness/minihost.exe"
  say "the client is not built: running minihost, the bare host, instead ($program)"
fi

if [ -n "$headless" ] && [ -z "$seconds" ] && [ -z "$no_control" ]; then
  seconds=10
  say "headless: the demo closes after $seconds s"
fi

# This run's record and movie script.
run="$build/run"
rm -rf "$run"
mkdir -p "$run"
record="$run/record.jsonl"
script="$run/booter.movie"
cp demo/booter.movie "$script"
if [ -n "$seconds" ] && [ -z "$no_control" ]; then
  printf 'at %d close\n' "$((seconds * 1000))" >>"$script"
fi
windows_path() { local p; p="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; echo "Z:${p//\//\\}"; }
export ZB_STANDIN_RECORD ZB_STANDIN_SCRIPT
ZB_STANDIN_RECORD=$(windows_path "$record")
ZB_STANDIN_SCRIPT=$(windows_path "$script")

browser_log="$ZB_SESSION_DIR/browser.log"
browser_lines=0
[ -f "$browser_log" ] && browser_lines=$(wc -l <"$browser_log")

# A run ends by itself after N seconds; an interactive one when you close the window.
if [ -n "$seconds" ]; then
  export ZB_RUN_TIMEOUT=${ZB_RUN_TIMEOUT:-$((seconds + 60))}
else
  export ZB_RUN_TIMEOUT=${ZB_RUN_TIMEOUT:-3600}
fi

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
started=$(now_ms)
# Wine's own output goes to the session log: its helper processes would otherwise keep
# this terminal's pipes open after the program has ended.
scripts/wine-run "$program" >>"$ZB_SESSION_DIR/wine.log" 2>&1 &
app=$!
python3 scripts/transcript.py --follow --pid "$app" "$record" &
transcript=$!

shot() {
  if import -display "$DISPLAY" -window root "$1" 2>/dev/null; then say "screenshot $1"; else say "no screenshot ($1)"; fi
}

first_shot=""
full_shot=""
full_seen_at=""
control_loaded=""
box_closed=0
while kill -0 "$app" 2>/dev/null; do
  sleep 0.2
  elapsed=$(( $(now_ms) - started ))
  if [ -z "$control_loaded" ] && [ -s "$record" ]; then
    control_loaded=$elapsed
    say "the movie control was loaded $(printf '%d.%03d' $((elapsed / 1000)) $((elapsed % 1000))) s after the start"
  fi
  [ -n "$headless" ] || continue
  # The first picture once the window has settled (before the demo asks for full
  # screen), the second while the window is full screen.
  if [ -z "$first_shot" ] && [ "$elapsed" -ge 2000 ]; then
    first_shot=1
    shot "$build/run-screenshot.png"
  fi
  if [ -z "$full_seen_at" ] && grep -q '"args":\["FullScreen","True"\]' "$record" 2>/dev/null; then
    full_seen_at=$elapsed
  fi
  if [ -z "$full_shot" ] && [ -n "$full_seen_at" ] && [ "$elapsed" -ge $((full_seen_at + 800)) ]; then
    full_shot=1
    shot "$build/run-screenshot-fullscreen.png"
  fi
  # Without the control the program shows its message box; headless, nobody else is
  # there to press OK.
  if [ -n "$no_control" ] && [ "$elapsed" -ge $((3000 + box_closed * 2000)) ] && [ "$box_closed" -lt 3 ]; then
    [ "$box_closed" -eq 0 ] && shot "$build/run-screenshot.png"
    box_closed=$((box_closed + 1))
    say "pressing Enter on the message box"
    xdotool key Return 2>/dev/null || true
  fi
done
status=0
wait "$app" || status=$?
app=""
wait "$transcript" 2>/dev/null || true
transcript=""

if [ -f "$browser_log" ] && [ "$(wc -l <"$browser_log")" -gt "$browser_lines" ]; then
  tail -n +"$((browser_lines + 1))" "$browser_log" | while read -r page; do say "the browser was asked to open $page"; done
fi
if [ "$status" -eq 124 ]; then
  say "the program was still running after $ZB_RUN_TIMEOUT s and was ended"
else
  say "the program ended with exit code $status"
fi
say "record: $record"
