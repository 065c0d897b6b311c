#!/usr/bin/env bash
# Times ox against vim on generated files of a million and five million lines
# in folds, and ox's start-up with the shipped ox.ini
# (bench/session/session_bench.cpp). Installs vim when it is missing,
# builds ox and the benchmark in the build folder (default build/release) and
# runs it; further arguments go to the benchmark (--runs N, --lines N, --scale N).
exec "$(dirname "$0")/../common/run_against_vim.sh" session/session_bench "$@"
