#!/usr/bin/env bash
# Runs a Windows program under Wine in the test tree's prefix (WINEPREFIX, set by the tests'
# environment with the tree's loader), quietly. CTest starts every Windows test program
# through this script.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
: "${WINEPREFIX:?names the Wine prefix of the test tree}"
exec "${SEVRIK_WINE:-wine}" "$@"
