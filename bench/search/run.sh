#!/usr/bin/env bash
# Times searching and replacing in ox, and as whole processes against vim and
# grep, on a generated file of a million lines with 20,000 folds
# (bench/search/search_bench.cpp). Installs vim when it is missing,
# builds ox and the benchmark in the build folder (default build/release) and
# runs it; further arguments go to the benchmark (--runs N, --lines N).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
shift || true

if ! dpkg-query -W -f='${Status}' vim 2>/dev/null | grep -q 'install ok installed'; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing: vim" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends vim
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target ox search_bench -j2 >/dev/null
exec "$build/bench/search/search_bench" --vim /usr/bin/vim.basic "$@"
