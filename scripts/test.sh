#!/usr/bin/env bash
# Runs every test twice: in the normal build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer; then fuzzes every fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300)
scripts/build.sh build-asan -DSEVRIK_SANITIZE=ON -DSEVRIK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure --timeout 600)
scripts/fuzz.sh 8
