#!/usr/bin/env bash
# ./run.sh [ox options] [files]: builds ox when it is missing or out of date,
# then starts it on the files. On a fresh Debian 12 machine it first installs
# the packages it needs (as root, or through sudo). It uses the release build
# that test.sh makes too (build/release), and starts the program from its
# folder on PATH, so that the ox.ini beside it is the initialisation file
# (unless you have a ~/.oxrc, or give -i). OX_BUILD_DIR names another build
# folder.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=${OX_BUILD_DIR:-$root/build/release}
. "$root/scripts/packages.sh"
ensure_packages

log=$(mktemp)
quietly() {
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        exit 1
    fi
}
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "building ox in $build ..." >&2
    quietly cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
quietly cmake --build "$build" --target ox -j"$(nproc)"
rm -f "$log"

PATH="$build/src/main:$PATH" exec ox "$@"
