#!/usr/bin/env bash
# Smoke test of Tornvale.exe under wine in Xvfb, driven by real X input
# (xdotool) and read back from outside through UI Automation (uia-tree.exe),
# against the Linux build's qdtr25-sim on a pseudo-terminal that the wine
# prefix lists as COM12 (a name from COM10 up needs the "\\.\" prefix).
#
# Checked: the window appears; the English flag switches the captions and the
# German flag switches them back; "MD5 Checksum" shows the upper-case MD5 of
# Tornvale.exe; choosing COM12 sends STX "80" ETX CR; the clock poll sends
# STX "806412" ETX CR once a second; "Wert lesen" with typed fields and
# "Übertragen" sends the frame with its checksum; the port's event thread
# uses no CPU time while the port is open (wine ends every wait for line
# events at once: a thread that started a new wait each time would spin).
#
#   tests/wine/smoke.sh [build-windows] [linux build]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build-windows}" && pwd)
linux=$(cd "${2:-$here/../../build}" && pwd)
source "$here/session.sh"
title="Tornvale Lindqvarn GmbH"
port=COM12
exe="$build/bin/Tornvale.exe"
work=$(mktemp -d)
session_extra_cleanup='[ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"'

fail() { echo "SMOKE FAILED: $*" >&2; [ -f "$work/tree.txt" ] && cat "$work/tree.txt" >&2; exit 1; }
pass() { echo "ok: $*"; }

# ---- the window as UI Automation reports it ------------------------------
tree() { "$WINE" "$build/bin/uia-tree.exe" "$title" 2>/dev/null | tr -d '\r' >"$work/tree.txt"; }
# Centre "x y" of the first element whose name (column 3) is $1.
at_name() { awk -F'\t' -v n="$1" '$3 == n { split($5, r, " "); print r[1], r[2]; exit }' "$work/tree.txt"; }
# Centre of the first element whose automation id ends in "$1".
at_id() { awk -F'\t' -v n="$1" 'length($1) >= length(n) && substr($1, length($1) - length(n) + 1) == n {
            split($5, r, " "); print r[1], r[2]; exit }' "$work/tree.txt"; }
has_name() { tree; [ -n "$(at_name "$1")" ]; }
name_at() {  # name of the element centred at "$1 $2"
  awk -F'\t' -v p="$1 $2" '{ split($5, r, " "); if (r[1] " " r[2] == p) { print $3; exit } }' "$work/tree.txt"; }
click_at() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
click_name() { tree; local p; p=$(at_name "$1"); [ -n "$p" ] || fail "no element named '$1'"; click_at $p; }
wait_until() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}

frames() { [ -f "$work/frames.log" ] && cat "$work/frames.log" || true; }
count_frames() { frames | grep -cxF "$1" || true; }

