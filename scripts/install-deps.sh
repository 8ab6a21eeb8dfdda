#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, but
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev libgtest-dev libgl-dev
          xvfb xauth xdotool fonts-dejavu-core clang libclang-rt-dev procps)
[ $# -gt 0 ] && packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
