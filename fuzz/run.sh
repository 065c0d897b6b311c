#!/usr/bin/env bash
# Runs a fuzzer for a fixed time from its seed corpus: fuzz/run.sh FUZZER
# SEED_FOLDER SECONDS [more libFuzzer options]. What it finds that is new is
# kept in a scratch folder and dropped afterwards, so the seed corpus changes
# only by hand; a crash leaves its input as crash-* in the working folder.
set -euo pipefail
fuzzer=$(realpath "$1") seeds=$(realpath "$2") seconds=$3
shift 3
scratch=$(mktemp -d /tmp/ox-corpus-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$@" "$scratch" "$seeds" 2>&1 | grep -v -E '^#[0-9]+\s+(NEW|REDUCE|pulse)' || true
exit "${PIPESTATUS[0]}"
