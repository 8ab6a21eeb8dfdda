#!/usr/bin/env bash
# Checks that every library Tornvale and tornvale-cli link is built from product sources
# only: no object of the test, benchmark or simulator tooling (tooling/testing,
# tooling/tty, sim, tests, bench) in any of them. Lists each library with its
# objects (ar t). Usage: scripts/check-product-libs.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

# Object names of the tooling: "Pty.cpp.o" for tooling/tty/linux/Pty.cpp.
mapfile -t tooling < <(cd "$root" && find tooling/testing tooling/tty sim tests bench -name '*.cpp' -printf '%f.o\n' | sort -u)

status=0
for program in ui/Tornvale cli/tornvale-cli; do
    link="$build/$(dirname "$program")/CMakeFiles/$(basename "$program").dir/link.txt"
    [ -f "$link" ] || { echo "no link line for $program in $build" >&2; exit 2; }
    echo "== $(basename "$program")"
    for lib in $(tr ' ' '\n' < "$link" | grep '\.a$'); do
        path="$build/$(dirname "$program")/$lib"
        name="$(basename "$lib")"
        case "$name" in
        libtornvale_testing.a | libtornvale_tty.a | libtornvale_sim.a)
            echo "FAIL: $program links $name"
            status=1
            continue
            ;;
        esac
        mapfile -t objects < <(ar t "$path" | sort)
        echo "$name: ${objects[*]}"
        for object in "${objects[@]}"; do
            for tool in "${tooling[@]}"; do
                if [ "$object" = "$tool" ]; then
                    echo "FAIL: $name holds $object, a tooling object"
                    status=1
                fi
            done
        done
    done
done
[ "$status" -eq 0 ] && echo "OK: the libraries Tornvale and tornvale-cli link hold only product objects"
exit "$status"
