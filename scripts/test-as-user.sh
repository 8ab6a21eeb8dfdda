#!/usr/bin/env bash
# Runs the tests whose outcome can depend on the account that runs them (the
# platform layer's ports and files, the serial component, the readout file,
# the port list, the port doctor and the command line) as an ordinary user
# created for the run,
# then removes that user again. Root opens any device node, writes into
# read-only folders and ignores a port's exclusive flag, so a suite run only
# as root hides what a normal user meets. Run as root, after the tests were
# built and run once: scripts/test-as-user.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "test-as-user: run as root (it creates a user)" >&2; exit 2; }
labels='^(platform|serial|exchange|discovery|doctor|cli)$'

user="tornvale-test-$$"
scratch="$(mktemp -d)"
opened=()  # folders on the way to the tree that were closed to others
cleanup() {
    local dir
    for dir in "${opened[@]}"; do chmod o-x "$dir"; done
    userdel "$user" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

useradd --no-create-home --home-dir "$scratch" --shell /usr/sbin/nologin "$user"
# The user reads the tree and runs its programs: every folder above must let it through.
for tree in "$root" "$build"; do
    dir="$tree"
    while [ "$dir" != / ]; do
        if [ -z "$(find "$dir" -maxdepth 0 -perm -o=x)" ]; then
            chmod o+x "$dir"
            opened+=("$dir")
        fi
        dir="$(dirname "$dir")"
    done
done

# Brings the test lists up to date as root: the user may not write into the build tree.
ctest --test-dir "$build" -N -L "$labels" -LE soak >/dev/null
# ctest's own logs go to a folder of the user's that names the build tree.
echo "subdirs(\"$build\")" > "$scratch/CTestTestfile.cmake"
install -d -m 700 -o "$user" "$scratch/runtime"
chown "$user" "$scratch"
cd "$scratch"
runuser -u "$user" -- env HOME="$scratch" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen \
    ctest --test-dir "$scratch" --output-on-failure --timeout 300 -j "${JOBS:-$(nproc)}" -L "$labels" -LE soak
