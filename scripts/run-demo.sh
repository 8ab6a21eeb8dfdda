#!/usr/bin/env bash
# Starts the simulated QD-TR25 on a free COM name and the tool beside it;
# stops the simulator when the window closes.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin

for exe in qdtr25-sim Tornvale; do
  if [ ! -x "$bin/$exe" ]; then
    echo "make run: $bin/$exe is not built yet; nothing to start." >&2
    exit 1
  fi
done

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "make run: no display found (DISPLAY is unset). Run it in a desktop session," >&2
  echo "or under a virtual one: xvfb-run -a make run" >&2
  exit 1
fi

line_file=$(mktemp)
"$bin/qdtr25-sim" --port auto >"$line_file" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -f "$line_file"' EXIT

for _ in $(seq 50); do
  [ -s "$line_file" ] && break
  kill -0 $sim 2>/dev/null || { echo "make run: the simulator did not start." >&2; exit 1; }
  sleep 0.1
done
echo "Simulated QD-TR25: $(head -n1 "$line_file")"
"$bin/Tornvale"