# CRC-16/MODBUS of the payload as four upper-case hex digits.
crc16() {
  local s=$1 crc=$((0xFFFF)) i b
  for ((i = 0; i < ${#s}; i++)); do
    printf -v b '%d' "'${s:i:1}"
    crc=$((crc ^ b))
    for _ in 1 2 3 4 5 6 7 8; do
      if ((crc & 1)); then crc=$(((crc >> 1) ^ 0xA001)); else crc=$((crc >> 1)); fi
    done
  done
  printf '%04X' "$crc"
}

# Sum of utime and stime (clock ticks) of the given threads of $app_pid.
cpu_ticks() {
  local sum=0 t
  for t in "$@"; do
    [ -r "/proc/$app_pid/task/$t/stat" ] || continue
    read -r -a f < <(sed 's/.*) //' "/proc/$app_pid/task/$t/stat")
    sum=$((sum + f[11] + f[12]))
  done
  echo "$sum"
}
threads() { ls "/proc/$app_pid/task" | sort -n; }

# ---- the device on a pseudo-terminal, listed by wine as COM12 ----------------
XDG_RUNTIME_DIR="$work" "$linux/bin/qdtr25-sim" --log "$work/frames.log" >"$work/sim.out" 2>&1 &
sim_pid=$!
wait_until 10 grep -q /dev/ "$work/sim.out" || fail "qdtr25-sim did not start: $(cat "$work/sim.out")"
pty=$(grep -o '/dev/[^ ]*' "$work/sim.out" | head -n 1)

start_xvfb
[ -f "$WINEPREFIX/system.reg" ] || fresh_prefix
"$WINE" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ /d "$pty" /f >/dev/null 2>&1
"$WINESERVER" -k || true
"$WINESERVER" -w
"$WINE" wineboot -u >/dev/null 2>&1
"$WINE" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' | grep -q "$port" ||
  fail "wine does not list $port in SERIALCOMM"
pass "$port -> $pty listed in HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM"

# ---- start ------------------------------------------------------------------
cd "$build/bin"
"$WINE" "$exe" >"$work/app.out" 2>&1 &
app_pid=$!
wait_until 60 xdotool search --name "^$title\$" >/dev/null || fail "no window '$title'"
wait_until 30 has_name "Wert lesen" || fail "the window has no UI Automation tree"
pass "window '$title' shown"

# ---- caption language ------------------------------------------------------------
english=$(at_id BitBtn2)
german=$(at_id BitBtn1)
[ -n "$english" ] && [ -n "$german" ] || fail "no flag buttons"
click_at $english
wait_until 5 has_name "read value" || fail "the English flag left the captions German"
has_name "transmit" || fail "no English caption 'transmit'"
pass "English flag: 'read value', 'transmit'"
click_at $german
wait_until 5 has_name "Wert lesen" || fail "the German flag did not switch back"
pass "German flag: 'Wert lesen'"

# ---- software identification ---------------------------------------------------
md5=$(md5sum "$exe" | cut -c1-32 | tr a-f A-F)
click_name "MD5 Checksum"
wait_until 10 has_name "$md5" || fail "'MD5 Checksum' does not show $md5"
pass "MD5 Checksum shows $md5"

# ---- choosing the port; the clock poll ----------------------------------------------
tree
combo=$(awk -F'\t' '$2 == 50003 { split($5, r, " "); print r[1], r[2]; exit }' "$work/tree.txt")
[ -n "$combo" ] || fail "no port list"
before=$(threads)
click_at $combo
xdotool key alt+Down; sleep 0.5
xdotool key End Return
wait_until 10 grep -qxF '<STX>80<ETX><CR>' "$work/frames.log" || fail "choosing $port sent no clock query: $(frames)"
pass "choosing $port sent <STX>80<ETX><CR>"

sleep 1
port_threads=$(comm -13 <(echo "$before") <(threads) | tr '\n' ' ')
polls0=$(count_frames '<STX>806412<ETX><CR>')
busy0=$(cpu_ticks $port_threads)
all0=$(cpu_ticks $(threads))
sleep 10
busy1=$(cpu_ticks $port_threads)
all1=$(cpu_ticks $(threads))
polls1=$(count_frames '<STX>806412<ETX><CR>')
hz=$(getconf CLK_TCK)
polls=$((polls1 - polls0))
((polls >= 8 && polls <= 12)) || fail "$polls clock polls in 10 s"
pass "clock poll: $polls frames <STX>806412<ETX><CR> in 10 s"
echo "threads started with the port: ${port_threads:-none}"
echo "CPU time over 10 s with the port open: port threads $(((busy1 - busy0) * 1000 / hz)) ms, whole program $(((all1 - all0) * 1000 / hz)) ms"
(((busy1 - busy0) * 1000 / hz <= 200)) || fail "the port's threads spin"
pass "the event thread does not spin"

# ---- Wert lesen, typed fields, Übertragen --------------------------------------------
click_name "Wert lesen"
for typed in 42 26 12 7; do
  xdotool key ctrl+a; xdotool type --delay 50 "$typed"; xdotool key Return; sleep 0.2
done
click_name "Übertragen"
payload=6026_12_070042
frame="<STX>$payload$(crc16 $payload)<ETX><CR>"
wait_until 10 grep -qxF "$frame" "$work/frames.log" || fail "'Übertragen' did not send $frame: $(frames | tail -n 3)"
pass "'Wert lesen', 42 26 12 7, 'Übertragen' sent $frame"

kill "$app_pid" 2>/dev/null || true
echo "smoke test of Tornvale.exe under wine passed"
