#!/usr/bin/env bash
# Cross-compiles the Windows programs and their tests with mingw-w64 (32-bit):
#   scripts/build-windows.sh [build-dir, default build-win32] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-win32}
shift || true
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" "$@" >/dev/null
fi
cmake --build "$dir" --parallel 2
