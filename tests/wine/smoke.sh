#!/usr/bin/env bash
# Smoke test of Tornvale.exe under wine in Xvfb, driven by real X input
# (xdotool) at the places of the window's fixed layout, against the Linux
# build's qdtr25-sim on a pseudo-terminal that the wine prefix lists as COM12
# (a name from COM10 up opens only with the "\\.\" prefix).
#
# Checked: the window appears; the English flag changes the captions and the
# German flag brings them back (pixel for pixel); "MD5 Checksum" fills the
# label, with the same text twice; choosing COM12 sends STX "80" ETX CR; the
# clock poll sends STX "806412" ETX CR again and again; "Wert lesen" with typed
# fields and "Übertragen" sends the frame with its CRC-16 checksum; the
# port's threads use no CPU time while the port is open (wine ends every wait
# for line events at once: a thread that started a new wait each time would
# spin).
#
#   tests/wine/smoke.sh [build-windows] [linux build]
set -euo pipefail
source "$(dirname "$0")/window-check.sh"
session_extra_cleanup='[ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"'

fail() { echo "SMOKE FAILED: $*" >&2; import -window root "$build/smoke-failure.png" 2>/dev/null; exit 1; }

# ---- the window: positions from its fixed layout, state from its pixels ------
# Wine 8 answers UI Automation only for the top window (no navigation, no
# bounds), so the captions and the digest are checked on the screen: a
# region's pixels change when its text changes and come back with the text.
# The pixels of a client rectangle x y w h, as a digest.
pixels() { import -window root -crop "$3x$4+$((client_x + $1))+$((client_y + $2))" rgb:- | md5sum | cut -c1-32; }
differs_from() { [ "$(pixels $2 $3 $4 $5)" != "$1" ]; }
equals() { [ "$(pixels $2 $3 $4 $5)" = "$1" ]; }

frames() { [ -f "$work/frames.log" ] && cat "$work/frames.log" || true; }
count_frames() { frames | grep -cxF "$1" || true; }

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
start_device
start_xvfb
[ -f "$WINEPREFIX/system.reg" ] || fresh_prefix
list_device_as_port
"$WINE" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' | grep -q "$port" ||
  fail "wine does not list $port in SERIALCOMM"
pass "$port -> $pty listed in HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM"

# ---- start ------------------------------------------------------------------
cd "$build/bin"
"$WINE" "$exe" >"$work/app.out" 2>&1 &
app_pid=$!
wait_until 60 locate_window || fail "no window '$title'"
sleep 2
pass "window '$title' shown at $client_x,$client_y"
icon=$(window_icon_matches) || fail "the window's icon is not the program's icon"
pass "the window shows the program's icon ($icon)"

# ---- caption language ------------------------------------------------------------
uebertragen="140 344 237 57" wert_lesen_caption="126 56 120 20"
german=$(pixels $uebertragen)
click_at 973 24  # the English flag
wait_until 5 differs_from "$german" $uebertragen || fail "the English flag left 'Übertragen' as it was"
english=$(pixels $uebertragen)
click_at 882 25  # the German flag
wait_until 5 equals "$german" $uebertragen || fail "the German flag did not bring 'Übertragen' back"
pass "the English flag switches the captions, the German flag switches them back"

# ---- software identification ---------------------------------------------------
software="731 382 303 26"
blank=$(pixels $software)
click_at 895 356  # "MD5 Checksum"
wait_until 10 differs_from "$blank" $software || fail "'MD5 Checksum' shows nothing"
digest=$(pixels $software)
click_at 895 356
sleep 1
equals "$digest" $software || fail "a second 'MD5 Checksum' shows another text"
pass "'MD5 Checksum' fills the label, the same text twice"

# ---- choosing the port; the clock poll ----------------------------------------------
before=$(threads)
click_at 320 128  # the port list
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
# Wine hands the program none of the device's lines, so every query stays
# unanswered: the poll asks again once it has given up waiting (5 s), not
# each second as for a device that answers.
((polls >= 1 && polls <= 3)) || fail "$polls clock polls in 10 s"
pass "clock poll: $polls frames <STX>806412<ETX><CR> in 10 s"
echo "threads started with the port: ${port_threads:-none}"
echo "CPU time over 10 s with the port open: port threads $(((busy1 - busy0) * 1000 / hz)) ms, whole program $(((all1 - all0) * 1000 / hz)) ms"
(((busy1 - busy0) * 1000 / hz <= 200)) || fail "the port's threads spin"
pass "the event thread does not spin"

# ---- Wert lesen, typed fields, Übertragen --------------------------------------------
click_at 140 66  # "Wert lesen"
for typed in 42 26 12 7; do
  xdotool key ctrl+a; xdotool type --delay 50 "$typed"; xdotool key Return; sleep 0.2
done
click_at 258 372  # "Übertragen"
payload=6026_12_070042
frame="<STX>$payload$(crc16 $payload)<ETX><CR>"
wait_until 10 grep -qxF "$frame" "$work/frames.log" || fail "'Übertragen' did not send $frame: $(frames | tail -n 3)"
pass "'Wert lesen', 42 26 12 7, 'Übertragen' sent $frame"

kill "$app_pid" 2>/dev/null || true
echo "smoke test of Tornvale.exe under wine passed"
