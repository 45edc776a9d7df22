#!/usr/bin/env bash
# The installer under Wine, in silent mode:
#   1. a first install with a channel: the files, both shortcuts, the installed-programs
#      entry and "DownloadSource" byte for byte;
#   2. the installed client, started with the stand-in movie, reports that download source;
#   3. an upgrade with another channel keeps the value and the client's other settings;
#   4. the channels the installer refuses, and values already there that it keeps;
#   5. the registered quiet uninstall leaves nothing of ours and keeps the rest of
#      "Corvelle"; with nothing else there, "Corvelle" goes too.
#
#   tests/installer/installer_test.sh BUILD
#
# BUILD is a mingw build folder with the targets installer, install_probe and moviestandin
# built. The test runs in a Wine session of its own (BUILD/installer-test), so what it
# installs and removes never meets the prefix of the other tests. Last line of output:
# "installer: N passed, M failed"; the exit status is 0 only when nothing failed.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: installer_test.sh BUILD}" && pwd)
setup=$(ls "$build"/installer/ZembarooSetup-*.exe 2>/dev/null | head -n 1)
probe_exe="$build/tests/installer/install_probe.exe"
standin_dll=$(find "$build/tests/standin" -name moviestandin.dll 2>/dev/null | head -n 1)
build_channel=$(sed -n 's/^ZB_CHANNEL:STRING=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
for need in "$setup" "$probe_exe" "$standin_dll"; do
  [ -f "$need" ] || { echo "installer_test: build the targets installer, install_probe and moviestandin in $build" >&2; exit 2; }
done

session="$build/installer-test"
mkdir -p "$session/standin"
# wine-session.sh registers the stand-in it finds under the session's folder.
cp "$standin_dll" "$session/standin/"
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
"$root/scripts/wine-session.sh" start "$session"
eval "$("$root/scripts/wine-session.sh" env "$session")"
"$root/scripts/wine-session.sh" register "$session"
log="$session/wine-session/wine.log"

drive_c="$WINEPREFIX/drive_c"
install_dir="$drive_c/Program Files/Zembaroo"
start_menu_link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zembaroo.lnk"
desktop_link="$drive_c/users/Public/Desktop/Zembaroo.lnk"
program_win='C:\Program Files\Zembaroo\PlaynookApp.exe'
settings_key='HKCR\Corvelle\PlaynookClient'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembaroo'

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok   $1"; }
bad() { failed=$((failed + 1)); echo "FAIL $1${2:+: $2}"; }
expect_eq() { # NAME ACTUAL EXPECTED
  if [ "$2" == "$3" ]; then ok "$1"; else bad "$1" "got '$2', expected '$3'"; fi
}
expect() { # NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then ok "$name"; else bad "$name"; fi
}

# Windows paths without asking Wine (winepath costs a Wine start): Z: is the Unix root.
to_win() {
  local path=$1
  if [[ "$path" == "$WINEPREFIX/drive_c/"* ]]; then path="C:${path#"$WINEPREFIX/drive_c"}"; else path="Z:$path"; fi
  printf '%s' "${path//\//\\}"
}
win() { timeout -k 5 120 wine "$@" 2>>"$log" | tr -d '\r'; }
probe() { win "$probe_exe" "$@" || true; }
reg_text() { # KEY NAME: the text of a value as reg shows it, or nothing
  win reg query "$1" /v "$2" 2>/dev/null | awk -v n="$2" '$1 == n { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' || true
}
key_exists() { wine reg query "$1" >/dev/null 2>>"$log"; }
key_absent() { ! key_exists "$1"; }
# What install_probe prints for a REG_SZ written the way Windows writes one: the text in
# UTF-16LE and one NUL, (characters + 1) * 2 bytes.
reg_sz() {
  local hex
  hex=$(printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
  echo "type=1 size=$(( ${#hex} / 2 + 2 )) data=${hex}0000"
}

install() { # ARGUMENTS...: a silent install, from the installer of the build
  timeout -k 5 120 wine "$setup" /S "$@" >>"$log" 2>&1
}
# Runs the uninstall command the installed-programs entry names and waits for it: NSIS's
# uninstaller copies itself to the temporary folder and lets the copy do the work.
uninstall() {
  local command
  command=$(reg_text "$uninstall_key" QuietUninstallString)
  [[ "$command" =~ ^\"([^\"]+)\"\ (.*)$ ]] || { echo "no quiet uninstall command: '$command'"; return 1; }
  timeout -k 5 60 wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} >>"$log" 2>&1 || return 1
  local _
  for _ in $(seq 120); do
    if [ ! -e "$install_dir" ] && key_absent "$uninstall_key"; then return 0; fi
    sleep 0.5
  done
  return 1
}
# Takes away whatever an earlier, interrupted run left, so that every run starts bare.
clean_slate() {
  if [ -e "$install_dir/uninstall.exe" ]; then uninstall >/dev/null || true; fi
  rm -rf "$install_dir" "$start_menu_link" "$desktop_link"
  wine reg delete "$uninstall_key" /f >>"$log" 2>&1 || true
  wine reg delete 'HKCR\Corvelle' /f >>"$log" 2>&1 || true
}

clean_slate
echo "== first install, channel family-web_2.0"
channel=family-web_2.0
expect "installer exits with 0" install "/CHANNEL=$channel"
expect "the program is installed, byte for byte" cmp -s "$install_dir/PlaynookApp.exe" "$build/src/app/PlaynookApp.exe"
expect "the uninstaller is installed" test -f "$install_dir/uninstall.exe"
for link in "$start_menu_link" "$desktop_link"; do
  expect_eq "shortcut $(basename "$(dirname "$link")")/Zembaroo.lnk" "$(probe shortcut "$(to_win "$link")")" \
    "$(printf 'target=%s\narguments=\nicon=%s,0' "$program_win" "$program_win")"
done
expect_eq "DownloadSource is a REG_SZ of the channel and one NUL" \
  "$(probe value "$settings_key" DownloadSource)" "$(reg_sz "$channel")"
expect_eq "the install writes no other setting" \
  "$(probe value "$settings_key" SelectedServer RemindServerSelect)" $'missing\nmissing'

# The installed-programs entry, value by value, from one query of the key.
entry=$(win reg query "$uninstall_key" || true)
entry_value() { awk -v n="$1" '$1 == n { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }' <<<"$entry"; }
entry_cases=(
  "DisplayName|Zembaroo"
  "DisplayVersion|$version"
  "Publisher|Corvelle Learning Co., Ltd."
  "DisplayIcon|$program_win,0"
  "InstallLocation|C:\\Program Files\\Zembaroo"
  "UninstallString|\"C:\\Program Files\\Zembaroo\\uninstall.exe\""
  "QuietUninstallString|\"C:\\Program Files\\Zembaroo\\uninstall.exe\" /S"
  "NoModify|0x1"
  "NoRepair|0x1"
)
for case in "${entry_cases[@]}"; do
  expect_eq "installed-programs entry ${case%%|*}" "$(entry_value "${case%%|*}")" "${case#*|}"
done
size_kib=$(( $(entry_value EstimatedSize) ))
program_kib=$(( $(stat -c %s "$install_dir/PlaynookApp.exe") / 1024 ))
expect "EstimatedSize ($size_kib KiB) covers the program ($program_kib KiB)" test "$size_kib" -ge "$program_kib"

echo "== the installed client reports the download source"
record="$session/record.jsonl"
movie="$session/movie.txt"
rm -f "$record"
cat >"$movie" <<'EOF'
var $version "X"
at 200 fs SwfInitialzed ""
at 1500 close
EOF
ZB_STANDIN_RECORD=$(to_win "$record") ZB_STANDIN_SCRIPT=$(to_win "$movie") \
  timeout -k 5 60 wine "$program_win" >>"$log" 2>&1 || true
report=$(grep -F '"CallFunction"' "$record" 2>/dev/null | grep -F 'NofityClientEnvironment' || true)
expect "the client sent its environment report" test -n "$report"
expect "the report ends in DownloadSource=$channel" grep -qF "&amp;DownloadSource=$channel</string>" <<<"$report"
expect "the report names the installed version" grep -qF "&amp;Exe=$version&amp;" <<<"$report"

echo "== upgrade with another channel"
wine reg add "$settings_key" /v SelectedServer /t REG_SZ /d Telecom /f >>"$log" 2>&1
wine reg add "$settings_key" /v RemindServerSelect /t REG_SZ /d false /f >>"$log" 2>&1
expect "the upgrade exits with 0" install /CHANNEL=another-page
expect_eq "DownloadSource keeps the first channel" "$(probe value "$settings_key" DownloadSource)" "$(reg_sz "$channel")"
expect_eq "the chosen line and the reminder stay" \
  "$(probe value "$settings_key" SelectedServer RemindServerSelect)" "$(reg_sz Telecom; reg_sz false)"
expect "the upgrade leaves one program in place" cmp -s "$install_dir/PlaynookApp.exe" "$build/src/app/PlaynookApp.exe"

echo "== the channel an install records, with no DownloadSource before it"
long64=$(printf 'a%.0s' $(seq 63))Z
channel_cases=(
  "64 characters|/CHANNEL=$long64|$long64"
  "65 characters|/CHANNEL=${long64}x|$build_channel"
  "a character outside the set|/CHANNEL=a&b|$build_channel"
  "a slash in the name|/CHANNEL=web/page|$build_channel"
  "a blank in a quoted name|/CHANNEL=\"two words\"|$build_channel"
  "a quoted name|/CHANNEL=\"quoted.page\"|quoted.page"
  "an empty name|/CHANNEL=|$build_channel"
  "no option|/NOTHING|$build_channel"
)
for case in "${channel_cases[@]}"; do
  IFS='|' read -r name argument expected <<<"$case"
  wine reg delete "$settings_key" /v DownloadSource /f >>"$log" 2>&1 || true
  # Exactly this Windows command line: quotes and "&" reach the installer as written.
  probe run "\"$(to_win "$setup")\" /S $argument" >>"$log"
  expect_eq "channel: $name" "$(probe value "$settings_key" DownloadSource)" "$(reg_sz "$expected")"
done

echo "== a DownloadSource already there stays as it is"
kept_cases=(
  "an empty text|/t REG_SZ /d \"\""
  "a number|/t REG_DWORD /d 7"
)
for case in "${kept_cases[@]}"; do
  IFS='|' read -r name value <<<"$case"
  wine reg delete "$settings_key" /v DownloadSource /f >>"$log" 2>&1 || true
  eval "wine reg add '$settings_key' /v DownloadSource $value /f" >>"$log" 2>&1
  before=$(probe value "$settings_key" DownloadSource)
  install /CHANNEL=newer || true
  expect_eq "kept: $name" "$(probe value "$settings_key" DownloadSource)" "$before"
done

echo "== uninstall"
wine reg add 'HKCR\Corvelle\OtherProduct' /v Keep /t REG_SZ /d yes /f >>"$log" 2>&1
expect "the quiet uninstall command runs to its end" uninstall
expect "the install folder is gone" test ! -e "$install_dir"
expect "the Start-menu entry is gone" test ! -e "$start_menu_link"
expect "the desktop shortcut is gone" test ! -e "$desktop_link"
expect "the installed-programs entry is gone" key_absent "$uninstall_key"
expect "the client's settings key is gone" key_absent "$settings_key"
expect_eq "the rest of Corvelle stays" "$(probe value 'HKCR\Corvelle\OtherProduct' Keep)" "$(reg_sz yes)"

echo "== with nothing else there, Corvelle goes too"
wine reg delete 'HKCR\Corvelle\OtherProduct' /f >>"$log" 2>&1
install || true
expect "the second uninstall runs to its end" uninstall
expect "no Corvelle key is left" key_absent 'HKCR\Corvelle'

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
