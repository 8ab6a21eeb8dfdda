#!/usr/bin/env bash
# make windows: the cross toolchain, the static Qt (built once into the cache),
# build-windows/bin/Tornvale.exe and tornvale-cli.exe, the wine test programs and
# dist/Tornvale-<version>-win64.zip. Fails when either program needs any DLL
# that is not part of Windows.
set -euo pipefail
cd "$(dirname "$0")/../.."
jobs=${JOBS:-$(nproc)}
build=${BUILD_WINDOWS:-build-windows}

scripts/windows/toolchain.sh
t0=$(date +%s)
qt=$(JOBS=$jobs scripts/windows/qt-static.sh | tail -n 1)
t1=$(date +%s)
# A build folder configured against another Qt starts afresh.
grep -qF "$qt" "$build/CMakeCache.txt" 2>/dev/null || rm -rf "$build"
[ -f "$build/CMakeCache.txt" ] ||
  "$qt/bin/qt-cmake" -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$jobs" --target Tornvale tornvale-cli windows_zip wine_tests
t2=$(date +%s)

scripts/windows/check-dlls.sh "$build/bin/Tornvale.exe"
scripts/windows/check-dlls.sh "$build/bin/tornvale-cli.exe"
echo "Static Qt: $qt ($((t1 - t0)) s)"
echo "Tornvale.exe: $(stat -c %s "$build/bin/Tornvale.exe") bytes, built in $((t2 - t1)) s"
ls -l dist/Tornvale-*-win64.zip
