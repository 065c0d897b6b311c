#!/usr/bin/env bash
# What the benchmarks against vim share: installs vim when it is missing,
# builds ox and the benchmark in the build folder (default build/release) and
# runs the benchmark with vim, giving it the further arguments.
#   run_against_vim.sh FOLDER/TARGET [build folder] [benchmark arguments...]
# e.g. search/search_bench: the target search_bench, built in bench/search.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=$1
build=${2:-$root/build/release}
shift 2 || shift $#

if ! dpkg-query -W -f='${Status}' vim 2>/dev/null | grep -q 'install ok installed'; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing: vim" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends vim
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target ox "${bench##*/}" -j2 >/dev/null
exec "$build/bench/$bench" --vim /usr/bin/vim.basic "$@"
