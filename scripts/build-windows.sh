#!/usr/bin/env bash
# Cross-compiles the Windows programs and their tests with mingw-w64:
#   [SEVRIK_WINDOWS_ARCH=i686|x86_64] scripts/build-windows.sh [build-dir] [extra cmake options...]
# 32-bit (i686) unless SEVRIK_WINDOWS_ARCH says x86_64; the build folder defaults to build-win32
# or build-win64.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${SEVRIK_WINDOWS_ARCH:-i686}
case "$arch" in
  i686) default=build-win32 ;;
  x86_64) default=build-win64 ;;
  *) echo "SEVRIK_WINDOWS_ARCH is i686 or x86_64, not '$arch'" >&2; exit 2 ;;
esac
dir=${1:-$default}
shift || true
if [ -f "$dir/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*mingw-$arch.cmake" "$dir/CMakeCache.txt"; then
  echo "$dir is a Windows tree of another width than $arch: name another folder" >&2
  exit 2
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" "$@" >/dev/null
fi
cmake --build "$dir" --parallel 2
