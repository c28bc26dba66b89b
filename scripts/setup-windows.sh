#!/usr/bin/env bash
# Installs what the Windows builds and their tests under Wine need on a Debian 12 machine:
# mingw-w64 for 32-bit and 64-bit Windows, 64-bit Wine with the 64-bit ODBC driver manager and
# SQLite ODBC driver that Wine's odbc32 hands the tests' SQLite workspaces to, googletest's
# sources for the cross-built tests, Xvfb for the message boxes and the X11 runs, Python for the
# check of the programs as files, zip for the package; where the machine runs 32-bit programs,
# Wine's 32-bit half with the 32-bit ODBC driver manager and driver as well
# (scripts/runs-32bit.sh asks the kernel).
set -euo pipefail
cd "$(dirname "$0")/.."
pkgs=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      googletest zip xvfb xdotool x11-utils imagemagick python3 wine wine64 libodbc2 libsqliteodbc)
if scripts/runs-32bit.sh; then
  pkgs+=(wine32:i386 libodbc2:i386 libsqliteodbc:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    stale=1
  fi
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${stale:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
