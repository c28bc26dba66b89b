#!/usr/bin/env bash
# Runs every test twice: in the normal build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the Windows programs, cross-compiled, under Wine; then fuzzes
# every fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300)
scripts/build.sh build-asan -DSEVRIK_SANITIZE=ON -DSEVRIK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure --timeout 600)
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
scripts/setup-windows.sh
scripts/build-windows.sh build-win32 -DSEVRIK_HOST_BUILD="$PWD/build"
(cd build-win32 && ctest --output-on-failure --timeout 300)
scripts/fuzz.sh 8
