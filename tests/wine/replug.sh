#!/usr/bin/env bash
# A device pulled and plugged in again, under wine, as an operator meets it:
# with the clock poll running, the simulator behind COM12 ends (the poll's
# write fails; one error box, closed with its OK button), a new simulator is
# linked as COM12, the operator chooses COM12 in the list again, and the new
# device must receive the clock query, the window still up.
#
#   tests/wine/replug.sh [build-windows] [linux build]
set -euo pipefail
source "$(dirname "$0")/window-check.sh"
query='<STX>80<ETX><CR>' poll='<STX>806412<ETX><CR>'
session_extra_cleanup='kill ${first_pid:-} ${sim_pid:-} 2>/dev/null; rm -rf "$work"'

fail() { echo "REPLUG FAILED: $*" >&2; import -window root "$build/replug-failure.png" 2>/dev/null; exit 1; }
logged() { [ -f "$1" ] && grep -qxF "$2" "$1"; }
app_alive() { kill -0 "$app_pid" 2>/dev/null && locate_window; }

# An error box is a window titled after the program; its one button, OK,
# lies at its bottom right. Without a window manager the box does not take
# the keyboard focus, so it is clicked.
# (Qt's hidden helper windows bear the title too, unmapped.)
boxes() { xdotool search --onlyvisible --name '^Tornvale$' 2>/dev/null || true; }
box_id() { boxes | head -n 1; }
box_open() { [ -n "$(box_id)" ]; }
close_box() {
  local id geometry
  id=$(box_id)
  [ -n "$id" ] || return 1
  geometry=$(xdotool getwindowgeometry --shell "$id")
  eval "$geometry"
  xdotool mousemove $((X + WIDTH - 55)) $((Y + HEIGHT - 25)) click 1
  sleep 0.5
  ! box_open
}

start_device
first_pid=$sim_pid
start_xvfb
[ -f "$WINEPREFIX/system.reg" ] || fresh_prefix
list_device_as_port
"$WINE" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' | grep -q "$port" ||
  fail "wine does not list $port in SERIALCOMM"
start_tornvale
choose_last_port
wait_until 10 logged "$work/frames.log" "$poll" || fail "no clock poll reached the first device"
pass "$port chosen, the first device is polled"

# ---- pulled: the simulator ends ----------------------------------------------
kill "$first_pid"
wait "$first_pid" 2>/dev/null || true
mv "$work/frames.log" "$work/first.log"
wait_until 10 box_open || fail "no error box after the device went away"
sleep 3  # one box only, however many polls fail meanwhile
open_boxes=$(boxes | wc -l)
((open_boxes == 1)) || fail "$open_boxes error boxes after the device went away"
wait_until 5 close_box || fail "the error box did not close"
pass "the device went away: one error box, closed"

# ---- plugged in again: a new device under the same name ------------------------
start_device  # logs to a new frames.log
ln -sfn "$pty" "$WINEPREFIX/dosdevices/${port,,}"
locate_window || fail "the window went away"
choose_last_port
if ! wait_until 10 logged "$work/frames.log" "$query"; then
  box_open && echo "an error box is open after choosing $port again" >&2
  fail "the new device behind $port received no clock query after $port was chosen again: $(cat "$work/frames.log" 2>/dev/null)"
fi
pass "$port chosen again: the new device received $query"
# Wine hands the program none of the device's lines: the poll follows once
# the unanswered query has been given up (5 s).
wait_until 10 logged "$work/frames.log" "$poll" || fail "the poll does not reach the new device"
app_alive || fail "the window went away"
pass "the poll reaches the new device, the window stays up"

kill "$app_pid" 2>/dev/null || true
echo "replug check of Tornvale.exe under wine passed"
