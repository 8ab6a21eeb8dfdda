#!/usr/bin/env bash
# Checks a built package: lintian without errors (the warnings accepted are
# listed in docs/packaging.md), the desktop entry and the AppStream data
# valid; then shows what the package holds and its installed size.
#   scripts/check-package.sh build/tornvale_<version>_amd64.deb
set -euo pipefail
deb=${1:?usage: $0 PACKAGE.deb}
"$(dirname "$0")/install-deps.sh" lintian desktop-file-utils appstream

# --fail-on error: a warning does not fail, every error does.
lintian --fail-on error --tag-display-limit 0 "$deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
appstreamcli validate --no-net --explain "$tree"/usr/share/metainfo/*.metainfo.xml

dpkg -c "$deb"
echo "Installed-Size: $(dpkg-deb -f "$deb" Installed-Size) KiB; Depends: $(dpkg-deb -f "$deb" Depends)"
