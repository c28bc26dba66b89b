#!/usr/bin/env bash
# Installs what the build, the demo and the tests need on a fresh Debian 12 machine.
set -euo pipefail
pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
      libsqlite3-dev sqlite3 unixodbc unixodbc-dev libsqliteodbc
      libgtest-dev libgmock-dev libbenchmark-dev
      python3 git
      clang libclang-rt-14-dev)  # clang 14 is Debian 12's; its runtime package holds libFuzzer
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq "${missing[@]}"
fi
