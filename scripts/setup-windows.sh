#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need on a Debian 12 machine:
# mingw-w64 for 32-bit Windows, Wine with its 32-bit half, the 32-bit ODBC driver manager and
# SQLite ODBC driver that Wine's odbc32 hands the tests' SQLite workspaces to, googletest's
# sources for the cross-built tests, Xvfb for the message boxes, zip for the package.
set -euo pipefail
pkgs=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 googletest zip xvfb
      wine wine32:i386 libodbc2:i386 libsqliteodbc:i386)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  stale=1
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
