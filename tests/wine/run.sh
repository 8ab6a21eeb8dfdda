#!/usr/bin/env bash
# The Windows build under wine: the test programs (everything that needs no
# line events), then the smoke test of Tornvale.exe. Wine cannot deliver line
# events on a pseudo-terminal, so the device's replies are not checked here.
#
#   tests/wine/run.sh [build-windows]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build-windows}" && pwd)
source "$here/session.sh"

"$here/resources.sh" "$build"

start_xvfb
t0=$(date +%s)
fresh_prefix
echo "wine prefix ready in $(( $(date +%s) - t0 )) s"

# These three watch the Linux queue, whose descriptor is readable while a
# sent message waits; on Windows the system delivers sent messages itself and
# the descriptor carries only exceptions (MainQueueWindowsTest.cpp).
linux_queue=SendMessage.ServedFromQtLoopThroughTheWakeDescriptor
linux_queue+=:SendMessage.HandlerExceptionReachesTheLoopAndReleasesTheSender
linux_queue+=:SendMessage.DeallocatingAWindowReleasesItsQueuedSenders

run_test() {
  local t
  t=$(date +%s)
  echo "==== $1.exe under wine"
  "$WINE" "$build/bin/$1.exe" --gtest_brief=1 "${@:2}"
  echo "$1.exe passed in $(( $(date +%s) - t )) s"
}
run_test exchange_tests
run_test serial_tests "--gtest_filter=-$linux_queue"
run_test discovery_tests
"$WINESERVER" -w

t=$(date +%s)
"$here/cli.sh" "$build"
echo "tornvale-cli.exe check passed in $(( $(date +%s) - t )) s"

t=$(date +%s)
"$here/smoke.sh" "$build"
echo "smoke test passed in $(( $(date +%s) - t )) s"

t=$(date +%s)
"$here/dayfile.sh" "$build"
echo "day's file check passed in $(( $(date +%s) - t )) s"

t=$(date +%s)
"$here/replug.sh" "$build"
echo "replug check passed in $(( $(date +%s) - t )) s"
