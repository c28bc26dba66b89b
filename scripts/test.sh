#!/usr/bin/env bash
# Runs every test twice: in the normal build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the Windows programs, cross-compiled, under Wine; then fuzzes
# every fuzz target for a few seconds.
#
# The 32-bit Windows programs (what is shipped) are built on every machine, and their checks
# that need no Wine (label "nowine") run everywhere. The Windows suite under Wine runs on that
# 32-bit tree where the machine runs 32-bit programs, else on a 64-bit tree of the same sources
# under 64-bit Wine; SEVRIK_WINDOWS_ARCH=x86_64 asks for the 64-bit suite on any machine.
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
SEVRIK_WINDOWS_ARCH=i686 scripts/build-windows.sh build-win32 -DSEVRIK_HOST_BUILD="$PWD/build"
suite=${SEVRIK_WINDOWS_ARCH:-}
if [ -z "$suite" ]; then
  if scripts/runs-32bit.sh; then suite=i686; else suite=x86_64; fi
fi
if [ "$suite" = i686 ]; then
  echo "Windows suite: the 32-bit programs (build-win32) under 32-bit Wine; this machine runs 32-bit programs"
  (cd build-win32 && ctest --output-on-failure --timeout 300)
else
  echo "Windows suite: the 64-bit programs (build-win64) under 64-bit Wine, and the 32-bit programs' checks without Wine (build-win32)"
  (cd build-win32 && ctest --output-on-failure --timeout 300 -L nowine --no-tests=error)
  SEVRIK_WINDOWS_ARCH=x86_64 scripts/build-windows.sh build-win64 -DSEVRIK_HOST_BUILD="$PWD/build"
  (cd build-win64 && ctest --output-on-failure --timeout 300)
fi
scripts/fuzz.sh 8
