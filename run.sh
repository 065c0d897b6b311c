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

if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "configuring ox in $build ..." >&2
    log=$(mktemp)
    if ! cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
    echo "building ox (the first build takes a minute or two) ..." >&2
fi
# CMake's own progress lines ("[ 42%] Building CXX object ...") while anything
# is compiled, and any error; nothing when ox is up to date.
progress() {
    grep --line-buffered -v -e '\] Built target ' -e '^g\?make\[[0-9]*\]: ' >&2 || true
}
cmake --build "$build" --target ox -j"$(nproc)" 2>&1 | progress

PATH="$build/src/main:$PATH" exec ox "$@"
