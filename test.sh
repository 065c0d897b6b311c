#!/usr/bin/env bash
# Builds ox twice (a normal build and one under AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test of both, then builds the
# fuzzers of fuzz/ with clang and runs each for OX_FUZZ_SECONDS (20) from its
# seed corpus. On a fresh Debian 12 machine it first installs the packages it
# needs; run it as root or with sudo.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/packages.sh
ensure_packages

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j"$jobs"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DOX_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"

status=0
ctest --test-dir build/release --output-on-failure -j"$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs" || status=1

if command -v clang++ >/dev/null; then
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOX_FUZZ=ON \
        -DOX_TESTS=OFF -DOX_BENCH=OFF -DOX_FUZZ_SECONDS="${OX_FUZZ_SECONDS:-20}" >/dev/null
    cmake --build build/fuzz -j"$jobs" --target ere_fuzz file_fuzz command_fuzz filename_fuzz
    ctest --test-dir build/fuzz --output-on-failure -j"$jobs" || status=1
else
    echo "clang++ not found: the fuzzers are not run" >&2
fi
exit $status
