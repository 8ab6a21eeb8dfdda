#!/usr/bin/env bash
# Tornvale.exe's resources, read under Linux (icoutils' wrestool): the icon
# that Explorer and the task bar show is the committed
# packaging/windows/Tornvale.ico (which a Linux test keeps equal to the
# program's artwork), and the version resource names the product, the
# version of the top-level project() and the maker the window caption names.
#
#   tests/wine/resources.sh [build-windows]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-build-windows}" && pwd)
exe="$build/bin/Tornvale.exe"
ico="$root/packaging/windows/Tornvale.ico"
source "$here/window.sh"  # the window's caption: $title
version=$(sed -n 's/^project(Tornvale VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "RESOURCES FAILED: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

wrestool -l "$exe" >"$work/list.txt"
grep -q "type=group_icon" "$work/list.txt" || fail "Tornvale.exe has no icon: $(cat "$work/list.txt")"
wrestool -x --type=14 "$exe" -o "$work/icon.ico"
# wrestool pads what it writes after the last image; the images are compared.
cmp -s -n "$(stat -c %s "$ico")" "$ico" "$work/icon.ico" || fail "Tornvale.exe's icon is not packaging/windows/Tornvale.ico"
pass "the icon is packaging/windows/Tornvale.ico ($(grep -c 'type=icon ' "$work/list.txt") images)"

# Key and value follow each other as UTF-16 texts.
wrestool -x --raw --type=16 "$exe" | strings -el >"$work/version.txt"
value() { awk -v key="$1" 'found { print; exit } $0 == key { found = 1 }' "$work/version.txt"; }
for expected in "CompanyName=${title#Tornvale }" ProductName=Tornvale "ProductVersion=$version" \
  "FileVersion=$version" OriginalFilename=Tornvale.exe; do
  key=${expected%%=*}
  [ "$(value "$key")" = "${expected#*=}" ] || fail "$key is '$(value "$key")', not '${expected#*=}'"
done
pass "version resource: ${title#Tornvale }, Tornvale $version, Tornvale.exe"
