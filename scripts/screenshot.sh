#!/usr/bin/env bash
# Writes docs/screenshot.png (or the file given): the real main window on a
# virtual display. When the simulated QD-TR25 is built, the window is
# connected to it first, so the picture shows a live device clock. Further
# arguments go to tornvale-screenshot; with --read-day the day is downloaded
# into a folder named "Łódź", in which the window starts.
#
#   scripts/screenshot.sh docs/window-en.png --english --read-day 26 12 7
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${BIN:-build/bin}
out=${1:-docs/screenshot.png}
shift || true
extra=("$@")
out=$(realpath -m "$out")

if [ ! -x "$bin/tornvale-screenshot" ]; then
  echo "screenshot: $bin/tornvale-screenshot is not built yet (make build)." >&2
  exit 1
fi
if ! command -v xvfb-run >/dev/null; then
  echo "screenshot: xvfb-run is missing (make deps installs it)." >&2
  exit 1
fi

# A private port folder: the simulator's COM link never meets the user's ports.
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
sim=""
cleanup() {
  if [ -n "$sim" ]; then
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT

args=()
if [ -x "$bin/qdtr25-sim" ]; then
  "$bin/qdtr25-sim" --port auto --clock pc >"$runtime/sim.line" &
  sim=$!
  for _ in $(seq 50); do
    [ -s "$runtime/sim.line" ] && break
    kill -0 "$sim" 2>/dev/null || { echo "screenshot: the simulator did not start." >&2; exit 1; }
    sleep 0.1
  done
  port=$(awk 'NR==1 {print $1}' "$runtime/sim.line")
  if [ -n "$port" ]; then
    echo "Simulated QD-TR25: $(head -n1 "$runtime/sim.line")"
    args=(--port "$port" --settle-ms 2500 "${extra[@]}")
  fi
else
  echo "screenshot: $bin/qdtr25-sim is not built; the window is shown without a device."
fi

mkdir -p "$(dirname "$out")"
bin=$(realpath "$bin")
folder=$runtime/Łódź
mkdir -p "$folder"
(cd "$folder" && xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/tornvale-screenshot" "${args[@]}" "$out")
echo "Wrote $out"
