#!/usr/bin/env bash
# The day's file under wine: Tornvale.exe started in a folder whose name the
# ANSI code page cannot spell creates the day's file in that very folder when
# "Übertragen" sends the frame (wine delivers no replies). Real X input at the
# window's fixed layout: COM12, "Datei lesen", 26 12 7 with Enter, "Übertragen".
# The registry's ACP is 65001 in both rounds, but wine 8 takes the code page
# from the locale: "Łódź" runs at its 1252, "Москва" in hi-IN, a locale without
# an ANSI code page, for which wine's GetACP() is 65001 (LOCPATH lends it the
# C.UTF-8 data, so the Linux side stays UTF-8).
#
#   tests/wine/dayfile.sh [build-windows] [linux build]
set -euo pipefail
source "$(dirname "$0")/window-check.sh"
session_extra_cleanup='[ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"'

fail() {
  echo "DAYFILE FAILED: $*" >&2
  import -window root "$build/dayfile-failure.png" 2>/dev/null
  kill "${sim_pid:-}" "${app_pid:-}" 2>/dev/null  # before the session's own clean-up
  exit 1
}

# ---- the device on a pseudo-terminal, listed by wine as COM12; ACP 65001 ------
start_device
start_xvfb
[ -f "$WINEPREFIX/system.reg" ] || fresh_prefix
"$WINE" reg add 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP /t REG_SZ /d 65001 /f >/dev/null 2>&1
list_device_as_port
"$WINE" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null | tr -d '\r' |
  grep -q 65001 || fail "the prefix's ACP is not 65001"
pass "$port -> $pty; the prefix's ACP is 65001"

payload=7026_12_07
frame="<STX>$payload$(crc16 $payload)<ETX><CR>"

# One round: Tornvale.exe started in $work/<folder> (under the given
# environment) downloads 26.12.07; the day's file must appear in that folder.
download_in() {  # folder, env assignments...
  local folder=$1; shift
  mkdir -p "$work/$folder"
  : >"$work/frames.log"
  env -C "$work/$folder" "$@" "$WINE" "$exe" >"$work/app.out" 2>&1 &
  app_pid=$!
  wait_until 60 locate_window || fail "no window '$title'"
  sleep 2
  click_at 320 128  # the port list
  xdotool key alt+Down; sleep 0.5
  xdotool key End Return
  wait_until 10 grep -qxF '<STX>80<ETX><CR>' "$work/frames.log" || fail "choosing $port sent no clock query"
  click_at 140 89  # "Datei lesen": the focus goes to the year
  for typed in 26 12 7; do
    xdotool key ctrl+a; xdotool type --delay 50 "$typed"; xdotool key Return; sleep 0.2
  done
  click_at 258 372  # "Übertragen"
  wait_until 10 grep -qxF "$frame" "$work/frames.log" || fail "'Übertragen' did not send $frame"
  [ -f "$work/$folder/26_12_07.txt" ] || fail "no day's file in $folder: $(find "$work" -name '*.txt')"
  pass "started in '$folder' ($*): $frame sent, 26_12_07.txt created there"
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  "$WINESERVER" -w
}

cd "$work"
download_in "Łódź" LC_ALL=C.UTF-8
mkdir -p "$work/locales"
cp -r /usr/lib/locale/C.utf8 "$work/locales/hi_IN.UTF-8"
download_in "Москва" LOCPATH="$work/locales" LC_ALL=hi_IN.UTF-8
echo "day's file under wine passed"
