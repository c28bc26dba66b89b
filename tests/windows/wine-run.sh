#!/usr/bin/env bash
# Runs a Windows program under Wine in the test tree's prefix (WINEPREFIX, set by the tests'
# environment), quietly. CTest starts every Windows test program through this script.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
: "${WINEPREFIX:?names the Wine prefix of the test tree}"
exec wine "$@"
