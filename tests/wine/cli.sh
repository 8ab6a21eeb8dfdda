#!/usr/bin/env bash
# tornvale-cli.exe under wine: --help in English and German, the port list
# (with the simulator's pseudo-terminal listed as COM12; a device map value
# that is no text), a usage error that
# sends nothing, a port that cannot be opened, and a clock query that goes out
# on COM12 (wine delivers no line events on a pseudo-terminal, so the answer
# never arrives: the program must end with exit 3 in bounded time).
#
#   tests/wine/cli.sh [build-windows] [linux build]
set -euo pipefail
source "$(dirname "$0")/window-check.sh"
session_extra_cleanup='[ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"'
fail() { echo "CLI FAILED: $*" >&2; exit 1; }
cli="$build/bin/tornvale-cli.exe"

# Runs the program with the given environment words and arguments; sets
# out, err and code.
run() {
  local -a envs=()
  while [[ $# -gt 0 && $1 == *=* ]]; do envs+=("$1"); shift; done
  code=0
  env "${envs[@]}" "$WINE" "$cli" "$@" >"$work/out" 2>"$work/err" || code=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}

start_device
start_xvfb
[ -f "$WINEPREFIX/system.reg" ] || fresh_prefix
list_device_as_port

run LC_ALL= LC_MESSAGES= LANG=C.UTF-8 --help
[ "$code" = 0 ] || fail "--help exit $code: $err"
grep -q '^  4  a file could not be written$' <<<"$out" || fail "--help lacks the exit codes: $out"
run LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8 --help
grep -q '^Rückgabewerte:$' <<<"$out" || fail "--help in German is not UTF-8 German: $out"
pass "--help in English and German"

run LANG=C.UTF-8 ports
[ "$code" = 0 ] || fail "ports exit $code: $err"
grep -qP "^$port\t" <<<"$out" || fail "ports does not list $port: $out"
run LANG=C.UTF-8 ports --json
grep -qF "{\"com\":\"$port\"," <<<"$out" || fail "ports --json does not list $port: $out"
pass "ports lists $port, also as JSON"

# A value of the device map that is no text: said, not a crash.
serialcomm='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
"$WINE" reg add "$serialcomm" /v '\Device\Broken0' /t REG_DWORD /d 7 /f >/dev/null 2>&1
run LANG=C.UTF-8 ports
"$WINE" reg delete "$serialcomm" /v '\Device\Broken0' /f >/dev/null 2>&1
[ "$code" = 2 ] || fail "a non-text value of the device map gave exit $code: $out $err"
grep -qF "The list of ports cannot be read: Ung" <<<"$err" || fail "device map message: $err"
pass "a device map value that is no text: exit 2 ($err)"

run LANG=C.UTF-8 read --port "$port" --date 2026-02-30 --id 1
[ "$code" = 1 ] || fail "a date not in the calendar gave exit $code"
grep -qF "'2026-02-30' is not a date in the calendar" <<<"$err" || fail "usage message: $err"
[ ! -s "$work/frames.log" ] || fail "a usage error sent: $(cat "$work/frames.log")"
pass "a usage error: exit 1, nothing sent"

run LANG=C.UTF-8 clock --port COM240
[ "$code" = 2 ] || fail "COM240 gave exit $code: $err"
grep -qF "COM240 cannot be opened" <<<"$err" || fail "open failure message: $err"
pass "a port that cannot be opened: exit 2 ($(head -n 2 <<<"$err" | tr '\n' ' '))"

start=$(date +%s)
run LANG=C.UTF-8 clock --port "$port"
took=$(( $(date +%s) - start ))
grep -qxF '<STX>80<ETX><CR>' "$work/frames.log" || fail "the clock query did not go out on $port"
[ "$code" = 3 ] || fail "clock on $port gave exit $code: $err"
(( took <= 30 )) || fail "clock on $port took $took s"
pass "clock on $port: the query went out, no answer under wine, exit 3 in $took s"
echo "tornvale-cli.exe under wine passed"
