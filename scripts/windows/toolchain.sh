#!/usr/bin/env bash
# Installs the cross toolchain and the wine test tools when missing: the
# checks read the screen (imagemagick), window properties (x11-utils) and the
# program's resources (icoutils).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../install-deps.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  binutils-mingw-w64-x86-64 ninja-build qt6-base-dev-tools dpkg-dev xz-utils zip \
  wine64 wine xvfb xdotool imagemagick x11-utils icoutils
