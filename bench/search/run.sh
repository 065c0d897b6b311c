#!/usr/bin/env bash
# Times searching and replacing in ox, and as whole processes against vim and
# grep, on a generated file of a million lines with 20,000 folds
# (bench/search/search_bench.cpp). Installs vim when it is missing,
# builds ox and the benchmark in the build folder (default build/release) and
# runs it; further arguments go to the benchmark (--runs N, --lines N).
exec "$(dirname "$0")/../common/run_against_vim.sh" search/search_bench "$@"
