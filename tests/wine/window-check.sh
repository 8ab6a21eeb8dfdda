# Sourced first by the wine checks that drive Tornvale.exe, with the caller's
# arguments ([build-windows] [linux build]): the folders, the X session and
# wine prefix (session.sh), the window's layout helpers (window.sh), the
# simulated device's COM name and a scratch folder. The caller sets fail()
# and session_extra_cleanup.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-build-windows}" && pwd)
linux=$(cd "${2:-$here/../../build}" && pwd)
source "$here/session.sh"
source "$here/window.sh"
port=COM12
exe="$build/bin/Tornvale.exe"
work=$(mktemp -d)
pass() { echo "ok: $*"; }
