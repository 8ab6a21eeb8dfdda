#!/usr/bin/env bash
# Builds a static Qt (Core, Gui, Widgets, the windows platform plugin) for
# x86_64-w64-mingw32 from Debian's own qt6-base source, once, into a cache
# outside the clone. Prints the install folder on its last line.
#
# The cache key holds the qt6-base version, the configure options and the
# compiler version, so a change to any of them builds a new Qt beside the old.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
toolchain_file="$here/../../cmake/mingw-w64-x86_64.cmake"
cache=${TORNVALE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tornvale}
jobs=${JOBS:-2}

options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_pkg_config=OFF
  # mingw-w64 has no wintab.h and Debian's source lacks src/3rdparty/wintab.
  -DFEATURE_tabletevent=OFF
  # FEATURE_opengl=OFF alone leaves dynamic OpenGL on.
  -DFEATURE_opengl=OFF -DINPUT_opengl=no
  # Bundled third-party code only: nothing to ship beside the program.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  # direct2d stays at its default: without it the DirectWrite font code is missing.
)

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
compiler="$(x86_64-w64-mingw32-g++-posix -dumpfullversion) $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
key=$(printf '%s\n' "$qt_version" "$compiler" "${options[@]}" | cat - "$toolchain_file" | sha256sum | cut -c1-12)
upstream=${qt_version%%+*}
prefix="$cache/qt-$upstream-$key"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# The source comes from the same archive as the machine's binary packages: a
# deb-src copy of its own entry, when it has none.
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
  list=/etc/apt/sources.list.d/debian.sources
  src=/etc/apt/sources.list.d/tornvale-deb-src.sources
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  sed -n 's/^Types:.*\bdeb\b.*/Types: deb-src/; p' "$list" | $sudo tee "$src" >/dev/null
  $sudo apt-get update >&2
fi

work="$cache/qt-$upstream-$key.work"
mkdir -p "$work"
cd "$work"
if [ ! -d source ]; then
  rm -rf download && mkdir download
  (cd download && apt-get source --download-only "qt6-base=$qt_version" >/dev/null &&
   dpkg-source -x ./*.dsc ../source >/dev/null)
  rm -rf download
fi

start=$(date +%s)
echo "Building a static Qt $upstream for Windows into $prefix (about 30 CPU minutes; log in $work)" >&2
cmake -G Ninja -S source -B build \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >configure.log 2>&1 || { tail -n 30 configure.log >&2; exit 1; }
ninja -C build -j "$jobs" >build.log 2>&1 || { tail -n 30 build.log >&2; exit 1; }
ninja -C build install >install.log 2>&1 || { tail -n 30 install.log >&2; exit 1; }
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "Static Qt built in $(( $(date +%s) - start )) s: $prefix" >&2
echo "$prefix"
