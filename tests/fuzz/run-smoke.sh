#!/usr/bin/env bash
# Runs every libFuzzer target of a FUZZ=ON build for a while, starting from
# its corpus in tests/fuzz/<target>/. New inputs go to a scratch folder; a
# crash is kept as tests/fuzz/<target>/crash-* and fails the run.
#
#   tests/fuzz/run-smoke.sh BUILD_DIR [SECONDS_PER_TARGET]
set -uo pipefail
build=${1:?usage: run-smoke.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

targets=(reply field_commit int_conversion port_name sim_frames dcb_termios)
jobs=${FUZZ_JOBS:-$(nproc)}

# One target, its verdict written to $scratch/<target>.status.
run_target() {
  local target=$1 program="$build/bin/fuzz_$1" log="$scratch/$1.log"
  mkdir -p "$scratch/$target"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$here/$target/" "$scratch/$target" "$here/$target" >"$log" 2>&1
  echo $? >"$scratch/$target.status"
}

failed=0
# The targets run side by side, as many at a time as there are cores.
for target in "${targets[@]}"; do
  if [ ! -x "$build/bin/fuzz_$target" ]; then
    echo "fuzz-smoke: $build/bin/fuzz_$target missing" >&2
    failed=1
    continue
  fi
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  run_target "$target" &
done
wait

for target in "${targets[@]}"; do
  log="$scratch/$target.log"
  [ -f "$scratch/$target.status" ] || continue
  status=$(cat "$scratch/$target.status")
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  reports=$(grep -c -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log")
  echo "fuzz_$target: ${runs:-0} runs in ${seconds} s, exit $status, $reports sanitizer/crash reports"
  if [ "$status" -ne 0 ] || [ "$reports" -ne 0 ]; then
    failed=1
    tail -40 "$log"
  fi
done
exit $failed
