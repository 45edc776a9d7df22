#!/usr/bin/env bash
# One Wine session for the runs and tests of one build folder: a private prefix under the
# build folder, an Xvfb display when none is given, and the stand-in movie control.
#
#   wine-session.sh start    BUILD   prefix ready, display up, wineserver kept alive
#   wine-session.sh env      BUILD   prints the exports that put a shell into the session
#   wine-session.sh register BUILD   registers the stand-in control (tests and demos only)
#   wine-session.sh unregister BUILD
#   wine-session.sh stop     BUILD   ends only what start started (by pid) and the wineserver
#
# Everything Wine prints goes to BUILD/wine-session/wine.log.
set -euo pipefail

cmd=${1:?usage: wine-session.sh start|env|register|unregister|stop BUILD}
build=$(cd "${2:?build folder}" && pwd)
state="$build/wine-session"
prefix="$build/wineprefix"
mkdir -p "$state"
log="$state/wine.log"

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
# No Gecko or Mono installers: nothing here needs them and they would ask on a display.
export WINEDLLOVERRIDES="mscoree,mshtml="

session_display() {
  if [ -f "$state/display" ]; then cat "$state/display"; else echo "${DISPLAY:-}"; fi
}

start_xvfb() {
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then return; fi
  rm -f "$state/display" "$state/xvfb.pid"
  if [ -n "${DISPLAY:-}" ] && [ -z "${ZB_FORCE_XVFB:-}" ]; then return; fi
  local n geometry=${ZB_SCREEN:-1280x800x24}
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp >>"$log" 2>&1 &
    local pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      echo "$pid" >"$state/xvfb.pid"
      echo ":$n" >"$state/display"
      return
    fi
  done
  echo "wine-session: could not start Xvfb" >&2
  exit 1
}

reg_add() { wine reg add "$@" /f >>"$log" 2>&1; }

init_prefix() {
  [ -f "$prefix/.zb-ready" ] && return
  wineboot -i >>"$log" 2>&1
  wineserver -w
  # Wine draws the caption and frame itself, exactly at GetWindowRect, and gives the focus
  # to the active window: the frame metrics then match what is on screen.
  reg_add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
  reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
  # A crash must end the process, not start an interactive debugger.
  reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >>"$log" 2>&1 || true
  wine reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >>"$log" 2>&1 || true
  # The browser is a recorder: opening a page appends its address to a file.
  local browser="$state/browser.sh"
  cat >"$browser" <<EOS
#!/bin/sh
echo "\$@" >> "$state/browser.log"
EOS
  chmod +x "$browser"
  reg_add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser"
  # Wine's own fonts and a CJK font, linked behind the dialog fonts for Chinese texts.
  local fonts="$prefix/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  cp -n /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/" 2>/dev/null || true
  local f
  for f in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$f" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
  done
  # The caption, menu and message fonts ask for the ANSI character set, which keeps the
  # CJK font out of captions: ask for the default set instead, as a Chinese system would.
  # Captions are drawn in the CJK font itself: Wine links no fallback into them.
  local v cur face
  face=$(printf 'WenQuanYi Micro Hei' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
  face=$(printf '%-128s' "$face" | tr ' ' 0)
  for v in CaptionFont SmCaptionFont MenuFont StatusFont MessageFont; do
    cur=$(wine reg query 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$v" 2>/dev/null | awk '/REG_BINARY/{print $3}' | tr -d '\r')
    [ ${#cur} -ge 56 ] || continue
    case "$v" in
      CaptionFont|SmCaptionFont) cur="${cur:0:46}01${cur:48:8}$face" ;;
      *) cur="${cur:0:46}01${cur:48}" ;;
    esac
    reg_add 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$v" /t REG_BINARY /d "$cur"
  done
  wineserver -w
  touch "$prefix/.zb-ready"
}

standin_dll() {
  local dll
  dll=$(find "$build" -name 'moviestandin.dll' -not -path '*/wineprefix/*' | head -n 1)
  [ -n "$dll" ] || { echo "wine-session: moviestandin.dll is not built in $build" >&2; exit 1; }
  echo "$dll"
}

case "$cmd" in
  start)
    start_xvfb
    DISPLAY=$(session_display); export DISPLAY
    # The wineserver must be started under the display, or later windows fail (error 1400).
    if [ -f "$prefix/.zb-ready" ]; then wineserver -p >>"$log" 2>&1 || true; fi
    init_prefix
    wineserver -p >>"$log" 2>&1 || true
    ;;
  env)
    echo "export WINEPREFIX='$prefix' WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
    echo "export DISPLAY='$(session_display)'"
    echo "export ZB_SESSION_DIR='$state'"
    ;;
  register|unregister)
    DISPLAY=$(session_display); export DISPLAY
    flag=""; [ "$cmd" = unregister ] && flag="/u"
    wine regsvr32 /s $flag "$(winepath -w "$(standin_dll)")" >>"$log" 2>&1 || {
      echo "wine-session: regsvr32 $flag failed (see $log)" >&2; exit 1; }
    ;;
  stop)
    wineserver -k >>"$log" 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
      rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
  *) echo "usage: wine-session.sh start|env|register|unregister|stop BUILD" >&2; exit 2 ;;
esac
