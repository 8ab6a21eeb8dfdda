#!/usr/bin/env bash
# Runs every benchmark of a build and writes the results table.
#
#   bench/run.sh BUILD_DIR            full sizes; writes docs/benchmarks.md
#   bench/run.sh BUILD_DIR --smoke    small sizes, seconds; writes BUILD_DIR/benchmarks-smoke.md
#
# A benchmark that fails to run fails the script; a goal missed does not
# (it is reported in the table).
set -uo pipefail
build=${1:?usage: bench/run.sh BUILD_DIR [--smoke]}
mode=${2:-}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$build/bin"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

if [ "$mode" = "--smoke" ]; then
  out="$build/benchmarks-smoke.md"
  args=(--smoke)
else
  out="$root/docs/benchmarks.md"
  args=()
fi

export QT_QPA_PLATFORM=offscreen
failed=0
ran=()
for program in bench_latency bench_download bench_cli_download bench_idle_window bench_md5 bench_startup bench_failing_wait; do
  if [ ! -x "$bin/$program" ]; then
    echo "bench: $program not built" >&2
    failed=1
    continue
  fi
  echo "== $program ${args[*]:-}"
  start=$(date +%s)
  if "$bin/$program" "${args[@]}" >"$logs/$program.log" 2>&1; then
    status=0
  else
    status=$?
    failed=1
  fi
  grep -v -e '^BENCH |' -e '^$' -e 'propagateSizeHints' "$logs/$program.log" | sed 's/^/   /'
  echo "   (exit $status, $(( $(date +%s) - start )) s)"
  ran+=("$program")
done

{
  if [ "$mode" = "--smoke" ]; then
    echo "# Benchmarks (smoke run: small sizes, figures not meaningful)"
  else
    echo "# Benchmarks"
  fi
  echo
  echo "Written by \`make bench\` (bench/run.sh) on $(date -u '+%Y-%m-%d %H:%M UTC'):"
  echo "$(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')),"
  echo "$(uname -sr), build type $(grep -m1 CMAKE_BUILD_TYPE: "$build/CMakeCache.txt" 2>/dev/null | cut -d= -f2)."
  echo "Each baseline runs in the same run as its figure; the ratio is this run / baseline."
  echo
  echo "| Figure | This run | Baseline | Ratio | Goal | Met |"
  echo "|---|---|---|---|---|---|"
  for program in "${ran[@]}"; do
    grep '^BENCH |' "$logs/$program.log" | sed 's/^BENCH //; s/ | no |$/ | **no** |/'
  done
  echo
  echo "## Details"
  echo
  for program in "${ran[@]}"; do
    echo "- \`$program\`: $(grep -v -e '^BENCH |' -e '^$' -e 'propagateSizeHints' "$logs/$program.log" | tr '\n' ' ')"
  done
} >"$out"

echo "== results: $out"
grep '^|' "$out"
exit $failed
