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

start_xvfb
t0=$(date +%s)
fresh_prefix
echo "wine prefix ready in $(( $(date +%s) - t0 )) s"

for test in exchange_tests serial_tests; do
  t=$(date +%s)
  echo "==== $test.exe under wine"
  "$WINE" "$build/bin/$test.exe" --gtest_brief=1
  echo "$test.exe passed in $(( $(date +%s) - t )) s"
done
"$WINESERVER" -w

t=$(date +%s)
"$here/smoke.sh" "$build"
echo "smoke test passed in $(( $(date +%s) - t )) s"
