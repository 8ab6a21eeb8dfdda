#!/usr/bin/env bash
# The installed package at work: the installed qdtr25-sim linked as a COM
# port in a private port folder, the installed Tornvale on the offscreen
# platform, and the smoke operator plugin (built in BUILD_DIR) choosing that
# port and waiting for the device's clock reply.
#   tests/package/smoke-installed.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
plugins=$build/tests/package/plugins
[ -e "$plugins/generic/libtornvale_smoke_operator.so" ] || { echo "no smoke plugin in $plugins" >&2; exit 1; }

runtime=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill -INT "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$runtime

coproc SIM { exec /usr/bin/qdtr25-sim --port auto; }
sim_pid=$SIM_PID
read -r -t 20 com tty <&"${SIM[0]}" || { echo "the simulator did not announce itself" >&2; exit 1; }
echo "installed qdtr25-sim: $com $tty"

QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$plugins QT_QPA_GENERIC_PLUGINS=tornvalesmoke:$com \
  timeout 60 /usr/bin/Tornvale
echo "installed Tornvale: window up, clock reply arrived"

# The command line against the same device: the port listed, its clock read.
ports=$(/usr/bin/tornvale-cli ports)
grep -q "^$com" <<<"$ports" || { echo "tornvale-cli ports does not list $com: $ports" >&2; exit 1; }
timeout 30 /usr/bin/tornvale-cli clock --port "$com"
echo "installed tornvale-cli: $com listed, clock read"
