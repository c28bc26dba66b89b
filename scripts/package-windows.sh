#!/usr/bin/env bash
# Builds the Windows programs and packs what a customs office installs into one zip:
#   scripts/package-windows.sh [output zip, default dist/SEVRIK-<version>-win32.zip]
# The programs are 32-bit with the runtime linked in: no DLL of ours goes with them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-windows.sh
SEVRIK_WINDOWS_ARCH=i686 scripts/build-windows.sh build-win32 >/dev/null
version=$(sed -n 's/^project(SEVRIK VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=${1:-dist/SEVRIK-$version-win32.zip}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp build-win32/programs/SEVRIK.exe build-win32/shim/ZUL.exe "build-win32/updater/Ranuvel Plug-In.exe" "$stage/"
for exe in "$stage"/*.exe; do
  # Only the system's own DLLs may be named.
  others=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
           grep -viE '^(kernel32|user32|advapi32|msvcrt|odbc32|shell32|gdi32|comctl32|ole32)\.dll$' || true)
  if [ -n "$others" ]; then
    echo "$(basename "$exe") needs DLLs that Windows lacks: $others" >&2
    exit 1
  fi
done
rm -f "$out"
(cd "$stage" && zip -q -X "$out" SEVRIK.exe ZUL.exe "Ranuvel Plug-In.exe")
echo "$out"
unzip -l "$out"
